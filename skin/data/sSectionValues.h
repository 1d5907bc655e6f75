// The values a section has alike in the live record (TsGeneralData) and in
// an internal skin's stored item (TsSkinGeneral): both records derive from
// it, so a value they share is declared once. A plain value type.
#pragma once

#include "toolkit/Types.h"

namespace kx {

struct TsSectionValues {
  tk::String ParentClass;
  tk::TColor Color = 0xFFFFFF;
  bool ReservedBoolean = false;
  bool GiveOwnFont = false;
  int GlowCount = 0;
  int GlowMargin = 0;
  int Transparency = 0;
  int GradientPercent = 0;
  int ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  int FadingIterations = 5;
  tk::TColor HotColor = 0xFFFFFF;
  int HotTransparency = 0;
  int HotGradientPercent = 0;
  tk::String HotGradientData;
  int HotImagePercent = 0;
  tk::TColor HotGlowColor = 0xFFFFFF;
  tk::TColor GlowColor = 0xFFFFFF;
};

}  // namespace kx
