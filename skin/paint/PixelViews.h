// The raw view of a bitmap that may be missing, and the formats the pixel
// routines work on; shared by the painting units.
#pragma once

#include "toolkit/Bitmap.h"

namespace kx {

// An invalid view for a missing bitmap.
inline tk::TPixelView ViewOf(tk::TBitmap* bmp) { return bmp ? bmp->View() : tk::TPixelView{}; }

inline bool Is24or32(const tk::TPixelView& v) {
  return v.Valid() && (v.format == tk::TPixelFormat::pf24bit || v.format == tk::TPixelFormat::pf32bit);
}

}  // namespace kx
