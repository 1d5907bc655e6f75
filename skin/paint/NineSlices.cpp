#include "skin/paint/NineSlices.h"

#include <algorithm>

#include "skin/paint/StretchHalftone.h"

namespace kx {

using tk::TPixelView;
using tk::TRect;

namespace {

struct TPainter {
  TPixelView d, s;

  void Copy(int dx, int dy, int sx, int sy, int w, int h) const {
    if (w <= 0 || h <= 0) return;
    // A piece never reaches outside its destination rectangle: clip it to
    // the piece itself by copying exactly w x h.
    CopyPixels(d, dx, dy, s, TRect{sx, sy, sx + w, sy + h});
  }

  // Repeats the source piece (sx, sy, sw x sh) over (dx, dy, w x h).
  void Tile(int dx, int dy, int w, int h, int sx, int sy, int sw, int sh) const {
    if (sw <= 0 || sh <= 0 || w <= 0 || h <= 0) return;
    for (int y = 0; y < h; y += sh)
      for (int x = 0; x < w; x += sw) Copy(dx + x, dy + y, sx, sy, std::min(sw, w - x), std::min(sh, h - y));
  }

  void Stretch(int dx, int dy, int w, int h, int sx, int sy, int sw, int sh) const {
    if (sw <= 0 || sh <= 0 || w <= 0 || h <= 0) return;
    StretchPixels(d, TRect{dx, dy, dx + w, dy + h}, s, TRect{sx, sy, sx + sw, sy + sh}, stmBlackOnWhite);
  }
};

}  // namespace

void CopyNineSlices(tk::TBitmap* dst, tk::TBitmap* src, TRect D, TRect S, TkxWidths M, TkxWidths C,
                    const int sideModes[4], bool fillCentre, int centreMode) {
  if (!dst || !src || dst->Empty() || src->Empty() || D.IsEmpty() || S.IsEmpty()) return;
  const TPainter p{dst->View(), src->View()};
  const int cl = std::min(M.Left, C.Left), ct = std::min(M.Top, C.Top);
  const int cr = std::min(M.Right, C.Right), cb = std::min(M.Bottom, C.Bottom);
  const int sw = std::max(0, S.Width() - M.Left - M.Right);
  const int sh = std::max(0, S.Height() - M.Top - M.Bottom);
  const int dw = D.Width() - M.Left - M.Right;  // destination middle lengths
  const int dh = D.Height() - M.Top - M.Bottom;

  // Corners; a cap below the margin leaves an L-shaped corner.
  p.Copy(D.Left, D.Top, S.Left, S.Top, M.Left, ct);
  if (ct < M.Top) p.Copy(D.Left, D.Top + ct, S.Left, S.Top + ct, cl, M.Top - ct);
  p.Copy(D.Left, D.Bottom - cb, S.Left, S.Bottom - cb, M.Left, cb);
  if (cb < M.Bottom) p.Copy(D.Left, D.Bottom - M.Bottom, S.Left, S.Bottom - M.Bottom, cl, M.Bottom - cb);
  p.Copy(D.Right - M.Right, D.Top, S.Right - M.Right, S.Top, M.Right, ct);
  if (ct < M.Top) p.Copy(D.Right - cr, D.Top + ct, S.Right - cr, S.Top + ct, cr, M.Top - ct);
  p.Copy(D.Right - M.Right, D.Bottom - cb, S.Right - M.Right, S.Bottom - cb, M.Right, cb);
  if (cb < M.Bottom) p.Copy(D.Right - cr, D.Bottom - M.Bottom, S.Right - cr, S.Bottom - M.Bottom, cr, M.Bottom - cb);

  auto side = [&](int mode, int dx, int dy, int w, int h, int sx, int sy, int pw, int ph) {
    if (mode == nsTile) p.Tile(dx, dy, w, h, sx, sy, pw, ph);
    else if (mode == nsStretch) p.Stretch(dx, dy, w, h, sx, sy, pw, ph);
  };
  side(sideModes[0], D.Left, D.Top + M.Top, cl, dh, S.Left, S.Top + M.Top, cl, sh);
  side(sideModes[1], D.Left + M.Left, D.Top, dw, ct, S.Left + M.Left, S.Top, sw, ct);
  side(sideModes[2], D.Right - cr, D.Top + M.Top, cr, dh, S.Right - cr, S.Top + M.Top, cr, sh);
  side(sideModes[3], D.Left + M.Left, D.Bottom - cb, dw, cb, S.Left + M.Left, S.Bottom - cb, sw, cb);

  if (fillCentre)
    side(centreMode == nsStretch ? nsStretch : nsTile, D.Left + M.Left, D.Top + M.Top, dw, dh, S.Left + M.Left,
         S.Top + M.Top, sw, sh);
}

}  // namespace kx
