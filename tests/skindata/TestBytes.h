// Little helpers for building skin files byte by byte in tests: BMP files of
// every layout the reader knows, and reading pixels back.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "toolkit/Bitmap.h"

namespace kxtest {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A BMP file: 14-byte file header, the DIB header given, then extra (masks,
// palette), then the pixel bytes. The pixel offset field points right after
// extra unless offset is given.
struct BmpLayout {
  int32_t width = 1, height = 1;
  uint16_t bpp = 24;
  uint32_t compression = 0;
  uint32_t headerSize = 40;
  uint32_t clrUsed = 0;
  Bytes extra;   // masks and/or palette
  Bytes pixels;  // as stored
  int64_t offset = -1;
  uint32_t masks[4] = {0, 0, 0, 0};  // written into V2+ headers
};

inline Bytes MakeBmp(const BmpLayout& s) {
  Bytes b = {'B', 'M'};
  Bytes dib;
  if (s.headerSize == 12) {
    Put32(dib, 12);
    Put16(dib, uint32_t(s.width));
    Put16(dib, uint32_t(s.height));
    Put16(dib, 1);
    Put16(dib, s.bpp);
  } else {
    Put32(dib, s.headerSize);
    Put32(dib, uint32_t(s.width));
    Put32(dib, uint32_t(s.height));
    Put16(dib, 1);
    Put16(dib, s.bpp);
    Put32(dib, s.compression);
    Put32(dib, uint32_t(s.pixels.size()));
    Put32(dib, 2835);
    Put32(dib, 2835);
    Put32(dib, s.clrUsed);
    Put32(dib, 0);
    for (int i = 0; i < 4 && dib.size() < s.headerSize; ++i) Put32(dib, s.masks[i]);
    dib.resize(s.headerSize, 0);
  }
  uint32_t off = uint32_t(14 + dib.size() + s.extra.size());
  if (s.offset >= 0) off = uint32_t(s.offset);
  Put32(b, uint32_t(14 + dib.size() + s.extra.size() + s.pixels.size()));
  Put32(b, 0);
  Put32(b, off);
  b.insert(b.end(), dib.begin(), dib.end());
  b.insert(b.end(), s.extra.begin(), s.extra.end());
  b.insert(b.end(), s.pixels.begin(), s.pixels.end());
  return b;
}

// Palette entries B, G, R, 0 from colours 0x00RRGGBB.
inline Bytes Palette(std::initializer_list<uint32_t> rgb, int entrySize = 4) {
  Bytes b;
  for (uint32_t c : rgb) {
    b.push_back(uint8_t(c));
    b.push_back(uint8_t(c >> 8));
    b.push_back(uint8_t(c >> 16));
    if (entrySize == 4) b.push_back(0);
  }
  return b;
}

// The pixel at (x, y), row 0 on top, as 0x00RRGGBB (24- and 32-bit).
inline uint32_t Px(const tk::TBitmap& b, int x, int y) {
  int bpp = b.PixelFormat() == tk::TPixelFormat::pf32bit ? 4 : 3;
  const uint8_t* p = b.ScanLine(y) + x * bpp;
  return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}
inline uint8_t Alpha(const tk::TBitmap& b, int x, int y) { return b.ScanLine(y)[x * 4 + 3]; }

// A bitmap filled by f(x, y) -> 0x00RRGGBB (alpha from the top byte for 32-bit).
template <class F>
tk::TBitmap* Fill(tk::TBitmap& b, F f) {
  int bpp = b.PixelFormat() == tk::TPixelFormat::pf32bit ? 4 : 3;
  for (int y = 0; y < b.Height(); ++y) {
    uint8_t* p = b.ScanLine(y);
    for (int x = 0; x < b.Width(); ++x, p += bpp) {
      uint32_t c = f(x, y);
      p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
      if (bpp == 4) p[3] = uint8_t(c >> 24);
    }
  }
  return &b;
}

}  // namespace kxtest

namespace kxtest {
// The pixel at (x, y) as a colour value 0x00BBGGRR.
inline tk::TColor PxColor(const tk::TBitmap& b, int x, int y) {
  uint32_t p = Px(b, x, y);
  return tk::RGBColor(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
}
}  // namespace kxtest
