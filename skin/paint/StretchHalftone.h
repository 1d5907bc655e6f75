// Our own block copies and stretched copies, so that a picture comes out the
// same byte for byte natively, under Wine and on Windows. The stretch modes
// give what the system's stretch modes of the same names give:
//   stmColorOnColor (3): one source pixel per destination pixel, chosen as
//     the system's nearest-pixel stretch chooses it.
//   stmBlackOnWhite (1): the same when enlarging; shrinking ANDs together all
//     source pixels from the one after the previous pixel's choice up to this
//     pixel's choice (dark lines survive).
//   stmHalftone (4): every destination pixel is the area-weighted mean of the
//     source area it covers, rounded half up.
// Views of 8, 24 and 32 bits; copies between 24 and 32 bits convert (alpha
// 0 from 24 bits, as a block copy between DIBs does). Nothing is drawn
// outside either view; the caller keeps both views alive.
#pragma once

#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

enum TkxStretchMode : int { stmBlackOnWhite = 1, stmColorOnColor = 3, stmHalftone = 4 };

// Copies srcRect of src to (dx, dy) of dst, cut to both views.
void CopyPixels(const tk::TPixelView& dst, int dx, int dy, const tk::TPixelView& src, tk::TRect srcRect);

// Stretches srcRect of src over dstRect of dst. Parts of dstRect outside dst
// are left out (the mapping stays that of the whole rectangles); source
// coordinates outside src take its nearest edge pixel. Empty rectangles
// draw nothing.
void StretchPixels(const tk::TPixelView& dst, tk::TRect dstRect, const tk::TPixelView& src, tk::TRect srcRect,
                   int mode);

}  // namespace kx
