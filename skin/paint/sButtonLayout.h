// Where a skinned speed button puts its caption and its glyph: pure
// arithmetic over the button's measures, so the Win32 half only measures
// the text and draws. All divisions truncate toward zero.
#pragma once

#include "toolkit/Buttons.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Types.h"

namespace kx {

struct TkxButtonMeasures {
  int W = 0, H = 0;
  int ArrowWidth = 0;  // 16 for a drop-down button
  int Margin = -1;     // raw: -1 centres the block
  int Spacing = 4;
  int GW = 0, GH = 0;  // one glyph frame
  int TW = 0, TH = 0;  // the caption as DrawText measures it
  bool HasCaption = false;
  bool ShowCaption = true;
  tk::TButtonLayout Layout = tk::blGlyphLeft;
  tk::TAlignment Alignment = tk::taCenter;
  int TextOffset = 0;
  bool Pressed = false;  // state 2: both rectangles move by (1, 1)
  bool Reflected = false;
};

// The width the caption may wrap in (0: no caption to measure).
int CaptionWidthLimit(const TkxButtonMeasures& m);
tk::TRect CaptionRect(const TkxButtonMeasures& m);
tk::TRect ImgRect(const TkxButtonMeasures& m);

}  // namespace kx
