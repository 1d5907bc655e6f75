#include "skin/framework/kxGlow.h"

#include <algorithm>

namespace kx {

namespace {

struct TSpan {
  int Full, Lo, Len;
};

// One axis of the placement. The full picture starts wLo - Margin before the
// control; an edge of the visible part that is not the control's own edge
// cuts the picture there, and the halo beyond it goes. Both cuts are taken
// as places in the picture and kept inside it, so a margin wider than the
// side width cannot make the kept part start before the picture.
TSpan Axis(int size, int vLo, int vHi, int wLo, int wHi, int margin, bool cut) {
  const int full = size + wLo + wHi - 2 * margin;
  int lo = 0, hi = full;
  if (cut) {
    if (vLo != 0) lo = wLo - margin + vLo;
    if (vHi != size) hi = wLo - margin + vHi;
  }
  lo = std::clamp(lo, 0, std::max(full, 0));
  hi = std::clamp(hi, 0, std::max(full, 0));
  return TSpan{full, lo, hi - lo};
}

}  // namespace

TkxGlowPlace GlowPlacement(const TkxGlowFrame& F) {
  TkxGlowPlace p;
  if (F.R.IsEmpty() || F.V.IsEmpty()) return p;
  const bool cut = F.V.Width() != F.R.Width() || F.V.Height() != F.R.Height();
  const TSpan x = Axis(F.R.Width(), F.V.Left, F.V.Right, F.WL, F.WR, F.Margin, cut);
  const TSpan y = Axis(F.R.Height(), F.V.Top, F.V.Bottom, F.WT, F.WB, F.Margin, cut);
  if (x.Len <= 0 || y.Len <= 0) return p;
  p.FullW = x.Full;
  p.FullH = y.Full;
  p.CutLeft = x.Lo;
  p.CutTop = y.Lo;
  p.W = x.Len;
  p.H = y.Len;
  p.X = F.R.Left + x.Lo + F.Margin - F.WL;
  p.Y = F.R.Top + y.Lo + F.Margin - F.WT;
  return p;
}

}  // namespace kx
