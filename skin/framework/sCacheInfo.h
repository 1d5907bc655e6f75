// TCacheInfo: what lies behind a control, the answer every painting routine
// receives about its parent's background. Either the parent's picture (Bmp,
// with this control's origin at (X, Y) inside it, usable when Ready) or the
// parent's solid colour (FillColor; kxKeyColor = unknown). A plain value: the
// bitmap belongs to the parent and only lives as long as its cache does.
#pragma once

#include "skin/framework/kxColors.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

struct TCacheInfo {
  tk::TBitmap* Bmp = nullptr;
  int X = 0;
  int Y = 0;
  tk::TColor FillColor = 0;
  bool Ready = false;
};

// The constant "nothing behind" answer, for pieces that need no background.
inline TCacheInfo EmptyCacheInfo() { return TCacheInfo{nullptr, -99, 0, 0, false}; }

// For drawing over a picture that is already in bmp itself.
inline TCacheInfo MakeCacheInfo(tk::TBitmap* bmp) { return TCacheInfo{bmp, 0, 0, kxKeyColor, bmp != nullptr}; }

}  // namespace kx
