#include "skin/paint/sButtonLayout.h"

namespace kx {

namespace {

// The margin as the block is placed by it: none when centred, else three
// pixels more than asked (the frame's width).
int MarginValue(const TkxButtonMeasures& m) { return m.Margin < 0 ? 0 : m.Margin + 3; }
bool Horizontal(tk::TButtonLayout l) { return l == tk::blGlyphLeft || l == tk::blGlyphRight; }

}  // namespace

int CaptionWidthLimit(const TkxButtonMeasures& m) {
  if (!m.ShowCaption || !m.HasCaption) return 0;
  int limit = m.W - 2 * m.Margin - m.ArrowWidth;
  if (m.GW != 0 && Horizontal(m.Layout)) limit -= m.GW + m.Spacing;
  return limit;
}

tk::TRect CaptionRect(const TkxButtonMeasures& m) {
  const int M = MarginValue(m), AW = m.ArrowWidth;
  int L = 0, T = 0, R = 0, B = 0;
  if (Horizontal(m.Layout)) {
    const int G = m.GW > 0 && m.HasCaption ? m.Spacing : 0;
    const int GS = m.GW > 0 ? m.Spacing : 0;
    const int DX = (m.W - AW - m.GW - G - m.TW) / 2 - M;
    T = (m.H - m.TH) / 2;
    B = m.H - T;
    const bool left = m.Layout == tk::blGlyphLeft;
    switch (m.Alignment) {
      case tk::taLeftJustify:
        L = left ? m.GW + m.Margin + GS : M;
        R = left ? m.W - AW - M - 2 * DX : M + m.TW;
        break;
      case tk::taCenter:
        L = left ? m.GW + M + DX + GS : M + DX;
        R = left ? m.W - AW - M - DX : M + DX + m.TW;
        break;
      case tk::taRightJustify:
        L = left ? M + 2 * DX + m.GW + GS : M + 2 * DX;
        R = left ? m.W - AW - M : M + 2 * DX + m.TW;
        break;
    }
  } else {
    const int G = m.GH > 0 && m.HasCaption ? m.Spacing : 0;
    const int DY = (m.H - m.GH - G - m.TH) / 2 - M;
    L = (m.W - m.TW - AW) / 2;
    R = m.W - L - AW;
    if (m.Layout == tk::blGlyphTop) {
      T = m.GH + M + DY + (m.GH > 0 ? G : 0);
      B = m.H - DY - M;
    } else {
      T = M + DY;
      B = m.H - DY - M - m.GH - (m.GH > 0 ? G : 0);
    }
  }
  tk::TRect r{L - 1 + m.TextOffset, T, R + 2 + m.TextOffset, B};
  if (m.Pressed) r.Offset(1, 1);
  return r;
}

tk::TRect ImgRect(const TkxButtonMeasures& m) {
  const int M = MarginValue(m), AW = m.ArrowWidth;
  const int G = m.GW > 0 && m.ShowCaption && m.HasCaption ? m.Spacing : 0;
  const int DX = (m.W - AW - m.GW - G - m.TW) / 2 - M;
  const int DY = (m.H - m.GH - G - m.TH) / 2 - M;
  int X = 0, Y = (m.H - m.GH) / 2;
  switch (m.Layout) {
    case tk::blGlyphLeft:
      X = m.Alignment == tk::taLeftJustify ? M : m.Alignment == tk::taCenter ? M + DX : M + 2 * DX;
      break;
    case tk::blGlyphRight:
      X = m.Alignment == tk::taLeftJustify ? m.W - AW - M - 2 * DX - G - m.GW
          : m.Alignment == tk::taCenter    ? (m.W - AW - m.GW + G + m.TW) / 2
                                           : m.W - AW - m.GW - M;
      break;
    case tk::blGlyphTop:
      X = (m.W - AW - m.GW) / 2 + 1;
      Y = DY + M;
      break;
    case tk::blGlyphBottom:
      X = (m.W - AW - m.GW) / 2 + 1;
      Y = m.H - M - DY - m.GH;
      break;
  }
  if (m.Pressed) ++X, ++Y;
  tk::TRect r{X, Y, X + m.GW, Y + m.GH};
  if (m.Reflected) r.Offset(0, -(r.Height() / 6));
  return r;
}

}  // namespace kx
