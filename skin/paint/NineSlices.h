// CopyNineSlices: copies a framed picture (corners, four sides and optionally
// the centre) from a source rectangle into a destination rectangle, the
// extended-border templates of forms being the main user. Pure.
#pragma once

#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

// Four widths: left, top, right, bottom.
struct TkxWidths {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Side modes, one per side (left, top, right, bottom): 0 tile, 1 stretch,
// anything else leaves the side out.
enum : int { nsTile = 0, nsStretch = 1 };

// D and S have exclusive edges. margins are the frame widths in the source,
// caps limit how wide the corners' arms and the sides are drawn. Stretched
// pieces use the black-on-white stretch; everything is cut to both bitmaps.
void CopyNineSlices(tk::TBitmap* dst, tk::TBitmap* src, tk::TRect D, tk::TRect S, TkxWidths margins, TkxWidths caps,
                    const int sideModes[4], bool fillCentre, int centreMode);

}  // namespace kx
