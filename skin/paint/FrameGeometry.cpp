#include "skin/paint/FrameGeometry.h"

#include <algorithm>

namespace kx {

TkxFrameBands SkinFrameBands(const tk::TRect& R, int FrameWidth, int WL, int WT, int WR, int WB) {
  TkxFrameBands b;
  b.MaskInner = tk::TRect{R.Left + WL, R.Top + WT, R.Right - WR, R.Bottom - WB};
  const int w = R.Width(), h = R.Height();
  b.Left = std::max(std::min(FrameWidth, w - WR) - WL, 0);
  b.Top = std::max(std::min(FrameWidth, h - WB) - WT, 0);
  b.Right = std::max(std::min(FrameWidth, w - WL) - WR, 0);
  b.Bottom = std::max(std::min(FrameWidth, h - WT) - WB, 0);
  b.Inner = tk::TRect{R.Left + FrameWidth, R.Top + FrameWidth, R.Right - FrameWidth, R.Bottom - FrameWidth};
  b.Inner.Right = std::max(b.Inner.Right, b.Inner.Left);
  b.Inner.Bottom = std::max(b.Inner.Bottom, b.Inner.Top);
  return b;
}

tk::TRect PanelCaptionRect(const tk::TRect& Client, int Inset, int BorderWidth, int TextHeight) {
  tk::TRect r{Client.Left + Inset, Client.Top + Inset, Client.Right - Inset, Client.Bottom - Inset};
  const int th = std::max(TextHeight, 0);
  r.Top = (r.Height() - th) / 2 + BorderWidth;
  r.Bottom = r.Top + th;
  return r;
}

}  // namespace kx
