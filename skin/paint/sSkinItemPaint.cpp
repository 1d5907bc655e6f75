#include "skin/paint/sSkinItemPaint.h"

#include <algorithm>
#include <cstring>

#include "skin/paint/MaskMixRow.h"
#include "skin/paint/StretchHalftone.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGradient.h"

namespace kx {

using tk::TBitmap;
using tk::TColor;
using tk::TPixelFormat;
using tk::TPixelView;
using tk::TPoint;
using tk::TRect;

namespace {

bool Paintable(const TBitmap* bmp) {
  return bmp && !bmp->Empty() &&
         (bmp->PixelFormat() == TPixelFormat::pf24bit || bmp->PixelFormat() == TPixelFormat::pf32bit);
}

TPixelView ViewOf(const TBitmap* bmp) {
  if (!Paintable(bmp)) return {};
  return const_cast<TBitmap*>(bmp)->View();
}

bool Inside(const TRect& r, const TBitmap* bmp) {
  return !r.IsEmpty() && r.Left >= 0 && r.Top >= 0 && r.Right <= bmp->Width() && r.Bottom <= bmp->Height();
}

constexpr TRect kCovered{-1, -1, -1, -1};

// The see-through corner runs follow the key colour itself, not KeyColor.
constexpr uint8_t kKeyB = (kxKeyColor >> 16) & 0xFF, kKeyG = (kxKeyColor >> 8) & 0xFF, kKeyR = kxKeyColor & 0xFF;

// The picture a mask's frames are taken from: its own, else the master bitmap.
const TBitmap* MaskPicture(const TsMaskData& m) {
  if (m.Bmp && Paintable(m.Bmp.get())) return m.Bmp.get();
  if (m.Manager && Paintable(m.Manager->MasterBitmap.get())) return m.Manager->MasterBitmap.get();
  return nullptr;
}

// What a key pixel of a piece becomes.
struct TKeyBack {
  enum TKind { kbKeep, kbParent, kbColor } Kind = kbKeep;
  TPixelView Parent;  // target (x, y) takes Parent(X + x, Y + y)
  int X = 0, Y = 0;
  uint8_t Bgr[3] = {0, 0, 0};
};

// fromColor: a parent without a ready picture answers with its colour. An
// unknown colour keeps the destination: the key colour must never end up
// painted as if it were the parent's.
TKeyBack KeyBackOf(const TCacheInfo& ci, bool fromColor) {
  TKeyBack k;
  if (ci.Ready && Paintable(ci.Bmp)) {
    k.Kind = TKeyBack::kbParent;
    k.Parent = ci.Bmp->View();
    k.X = ci.X;
    k.Y = ci.Y;
  } else if (fromColor && ci.FillColor != kxKeyColor) {
    const TColor c = tk::ColorToRGB(ci.FillColor);
    k.Kind = TKeyBack::kbColor;
    k.Bgr[0] = tk::GetBValue(c);
    k.Bgr[1] = tk::GetGValue(c);
    k.Bgr[2] = tk::GetRValue(c);
  }
  return k;
}

enum TPut { ptCopy, ptKeyed, ptMix, ptMixLight };

// The rows of one piece, already cut to both views; the formats and the way
// of putting are template arguments so that the inner loop stays short.
template <int SB, int DB, TPut How>
void PutRows(const TPixelView& d, int dx, int dy, const TPixelView& s, int sx, int sy, int w, int h, int maskDy,
             const TKeyBack& kb) {
  constexpr bool mix = How == ptMix || How == ptMixLight;
  constexpr int lift = How == ptMixLight ? 100 : 0;
  const TColor key = KeyColor & 0xFFFFFF;
  const uint8_t k0 = tk::GetBValue(key), k1 = tk::GetGValue(key), k2 = tk::GetRValue(key);
  const int pb = kb.Parent.Bpp();
  for (int j = 0; j < h; ++j) {
    const uint8_t* sp = s.Row(sy + j) + intptr_t(sx) * SB;
    const uint8_t* mp = mix ? s.Row(sy + maskDy + j) + intptr_t(sx) * SB : nullptr;
    uint8_t* dp = d.Row(dy + j) + intptr_t(dx) * DB;
    int run = 0;  // start of the pending run of mixed 24-bit pixels
    auto flush = [&](int end) {
      if constexpr (mix && SB == 3 && DB == 3)
        if (end > run) MaskMixRowFast(dp + run * 3, sp + run * 3, mp + run * 3, size_t(end - run) * 3, lift);
    };
    for (int i = 0; i < w; ++i) {
      const uint8_t* sq = sp + intptr_t(i) * SB;
      uint8_t* dq = dp + intptr_t(i) * DB;
      if (How != ptCopy && sq[0] == k0 && sq[1] == k1 && sq[2] == k2) {
        flush(i);
        run = i + 1;
        if (kb.Kind == TKeyBack::kbColor) {
          dq[0] = kb.Bgr[0], dq[1] = kb.Bgr[1], dq[2] = kb.Bgr[2];
        } else if (kb.Kind == TKeyBack::kbParent) {
          const int px = kb.X + dx + i, py = kb.Y + dy + j;
          if (px < 0 || py < 0 || px >= kb.Parent.width || py >= kb.Parent.height) continue;
          const uint8_t* pp = kb.Parent.Row(py) + intptr_t(px) * pb;
          dq[0] = pp[0], dq[1] = pp[1], dq[2] = pp[2];
        } else {
          continue;
        }
      } else if constexpr (mix) {
        if constexpr (SB == 3 && DB == 3) continue;  // mixed with its run
        const uint8_t* mq = mp + intptr_t(i) * SB;
        for (int c = 0; c < 3; ++c) {
          const int mc = std::min(mq[c] + lift, 255);
          dq[c] = static_cast<uint8_t>((sq[c] * (256 - mc) + dq[c] * mc) >> 8);
        }
      } else {
        dq[0] = sq[0], dq[1] = sq[1], dq[2] = sq[2];
        // A picture with alpha keeps it: layered windows show it as it is.
        if constexpr (SB == 4 && DB == 4) {
          dq[3] = sq[3];
          continue;
        }
      }
      if constexpr (DB == 4) dq[3] = 255;
    }
    flush(w);
  }
}

template <TPut How>
void PutAs(const TPixelView& d, int dx, int dy, const TPixelView& s, int sx, int sy, int w, int h, int maskDy,
           const TKeyBack& kb) {
  const int sb = s.Bpp(), db = d.Bpp();
  if (sb == 3 && db == 3) PutRows<3, 3, How>(d, dx, dy, s, sx, sy, w, h, maskDy, kb);
  else if (sb == 3 && db == 4) PutRows<3, 4, How>(d, dx, dy, s, sx, sy, w, h, maskDy, kb);
  else if (sb == 4 && db == 3) PutRows<4, 3, How>(d, dx, dy, s, sx, sy, w, h, maskDy, kb);
  else if (sb == 4 && db == 4) PutRows<4, 4, How>(d, dx, dy, s, sx, sy, w, h, maskDy, kb);
}

// Copies the source piece (sx, sy, w x h) to (dx, dy) of d, cut to both. Mixed
// pieces find their mask maskDy rows below the picture. Writes into 32-bit
// targets make the pixel opaque, except plain copies of a 32-bit picture,
// which keep its alpha.
void Put(const TPixelView& d, int dx, int dy, const TPixelView& s, int sx, int sy, int w, int h, TPut how, int maskDy,
         const TKeyBack& kb) {
  if (sx < 0) {
    dx -= sx;
    w += sx;
    sx = 0;
  }
  if (sy < 0) {
    dy -= sy;
    h += sy;
    sy = 0;
  }
  if (dx < 0) {
    sx -= dx;
    w += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    h += dy;
    dy = 0;
  }
  const bool mix = how == ptMix || how == ptMixLight;
  w = std::min({w, s.width - sx, d.width - dx});
  h = std::min({h, s.height - sy - (mix ? maskDy : 0), d.height - dy});
  if (w <= 0 || h <= 0) return;
  if (how == ptCopy && s.Bpp() == 3 && d.Bpp() == 3) {
    for (int j = 0; j < h; ++j)
      std::memmove(d.Row(dy + j) + intptr_t(dx) * 3, s.Row(sy + j) + intptr_t(sx) * 3, size_t(w) * 3);
    return;
  }
  switch (how) {
    case ptCopy: PutAs<ptCopy>(d, dx, dy, s, sx, sy, w, h, maskDy, kb); break;
    case ptKeyed: PutAs<ptKeyed>(d, dx, dy, s, sx, sy, w, h, maskDy, kb); break;
    case ptMix: PutAs<ptMix>(d, dx, dy, s, sx, sy, w, h, maskDy, kb); break;
    case ptMixLight: PutAs<ptMixLight>(d, dx, dy, s, sx, sy, w, h, maskDy, kb); break;
  }
}

// Repeats the piece (sx, sy, pw x ph) over area from its top-left corner,
// the last column and row cut at the area's edges.
void Tile(const TPixelView& d, TRect area, const TPixelView& s, int sx, int sy, int pw, int ph, TPut how, int maskDy,
          const TKeyBack& kb) {
  if (pw <= 0 || ph <= 0 || area.IsEmpty()) return;
  // Pieces wholly outside the target are skipped, not walked through.
  const int x0 = area.Left + std::max(0, -area.Left / pw) * pw;
  const int y0 = area.Top + std::max(0, -area.Top / ph) * ph;
  const int x1 = std::min(area.Right, d.width), y1 = std::min(area.Bottom, d.height);
  for (int y = y0; y < y1; y += ph)
    for (int x = x0; x < x1; x += pw)
      Put(d, x, y, s, sx, sy, std::min(pw, area.Right - x), std::min(ph, area.Bottom - y), how, maskDy, kb);
}

void OpaqueAlpha(TBitmap* bmp, TRect r) { SetAlphaRect(bmp, r, 255); }

void Stretch(TBitmap* bmp, TRect dst, const TPixelView& s, TRect src) {
  // Only what the picture holds: a skin's rectangle may reach far beyond it,
  // and the stretch walks every source pixel it is given.
  src =
      TRect{std::max(src.Left, 0), std::max(src.Top, 0), std::min(src.Right, s.width), std::min(src.Bottom, s.height)};
  if (dst.IsEmpty() || src.IsEmpty()) return;
  StretchPixels(bmp->View(), dst, s, src, stmHalftone);
  if (s.format != TPixelFormat::pf32bit) OpaqueAlpha(bmp, dst);
}

// Copies what lies behind into r: the parent's pixels from (X + ox, Y + oy),
// or its colour.
void FillFromParent(TBitmap* bmp, TRect r, const TCacheInfo& ci, TPoint offset) {
  if (!ci.Ready || !Paintable(ci.Bmp)) {
    FillBitmapRect(bmp, r, tk::ColorToRGB(ci.FillColor));
  } else if (ci.Bmp != bmp) {
    CopyPixels(bmp->View(), r.Left, r.Top, ci.Bmp->View(),
               TRect{ci.X + offset.X, ci.Y + offset.Y, ci.X + offset.X + r.Width(), ci.Y + offset.Y + r.Height()});
    if (ci.Bmp->PixelFormat() != bmp->PixelFormat()) OpaqueAlpha(bmp, r);
  }
}

// The values of one state of a section.
struct TStateLook {
  TColor Color = 0;
  int T = 0, IP = 0, GP = 0;
  const String* GradText = nullptr;
  const TsGradArray* Grad = nullptr;
  int MaskTexture = -1;     // index into ma
  int PatternTexture = -1;  // index into pa
};

bool HasText(const String* s) {
  return s && std::any_of(s->begin(), s->end(), [](wchar_t c) { return c != L' '; });
}

TStateLook ChooseState(const TkxSkinContent& skin, int si, const String& section, TColor custom, int hotTexture,
                       int texture, bool hot) {
  const TsGeneralData& g = skin.gd[si];
  TStateLook s;
  if (custom != kxKeyColor) {
    s.Color = tk::ColorToRGB(custom);
    return s;
  }
  s.Color = tk::ColorToRGB(hot ? g.HotColor : g.Color);
  s.T = std::clamp(hot ? g.HotTransparency : g.Transparency, 0, 100);
  if (s.T == 100) return s;
  s.IP = std::clamp(hot ? g.HotImagePercent : g.ImagePercent, 0, 100);
  s.GP = std::clamp(hot ? g.HotGradientPercent : g.GradientPercent, 0, 100);
  if (s.IP > 0) {
    const wchar_t* key = hot ? L"HOTPATTERN" : L"PATTERN";
    int idx = hot ? hotTexture : texture;
    if (idx == -1) idx = skin.GetMaskIndex(si, section, key);
    else if (skin.IsValidImgIndex(idx) && skin.ma[idx].MaskType != 0) idx = -1;
    if (skin.IsValidImgIndex(idx)) {
      s.MaskTexture = idx;
    } else {
      const int p = skin.GetPatternIndex(si, section, key);
      if (p >= 0 && p < int(skin.pa.size()) && skin.pa[p].Img) s.PatternTexture = p;
    }
  }
  if (s.GP > 0) {
    s.GradText = hot ? &g.HotGradientData : &g.GradientData;
    s.Grad = hot ? &g.HotGradientArray : &g.GradientArray;
  }
  return s;
}

void Gradient(TBitmap* bmp, TRect r, const TStateLook& s) {
  if (HasText(s.GradText)) PaintGradient(bmp, r, *s.Grad);
  else FillBitmapRect(bmp, r, s.Color);
}

// The item's own opaque picture in r of bmp.
void OwnLook(TBitmap* bmp, TRect r, const TStateLook& s, const TkxSkinContent& skin, const TCacheInfo& ci) {
  bool textured = false;
  if (s.IP > 0) {
    TRect rest = r;
    if (s.PatternTexture >= 0) {
      DrawPictureOnce(bmp, r, skin.pa[s.PatternTexture].Img->Bitmap());
      rest = kCovered;
      textured = true;
    } else if (s.MaskTexture >= 0) {
      const TsMaskData& m = skin.ma[s.MaskTexture];
      if (m.MaskType == 1) {
        FillWithMaskedTexture(bmp, r, ci, m.DrawMode, m);
        rest = kCovered;
      } else {
        FillWithTexture(bmp, rest, m.Bmp.get(), m.DrawMode, m);
      }
      textured = true;
    }
    if (rest != kCovered) FillBitmapRect(bmp, rest, s.Color);
  }
  if (s.GP > 0) {
    if (textured) {
      auto g = NewBitmapLike(bmp);
      g->SetSize(r.Width(), r.Height());
      Gradient(g.get(), TRect{0, 0, r.Width(), r.Height()}, s);
      BlendBitmapRect(bmp, g.get(), static_cast<uint8_t>(s.IP * 255 / 100), TPoint{r.Left, r.Top},
                      TRect{0, 0, r.Width(), r.Height()});
    } else {
      Gradient(bmp, r, s);
    }
  }
  if (s.IP + s.GP == 0) FillBitmapRect(bmp, r, s.Color);
  else if (s.IP + s.GP < 100)
    BlendRectWithColor(bmp, TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1}, s.IP + s.GP, s.Color);
}

bool IsGripTexture(const TkxSkinContent& skin, int idx) {
  return skin.IsValidImgIndex(idx) && skin.ma[idx].MaskType == 1 && skin.ma[idx].DrawMode == tdmWholeTiles;
}

TCacheInfo Moved(TCacheInfo ci, TPoint offset) {
  ci.X += offset.X;
  ci.Y += offset.Y;
  return ci;
}

void CornerImages(const TkxSkinContent& skin, const TsGeneralData& g, TBitmap* bmp, TRect r, int state) {
  const TCacheInfo self = MakeCacheInfo(bmp);
  const int idx[4] = {g.ImgTL, g.ImgTR, g.ImgBL, g.ImgBR};
  for (int k = 0; k < 4; ++k) {
    if (!skin.IsValidImgIndex(idx[k])) continue;
    const TsMaskData& m = skin.ma[idx[k]];
    const tk::TSize f = MaskFrameSize(m);
    const int x = (k & 1) ? r.Right - f.cx : r.Left;
    const int y = (k & 2) ? r.Bottom - f.cy : r.Top;
    DrawMaskImage(bmp, TPoint{x, y}, state, self, m, mimOpaque);
  }
}

bool BorderShown(const TkxSkinContent& skin, int border, int state) {
  return skin.IsValidImgIndex(border) && (state != 0 || !(skin.ma[border].DrawMode & bdmNoNormalBorder));
}

// Shrinks two margins that do not fit into length: both lose half of the
// excess, and the one after the odd pixel. (For margins of unequal sum the
// excess, not the length, decides whether a pixel is left over.)
void FitMargins(int length, int& a, int& b) {
  const int excess = a + b - length;
  if (excess <= 0) return;
  const int d = excess / 2;
  a -= d;
  b -= d;
  if (excess % 2) b -= 1;
  if (b < 0) {
    a += b;
    b = 0;
  }
  a = std::max(a, 0);
}

}  // namespace

// --- Backgrounds ----------------------------------------------------------------

void PaintSectionBackground(const TkxSectionRef& sec, const TkxPaintTarget& t) {
  const TkxSkinContent* skin = sec.Skin;
  TBitmap* bmp = t.Bmp;
  const TRect r = t.R;
  const TCacheInfo& ci = t.Ci;
  const int si = sec.SkinIndex;
  if (!skin || !skin->IsValidSkinIndex(si) || !Paintable(bmp) || !Inside(r, bmp)) return;
  const bool hot = t.State != 0;
  const TStateLook s = ChooseState(*skin, si, sec.SkinSection, sec.CustomColor, sec.HotTexture, sec.Texture, hot);
  // A parent "ready" with no picture to copy shows nothing: without a known
  // colour it is unknown, and the own look is painted (the key colour must
  // never be filled in as if it were the parent's).
  const bool ready = ci.Ready && Paintable(ci.Bmp);
  const bool parentKnown = ready || ci.FillColor != kxKeyColor;
  if (!parentKnown || s.T == 0) {
    OwnLook(bmp, r, s, *skin, Moved(ci, t.Offset));
  } else if (s.T == 100) {
    FillFromParent(bmp, r, ci, t.Offset);
  } else if (ready || s.IP + s.GP > 0) {
    auto own = NewBitmapLike(bmp);
    own->SetSize(r.Width(), r.Height());
    OwnLook(own.get(), TRect{0, 0, r.Width(), r.Height()}, s, *skin,
            Moved(ci, TPoint{t.Offset.X + r.Left, t.Offset.Y + r.Top}));
    FillFromParent(bmp, r, ci, t.Offset);
    BlendBitmapRect(bmp, own.get(), static_cast<uint8_t>(std::clamp(s.T * 255 / 100, 0, 255)), TPoint{r.Left, r.Top},
                    TRect{0, 0, r.Width(), r.Height()});
  } else {
    FillBitmapRect(bmp, r, MixColors(tk::ColorToRGB(ci.FillColor), s.Color, s.T / 100.0));
  }
  if (!hot) {
    int grip = -1;
    if (IsGripTexture(*skin, sec.Texture)) grip = sec.Texture;
    else if (sec.Texture == -1 && IsGripTexture(*skin, sec.HotTexture)) grip = sec.HotTexture;
    if (grip >= 0) FillWithMaskedTexture(bmp, r, Moved(ci, t.Offset), skin->ma[grip].DrawMode, skin->ma[grip]);
  }
}

void PaintControlLook(const TkxSectionRef& s, const TkxPaintTarget& t, bool fillCentre, bool corner) {
  if (!s.Skin || !s.Skin->IsValidSkinIndex(s.SkinIndex) || !Paintable(t.Bmp) || !Inside(t.R, t.Bmp)) return;
  PaintSectionBackground(s, t);
  const TsGeneralData& g = s.Skin->gd[s.SkinIndex];
  if (BorderShown(*s.Skin, g.BorderIndex, t.State))
    DrawBorderFromMask(t.Bmp, t.R, fillCentre, corner, t.State, s.Skin->ma[g.BorderIndex], Moved(t.Ci, t.Offset));
  CornerImages(*s.Skin, g, t.Bmp, t.R, t.State);
}

void PaintSectionLook(const TkxSectionRef& s, const TkxPaintTarget& t, bool fillCentre) {
  if (!s.Skin || !s.Skin->IsValidSkinIndex(s.SkinIndex) || !Paintable(t.Bmp) || !Inside(t.R, t.Bmp)) return;
  PaintSectionBackground(s, t);
  const TsGeneralData& g = s.Skin->gd[s.SkinIndex];
  CornerImages(*s.Skin, g, t.Bmp, t.R, t.State);
  if (BorderShown(*s.Skin, g.BorderIndex, t.State))
    DrawBorderFromMask(t.Bmp, t.R, fillCentre, true, t.State, s.Skin->ma[g.BorderIndex], Moved(t.Ci, t.Offset));
}

void PaintScrollPart(const TkxSectionRef& s, int border, const TkxPaintTarget& t, bool fillCentre) {
  if (!s.Skin || !s.Skin->IsValidSkinIndex(s.SkinIndex) || !Paintable(t.Bmp) || !Inside(t.R, t.Bmp)) return;
  PaintSectionBackground(s, t);
  if (BorderShown(*s.Skin, border, t.State))
    DrawBorderFromMask(t.Bmp, t.R, fillCentre, true, t.State, s.Skin->ma[border], Moved(t.Ci, t.Offset));
}

// The positional forms.

void PaintSectionBackground(int si, const String& section, const TCacheInfo& ci, TColor custom, int hotTexture,
                            int texture, const TkxSkinContent* skin, TBitmap* bmp, TPoint offset, TRect r, bool hot) {
  PaintSectionBackground(TkxSectionRef{si, section, hotTexture, texture, skin, custom},
                         TkxPaintTarget{bmp, r, offset, hot ? 1 : 0, ci});
}

void PaintControlBackground(const TkxControlSkin& c, const TCacheInfo& ci, int state, TBitmap* bmp, TPoint offset,
                            TRect r) {
  PaintSectionBackground(c, TkxPaintTarget{bmp, r, offset, state, ci});
}

void PaintControlLook(const TkxControlSkin& c, const TCacheInfo& ci, bool fillCentre, bool corner, TBitmap* bmp,
                      TPoint offset, TRect r, int state) {
  PaintControlLook(c, TkxPaintTarget{bmp, r, offset, state, ci}, fillCentre, corner);
}

void PaintSectionLook(int si, const String& section, const TCacheInfo& ci, int hotTexture, int texture,
                      const TkxSkinContent* skin, TBitmap* bmp, TPoint offset, TRect r, int state, bool fillCentre) {
  PaintSectionLook(TkxSectionRef{si, section, hotTexture, texture, skin, kxKeyColor},
                   TkxPaintTarget{bmp, r, offset, state, ci}, fillCentre);
}

void PaintScrollPart(int si, int border, int hotTexture, int texture, const TkxSkinContent* skin, TBitmap* bmp,
                     TPoint offset, TRect r, int state, bool fillCentre, const TCacheInfo& ci, const String& section) {
  PaintScrollPart(TkxSectionRef{si, section, hotTexture, texture, skin, kxKeyColor}, border,
                  TkxPaintTarget{bmp, r, offset, state, ci}, fillCentre);
}

int PaintSectionByName(TBitmap* bmp, const String& name, const String& fallback, bool bmpHoldsBackground,
                       TColor fillColor, const TkxSkinContent* skin, int state) {
  if (!skin || !Paintable(bmp)) return -1;
  int si = skin->GetSkinIndex(name);
  const String* section = &name;
  if (!skin->IsValidSkinIndex(si)) si = skin->GetSkinIndex(fallback), section = &fallback;
  if (!skin->IsValidSkinIndex(si)) return -1;
  TCacheInfo ci = bmpHoldsBackground ? MakeCacheInfo(bmp) : TCacheInfo{nullptr, 0, 0, fillColor, false};
  PaintSectionLook(TkxSectionRef{si, *section, -1, -1, skin, kxKeyColor},
                   TkxPaintTarget{bmp, TRect{0, 0, bmp->Width(), bmp->Height()}, TPoint{0, 0}, state, ci}, true);
  return si;
}

// --- Masks ------------------------------------------------------------------------

void DrawBorderFromMask(TBitmap* bmp, TRect r, bool fillCentre, bool corner, int state, const TsMaskData& m,
                        const TCacheInfo& ci) {
  if ((state == 0 && (m.DrawMode & bdmNoNormalBorder)) || r.Width() < 2 || r.Height() < 2 || !m.Manager ||
      !Paintable(bmp))
    return;
  const TBitmap* pic = MaskPicture(m);
  const tk::TSize f = MaskFrameSize(m);
  if (!pic || f.cx <= 0 || f.cy <= 0) return;
  int L = m.WL, T = m.WT, Rm = m.WR, B = m.WB;
  FitMargins(r.Width(), L, Rm);
  FitMargins(r.Height(), T, B);
  const int fx = m.R.Left + std::min(state, m.ImageCount - 1) * f.cx, fy = m.R.Top;
  const int mw = std::max(0, f.cx - L - Rm), mh = std::max(0, f.cy - T - B);
  const TPixelView d = bmp->View(), s = ViewOf(pic);
  const bool mixed = m.MaskType == 1;
  const int maskDy = mixed ? f.cy : 0;

  // Corners.
  const TPut cornerPut = mixed ? ptMix : ptKeyed;
  const TKeyBack back = corner ? KeyBackOf(ci, mixed) : TKeyBack{};
  Put(d, r.Left, r.Top, s, fx, fy, L, T, cornerPut, maskDy, back);
  Put(d, r.Right - Rm, r.Top, s, fx + L + mw, fy, Rm, T, cornerPut, maskDy, back);
  Put(d, r.Left, r.Bottom - B, s, fx, fy + f.cy - B, L, B, cornerPut, maskDy, back);
  Put(d, r.Right - Rm, r.Bottom - B, s, fx + L + mw, fy + f.cy - B, Rm, B, cornerPut, maskDy, back);

  // Sides and centre; key pixels of mixed pieces keep the destination.
  const TRect left{r.Left, r.Top + T, r.Left + L, r.Bottom - B};
  const TRect right{r.Right - Rm, r.Top + T, r.Right, r.Bottom - B};
  const TRect top{r.Left + L, r.Top, r.Right - Rm, r.Top + T};
  const TRect bottom{r.Left + L, r.Bottom - B, r.Right - Rm, r.Bottom};
  const TRect centre{r.Left + L, r.Top + T, r.Right - Rm, r.Bottom - B};
  struct TPiece {
    TRect dst;
    int sx, sy, sw, sh;
  };
  TPiece pieces[5] = {{left, fx, fy + T, L, mh},
                      {right, fx + L + mw, fy + T, Rm, mh},
                      {top, fx + L, fy, mw, T},
                      {bottom, fx + L, fy + f.cy - B, mw, B},
                      {centre, fx + L, fy + T, mw, mh}};
  const int count = fillCentre && (m.DrawMode & bdmFillCentre) ? 5 : 4;
  const bool stretch = !mixed && (m.DrawMode & bdmStretch);
  for (int k = 0; k < count; ++k) {
    const TPiece& p = pieces[k];
    if (p.sw <= 0 || p.sh <= 0 || p.dst.IsEmpty()) continue;
    if (stretch) Stretch(bmp, p.dst, s, TRect{p.sx, p.sy, p.sx + p.sw, p.sy + p.sh});
    else Tile(d, p.dst, s, p.sx, p.sy, p.sw, p.sh, mixed ? ptMix : ptCopy, maskDy, TKeyBack{});
  }
}

void DrawMaskImage(TBitmap* bmp, TPoint p, int state, const TCacheInfo& ci, const TsMaskData& m, int mode) {
  if (!Paintable(bmp) || m.ImageCount <= 0) return;
  const tk::TSize f = MaskFrameSize(m);
  if (f.cx <= 0 || f.cy <= 0) return;
  const TBitmap* pic = nullptr;
  const bool own = m.Bmp && Paintable(m.Bmp.get()) && m.Bmp->Width() >= m.R.Right && m.Bmp->Height() >= m.R.Bottom;
  if (own) pic = m.Bmp.get();
  else if (m.Manager && Paintable(m.Manager->MasterBitmap.get())) pic = m.Manager->MasterBitmap.get();
  if (!pic) return;
  const int sx = m.R.Left + std::min(state, m.ImageCount - 1) * f.cx, sy = m.R.Top;
  const TPixelView d = bmp->View(), s = ViewOf(pic);
  if (m.MaskType == 1) {
    Put(d, p.X, p.Y, s, sx, sy, f.cx, f.cy, mode == mimOpaque ? ptMix : ptMixLight, f.cy, TKeyBack{});
  } else if (mode == mimOpaque || own) {
    Put(d, p.X, p.Y, s, sx, sy, f.cx, f.cy, ptKeyed, 0, own ? TKeyBack{} : KeyBackOf(ci, true));
  } else {
    // BlendFromBitmap neither skips negative points nor cuts at the source.
    int x = p.X, y = p.Y, l = sx, t = sy;
    if (x < 0) l -= x, x = 0;
    if (y < 0) t -= y, y = 0;
    const int rgt = std::min(sx + f.cx, pic->Width()), btm = std::min(sy + f.cy, pic->Height());
    if (l >= rgt || t >= btm) return;
    BlendFromBitmap(bmp, x, y, KeyColor, 0.5, TRect{l, t, rgt - 1, btm - 1}, const_cast<TBitmap*>(pic));
  }
}

void FillWithTexture(TBitmap* bmp, TRect& r, const TBitmap* picture, int mode, const TsMaskData& m) {
  if (!Paintable(bmp) || r.IsEmpty()) return;
  const TPixelView d = bmp->View();
  if (picture) {
    const TPixelView s = ViewOf(picture);
    if (!s.Valid()) return;
    Tile(d, r, s, 0, 0, s.width, s.height, ptCopy, 0, TKeyBack{});
    r = kCovered;
    return;
  }
  const TBitmap* pic = MaskPicture(m);
  const tk::TSize f = MaskFrameSize(m);
  if (!pic || f.cx <= 0 || f.cy <= 0) return;
  const TPixelView s = ViewOf(pic);
  const int sx = m.R.Left, sy = m.R.Top, tw = f.cx, th = f.cy;
  const TRect src{sx, sy, sx + tw, sy + th};
  auto tile = [&](TRect a) { Tile(d, a, s, sx, sy, tw, th, ptCopy, 0, TKeyBack{}); };
  TRect rest = kCovered;
  switch (mode) {
    case tdmTile: tile(r); break;
    case tdmStretch: Stretch(bmp, r, s, src); break;
    case tdmTileTop:
    case tdmStretchTop: {
      const TRect strip{r.Left, r.Top, r.Right, std::min(r.Bottom, r.Top + th)};
      mode == tdmTileTop ? tile(strip) : Stretch(bmp, strip, s, src);
      rest = TRect{r.Left, strip.Bottom, r.Right, r.Bottom};
      break;
    }
    case tdmTileLeft:
    case tdmStretchLeft: {
      const TRect strip{r.Left, r.Top, std::min(r.Right, r.Left + tw), r.Bottom};
      mode == tdmTileLeft ? tile(strip) : Stretch(bmp, strip, s, src);
      rest = TRect{strip.Right, r.Top, r.Right, r.Bottom};
      break;
    }
    case tdmTileBottom: {
      const TRect strip{r.Left, std::max(r.Top, r.Bottom - th), r.Right, r.Bottom};
      tile(strip);
      rest = TRect{r.Left, r.Top, r.Right, strip.Top};
      break;
    }
    case tdmWholeTiles: {
      // Only rows whose tile ends above the bottom edge: the last strip of
      // 1 to th rows stays as it was.
      int y = r.Top;
      while (y < r.Bottom - th) y += th;
      tile(TRect{r.Left, r.Top, r.Right, y});
      rest = TRect{r.Left, y, r.Right, r.Bottom};
      break;
    }
    default: {
      const TRect strip{std::max(r.Left, r.Right - tw), r.Top, r.Right, r.Bottom};
      tile(strip);
      rest = TRect{r.Left, r.Top, strip.Left, r.Bottom};
      break;
    }
  }
  r = rest.IsEmpty() ? kCovered : rest;
}

void FillWithMaskedTexture(TBitmap* bmp, TRect r, const TCacheInfo& ci, int mode, const TsMaskData& m) {
  if (!Paintable(bmp) || r.IsEmpty()) return;
  const TBitmap* pic = MaskPicture(m);
  const int tw = m.ImageCount > 0 ? m.R.Width() / m.ImageCount : 0, th = m.R.Height() / 2;
  if (!pic || tw <= 0 || th <= 0) return;
  const TPixelView d = bmp->View(), s = ViewOf(pic);
  if (mode != tdmWholeTiles) {
    Tile(d, r, s, m.R.Left, m.R.Top, tw, th, ptMix, th, TKeyBack{});
    return;
  }
  const int xe = r.Left + r.Width() / tw * tw, ye = r.Top + r.Height() / th * th;
  Tile(d, TRect{r.Left, r.Top, xe, ye}, s, m.R.Left, m.R.Top, tw, th, ptMix, th, TKeyBack{});
  const TRect strips[2] = {{xe, r.Top, r.Right, r.Bottom}, {r.Left, ye, xe, r.Bottom}};
  for (const TRect& a : strips) {
    if (a.IsEmpty()) continue;
    if (ci.Ready && Paintable(ci.Bmp)) {
      if (ci.Bmp != bmp) FillFromParent(bmp, a, ci, TPoint{a.Left, a.Top});
    } else if (ci.FillColor != kxKeyColor) {
      FillBitmapRect(bmp, a, tk::ColorToRGB(ci.FillColor));
    }
  }
}

void AddTransparentCornerRects(TAOR& list, int W, const TsMaskData& m, bool bottom, int Y) {
  if (!m.Manager) return;
  const TBitmap* pic = MaskPicture(m);
  const tk::TSize f = MaskFrameSize(m);
  if (!pic || f.cx <= 0) return;
  const TPixelView s = ViewOf(pic);
  const int n = bottom ? m.WB : m.WT;
  const int row0 = bottom ? m.R.Top + f.cy - m.WB : m.R.Top;
  if (n <= 0 || row0 < 0 || row0 + n > s.height) return;
  const int bpp = s.Bpp();
  auto runs = [&](int c0, int c1, int shift) {
    for (int r = 0; r < n; ++r) {
      const uint8_t* row = s.Row(row0 + r);
      bool open = false;
      TRect run;
      for (int c = std::max(c0, 0); c < c1; ++c) {
        const int x = m.R.Left + c;
        const bool key = x >= 0 && x < s.width && row[intptr_t(x) * bpp] == kKeyB &&
                         row[intptr_t(x) * bpp + 1] == kKeyG && row[intptr_t(x) * bpp + 2] == kKeyR;
        if (key && open) {
          ++run.Right;
        } else if (key) {
          run = TRect{c + shift, Y + r, c + shift + 1, Y + r + 1};
          open = true;
        } else if (open) {
          list.push_back(run);
          open = false;
        }
      }
      if (open) list.push_back(run);
    }
  };
  runs(0, m.WL, 0);
  runs(f.cx - m.WR, f.cx, W - f.cx);
}

// --- Keyed corners ------------------------------------------------------------

void RestoreKeyedPixels(TBitmap* dst, TBitmap* src, TRect dr, int cornerKind, const TkxSkinContent* skin, int maskIndex,
                        TPoint sp) {
  if (maskIndex == -1) {
    RestoreKeyedPixels(dst, src, dr, sp, TPixelView{}, TPoint{});
    return;
  }
  if (!skin || maskIndex < 0 || static_cast<size_t>(maskIndex) >= skin->ma.size()) return;
  const TsMaskData& m = skin->ma[static_cast<size_t>(maskIndex)];
  const TBitmap* pic = m.Bmp ? m.Bmp.get() : skin->MasterBitmap.get();
  if (!Paintable(pic)) return;
  const int fw = m.R.Width() / std::max<int>(m.ImageCount, 1);
  const int fh = m.R.Height() / (std::max<int>(m.MaskType, 0) + 1);
  TPoint corner;
  switch (cornerKind) {
    case ckTopLeft: corner = {m.R.Left, m.R.Top}; break;
    case ckTopRight: corner = {m.R.Left + fw - m.WR, m.R.Top}; break;
    case ckBottomLeft: corner = {m.R.Left, m.R.Top + fh - m.WB}; break;
    case ckBottomRight: corner = {m.R.Left + fw - m.WR, m.R.Top + fh - m.WB}; break;
    default: return;
  }
  RestoreKeyedPixels(dst, src, dr, sp, ViewOf(pic), corner);
}

}  // namespace kx
