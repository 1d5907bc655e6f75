#include <gtest/gtest.h>

#include <zlib.h>

#include "skin/data/kxImageWrite.h"
#include "skin/data/kxJpegReader.h"
#include "skin/data/kxPngReader.h"
#include "tests/skindata/TestBytes.h"
#include "toolkit/SysUtils.h"

using namespace kxtest;

namespace {

std::unique_ptr<tk::TBitmap> Gradient(int w, int h, tk::TPixelFormat f) {
  auto p = std::make_unique<tk::TBitmap>(w, h, f);
  tk::TBitmap& b = *p;
  Fill(b, [](int x, int y) { return uint32_t((x * 20) << 24 | (x * 30) << 16 | (y * 40) << 8 | 0x55); });
  return p;
}

// A PNG whose header claims the given size, with a valid CRC.
Bytes PngHeaderOnly(uint32_t w, uint32_t h) {
  Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
  Bytes chunk = {'I', 'H', 'D', 'R'};
  for (uint32_t v : {w, h})
    for (int s = 24; s >= 0; s -= 8) chunk.push_back(uint8_t(v >> s));
  chunk.insert(chunk.end(), {8, 2, 0, 0, 0});
  uLong crc = crc32(0, chunk.data(), uInt(chunk.size()));
  b.insert(b.end(), chunk.begin(), chunk.end());
  for (int s = 24; s >= 0; s -= 8) b.push_back(uint8_t(crc >> s));
  // An empty IDAT, so that the reader reaches the pixel data.
  Bytes idat = {0, 0, 0, 0, 'I', 'D', 'A', 'T'};
  uLong c2 = crc32(0, idat.data() + 4, 4);
  b.insert(b.end(), idat.begin(), idat.end());
  for (int s = 24; s >= 0; s -= 8) b.push_back(uint8_t(c2 >> s));
  return b;
}

}  // namespace

TEST(PngReader, AlphaPicturesBecomeThirtyTwoBitWithStraightAlpha) {
  auto srcp = Gradient(7, 5, tk::TPixelFormat::pf32bit);
  tk::TBitmap& src = *srcp;
  Bytes png = kx::WritePng(src);
  auto b = kx::ReadPng(png.data(), png.size());
  ASSERT_EQ(b->PixelFormat(), tk::TPixelFormat::pf32bit);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      EXPECT_EQ(Px(*b, x, y), Px(src, x, y));
      EXPECT_EQ(Alpha(*b, x, y), Alpha(src, x, y));
    }
}

TEST(PngReader, OpaquePicturesBecomeTwentyFourBit) {
  auto srcp = Gradient(3, 4, tk::TPixelFormat::pf24bit);
  tk::TBitmap& src = *srcp;
  Bytes png = kx::WritePng(src);
  auto b = kx::ReadPng(png.data(), png.size());
  ASSERT_EQ(b->PixelFormat(), tk::TPixelFormat::pf24bit);
  EXPECT_EQ(Px(*b, 2, 3), Px(src, 2, 3));
}

TEST(PngReaderDamaged, CorruptedAndTruncatedDataGiveLibpngsText) {
  auto srcp = Gradient(16, 16, tk::TPixelFormat::pf32bit);
  tk::TBitmap& src = *srcp;
  Bytes png = kx::WritePng(src);
  for (size_t n : {size_t(0), size_t(7), size_t(20), size_t(40), png.size() / 2, png.size() - 13}) {
    Bytes cut(png.begin(), png.begin() + n);
    EXPECT_THROW(kx::ReadPng(cut.data(), cut.size()), tk::EInvalidGraphic) << n;
  }
  Bytes bad = png;
  bad[bad.size() / 2] ^= 0x5A;
  try {
    kx::ReadPng(bad.data(), bad.size());
    ADD_FAILURE() << "a flipped byte in the picture data went unnoticed";
  } catch (const tk::EInvalidGraphic& e) {
    EXPECT_EQ(std::string(e.what()).rfind("PNG image is not valid: ", 0), 0u) << e.what();
  }
}

TEST(PngReaderDamaged, AbsurdDimensionsAreRefusedBeforeDecoding) {
  Bytes b = PngHeaderOnly(100000, 100000);
  try {
    kx::ReadPng(b.data(), b.size());
    ADD_FAILURE();
  } catch (const tk::EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
  }
}

TEST(JpegReader, DecodesToTwentyFourBitOfTheSameSize) {
  tk::TBitmap src(33, 17, tk::TPixelFormat::pf24bit);
  Fill(src, [](int, int) { return 0x3366CCu; });
  Bytes jpg = kx::WriteJpeg(src, 95);
  auto b = kx::ReadJpeg(jpg.data(), jpg.size());
  ASSERT_EQ(b->PixelFormat(), tk::TPixelFormat::pf24bit);
  ASSERT_EQ(b->Width(), 33);
  ASSERT_EQ(b->Height(), 17);
  uint32_t c = Px(*b, 10, 10);
  EXPECT_NEAR(int(c >> 16), 0x33, 4);
  EXPECT_NEAR(int((c >> 8) & 0xFF), 0x66, 4);
  EXPECT_NEAR(int(c & 0xFF), 0xCC, 4);
}

TEST(JpegReaderDamaged, TruncatedOrCorruptDataFailsWithLibjpegsText) {
  auto srcp = Gradient(64, 64, tk::TPixelFormat::pf24bit);
  tk::TBitmap& src = *srcp;
  Bytes jpg = kx::WriteJpeg(src);
  for (size_t n : {size_t(0), size_t(2), size_t(3), size_t(100), jpg.size() / 2, jpg.size() - 3}) {
    Bytes cut(jpg.begin(), jpg.begin() + n);
    EXPECT_THROW(kx::ReadJpeg(cut.data(), cut.size()), tk::EInvalidGraphic) << n;
  }
  // A scan cut short by the end marker, in a frame that declares 8196 x 2321
  // pixels: refused at once instead of decoding millions of grey pixels.
  const Bytes bomb = {
      0xff, 0xd8, 0xff, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x03, 0x02, 0x02, 0x03, 0x02, 0x02, 0x03, 0x03, 0x03, 0x03,
      0x04, 0x03, 0x03, 0x04, 0x05, 0x08, 0x05, 0x05, 0x04, 0x04, 0x05, 0x0a, 0x07, 0x07, 0x06, 0x08, 0x0c, 0x0a,
      0x0c, 0x0b, 0x0a, 0x0b, 0x0b, 0xff, 0xff, 0xd6, 0xff, 0x0d, 0x0e, 0x12, 0x10, 0x0d, 0x0e, 0x11, 0x0e, 0x0b,
      0x0b, 0x35, 0x13, 0x14, 0x15, 0x15, 0x15, 0x0c, 0x0f, 0x17, 0x18, 0x16, 0x14, 0x18, 0x12, 0x14, 0x15, 0x14,
      0xff, 0xdb, 0x00, 0x43, 0x01, 0x03, 0x04, 0x04, 0xff, 0xd8, 0x31, 0xbf, 0xdb, 0x00, 0x02, 0x03, 0x03, 0x65,
      0x00, 0xff, 0xcb, 0xf8, 0xf8, 0xf8, 0xf8, 0xf8, 0xf8, 0xf8, 0xf8, 0xf8, 0xf8, 0xf8, 0xf4, 0xf8, 0xf8, 0xf8,
      0xf8, 0xf8, 0xf8, 0xf8, 0xf8, 0xf8, 0xf8, 0xff, 0xc0, 0x00, 0x11, 0x08, 0x00, 0x05, 0x00, 0x11, 0x03, 0x14,
      0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x34, 0x14, 0x14, 0xff, 0xc0, 0x00,
      0x11, 0x08, 0x20, 0x04, 0x09, 0x11, 0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xff, 0xda,
      0x00, 0x0c, 0x03, 0x01, 0x10, 0x02, 0x11, 0x03, 0x11, 0xbf, 0xba, 0xe7, 0xec, 0xff, 0xd9};
  EXPECT_THROW(kx::ReadJpeg(bomb.data(), bomb.size()), tk::EInvalidGraphic);

  Bytes notJpeg = {'h', 'e', 'l', 'l', 'o'};
  try {
    kx::ReadJpeg(notJpeg.data(), notJpeg.size());
    ADD_FAILURE();
  } catch (const tk::EInvalidGraphic& e) {
    EXPECT_EQ(std::string(e.what()), "JPEG image is not valid: Not a JPEG file: starts with 0x68 0x65");
  }
}
