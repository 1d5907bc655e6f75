// Native half of mode 2 gradients: there is no system triangle fill, so our
// own Gouraud fill paints the same vertices and colours.
#include "skin/paint/sGradient.h"

namespace kx::detail {

void PaintTriangles(tk::TBitmap* bmp, tk::TRect r, const TkxGradVertex vx[5]) {
  FillGradientTriangles(bmp->View(), r, vx);
}

}  // namespace kx::detail
