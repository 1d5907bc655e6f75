// The classic unskinned look of the speed button: system frame, dithered
// face while held down, glyph frame and caption (etched when disabled).
//
// Our headers before <windows.h>: the colour helpers of Types.h share their
// names with the system's GetRValue/GetGValue/GetBValue macros.
#include "toolkit/Buttons.h"

#include <windows.h>

#include "toolkit/Graphics.h"
#include "toolkit/Handles.h"

namespace tk {

namespace {

int GlyphFrameWidth(TBitmap* g, int numGlyphs) { return g->Empty() ? 0 : g->Width() / std::max(numGlyphs, 1); }

int FrameIndex(TButtonState s, int numGlyphs) {
  int i = 0;
  switch (s) {
    case bsUp: i = 0; break;
    case bsDisabled: i = 1; break;
    case bsDown: i = 2; break;
    case bsExclusive: i = 3; break;
  }
  // Missing frames fall back: held down shows the clicked frame, else up.
  if (i == 3 && numGlyphs == 3) i = 2;
  return i < numGlyphs ? i : 0;
}

// Copies one frame out of the glyph strip. 24-bit frames are keyed on their
// bottom-left pixel; 32-bit frames keep their alpha.
std::unique_ptr<TBitmap> CopyFrame(TBitmap* g, int index, int fw) {
  TPixelFormat f = g->PixelFormat() == TPixelFormat::pf32bit ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
  if (g->PixelFormat() != f) return nullptr;
  auto out = std::make_unique<TBitmap>(fw, g->Height(), f);
  int bpp = BytesPerPixel(f);
  for (int y = 0; y < g->Height(); ++y) {
    const uint8_t* src = g->ScanLine(y) + static_cast<size_t>(index) * fw * bpp;
    std::copy(src, src + static_cast<size_t>(fw) * bpp, out->ScanLine(y));
  }
  if (f == TPixelFormat::pf24bit) {
    const uint8_t* p = out->ScanLine(out->Height() - 1);
    out->Transparent = true;
    out->TransparentColor = RGBColor(p[2], p[1], p[0]);
  }
  return out;
}

// The frame reduced to one solid colour where it is not see-through.
std::unique_ptr<TBitmap> Silhouette(TBitmap* frame, TColor color) {
  TColor c = ColorToRGB(color);
  auto out = std::make_unique<TBitmap>(frame->Width(), frame->Height(), TPixelFormat::pf24bit);
  bool alpha = frame->PixelFormat() == TPixelFormat::pf32bit;
  TColor key = ColorToRGB(frame->TransparentColor);
  for (int y = 0; y < frame->Height(); ++y) {
    const uint8_t* s = frame->ScanLine(y);
    uint8_t* d = out->ScanLine(y);
    for (int x = 0; x < frame->Width(); ++x) {
      bool solid = alpha ? s[x * 4 + 3] >= 128 : RGBColor(s[x * 3 + 2], s[x * 3 + 1], s[x * 3]) != key;
      TColor v = solid ? c : clFuchsia;
      d[x * 3] = GetBValue(v);
      d[x * 3 + 1] = GetGValue(v);
      d[x * 3 + 2] = GetRValue(v);
    }
  }
  out->Transparent = true;
  out->TransparentColor = clFuchsia;
  return out;
}

void FillDithered(HDC dc, const RECT& r) {
  // A checkerboard of face and highlight: the classic "held down" face.
  static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  TBitmapHandle bm(::CreateBitmap(8, 8, 1, 1, pattern));
  TBrushHandle brush(::CreatePatternBrush(bm));
  TDCState state(dc);
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNFACE));
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
  ::FillRect(dc, &r, brush);
}

}  // namespace

void TSpeedButton::CalcLayout(const TRect& Client, TRect& GlyphRect, TRect& TextRect) {
  TCanvas* c = Canvas();
  int gw = GlyphFrameWidth(FGlyph.get(), FNumGlyphs);
  int gh = gw > 0 ? FGlyph->Height() : 0;
  String caption = Caption();
  int tw = 0, th = 0;
  if (!caption.empty()) {
    TRect t{0, 0, Client.Width(), 0};
    c->TextDraw(caption, t, DT_CALCRECT | DT_SINGLELINE | DrawTextBiDiModeFlags(0));
    tw = t.Width();
    th = t.Height();
  }
  int gap = (gw > 0 && tw > 0) ? FSpacing : 0;
  int cw = Client.Width(), ch = Client.Height();
  int gx = 0, gy = 0, tx = 0, ty = 0;
  bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
  if (horizontal) {
    int block = gw + gap + tw;
    int start = FMargin < 0 ? (cw - block) / 2 : FMargin;
    if (FLayout == blGlyphLeft) {
      gx = start;
      tx = start + gw + gap;
    } else if (FMargin < 0) {
      tx = start;
      gx = start + tw + gap;
    } else {
      gx = cw - FMargin - gw;
      tx = gx - gap - tw;
    }
    gy = (ch - gh) / 2;
    ty = (ch - th) / 2;
  } else {
    int block = gh + gap + th;
    int start = FMargin < 0 ? (ch - block) / 2 : FMargin;
    if (FLayout == blGlyphTop) {
      gy = start;
      ty = start + gh + gap;
    } else if (FMargin < 0) {
      ty = start;
      gy = start + th + gap;
    } else {
      gy = ch - FMargin - gh;
      ty = gy - gap - th;
    }
    gx = (cw - gw) / 2;
    tx = (cw - tw) / 2;
  }
  GlyphRect = Bounds(Client.Left + gx, Client.Top + gy, gw, gh);
  TextRect = Bounds(Client.Left + tx, Client.Top + ty, tw, th);
}

void TSpeedButton::Paint() {
  // The state follows the enabled flag even when nobody told the button.
  if (!Enabled()) {
    FState = bsDisabled;
    FDragging = false;
  } else if (FState == bsDisabled) {
    FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
  }
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  HDC dc = c->Handle();
  RECT r{0, 0, Width(), Height()};
  bool pushed = FState == bsDown || FState == bsExclusive;
  if (!FTransparent || !FFlat) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(TRect{0, 0, Width(), Height()});
  }
  if (!FFlat) {
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0));
  } else if (pushed) {
    ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  } else if (FMouseInControl && Enabled()) {
    ::DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  } else {
    ::InflateRect(&r, -1, -1);
  }
  if (FState == bsExclusive && (!FFlat || !FMouseInControl)) FillDithered(dc, r);

  TRect client{r.left, r.top, r.right, r.bottom};
  TRect glyphRect, textRect;
  CalcLayout(client, glyphRect, textRect);
  int shift = pushed ? 1 : 0;
  glyphRect.Offset(shift, shift);
  textRect.Offset(shift, shift);

  int fw = GlyphFrameWidth(FGlyph.get(), FNumGlyphs);
  if (fw > 0) {
    int index = FrameIndex(FState, FNumGlyphs);
    if (auto frame = CopyFrame(FGlyph.get(), index, fw)) {
      if (FState == bsDisabled && index == 0) {
        // No disabled frame of its own: an etched silhouette.
        c->Draw(glyphRect.Left + 1, glyphRect.Top + 1, Silhouette(frame.get(), clBtnHighlight).get());
        c->Draw(glyphRect.Left, glyphRect.Top, Silhouette(frame.get(), clBtnShadow).get());
      } else {
        c->Draw(glyphRect.Left, glyphRect.Top, frame.get());
      }
    }
  }

  String caption = Caption();
  if (caption.empty()) return;
  unsigned flags = DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  c->Brush()->SetStyle(bsClear);
  if (FState == bsDisabled) {
    TRect hr = textRect;
    hr.Offset(1, 1);
    c->Font()->SetColor(clBtnHighlight);
    c->TextDraw(caption, hr, flags);
    c->Font()->SetColor(clBtnShadow);
    c->TextDraw(caption, textRect, flags);
  } else {
    c->TextDraw(caption, textRect, flags);
  }
}

}  // namespace tk
