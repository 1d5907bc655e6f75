#include "skin/paint/kxBtnWndLayout.h"

namespace kx {

namespace {

bool Beside(tk::TButtonLayout L) { return L == tk::blGlyphLeft || L == tk::blGlyphRight; }

// The gap between glyph and caption when both are there.
int Gap(const TkxBtnWndMeasures& M) { return M.GW > 0 && M.HasCaption ? M.Spacing : 0; }

tk::TRect Moved(tk::TRect R, bool Down) {
  if (Down) R.Offset(1, 1);
  return R;
}

tk::TRect PlainCaptionRect(const TkxBtnWndMeasures& M) {
  const int x = (M.W - M.TW) / 2, y = (M.H - M.TH) / 2;
  tk::TRect r{x - 1, y, M.W - x + 2, M.H - y};
  if (M.GW != 0) r.Offset(M.GW / 2 + 1, 0);
  return Moved(r, M.Down);
}

// The glyph's top-left under own layout, before the pressed offset.
tk::TPoint OwnGlyphAt(const TkxBtnWndMeasures& M) {
  const int sp = Gap(M);
  const int x0 = (M.W - M.GW - M.TW - sp) / 2, y0 = (M.H - M.GH - M.TH - sp) / 2;
  switch (M.Layout) {
    case tk::blGlyphLeft: return {x0, (M.H - M.GH) / 2};
    case tk::blGlyphRight: return {(M.W + sp + M.TW - M.GW) / 2, (M.H - M.GH) / 2};
    case tk::blGlyphTop: return {(M.W - M.GW) / 2 + 1, y0};
    case tk::blGlyphBottom: return {(M.W - M.GW) / 2 + 1, M.H - y0 - M.GH};
  }
  return {x0, y0};
}

}  // namespace

int BtnWndCaptionLimit(const TkxBtnWndMeasures& M) {
  if (!M.HasCaption) return 0;
  if (M.OwnLayout) return M.W - 2 * M.Margin - (Beside(M.Layout) && M.GH != 0 ? M.GW + M.Spacing : 0);
  return M.W - (M.GW != 0 ? M.GW + 2 : 0) - 2;
}

tk::TRect BtnWndCaptionRect(const TkxBtnWndMeasures& M) {
  if (!M.OwnLayout) return PlainCaptionRect(M);
  const tk::TPoint g = OwnGlyphAt(M);
  const int sp = Gap(M);
  int l = (M.W - M.TW) / 2, t = (M.H - M.TH) / 2;
  switch (M.Layout) {
    case tk::blGlyphLeft: l = g.X + M.GW + sp; break;
    case tk::blGlyphRight: l = g.X - sp - M.TW; break;
    case tk::blGlyphTop: t = g.Y + M.GH + sp; break;
    case tk::blGlyphBottom: t = g.Y - sp - M.TH; break;
  }
  return Moved(tk::TRect{l, t, l + M.TW, t + M.TH}, M.Down);
}

tk::TRect BtnWndGlyphRect(const TkxBtnWndMeasures& M) {
  if (M.GW <= 0) return tk::TRect{};
  if (M.OwnLayout) {
    const tk::TPoint g = OwnGlyphAt(M);
    return Moved(tk::TRect{g.X, g.Y, g.X + M.GW, g.Y + M.GH}, M.Down);
  }
  const int right = PlainCaptionRect(M).Left - 2;
  const int top = (M.H - M.GH) / 2 + (M.Down ? 1 : 0);
  return tk::TRect{right - M.GW, top, right, top + M.GH};
}

}  // namespace kx
