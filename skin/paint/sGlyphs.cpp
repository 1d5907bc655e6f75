#include "skin/paint/sGlyphs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "skin/paint/PixelViews.h"
#include "skin/paint/sAlphaGraph.h"

namespace kx {

using tk::TBitmap;
using tk::TColor;
using tk::TPixelFormat;
using tk::TPixelView;
using tk::TPoint;
using tk::TRect;

namespace {

TColor Color24(const uint8_t* p) { return p[2] | (p[1] << 8) | (p[0] << 16); }

// Channel order in memory: blue, green, red.
std::array<int, 3> ChannelsBGR(TColor c) { return {tk::GetBValue(c), tk::GetGValue(c), tk::GetRValue(c)}; }

// --- Blur ---------------------------------------------------------------------

constexpr int kBlurReach = 100;
constexpr int kBlurShift = 16;  // weights are fixed point with 16 fraction bits

// The Gaussian weights of -j..j, cut where the outer pairs add up to less
// than half a grey step, as integers that sum to exactly 1 << kBlurShift:
// truncating the sum then keeps an even area's value.
std::vector<uint32_t> BlurKernel(int radius) {
  std::array<float, 2 * kBlurReach + 1> w{};
  float sum = 0;
  for (int k = -kBlurReach; k <= kBlurReach; ++k) {
    const float t = static_cast<float>(k) / static_cast<float>(radius);
    w[k + kBlurReach] = std::exp(-t * t / 2);
    sum += w[k + kBlurReach];
  }
  for (float& v : w) v /= sum;
  int j = kBlurReach;
  float cut = 0;
  while (j > 1 && cut + w[kBlurReach + j] + w[kBlurReach - j] < 1.0f / 510) {
    cut += w[kBlurReach + j] + w[kBlurReach - j];
    --j;
  }
  float kept = 0;
  for (int k = -j; k <= j; ++k) kept += w[k + kBlurReach];
  std::vector<uint32_t> q(2 * j + 1);
  int64_t total = 0;
  for (int k = -j; k <= j; ++k) {
    q[k + j] = static_cast<uint32_t>(std::lround(w[k + kBlurReach] / kept * (1 << kBlurShift)));
    total += q[k + j];
  }
  // Rounding leaves a few units over or under; the centre weight takes them.
  q[j] = static_cast<uint32_t>(static_cast<int64_t>(q[j]) + ((int64_t{1} << kBlurShift) - total));
  return q;
}

// --- Keyed copies -----------------------------------------------------------------

// Copies src's rectangle s (cut to src) to (x, y) of dst, leaving out pixels
// of colour key; a 32-bit destination gets alpha 255 where copied.
void CopyKeyedRect(const TPixelView& dv, const TPixelView& sv, TRect s, int x, int y, TColor key) {
  if (!Is24or32(dv) || !sv.Valid() || sv.format != TPixelFormat::pf24bit) return;
  if (s.Left < 0) x -= s.Left, s.Left = 0;
  if (s.Top < 0) y -= s.Top, s.Top = 0;
  s.Right = std::min(s.Right, sv.width);
  s.Bottom = std::min(s.Bottom, sv.height);
  const int i0 = std::max(0, -x), i1 = std::min(s.Width(), dv.width - x);
  const int j0 = std::max(0, -y), j1 = std::min(s.Height(), dv.height - y);
  const int db = dv.Bpp();
  for (int j = j0; j < j1; ++j) {
    const uint8_t* p = sv.Row(s.Top + j) + static_cast<intptr_t>(s.Left + i0) * 3;
    uint8_t* d = dv.Row(y + j) + static_cast<intptr_t>(x + i0) * db;
    for (int i = i0; i < i1; ++i, p += 3, d += db) {
      if (Color24(p) == key) continue;
      std::memcpy(d, p, 3);
      if (db == 4) d[3] = 255;
    }
  }
}

// --- Alpha pictures ------------------------------------------------------------

// Where a picture lands: w x h pixels from (sx, sy) of the source to (dx, dy)
// of the destination, inside both.
struct TArea {
  int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
  bool Empty() const { return w <= 0 || h <= 0; }
};

// The smaller width and height of D and S, cut to both bitmaps (srcRows of
// the source may be used); a part at negative coordinates is cut on both sides.
TArea AreaOf(TRect D, TRect S, const TPixelView& dv, int srcWidth, int srcRows) {
  TArea a{D.Left, D.Top, S.Left, S.Top, std::min(D.Width(), S.Width()), std::min(D.Height(), S.Height())};
  auto cut = [](int& p, int& q, int& n) {
    const int off = std::max({0, -p, -q});
    p += off, q += off, n -= off;
  };
  cut(a.dx, a.sx, a.w);
  cut(a.dy, a.sy, a.h);
  a.w = std::min({a.w, dv.width - a.dx, srcWidth - a.sx});
  a.h = std::min({a.h, dv.height - a.dy, srcRows - a.sy});
  return a;
}

// The parent's picture under destination pixel (x, y), or null.
const uint8_t* ParentPixel(const TCacheInfo& P, const TPixelView& pv, int x, int y) {
  if (!Is24or32(pv)) return nullptr;
  x += P.X, y += P.Y;
  if (x < 0 || y < 0 || x >= pv.width || y >= pv.height) return nullptr;
  return pv.Row(y) + static_cast<intptr_t>(x) * pv.Bpp();
}

// d := ((t - d) * a + d * 256) >> 8 per colour channel (arithmetic shift).
inline void BlendOver(uint8_t* d, const int* t, int a) {
  for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(((t[c] - d[c]) * a + d[c] * 256) >> 8);
}

// The target channels of a source pixel: its own, or its grey times the tint.
struct TTintedSource {
  bool tinted = false;
  std::array<double, 3> factor{};  // tint channel / 255, blue first

  explicit TTintedSource(TColor tint) {
    if (tint == tk::clNone) return;
    tinted = true;
    const auto ch = ChannelsBGR(tk::ColorToRGB(tint));
    for (int c = 0; c < 3; ++c) factor[c] = ch[c] / 255.0;
  }
  void Target(const uint8_t* s, int* t) const {
    if (!tinted) {
      t[0] = s[0], t[1] = s[1], t[2] = s[2];
      return;
    }
    const int g = (s[0] + s[1] + s[2]) / 3;
    for (int c = 0; c < 3; ++c) t[c] = std::min(255, tk::Round(g * factor[c]));
  }
};

constexpr uint32_t kAlphaKey = 0x00FF00FF;  // magenta with alpha 0

inline uint32_t Word(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

void BlurGray(TBitmap* Bmp, int Radius) {
  const TPixelView v = ViewOf(Bmp);
  if (!v.Valid() || v.format != TPixelFormat::pf8bit || Radius <= 0) return;
  const std::vector<uint32_t> q = BlurKernel(Radius);
  const int j = static_cast<int>(q.size() / 2);
  const int w = v.width, h = v.height;
  // Rows: each row copied with j clamped pixels on both sides.
  std::vector<uint8_t> pad(static_cast<size_t>(w + 2 * j));
  for (int y = 0; y < h; ++y) {
    uint8_t* row = v.Row(y);
    std::fill_n(pad.begin(), j, row[0]);
    std::memcpy(pad.data() + j, row, static_cast<size_t>(w));
    std::fill_n(pad.begin() + j + w, j, row[w - 1]);
    for (int x = 0; x < w; ++x) {
      uint32_t acc = 0;
      const uint8_t* p = pad.data() + x;
      for (int k = 0; k < 2 * j + 1; ++k) acc += q[k] * p[k];
      row[x] = static_cast<uint8_t>(std::min<uint32_t>(acc >> kBlurShift, 255));
    }
  }
  // Columns, row by row over a copy of the row pass.
  std::vector<uint8_t> plane(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) std::memcpy(&plane[static_cast<size_t>(y) * w], v.Row(y), static_cast<size_t>(w));
  std::vector<uint32_t> acc(static_cast<size_t>(w));
  for (int y = 0; y < h; ++y) {
    std::fill(acc.begin(), acc.end(), 0u);
    for (int k = -j; k <= j; ++k) {
      const uint8_t* src = &plane[static_cast<size_t>(std::clamp(y + k, 0, h - 1)) * w];
      const uint32_t weight = q[k + j];
      for (int x = 0; x < w; ++x) acc[x] += weight * src[x];
    }
    uint8_t* row = v.Row(y);
    for (int x = 0; x < w; ++x) row[x] = static_cast<uint8_t>(std::min<uint32_t>(acc[x] >> kBlurShift, 255));
  }
}

void ApplyGlowMask(TBitmap* Target, const TBitmap* Mask, TPoint MaskOrigin, TColor Glow) {
  const TPixelView tv = ViewOf(Target);
  const TPixelView mv = ViewOf(const_cast<TBitmap*>(Mask));
  if (!Is24or32(tv) || !mv.Valid() || mv.format != TPixelFormat::pf8bit) return;
  const auto g = ChannelsBGR(tk::ColorToRGB(Glow));
  const int tb = tv.Bpp();
  const int i0 = std::max(0, -MaskOrigin.X), i1 = std::min(mv.width, tv.width - MaskOrigin.X);
  const int j0 = std::max(0, -MaskOrigin.Y), j1 = std::min(mv.height, tv.height - MaskOrigin.Y);
  for (int j = j0; j < j1; ++j) {
    const uint8_t* m = mv.Row(j);
    uint8_t* t = tv.Row(MaskOrigin.Y + j) + static_cast<intptr_t>(MaskOrigin.X + i0) * tb;
    for (int i = i0; i < i1; ++i, t += tb) {
      const int a = m[i];
      if (a == 255) continue;
      for (int c = 0; c < 3; ++c) t[c] = static_cast<uint8_t>(g[c] + (t[c] - g[c]) * a / 255);
      if (tb == 4) t[3] = static_cast<uint8_t>(std::max(0, t[3] + a - 255));
    }
  }
}

tk::String CutWithEllipsis(const tk::String& Text, int Width, const std::function<int(const tk::String&)>& TextWidth) {
  if (Width <= 0) return {};
  if (TextWidth(Text) <= Width) return Text;
  tk::String s = Text;
  while (!s.empty()) {
    size_t n = s.size() - 1;
    const auto unit = [&](size_t i) { return static_cast<uint32_t>(s[i]); };
    if (n > 0 && unit(n) >= 0xDC00 && unit(n) <= 0xDFFF && unit(n - 1) >= 0xD800 && unit(n - 1) <= 0xDBFF) --n;
    s.resize(n);
    if (!s.empty() && TextWidth(s + L"...") <= Width) return s + L"...";
  }
  return {};
}

void CopyKeyed(TBitmap* Target, TBitmap* Source, int X, TColor Key, int Y) {
  const TPixelView sv = ViewOf(Source);
  CopyKeyedRect(ViewOf(Target), sv, TRect{0, 0, sv.width, sv.height}, X, Y, tk::ColorToRGB(Key));
}

void ForEachFocusDot(TRect R, const std::function<void(int X, int Y, bool Black)>& Dot) {
  // A black dot and a white one diagonally above-left of it.
  auto pair = [&](int x, int y) {
    Dot(x, y, true);
    Dot(x - 1, y - 1, false);
  };
  for (int i = 0; i <= R.Width() / 3; ++i) {
    pair(R.Left + 3 * i, R.Top);
    pair(R.Left + 3 * i, R.Bottom);
  }
  for (int j = 0; j <= R.Height() / 3; ++j) {
    pair(R.Left, R.Top + 3 * j);
    pair(R.Right, R.Top + 3 * j);
  }
}

void DrawDottedFocus(TBitmap* Target, TRect R) {
  const TPixelView v = ViewOf(Target);
  if (!Is24or32(v)) return;
  const int bpp = v.Bpp();
  ForEachFocusDot(R, [&](int x, int y, bool black) {
    if (x < 0 || y < 0 || x >= v.width || y >= v.height) return;
    uint8_t* p = v.Row(y) + static_cast<intptr_t>(x) * bpp;
    p[0] = p[1] = p[2] = black ? 0 : 255;
    if (bpp == 4) p[3] = 255;
  });
}

int GlyphStripFrame(int Kind, int DownFlag, int Frames, bool Enabled, bool FourBit) {
  if (Frames <= 1 || !Enabled) return 0;
  const int fallback = FourBit ? 0 : 1;
  switch (Kind) {
    case gkDisabled: return fallback;
    case gkDown: {
      const int frame = std::max(DownFlag, 0) + 2;
      return frame < Frames ? frame : fallback;
    }
    default: return 0;
  }
}

void DrawGlyphStrip(TBitmap* Glyph, TBitmap* Target, TRect R, int StateIndex, int BlendPercent, int Kind,
                    TsDisabledGlyphKinds Disabled, bool Enabled, int Frames) {
  if (!Glyph || Glyph->Empty() || !Is24or32(ViewOf(Target)) || Frames < 1) return;
  const bool fourBit = Glyph->PixelFormat() == TPixelFormat::pf4bit;
  TBitmap work;
  work.Assign(Glyph);
  work.SetPixelFormat(TPixelFormat::pf24bit);
  const TPixelView wv = work.View();
  const int fw = wv.width / Frames, h = wv.height;
  if (fw <= 0) return;
  const int frame = Frames == 1 ? 0 : GlyphStripFrame(Kind, StateIndex, Frames, Enabled, fourBit);
  const TRect src{frame * fw, 0, frame * fw + fw, h};
  const TColor key = Color24(wv.Row(h - 1) + static_cast<intptr_t>(src.Left) * 3);
  // The blend of BlendFromBitmap weighs the target by d.
  auto mixIn = [&](double d) {
    BlendFromBitmap(Target, R.Left, R.Top, key, d, TRect{src.Left, 0, src.Right - 1, h - 1}, &work);
  };
  auto copy = [&] { CopyKeyedRect(ViewOf(Target), wv, src, R.Left, R.Top, key); };
  if (Enabled) {
    if (Kind == gkUp && BlendPercent > 0) mixIn(BlendPercent / 100.0);
    else copy();
    return;
  }
  // A strip's disabled look comes from the frame; a single frame is dimmed.
  if (Frames == 1 && (Disabled & dgGrayed)) GrayscaleExceptKey(&work, key);
  if (Frames == 1 && (Disabled & dgBlended)) mixIn(0.5);
  else copy();
}

void DrawAlphaImage(TRect D, TRect S, TBitmap* Dst, bool Reflection, int SeeThrough, TColor Tint,
                    bool KeyShowsBackground, const TCacheInfo& Parent, TBitmap* Src) {
  const TPixelView dv = ViewOf(Dst);
  if (!Is24or32(dv) || !Src || Src->Empty()) return;
  std::unique_ptr<TBitmap> copy32;
  if (Src->PixelFormat() != TPixelFormat::pf32bit) {
    copy32 = std::make_unique<TBitmap>();
    copy32->Assign(Src);
    copy32->SetPixelFormat(TPixelFormat::pf32bit);
    Src = copy32.get();
  }
  const TPixelView sv = Src->View();
  const TArea a = AreaOf(D, S, dv, sv.width, sv.height);
  if (a.Empty()) return;
  const int see = std::clamp(SeeThrough, 0, 100);
  const TTintedSource tint(Tint);
  const TPixelView pv = Parent.Ready ? ViewOf(Parent.Bmp) : TPixelView{};
  const int db = dv.Bpp();
  int t[3];
  for (int j = 0; j < a.h; ++j) {
    const uint8_t* s = sv.Row(a.sy + j) + static_cast<intptr_t>(a.sx) * 4;
    uint8_t* d = dv.Row(a.dy + j) + static_cast<intptr_t>(a.dx) * db;
    for (int i = 0; i < a.w; ++i, s += 4, d += db) {
      if (Parent.Ready && Word(s) == kAlphaKey) {
        if (!KeyShowsBackground) continue;
        if (const uint8_t* p = ParentPixel(Parent, pv, a.dx + i, a.dy + j)) std::memcpy(d, p, 3);
        continue;
      }
      tint.Target(s, t);
      BlendOver(d, t, see == 0 ? s[3] : s[3] * (100 - see) / 100);
    }
  }
  if (!Reflection) return;
  // Mirrored rows below D, read from S only: the row k under D's bottom
  // edge shows the source row k above S's last one.
  const int half = sv.height / 2;
  if (half <= 1) return;
  const int step = 255 / half;
  const int srcLast = std::min(S.Bottom, sv.height) - 1, srcFirst = std::max(S.Top, 0);
  const int rows = std::min({half - 1, dv.height - D.Bottom - 1, srcLast - srcFirst});
  int fade = 255;
  for (int k = 1; k <= rows; ++k, fade -= step) {
    const int dy = D.Bottom + k;
    if (dy < 0) continue;
    const uint8_t* s = sv.Row(srcLast - k) + static_cast<intptr_t>(a.sx) * 4;
    uint8_t* d = dv.Row(dy) + static_cast<intptr_t>(a.dx) * db;
    for (int i = 0; i < a.w; ++i, s += 4, d += db) {
      if (Word(s) == kAlphaKey) continue;
      const int alpha = see == 0 ? s[3] / 3 : (100 - see) * s[3] / 300;
      tint.Target(s, t);
      BlendOver(d, t, fade * alpha / 255);
    }
  }
}

void CopyMaskedPicture(TRect D, TRect S, TBitmap* Dst, bool KeyShowsBackground, const TCacheInfo& Parent,
                       TBitmap* Src) {
  const TPixelView dv = ViewOf(Dst), sv = ViewOf(Src);
  if (!Is24or32(dv) || !Is24or32(sv)) return;
  const bool masked = sv.format == TPixelFormat::pf24bit;
  // A masked picture's mask lies half the bitmap's height below it: only the
  // rows whose mask row exists are picture rows.
  const int maskOffset = masked ? sv.height / 2 : 0;
  const TArea a = AreaOf(D, S, dv, sv.width, sv.height - maskOffset);
  if (a.Empty()) return;
  const TPixelView pv = Parent.Ready ? ViewOf(Parent.Bmp) : TPixelView{};
  const int db = dv.Bpp(), sb = sv.Bpp();
  for (int j = 0; j < a.h; ++j) {
    const uint8_t* s = sv.Row(a.sy + j) + static_cast<intptr_t>(a.sx) * sb;
    const uint8_t* m = masked ? sv.Row(a.sy + j + maskOffset) + static_cast<intptr_t>(a.sx) * 3 : nullptr;
    uint8_t* d = dv.Row(a.dy + j) + static_cast<intptr_t>(a.dx) * db;
    for (int i = 0; i < a.w; ++i, s += sb, d += db) {
      if (Parent.Ready && Color24(s) == kxKeyColor) {
        if (!KeyShowsBackground) continue;
        if (const uint8_t* p = ParentPixel(Parent, pv, a.dx + i, a.dy + j)) std::memcpy(d, p, 3);
        continue;
      }
      if (masked) {
        const uint8_t* mp = m + static_cast<intptr_t>(i) * 3;
        for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(((d[c] - s[c]) * mp[c] + s[c] * 256) >> 8);
      } else {
        const int t[3] = {s[0], s[1], s[2]};
        BlendOver(d, t, s[3]);
        if (db == 4) d[3] = 255;
      }
    }
  }
}

}  // namespace kx
