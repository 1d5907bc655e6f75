#include "skin/paint/sGradient.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skin/paint/BlendRow.h"
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

// The ramp's running values are single precision and its step double
// precision; existing skins were designed against exactly these bands, so
// neither may be widened. Rounding is halves to even.
struct TRamp {
  float r, g, b;
  double dr, dg, db;
  TRamp(TColor c1, TColor c2, int n)
      : r(tk::GetRValue(c1)),
        g(tk::GetGValue(c1)),
        b(tk::GetBValue(c1)),
        dr((tk::GetRValue(c2) - double(tk::GetRValue(c1))) / n),
        dg((tk::GetGValue(c2) - double(tk::GetGValue(c1))) / n),
        db((tk::GetBValue(c2) - double(tk::GetBValue(c1))) / n) {}
  void Put(uint8_t* px, int bpp) const {
    px[0] = static_cast<uint8_t>(std::clamp(RoundHalfEven(b), 0, 255));
    px[1] = static_cast<uint8_t>(std::clamp(RoundHalfEven(g), 0, 255));
    px[2] = static_cast<uint8_t>(std::clamp(RoundHalfEven(r), 0, 255));
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
      // One colour per row: work it out once and fill the row, or copy the
      // row above when the ramp has not moved a whole step.
      TRamp ramp(arr[i].Color1, arr[i].Color2, n);
      const size_t bytes = static_cast<size_t>(xEnd - r.Left) * bpp;
      uint8_t prev[4] = {0, 0, 0, 0};
      for (int y = start; y <= end; ++y) {
        uint8_t px[4];
        ramp.Put(px, 4);
        uint8_t* row = v.Row(y) + static_cast<intptr_t>(r.Left) * bpp;
        if (y > start && std::memcmp(px, prev, 3) == 0) std::memcpy(row, row - v.stride, bytes);
        else FillRowPixels(row, xEnd - r.Left, bpp, px);
        std::memcpy(prev, px, 4);
        ramp.Step();
      }
    }
    start = end;
  }
}

void PaintHorizontal(const tk::TPixelView& v, TRect r, const TsGradArray& arr) {
  const int w = r.Width(), bpp = v.Bpp();
  const int last = std::min(r.Right, v.width) - 1;
  // Every row gets the same bands; the bands, each starting where the one
  // before ended, cover Left..last whenever a single one is painted.
  uint8_t* first = v.Row(r.Top);
  int start = r.Left;
  for (size_t i = 0; i < arr.size(); ++i) {
    int end = tk::Round(arr[i].Percent * (w / 100.0) + start);
    end = (i + 1 == arr.size()) ? last : std::min(end, last);
    const int n = end - start;
    if (n > 0) {
      TRamp ramp(arr[i].Color1, arr[i].Color2, n);
      for (int x = start; x <= end; ++x) {
        ramp.Put(first + static_cast<intptr_t>(x) * bpp, bpp);
        ramp.Step();
      }
    }
    start = end;
  }
  if (last <= r.Left) return;
  const size_t bytes = static_cast<size_t>(last - r.Left + 1) * bpp;
  for (int y = r.Top + 1; y < r.Bottom; ++y)
    std::memcpy(v.Row(y) + static_cast<intptr_t>(r.Left) * bpp, first + static_cast<intptr_t>(r.Left) * bpp, bytes);
}

}  // namespace

void FillGradientTriangles(const tk::TPixelView& v, TRect r, const TkxGradVertex vx[5]) {
  static const int tri[4][3] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  const int bpp = v.Bpp();
  if (bpp < 3) return;
  // As in GDI, pixel (x, y) is the point (x, y): the rectangle's right and
  // bottom edges are outside it. Exact integer weights; the colour is
  // truncated, as the system fill does.
  auto cross = [](int64_t ax, int64_t ay, int64_t bx, int64_t by) { return ax * by - ay * bx; };
  for (const auto& t : tri) {
    const TkxGradVertex &a = vx[t[0]], &b = vx[t[1]], &c = vx[t[2]];
    int64_t area = cross(b.X - a.X, b.Y - a.Y, c.X - a.X, c.Y - a.Y);
    if (area == 0) continue;
    const int64_t sign = area < 0 ? -1 : 1;
    area *= sign;
    const uint8_t ca[3] = {tk::GetBValue(a.Color), tk::GetGValue(a.Color), tk::GetRValue(a.Color)};
    const uint8_t cb[3] = {tk::GetBValue(b.Color), tk::GetGValue(b.Color), tk::GetRValue(b.Color)};
    const uint8_t cc[3] = {tk::GetBValue(c.Color), tk::GetGValue(c.Color), tk::GetRValue(c.Color)};
    const int x0 = std::max(r.Left, std::min({a.X, b.X, c.X}));
    const int x1 = std::min(r.Right - 1, std::max({a.X, b.X, c.X}));
    const int y0 = std::max(r.Top, std::min({a.Y, b.Y, c.Y}));
    const int y1 = std::min(r.Bottom - 1, std::max({a.Y, b.Y, c.Y}));
    for (int y = y0; y <= y1; ++y) {
      uint8_t* p = v.Row(y) + static_cast<intptr_t>(x0) * bpp;
      for (int x = x0; x <= x1; ++x, p += bpp) {
        const int64_t wa = sign * cross(b.X - x, b.Y - y, c.X - x, c.Y - y);
        const int64_t wb = sign * cross(c.X - x, c.Y - y, a.X - x, a.Y - y);
        const int64_t wc = area - wa - wb;
        // Points on an edge shared by two triangles get the same colour from
        // both: it depends only on the edge's two ends.
        if (wa < 0 || wb < 0 || wc < 0) continue;
        for (int ch = 0; ch < 3; ++ch) p[ch] = static_cast<uint8_t>((wa * ca[ch] + wb * cb[ch] + wc * cc[ch]) / area);
        if (bpp == 4) p[3] = 255;
      }
    }
  }
}

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
      for (int i = 0; i < 5; ++i) vx[i].Color = i < static_cast<int>(arr.size()) ? arr[i].Color1 : vx[i - 1].Color;
      if (colour) detail::PaintTriangles(bmp, r, vx);
      break;
    }
    default: break;
  }
}

}  // namespace kx
