#include "skin/data/kxBmpReader.h"

#include <array>
#include <bit>
#include <cstring>

#include "skin/data/kxPictureLimits.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;

[[noreturn]] void Fail(const tk::String& reason) { throw tk::EInvalidGraphic(L"Bitmap image is not valid: " + reason); }

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// One channel of a bit-field picture, scaled to 8 bits by bit replication so
// that the largest field value becomes 255 (5-bit 31 -> 255, as GDI does).
struct TChannel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit TChannel(uint32_t m = 0) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    bits = 32 - std::countl_zero(m >> shift);
  }
  uint8_t Get(uint32_t px) const {
    if (bits == 0) return 0;
    uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
    uint32_t r = v << (8 - bits);
    for (int s = bits; s < 8; s *= 2) r |= r >> s;
    return static_cast<uint8_t>(r);
  }
};

struct THeader {
  int64_t width = 0, height = 0;  // height as stored: negative means top-down
  int bpp = 0;
  uint32_t compression = BI_RGB;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool hasMasks = false;
  size_t paletteOffset = 0;
  int paletteEntrySize = 4;
  size_t paletteCount = 0;
};

using TPalette = std::array<std::array<uint8_t, 3>, 256>;  // B, G, R

THeader ReadHeader(const uint8_t* d, size_t n) {
  THeader h;
  if (n < 18) Fail(L"the file is too short");
  uint32_t hsize = U32(d + 14);
  if (hsize < 12 || hsize > n - 14) Fail(L"the header is damaged or truncated");
  const uint8_t* ih = d + 14;
  uint32_t clrUsed = 0;
  if (hsize == 12) {
    h.width = U16(ih + 4);
    h.height = U16(ih + 6);
    h.bpp = U16(ih + 10);
    h.paletteEntrySize = 3;
  } else if (hsize >= 40) {
    h.width = static_cast<int32_t>(U32(ih + 4));
    h.height = static_cast<int32_t>(U32(ih + 8));
    h.bpp = U16(ih + 14);
    h.compression = U32(ih + 16);
    clrUsed = U32(ih + 32);
    // OS/2 2.x headers reuse 3 and 4 for Huffman and RLE24, which no skin uses.
    if (hsize == 64 && (h.compression == 3 || h.compression == 4)) Fail(L"OS/2 compressed pictures are not supported");
    if (hsize >= 52) {
      for (int i = 0; i < 3; ++i) h.masks[i] = U32(ih + 40 + 4 * i);
      h.hasMasks = true;
    }
    if (hsize >= 56) h.masks[3] = U32(ih + 52);
  } else {
    Fail(L"unknown header size " + tk::IntToStr(hsize));
  }
  size_t pos = 14 + static_cast<size_t>(hsize);
  if (hsize == 40 && (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS)) {
    size_t count = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
    if (n - pos < count * 4) Fail(L"the colour masks are truncated");
    for (size_t i = 0; i < count; ++i) h.masks[i] = U32(d + pos + 4 * i);
    h.hasMasks = true;
    pos += count * 4;
  }
  h.paletteOffset = pos;

  switch (h.bpp) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: Fail(L"unsupported colour depth " + tk::IntToStr(h.bpp));
  }
  switch (h.compression) {
    case BI_RGB: break;
    case BI_RLE8:
      if (h.bpp != 8) Fail(L"RLE8 needs 8 bits per pixel");
      break;
    case BI_RLE4:
      if (h.bpp != 4) Fail(L"RLE4 needs 4 bits per pixel");
      break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
      if (h.bpp != 16 && h.bpp != 32) Fail(L"bit fields need 16 or 32 bits per pixel");
      if (!h.hasMasks) Fail(L"the colour masks are missing");
      break;
    default: Fail(L"unsupported compression " + tk::IntToStr(h.compression));
  }
  int64_t absHeight = h.height < 0 ? -h.height : h.height;
  if (h.width < 0) Fail(L"negative width");
  // A picture without pixels is no error; the skin load skips it.
  if (h.width > 0 && absHeight > 0) {
    tk::String bad = CheckPictureSize(h.width, absHeight);
    if (!bad.empty()) Fail(bad);
  }
  if (h.height < 0 && (h.compression == BI_RLE8 || h.compression == BI_RLE4))
    Fail(L"a compressed picture cannot be stored top-down");

  if (h.bpp <= 8) {
    size_t full = size_t(1) << h.bpp;
    h.paletteCount = (clrUsed == 0 || clrUsed > full) ? full : clrUsed;
    size_t bytes = h.paletteCount * static_cast<size_t>(h.paletteEntrySize);
    size_t avail = n - h.paletteOffset;
    // Some writers declare a full palette but store fewer entries before the
    // pixels; what is there counts, the rest stays black.
    if (bytes > avail) h.paletteCount = avail / static_cast<size_t>(h.paletteEntrySize);
    if (h.paletteCount == 0) Fail(L"the colour table is missing");
  }
  return h;
}

size_t PixelOffset(const uint8_t* d, size_t n, const THeader& h) {
  size_t afterPalette = h.paletteOffset + h.paletteCount * static_cast<size_t>(h.paletteEntrySize);
  uint32_t off = U32(d + 10);
  // A zero offset is written by some tools; the pixels then follow the table.
  size_t start = off == 0 ? afterPalette : off;
  if (start < 14 || start > n) Fail(L"the pixel data offset lies outside the file");
  return start;
}

void DecodeRle(const uint8_t* src, size_t n, const THeader& h, const TPalette& pal, tk::TBitmap& bmp) {
  const int w = static_cast<int>(h.width), ht = static_cast<int>(h.height);
  const bool rle4 = h.compression == BI_RLE4;
  int64_t x = 0, y = 0;  // y counts rows from the bottom
  size_t pos = 0;
  auto put = [&](uint8_t index) {
    if (x >= 0 && x < w && y < ht) {
      uint8_t* px = bmp.ScanLine(ht - 1 - static_cast<int>(y)) + x * 3;
      std::memcpy(px, pal[index].data(), 3);
    }
    ++x;
  };
  bool finished = false;
  while (!finished && y < ht) {
    if (n - pos < 2) break;
    uint8_t a = src[pos], b = src[pos + 1];
    pos += 2;
    if (a > 0) {
      if (x >= w) {
        x += a;
        continue;
      }
      for (int i = 0; i < a; ++i) put(rle4 ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
      continue;
    }
    switch (b) {
      case 0:
        x = 0;
        ++y;
        break;
      case 1: finished = true; break;
      case 2:
        if (n - pos < 2) Fail(L"the compressed data is truncated");
        x += src[pos];
        y += src[pos + 1];
        pos += 2;
        break;
      default: {
        size_t bytes = rle4 ? (b + 1) / 2 : b;
        size_t padded = (bytes + 1) & ~size_t(1);
        if (n - pos < bytes) Fail(L"the compressed data is truncated");
        for (int i = 0; i < b; ++i) {
          uint8_t v = rle4 ? ((i & 1) ? (src[pos + i / 2] & 0x0F) : (src[pos + i / 2] >> 4)) : src[pos + i];
          put(v);
        }
        pos += std::min(padded, n - pos);
      }
    }
  }
  if (!finished && y < ht) Fail(L"the compressed data is truncated");
}

void DecodePlain(const uint8_t* src, size_t n, const THeader& h, const TPalette& pal, tk::TBitmap& bmp) {
  const int w = static_cast<int>(h.width);
  const int ht = static_cast<int>(h.height < 0 ? -h.height : h.height);
  const bool topDown = h.height < 0;
  const uint64_t rowBits = static_cast<uint64_t>(w) * static_cast<uint64_t>(h.bpp);
  const uint64_t stride = ((rowBits + 31) / 32) * 4;
  const uint64_t lastRow = (rowBits + 7) / 8;
  // The last row may come without its padding; everything else must be there.
  if (stride * static_cast<uint64_t>(ht - 1) + lastRow > n) Fail(L"the pixel data is truncated");

  TChannel r, g, b, a;
  bool useMasks = h.bpp == 16 || (h.bpp == 32 && h.compression != BI_RGB);
  if (h.bpp == 16 && h.compression == BI_RGB) {
    r = TChannel(0x7C00), g = TChannel(0x03E0), b = TChannel(0x001F);
  } else if (useMasks) {
    r = TChannel(h.masks[0]), g = TChannel(h.masks[1]), b = TChannel(h.masks[2]), a = TChannel(h.masks[3]);
  }
  const bool standard32 = h.bpp == 32 && (h.compression == BI_RGB || (h.masks[0] == 0xFF0000 && h.masks[1] == 0xFF00 &&
                                                                      h.masks[2] == 0xFF && h.masks[3] == 0xFF000000u));

  for (int y = 0; y < ht; ++y) {
    const uint8_t* s = src + stride * static_cast<uint64_t>(topDown ? y : ht - 1 - y);
    uint8_t* o = bmp.ScanLine(y);
    switch (h.bpp) {
      case 1:
        for (int x = 0; x < w; ++x) std::memcpy(o + 3 * x, pal[(s[x >> 3] >> (7 - (x & 7))) & 1].data(), 3);
        break;
      case 4:
        for (int x = 0; x < w; ++x) std::memcpy(o + 3 * x, pal[(s[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F].data(), 3);
        break;
      case 8:
        for (int x = 0; x < w; ++x) std::memcpy(o + 3 * x, pal[s[x]].data(), 3);
        break;
      case 16:
        for (int x = 0; x < w; ++x) {
          uint32_t px = U16(s + 2 * x);
          o[3 * x] = b.Get(px), o[3 * x + 1] = g.Get(px), o[3 * x + 2] = r.Get(px);
        }
        break;
      case 24: std::memcpy(o, s, static_cast<size_t>(w) * 3); break;
      case 32:
        if (standard32) {
          std::memcpy(o, s, static_cast<size_t>(w) * 4);
        } else {
          for (int x = 0; x < w; ++x) {
            uint32_t px = U32(s + 4 * x);
            o[4 * x] = b.Get(px), o[4 * x + 1] = g.Get(px), o[4 * x + 2] = r.Get(px);
            o[4 * x + 3] = a.bits ? a.Get(px) : 0xFF;
          }
        }
        break;
    }
  }
}

}  // namespace

bool LooksLikeBmp(const uint8_t* data, size_t size) { return size >= 2 && data[0] == 'B' && data[1] == 'M'; }

std::unique_ptr<tk::TBitmap> ReadBmp(const uint8_t* data, size_t size) {
  if (!data || !LooksLikeBmp(data, size)) Fail(L"the file does not start with \"BM\"");
  THeader h = ReadHeader(data, size);
  TPalette pal{};
  for (size_t i = 0; i < h.paletteCount; ++i) {
    const uint8_t* e = data + h.paletteOffset + i * static_cast<size_t>(h.paletteEntrySize);
    pal[i] = {e[0], e[1], e[2]};
  }
  size_t off = PixelOffset(data, size, h);
  if (h.width == 0 || h.height == 0) return std::make_unique<tk::TBitmap>();
  const int w = static_cast<int>(h.width);
  const int ht = static_cast<int>(h.height < 0 ? -h.height : h.height);
  auto bmp = std::make_unique<tk::TBitmap>(w, ht, h.bpp == 32 ? tk::TPixelFormat::pf32bit : tk::TPixelFormat::pf24bit);
  if (h.compression == BI_RLE8 || h.compression == BI_RLE4) DecodeRle(data + off, size - off, h, pal, *bmp);
  else DecodePlain(data + off, size - off, h, pal, *bmp);
  return bmp;
}

}  // namespace kx
