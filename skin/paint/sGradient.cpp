#include "skin/paint/sGradient.h"

#include <algorithm>
#include <cmath>

#include "toolkit/SysUtils.h"

namespace kx {

using tk::TBitmap;
using tk::TColor;
using tk::TPixelFormat;
using tk::TRect;

void ParseGradientData(const tk::String& text, TsGradArray& arr) {
  arr.clear();
  std::vector<tk::String> words;
  size_t i = 0;
  while (i < text.size()) {
    size_t j = text.find(L';', i);
    if (j == tk::String::npos) j = text.size();
    if (j > i) words.push_back(text.substr(i, j - i));
    i = j + 1;
  }
  arr.resize(words.size() / 5);
  for (size_t b = 0; b < arr.size(); ++b) {
    const tk::String* w = &words[b * 5];
    TsGradPie& p = arr[b];
    p.Color1 = std::max(0, tk::StrToInt(w[0]));
    p.Color2 = std::max(0, tk::StrToInt(w[1]));
    p.Percent = static_cast<uint8_t>(std::clamp(tk::StrToInt(w[2]), 0, 100));
    p.Mode1 = tk::StrToInt(w[3]);
  }
}

namespace {

// The ramp runs in single precision with a double step, as the painter of
// the original skins did; rounding is halves-to-even.
struct TRamp {
  float r, g, b;
  double dr, dg, db;
  TRamp(TColor c1, TColor c2, int n)
      : r(tk::GetRValue(c1)), g(tk::GetGValue(c1)), b(tk::GetBValue(c1)),
        dr((tk::GetRValue(c2) - double(tk::GetRValue(c1))) / n),
        dg((tk::GetGValue(c2) - double(tk::GetGValue(c1))) / n),
        db((tk::GetBValue(c2) - double(tk::GetBValue(c1))) / n) {}
  void Put(uint8_t* px, int bpp) const {
    px[0] = static_cast<uint8_t>(std::clamp(tk::Round(b), 0, 255));
    px[1] = static_cast<uint8_t>(std::clamp(tk::Round(g), 0, 255));
    px[2] = static_cast<uint8_t>(std::clamp(tk::Round(r), 0, 255));
    if (bpp == 4) px[3] = 255;
  }
  void Step() {
    r = static_cast<float>(r + dr);
    g = static_cast<float>(g + dg);
    b = static_cast<float>(b + db);
  }
};

void PaintVertical(const tk::TPixelView& v, TRect r, const TsGradArray& arr) {
  const int h = r.Height(), bpp = v.Bpp();
  const int last = std::min(r.Bottom, v.height) - 1;
  const int xEnd = std::min(r.Left + r.Width(), v.width);
  int start = r.Top;
  for (size_t i = 0; i < arr.size(); ++i) {
    int end = start + arr[i].Percent * h / 100;
    end = (i + 1 == arr.size()) ? last : std::min(end, last);
    const int n = end - start;
    if (n > 0) {
      TRamp ramp(arr[i].Color1, arr[i].Color2, n);
      for (int y = start; y <= end; ++y) {
        uint8_t* row = v.Row(y);
        for (int x = r.Left; x < xEnd; ++x) ramp.Put(row + x * bpp, bpp);
        ramp.Step();
      }
    }
    start = end;
  }
}

void PaintHorizontal(const tk::TPixelView& v, TRect r, const TsGradArray& arr) {
  const int w = r.Width(), bpp = v.Bpp();
  const int last = std::min(r.Right, v.width) - 1;
  for (int y = r.Top; y < r.Bottom; ++y) {
    uint8_t* row = v.Row(y);
    int start = r.Left;
    for (size_t i = 0; i < arr.size(); ++i) {
      int end = tk::Round(arr[i].Percent * (w / 100.0) + start);
      end = (i + 1 == arr.size()) ? last : std::min(end, last);
      const int n = end - start;
      if (n > 0) {
        TRamp ramp(arr[i].Color1, arr[i].Color2, n);
        for (int x = start; x <= end; ++x) {
          ramp.Put(row + x * bpp, bpp);
          ramp.Step();
        }
      }
      start = end;
    }
  }
}

}  // namespace

void FillGradientTriangles(const tk::TPixelView& v, TRect r, const TkxGradVertex vx[5]) {
  static const int tri[4][3] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  const int bpp = v.Bpp();
  if (bpp < 3) return;
  for (const auto& t : tri) {
    const TkxGradVertex &a = vx[t[0]], &b = vx[t[1]], &c = vx[t[2]];
    const double area = double(b.X - a.X) * (c.Y - a.Y) - double(c.X - a.X) * (b.Y - a.Y);
    if (area == 0) continue;
    const int x0 = std::max(r.Left, std::min({a.X, b.X, c.X}));
    const int x1 = std::min(r.Right, std::max({a.X, b.X, c.X}));
    const int y0 = std::max(r.Top, std::min({a.Y, b.Y, c.Y}));
    const int y1 = std::min(r.Bottom, std::max({a.Y, b.Y, c.Y}));
    for (int y = y0; y < y1; ++y) {
      uint8_t* row = v.Row(y);
      const double py = y + 0.5;
      for (int x = x0; x < x1; ++x) {
        const double px = x + 0.5;
        const double wa = (double(b.X - px) * (c.Y - py) - double(c.X - px) * (b.Y - py)) / area;
        const double wb = (double(c.X - px) * (a.Y - py) - double(a.X - px) * (c.Y - py)) / area;
        const double wc = 1.0 - wa - wb;
        // Pixel centres on a shared edge belong to the first triangle that has them.
        if (wa < -1e-9 || wb < -1e-9 || wc < -1e-9) continue;
        auto mix = [&](uint8_t (*ch)(TColor)) {
          return static_cast<uint8_t>(
              std::clamp(tk::Round(wa * ch(a.Color) + wb * ch(b.Color) + wc * ch(c.Color)), 0, 255));
        };
        uint8_t* p = row + x * bpp;
        p[0] = mix([](TColor c) { return tk::GetBValue(c); });
        p[1] = mix([](TColor c) { return tk::GetGValue(c); });
        p[2] = mix([](TColor c) { return tk::GetRValue(c); });
        if (bpp == 4) p[3] = 255;
      }
    }
  }
}

namespace detail {
void PaintTriangles(TBitmap* bmp, TRect r, const TkxGradVertex vx[5]) {
  FillGradientTriangles(bmp->View(), r, vx);
}
}  // namespace detail

void PaintGradient(TBitmap* bmp, TRect r, const TsGradArray& arr) {
  if (!bmp || arr.empty()) return;
  r.Right = std::min(r.Right, bmp->Width());
  r.Bottom = std::min(r.Bottom, bmp->Height());
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  if (r.IsEmpty()) return;
  const TPixelFormat f = bmp->PixelFormat();
  const bool colour = f == TPixelFormat::pf24bit || f == TPixelFormat::pf32bit;
  switch (arr[0].Mode1) {
    case 0:
      if (colour) PaintVertical(bmp->View(), r, arr);
      break;
    case 1:
      if (colour) PaintHorizontal(bmp->View(), r, arr);
      break;
    case 2: {
      TkxGradVertex vx[5] = {{r.Left, r.Top, 0},
                             {r.Left + r.Width() / 2, r.Top + r.Height() / 2, 0},
                             {r.Right, r.Top, 0},
                             {r.Right, r.Bottom, 0},
                             {r.Left, r.Bottom, 0}};
      for (int i = 0; i < 5; ++i)
        vx[i].Color = i < static_cast<int>(arr.size()) ? arr[i].Color1 : vx[i - 1].Color;
      if (colour) detail::PaintTriangles(bmp, r, vx);
      break;
    }
    default:
      break;
  }
}

}  // namespace kx
