// The few records of the per-control state and of the skin data that the
// pixel routines read: what lies behind a control (TCacheInfo), the disabled
// look flags, and the part of a mask record that keyed restoring needs.
// Plain values; they own nothing and are filled by the caller per call.
#pragma once

#include <cstdint>
#include <functional>

#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

// What lies behind a control: the parent's picture with this control's
// origin at (X, Y) inside it, or, when Ready is false, the parent's solid
// colour (0xFF00FF = unknown).
struct TCacheInfo {
  tk::TBitmap* Bmp = nullptr;
  int X = 0;
  int Y = 0;
  tk::TColor FillColor = 0;
  bool Ready = false;
};

// The constant "nothing behind" answer.
inline TCacheInfo EmptyCacheInfo() { return TCacheInfo{nullptr, -99, 0, 0, false}; }

// A TCacheInfo for drawing over a picture that is already in bmp.
inline TCacheInfo MakeCacheInfo(tk::TBitmap* bmp) { return TCacheInfo{bmp, 0, 0, 0xFF00FF, bmp != nullptr}; }

enum TsDisabledKind : uint8_t { dkBlended = 1, dkGrayed = 2 };
using TsDisabledKinds = uint8_t;  // a set of TsDisabledKind bits

// The colour an owner control reports through the colour query; the caller
// binds it to the control.
using TkxColorQuery = std::function<tk::TColor()>;

// The fields of one mask record that locating its corner needs. Bmp is the
// mask's own picture, or null when R lies inside MasterBitmap.
struct TkxMaskRef {
  const tk::TBitmap* Bmp = nullptr;
  const tk::TBitmap* MasterBitmap = nullptr;
  tk::TRect R;
  int16_t ImageCount = 1;
  int16_t MaskType = 0;
  int16_t WL = 0, WT = 0, WR = 0, WB = 0;
};

}  // namespace kx
