// Helpers of the painting tests: bitmaps filled with seeded noise, pixel
// reads and writes in the engine's colour order, and a picture comparison
// that reports the largest and the total difference and saves both pictures
// when they differ by more than the tolerance.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace painttest {

using tk::TBitmap;
using tk::TColor;
using tk::TPixelFormat;

constexpr TPixelFormat pf24 = TPixelFormat::pf24bit;
constexpr TPixelFormat pf32 = TPixelFormat::pf32bit;

inline std::unique_ptr<TBitmap> Noise(int w, int h, TPixelFormat f, uint32_t seed) {
  auto b = std::make_unique<TBitmap>(w, h, f);
  std::mt19937 rng(seed);
  const tk::TPixelView v = b->View();
  for (int y = 0; y < v.height; ++y)
    for (int x = 0; x < v.width * v.Bpp(); ++x) v.Row(y)[x] = static_cast<uint8_t>(rng());
  return b;
}

inline std::unique_ptr<TBitmap> Solid(int w, int h, TPixelFormat f, TColor c, uint8_t alpha = 0) {
  auto b = std::make_unique<TBitmap>(w, h, f);
  const tk::TPixelView v = b->View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = v.Row(y) + x * v.Bpp();
      p[0] = tk::GetBValue(c);
      p[1] = tk::GetGValue(c);
      p[2] = tk::GetRValue(c);
      if (v.Bpp() == 4) p[3] = alpha;
    }
  return b;
}

inline std::unique_ptr<TBitmap> Copy(TBitmap& b) {
  auto c = std::make_unique<TBitmap>();
  c->Assign(&b);
  return c;
}

inline uint8_t* At(TBitmap& b, int x, int y) { return b.View().Row(y) + x * b.View().Bpp(); }

// 0x00BBGGRR of the pixel.
inline TColor Color(TBitmap& b, int x, int y) {
  const uint8_t* p = At(b, x, y);
  return tk::RGBColor(p[2], p[1], p[0]);
}
inline uint8_t Alpha(TBitmap& b, int x, int y) { return At(b, x, y)[3]; }

inline void Put(TBitmap& b, int x, int y, TColor c) {
  uint8_t* p = At(b, x, y);
  p[0] = tk::GetBValue(c);
  p[1] = tk::GetGValue(c);
  p[2] = tk::GetRValue(c);
}

// Every byte of every row (padding left out) equal.
inline bool SameBytes(TBitmap& a, TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) return false;
  const tk::TPixelView va = a.View(), vb = b.View();
  for (int y = 0; y < va.height; ++y)
    if (std::memcmp(va.Row(y), vb.Row(y), static_cast<size_t>(va.width) * va.Bpp()) != 0) return false;
  return true;
}

struct TDiff {
  int max = 0;
  int64_t total = 0;
  int worstX = -1, worstY = -1;
};

// Channel differences of the colour bytes (alpha left out).
inline TDiff Compare(TBitmap& a, TBitmap& b) {
  TDiff d;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      for (int c = 0; c < 3; ++c) {
        const int e = std::abs(At(a, x, y)[c] - At(b, x, y)[c]);
        d.total += e;
        if (e > d.max) {
          d.max = e;
          d.worstX = x;
          d.worstY = y;
        }
      }
  return d;
}

// A bottom-up 24-bit BMP file of the picture's colours, for looking at.
inline std::string SavePicture(TBitmap& b, const std::string& name) {
  const std::string path = ::testing::TempDir() + name + ".bmp";
  const uint32_t stride = (static_cast<uint32_t>(b.Width()) * 3 + 3) & ~3u;
  const uint32_t size = 54 + stride * static_cast<uint32_t>(b.Height());
  std::string file(size, '\0');
  auto put = [&](size_t at, uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) file[at + k] = static_cast<char>(v >> (8 * k));
  };
  file[0] = 'B';
  file[1] = 'M';
  put(2, size, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<uint32_t>(b.Width()), 4);
  put(22, static_cast<uint32_t>(b.Height()), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) std::memcpy(&file[54 + (b.Height() - 1 - y) * stride + x * 3], At(b, x, y), 3);
  std::ofstream(path, std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
  return path;
}

// Passes when no colour byte differs by more than tolerance; otherwise saves
// both pictures and says where they are.
inline ::testing::AssertionResult LooksAlike(TBitmap& got, TBitmap& want, int tolerance, const std::string& name) {
  if (got.Width() != want.Width() || got.Height() != want.Height())
    return ::testing::AssertionFailure() << "sizes differ";
  const TDiff d = Compare(got, want);
  if (d.max <= tolerance) return ::testing::AssertionSuccess() << "max " << d.max << ", total " << d.total;
  return ::testing::AssertionFailure() << "max difference " << d.max << " at (" << d.worstX << ", " << d.worstY
                                       << "), total " << d.total << ", tolerance " << tolerance << "; pictures "
                                       << SavePicture(got, name + "-got") << " and "
                                       << SavePicture(want, name + "-want");
}

}  // namespace painttest
