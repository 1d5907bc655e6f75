#include "skin/paint/sAlphaGraph.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "skin/framework/kxColors.h"
#include "skin/paint/BlendRow.h"
#include "skin/paint/PixelViews.h"
#include "skin/paint/StretchHalftone.h"

namespace kx {

using tk::ColorToRGB;
using tk::Round;
using tk::TBitmap;
using tk::TColor;
using tk::TPixelFormat;
using tk::TPixelView;
using tk::TPoint;
using tk::TRect;

TColor KeyColor = kxKeyColor;

namespace {

bool IsSystemColor(TColor c) { return (static_cast<uint32_t>(c) >> 24) == 0xFF; }

uint8_t ClampByte(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// A pixel's colour as 0x00BBGGRR (and with its alpha on top for 32 bits).
TColor Color24(const uint8_t* p) { return p[2] | (p[1] << 8) | (p[0] << 16); }
TColor Word32(const uint8_t* p) {
  return static_cast<TColor>(static_cast<uint32_t>(Color24(p)) | (static_cast<uint32_t>(p[3]) << 24));
}

// Channel order in memory: blue, green, red.
std::array<uint8_t, 3> ChannelsBGR(TColor c) { return {tk::GetBValue(c), tk::GetGValue(c), tk::GetRValue(c)}; }

// r cut to w x h; exclusive edges.
TRect ClipExclusive(TRect r, int w, int h) {
  return TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, w), std::min(r.Bottom, h)};
}

// r with inclusive Right/Bottom, cut to w x h and returned exclusive.
TRect ClipInclusive(TRect r, int w, int h) {
  return TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, w - 1) + 1, std::min(r.Bottom, h - 1) + 1};
}

template <class F>
void ForEachPixel(const TPixelView& v, const TRect& r, F f) {
  const int bpp = v.Bpp();
  for (int y = r.Top; y < r.Bottom; ++y) {
    uint8_t* p = v.Row(y) + static_cast<intptr_t>(r.Left) * bpp;
    for (int x = r.Left; x < r.Right; ++x, p += bpp) f(p);
  }
}

}  // namespace

uint32_t ColorToArgb(TColor c) {
  c = ColorToRGB(c);
  return 0xFF000000u | (static_cast<uint32_t>(tk::GetRValue(c)) << 16) |
         (static_cast<uint32_t>(tk::GetGValue(c)) << 8) | tk::GetBValue(c);
}

// --- Access objects ---------------------------------------------------------

namespace {

template <class Fast>
bool AttachFast(Fast& f, TBitmap* bmp, TPixelFormat format, int minSize) {
  // A format check keeps a 32-bit reader off the end of 24-bit rows.
  const TPixelView v = ViewOf(bmp);
  if (!v.Valid() || v.format != format || v.width < minSize || v.height < minSize) {
    f.FWidth = 0;
    return false;
  }
  f.FBitmap = bmp;
  f.FWidth = v.width;
  f.FHeight = v.height;
  f.FStart = v.row0;
  f.FDelta = static_cast<int32_t>(v.stride);
  return true;
}

}  // namespace

bool TkxFast24::Attach(TBitmap* bmp) { return AttachFast(*this, bmp, TPixelFormat::pf24bit, 2); }

TColor TkxFast24::GetPixel(int x, int y) const { return Color24(FStart + static_cast<intptr_t>(y) * FDelta + x * 3); }

bool TkxFast32::Attach(TBitmap* bmp) { return AttachFast(*this, bmp, TPixelFormat::pf32bit, 1); }

TColor TkxFast32::GetPixel(int x, int y) const { return Word32(FStart + static_cast<intptr_t>(y) * FDelta + x * 4); }

void TkxFast32::SetPixel(int x, int y, TColor value) {
  uint8_t* p = FStart + static_cast<intptr_t>(y) * FDelta + x * 4;
  p[0] = tk::GetBValue(value);
  p[1] = tk::GetGValue(value);
  p[2] = tk::GetRValue(value);
  p[3] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> 24);
}

void TkxFast32::FillRect(const TRect& r, uint32_t word) {
  const TRect c = ClipExclusive(r, FWidth, FHeight);
  if (c.IsEmpty() || !FStart) return;
  uint8_t px[4];
  std::memcpy(px, &word, 4);
  for (int y = c.Top; y < c.Bottom; ++y)
    FillRowPixels(FStart + static_cast<intptr_t>(y) * FDelta + c.Left * 4, c.Width(), 4, px);
}

template <int Bpp>
bool TkxFastSum<Bpp>::AttachViews(const TPixelView& src, const TPixelView& dst) {
  if (!src.Valid() || !dst.Valid() || src.Bpp() != Bpp || dst.Bpp() != Bpp) return false;
  if (src.width < 2 || src.height < 2 || dst.width < 2 || dst.height < 2) return false;
  FWidthDst = std::min(src.width, dst.width);
  FHeightDst = std::min(src.height, dst.height);
  FStartSrc = src.row0;
  FStartDst = dst.row0;
  FDeltaSrc = static_cast<int32_t>(src.stride);
  FDeltaDst = static_cast<int32_t>(dst.stride);
  FSrcWidth = src.width;
  FSrcHeight = src.height;
  FDstWidth = dst.width;
  FDstHeight = dst.height;
  return true;
}

template <int Bpp>
bool TkxFastSum<Bpp>::Attach(TBitmap* src, TBitmap* dst) {
  if (!src || !dst) return false;
  if (!AttachViews(src->View(), dst->View())) return false;
  FBmpSrc = src;
  FBmpDst = dst;
  return true;
}

template <int Bpp>
void TkxFastSum<Bpp>::BlendBitmapsRect() {
  if (!FStartSrc || !FStartDst || DstX2 <= DstX1 || DstY2 <= DstY1) return;
  // Destination row y reads source row y - (DstY2 - SrcY2), byte x reads
  // x - (DstX1 - SrcX1) * Bpp; every row and byte touched must exist.
  const int dy = DstY2 - SrcY2, dx = DstX1 - SrcX1;
  if (DstX1 < 0 || DstY1 < 0 || DstX2 > FDstWidth || DstY2 > FDstHeight) return;
  if (DstX1 - dx < 0 || DstX2 - dx > FSrcWidth || DstY1 - dy < 0 || DstY2 - dy > FSrcHeight) return;
  const size_t n = static_cast<size_t>(DstX2 - DstX1) * Bpp;
  auto dst_row = [&](int y) {
    return FStartDst + static_cast<intptr_t>(y) * FDeltaDst + static_cast<intptr_t>(DstX1) * Bpp;
  };
  auto src_row = [&](int y) {
    return FStartSrc + static_cast<intptr_t>(y - dy) * FDeltaSrc + static_cast<intptr_t>(DstX1 - dx) * Bpp;
  };
  if (FStartSrc == FStartDst) {
    // Blending a bitmap into itself: the walk order (rows and bytes from
    // the end) decides which bytes are read after being written.
    for (int y = DstY2 - 1; y >= DstY1; --y) {
      uint8_t* d = dst_row(y);
      const uint8_t* s = src_row(y);
      for (size_t i = n; i-- > 0;) d[i] = BlendByte(d[i], s[i], Alpha);
    }
    return;
  }
  // Two bitmaps: any order gives the same bytes, and rising addresses suit
  // the prefetcher best.
  const bool up = FDeltaDst < 0;
  for (int k = 0; k < DstY2 - DstY1; ++k) {
    const int y = up ? DstY2 - 1 - k : DstY1 + k;
    BlendRowFast(dst_row(y), src_row(y), n, Alpha);
  }
}

template struct TkxFastSum<3>;
template struct TkxFastSum<4>;

// --- Blends -----------------------------------------------------------------

void BlendBitmapsEqual(TBitmap* dst, TBitmap* src, uint8_t A) {
  if (!dst || !src) return;
  if (dst->Width() != src->Width() || dst->Height() != src->Height()) return;
  if (dst->PixelFormat() != src->PixelFormat()) return;
  const TPixelView d = dst->View(), s = src->View();
  if (!Is24or32(d) || !s.Valid() || d.width < 2 || d.height < 2) return;
  const size_t n = static_cast<size_t>(d.width) * d.Bpp();
  for (int y = 0; y < d.height; ++y) BlendRowFast(d.Row(y), s.Row(y), n, A);
}

namespace {

template <int Bpp>
void BlendClipped(TBitmap* dst, TBitmap* src, uint8_t A, int x, int y, const TRect& r) {
  TkxFastSum<Bpp> fs;
  if (!fs.Attach(src, dst)) return;
  fs.Alpha = A;
  fs.DstX1 = x;
  fs.DstY1 = y;
  fs.DstX2 = x + r.Width();
  fs.DstY2 = y + r.Height();
  fs.SrcX1 = r.Left;
  fs.SrcY1 = r.Top;
  fs.SrcX2 = r.Right;
  fs.SrcY2 = r.Bottom;
  fs.BlendBitmapsRect();
}

}  // namespace

void BlendBitmapRect(TBitmap* dst, TBitmap* src, uint8_t A, TPoint at, TRect r) {
  if (!dst || !src) return;
  int X = at.X, Y = at.Y;
  if (X < 0) {
    r.Left -= X;
    X = 0;
  }
  if (Y < 0) {
    r.Top -= Y;
    Y = 0;
  }
  if (r.Left < 0) {
    X -= r.Left;
    r.Left = 0;
    if (X < 0) {
      r.Left -= X;
      X = 0;
    }
  }
  if (r.Top < 0) {
    Y -= r.Top;
    r.Top = 0;
    if (Y < 0) {
      r.Top -= Y;
      Y = 0;
    }
  }
  if (r.IsEmpty() || X >= dst->Width() || Y >= dst->Height()) return;
  if (r.Left >= src->Width() || r.Top >= src->Height()) return;
  r.Right = std::min(r.Right, src->Width());
  r.Bottom = std::min(r.Bottom, src->Height());
  if (X + r.Width() > dst->Width()) r.Right = dst->Width() + r.Left - X;
  if (Y + r.Height() > dst->Height()) r.Bottom = dst->Height() + r.Top - Y;
  const TPixelFormat df = dst->PixelFormat(), sf = src->PixelFormat();
  if (df == TPixelFormat::pf32bit && sf == TPixelFormat::pf32bit) BlendClipped<4>(dst, src, A, X, Y, r);
  else if (df == TPixelFormat::pf24bit && sf == TPixelFormat::pf24bit) BlendClipped<3>(dst, src, A, X, Y, r);
}

void BlendRectWithColor(TBitmap* bmp, TRect r, int percent, TColor colour) {
  const TPixelView v = ViewOf(bmp);
  if (!Is24or32(v)) return;
  const TRect c = ClipInclusive(r, v.width, v.height);
  if (c.IsEmpty()) return;
  const auto k = ChannelsBGR(ColorToRGB(colour));
  // The same floating-point expression per byte value, looked up per pixel.
  uint8_t lut[3][256];
  const double p = percent / 100.0;
  for (int ch = 0; ch < 3; ++ch)
    for (int b = 0; b < 256; ++b) lut[ch][b] = ClampByte(Round(p * b + (1 - p) * k[ch]));
  ForEachPixel(v, c, [&](uint8_t* px) {
    px[0] = lut[0][px[0]];
    px[1] = lut[1][px[1]];
    px[2] = lut[2][px[2]];
  });
}

TColor MixColors(TColor a, TColor b, double f) {
  if (IsSystemColor(a)) a = ColorToRGB(a);
  if (IsSystemColor(b)) b = ColorToRGB(b);
  auto mix = [f](uint8_t x, uint8_t y) { return ClampByte(Round(f * x + (1 - f) * y)); };
  const uint32_t top = static_cast<uint32_t>(a) & 0xFF000000u;
  return static_cast<TColor>(top | tk::RGBColor(mix(tk::GetRValue(a), tk::GetRValue(b)),
                                                mix(tk::GetGValue(a), tk::GetGValue(b)),
                                                mix(tk::GetBValue(a), tk::GetBValue(b))));
}

void BlendFromBitmap(TBitmap* dst, int x, int y, TColor key, double d, TRect r, TBitmap* src) {
  const TPixelView dv = ViewOf(dst), sv = ViewOf(src);
  if (!Is24or32(dv) || !Is24or32(sv)) return;
  if (dv.format == TPixelFormat::pf32bit && sv.format == TPixelFormat::pf32bit) return;
  if (r.Left < 0) {
    x -= r.Left;
    r.Left = 0;
  }
  if (r.Top < 0) {
    y -= r.Top;
    r.Top = 0;
  }
  r.Right = std::min(r.Right, sv.width - 1);
  r.Bottom = std::min(r.Bottom, sv.height - 1);
  if (r.Right < r.Left || r.Bottom < r.Top) return;
  const bool keyed = !IsSystemColor(key);
  const bool src32 = sv.format == TPixelFormat::pf32bit;
  const int db = dv.Bpp(), sb = sv.Bpp();
  // Only rows and columns that land inside the destination.
  const int j0 = std::max(0, -y), j1 = std::min(r.Bottom - r.Top, dv.height - 1 - y);
  const int i0 = std::max(0, -x), i1 = std::min(r.Right - r.Left, dv.width - 1 - x);
  for (int j = j0; j <= j1; ++j) {
    const uint8_t* s = sv.Row(r.Top + j) + static_cast<intptr_t>(r.Left + i0) * sb;
    uint8_t* p = dv.Row(y + j) + static_cast<intptr_t>(x + i0) * db;
    for (int i = i0; i <= i1; ++i, s += sb, p += db) {
      if (keyed && (src32 ? Word32(s) : Color24(s)) == key) continue;
      for (int ch = 0; ch < 3; ++ch) p[ch] = ClampByte(Round(s[ch] + d * (p[ch] - s[ch])));
    }
  }
}

void TintTowardsColor(TBitmap* bmp, TColor colour, TColor key, double d) {
  const TPixelView v = ViewOf(bmp);
  if (!Is24or32(v)) return;
  const auto k = ChannelsBGR(ColorToRGB(colour));
  uint8_t lut[3][256];
  for (int ch = 0; ch < 3; ++ch)
    for (int b = 0; b < 256; ++b) lut[ch][b] = ClampByte(Round(k[ch] + d * (b - k[ch])));
  const bool is32 = v.format == TPixelFormat::pf32bit;
  ForEachPixel(v, TRect{0, 0, v.width, v.height}, [&](uint8_t* px) {
    if ((is32 ? Word32(px) : Color24(px)) == key) return;
    px[0] = lut[0][px[0]];
    px[1] = lut[1][px[1]];
    px[2] = lut[2][px[2]];
  });
}

void ColorizeByMask(TBitmap* bmp, TBitmap* mask, TColor colour) {
  const TPixelView v = ViewOf(bmp), m = ViewOf(mask);
  if (!Is24or32(v) || !m.Valid() || m.format != TPixelFormat::pf24bit) return;
  if (v.width != m.width || v.height != m.height) return;
  colour = ColorToRGB(colour);
  const int cr = tk::GetRValue(colour), cg = tk::GetGValue(colour), cb = tk::GetBValue(colour);
  const int bpp = v.Bpp();
  for (int y = 0; y < v.height; ++y) {
    uint8_t* p = v.Row(y);
    const uint8_t* q = m.Row(y);
    for (int x = 0; x < v.width; ++x, p += bpp, q += 3) {
      // Signed products shifted arithmetically, then taken modulo 256.
      p[2] = static_cast<uint8_t>(cr - ((q[2] * (cr - p[2]) + 255) >> 8));
      p[1] = static_cast<uint8_t>((cg * 256 + (p[1] - cg) * q[1]) >> 8);
      p[0] = static_cast<uint8_t>((cb * 256 + (p[0] - cb) * q[0]) >> 8);
    }
  }
}

namespace {

void Grayscale(TBitmap* bmp, bool skipKey, TColor key) {
  const TPixelView v = ViewOf(bmp);
  if (!Is24or32(v)) return;
  ForEachPixel(v, TRect{0, 0, v.width, v.height}, [&](uint8_t* px) {
    if (skipKey && Color24(px) == key) return;
    px[0] = px[1] = px[2] = static_cast<uint8_t>((px[0] + px[1] + px[2]) / 3);
  });
}

}  // namespace

void GrayscaleBitmap(TBitmap* bmp) { Grayscale(bmp, false, 0); }

void GrayscaleExceptKey(TBitmap* bmp, TColor key) {
  if (!bmp || bmp->PixelFormat() != TPixelFormat::pf24bit) return;
  Grayscale(bmp, true, key);
}

void MakeDisabledLook(TBitmap* bmp, TsDisabledKinds flags, const TkxColorQuery& ownerColor, TPoint offset,
                      const TCacheInfo& ci) {
  if (!bmp || bmp->Empty()) return;
  if (flags & dkGrayed) GrayscaleBitmap(bmp);
  if (!(flags & dkBlended)) return;
  if (ci.Ready && ci.Bmp) {
    const int x = ci.X + offset.X, y = ci.Y + offset.Y;
    BlendFromBitmap(bmp, 0, 0, NoKeyColor, 0.4, TRect{x, y, x + bmp->Width() - 1, y + bmp->Height() - 1}, ci.Bmp);
    return;
  }
  TColor c = ci.FillColor;
  // Blending with the "unknown" magenta would paint the control pink.
  if (c == kxKeyColor) c = ownerColor ? ownerColor() : tk::clBtnFace;
  BlendRectWithColor(bmp, TRect{0, 0, bmp->Width() - 1, bmp->Height() - 1}, 50, c);
}

void RestoreKeyedPixels(TBitmap* dst, TBitmap* src, TRect dr, TPoint sp, const TPixelView& mv, TPoint corner) {
  const TPixelView dv = ViewOf(dst), sv = ViewOf(src);
  if (!dv.Valid() || !sv.Valid() || dv.format != TPixelFormat::pf32bit || sv.format != TPixelFormat::pf32bit) return;
  if (mv.Valid() && !Is24or32(mv)) return;
  const TColor key = KeyColor & 0xFFFFFF;
  // Only what lies inside the destination and has a source pixel.
  const TRect c{std::max({dr.Left, 0, dr.Left - sp.X}), std::max({dr.Top, 0, dr.Top - sp.Y}),
                std::min({dr.Right, dv.width, dr.Left - sp.X + sv.width}),
                std::min({dr.Bottom, dv.height, dr.Top - sp.Y + sv.height})};
  for (int y = c.Top; y < c.Bottom; ++y) {
    uint8_t* p = dv.Row(y) + static_cast<intptr_t>(c.Left) * 4;
    const uint8_t* s = sv.Row(sp.Y + y - dr.Top) + static_cast<intptr_t>(sp.X + c.Left - dr.Left) * 4;
    const int my = corner.Y + y - dr.Top;
    for (int x = c.Left; x < c.Right; ++x, p += 4, s += 4) {
      bool marked;
      if (mv.Valid()) {
        const int mx = corner.X + x - dr.Left;
        marked = mx >= 0 && my >= 0 && mx < mv.width && my < mv.height &&
                 Color24(mv.Row(my) + static_cast<intptr_t>(mx) * mv.Bpp()) == key;
      } else {
        marked = Color24(p) == key;
      }
      if (marked) std::memmove(p, s, 4);
    }
  }
}

// --- Fills ------------------------------------------------------------------

void SetAlphaRect(TBitmap* bmp, TRect r, uint8_t alpha) {
  const TPixelView v = ViewOf(bmp);
  if (!v.Valid() || v.format != TPixelFormat::pf32bit) return;
  ForEachPixel(v, ClipExclusive(r, v.width, v.height), [alpha](uint8_t* px) { px[3] = alpha; });
}

void FillRect32(TBitmap* bmp, TRect r, TColor colour) {
  TkxFast32 f;
  if (f.Attach(bmp)) f.FillRect(r, ColorToArgb(colour));
}

void FillBitmapRect(TBitmap* bmp, TRect r, TColor colour) {
  const TPixelView v = ViewOf(bmp);
  if (!Is24or32(v)) return;
  const TRect c = ClipExclusive(r, v.width, v.height);
  if (c.IsEmpty()) return;
  const uint32_t w = ColorToArgb(colour);
  uint8_t px[4];
  std::memcpy(px, &w, 4);
  const int bpp = v.Bpp();
  for (int y = c.Top; y < c.Bottom; ++y)
    FillRowPixels(v.Row(y) + static_cast<intptr_t>(c.Left) * bpp, c.Width(), bpp, px);
}

namespace {

// The part of dst that r covers, as a view of its own, with r's top-left
// corner relative to it; false when nothing of r lies inside dst.
bool ClipView(TBitmap* dst, const TRect& r, TPixelView& clip, TPoint& origin) {
  const TPixelView dv = ViewOf(dst);
  if (!dv.Valid() || dv.Bpp() == 0) return false;
  const TRect c = ClipExclusive(r, dv.width, dv.height);
  if (c.IsEmpty()) return false;
  clip =
      TPixelView{dv.Row(c.Top) + static_cast<intptr_t>(c.Left) * dv.Bpp(), dv.stride, c.Width(), c.Height(), dv.format};
  origin = TPoint{r.Left - c.Left, r.Top - c.Top};
  return true;
}

}  // namespace

void TileBitmap(TBitmap* dst, TRect r, TBitmap* pic) {
  const TPixelView pv = ViewOf(pic);
  TPixelView clip;
  TPoint o;
  if (!pv.Valid() || pv.Bpp() == 0 || !ClipView(dst, r, clip, o)) return;
  // Tiles wholly above or left of dst are skipped, not drawn off the edge.
  const int y0 = o.Y + (-o.Y / pv.height) * pv.height, x0 = o.X + (-o.X / pv.width) * pv.width;
  for (int y = y0; y < clip.height; y += pv.height)
    for (int x = x0; x < clip.width; x += pv.width) CopyPixels(clip, x, y, pv, TRect{0, 0, pv.width, pv.height});
}

void DrawPictureOnce(TBitmap* dst, TRect r, TBitmap* pic) {
  const TPixelView pv = ViewOf(pic);
  TPixelView clip;
  TPoint o;
  if (!pv.Valid() || pv.Bpp() == 0 || !ClipView(dst, r, clip, o)) return;
  CopyPixels(clip, o.X, o.Y, pv, TRect{0, 0, pv.width, pv.height});
}

// --- New bitmaps ------------------------------------------------------------

std::unique_ptr<TBitmap> NewBitmap24(int width, int height) {
  return std::make_unique<TBitmap>(width, height, TPixelFormat::pf24bit);
}

std::unique_ptr<TBitmap> NewBitmap32(int width, int height) {
  return std::make_unique<TBitmap>(width, height, TPixelFormat::pf32bit);
}

std::unique_ptr<TBitmap> NewBitmapLike(const TBitmap* bmp) {
  if (!bmp) return nullptr;
  return std::make_unique<TBitmap>(bmp->Width(), bmp->Height(), bmp->PixelFormat());
}

// --- Colour adjustment ------------------------------------------------------

TColor RotateHue(int degrees, TColor colour) {
  if (IsSystemColor(colour)) colour = ColorToRGB(colour);
  const uint32_t top = static_cast<uint32_t>(colour) & 0xFF000000u;
  const double r = tk::GetRValue(colour), g = tk::GetGValue(colour), b = tk::GetBValue(colour);
  const double V = std::max({r, g, b}), m = std::min({r, g, b});
  const double S = V == 0 ? 0 : (V - m) / V;
  if (S == 0) return colour;  // grey: every channel already equals V
  const double delta = V - m;
  double H;
  if (V == r) H = 60 * (g - b) / delta;
  else if (V == g) H = 120 + 60 * (b - r) / delta;
  else H = 240 + 60 * (r - g) / delta;
  int h = Round(degrees + H) % 360;
  if (h < 0) h += 360;
  const int sector = h / 60;
  const double f = h / 60.0 - sector;
  const double p = V * (1 - S), q = V * (1 - S * f), t = V * (1 - S * (1 - f));
  double R, G, B;
  switch (sector) {
    case 0: R = V, G = t, B = p; break;
    case 1: R = q, G = V, B = p; break;
    case 2: R = p, G = V, B = t; break;
    case 3: R = p, G = q, B = V; break;
    case 4: R = t, G = p, B = V; break;
    default: R = V, G = p, B = q; break;
  }
  return static_cast<TColor>(top | tk::RGBColor(ClampByte(Round(R)), ClampByte(Round(G)), ClampByte(Round(B))));
}

TColor ShiftSaturation(TColor colour, int amount) {
  if (amount == 0) return colour;
  if (IsSystemColor(colour)) colour = ColorToRGB(colour);
  const uint32_t top = static_cast<uint32_t>(colour) & 0xFF000000u;
  const int r = tk::GetRValue(colour), g = tk::GetGValue(colour), b = tk::GetBValue(colour);
  const double grey = (r + g + b) / 3.0;
  auto shift = [&](int c) { return ClampByte(Round(c + amount * (grey - c) / 100)); };
  return static_cast<TColor>(top | tk::RGBColor(shift(r), shift(g), shift(b)));
}

}  // namespace kx
