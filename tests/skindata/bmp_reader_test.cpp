#include <gtest/gtest.h>

#include <climits>

#include "skin/data/kxBmpReader.h"
#include "skin/data/kxImageWrite.h"
#include "tests/skindata/TestBytes.h"
#include "toolkit/SysUtils.h"

using namespace kxtest;
using kx::ReadBmp;

namespace {

std::unique_ptr<tk::TBitmap> Read(const Bytes& b) { return ReadBmp(b.data(), b.size()); }

// 2 x 2, 24-bit: red, green on top; blue, white below.
BmpLayout Rgb24(bool topDown) {
  BmpLayout s;
  s.width = 2, s.height = topDown ? -2 : 2;
  Bytes top = {0, 0, 255, 0, 255, 0, 0, 0};         // red, green + padding
  Bytes bottom = {255, 0, 0, 255, 255, 255, 0, 0};  // blue, white + padding
  s.pixels = topDown ? top : bottom;
  Bytes second = topDown ? bottom : top;
  s.pixels.insert(s.pixels.end(), second.begin(), second.end());
  return s;
}

std::string ErrorOf(const Bytes& b) {
  try {
    Read(b);
  } catch (const tk::EInvalidGraphic& e) { return e.what(); }
  return "";
}

}  // namespace

TEST(BmpReader, BottomUpAndTopDownGiveTheSamePictureWithRowZeroOnTop) {
  for (bool topDown : {false, true}) {
    auto b = Read(MakeBmp(Rgb24(topDown)));
    ASSERT_EQ(b->PixelFormat(), tk::TPixelFormat::pf24bit);
    EXPECT_EQ(Px(*b, 0, 0), 0xFF0000u) << topDown;
    EXPECT_EQ(Px(*b, 1, 0), 0x00FF00u) << topDown;
    EXPECT_EQ(Px(*b, 0, 1), 0x0000FFu) << topDown;
    EXPECT_EQ(Px(*b, 1, 1), 0xFFFFFFu) << topDown;
  }
}

TEST(BmpReader, LastRowMayComeWithoutItsPadding) {
  BmpLayout s = Rgb24(false);
  s.pixels.resize(s.pixels.size() - 2);
  auto b = Read(MakeBmp(s));
  EXPECT_EQ(Px(*b, 1, 0), 0x00FF00u);
}

TEST(BmpReader, ThirtyTwoBitKeepsItsFourthByte) {
  BmpLayout s;
  s.width = 1, s.height = 1, s.bpp = 32;
  s.pixels = {10, 20, 30, 40};
  auto b = Read(MakeBmp(s));
  ASSERT_EQ(b->PixelFormat(), tk::TPixelFormat::pf32bit);
  EXPECT_EQ(Px(*b, 0, 0), 0x1E140Au);
  EXPECT_EQ(Alpha(*b, 0, 0), 40);
}

TEST(BmpReader, BitFieldsAreScaledSoTheLargestFieldIsFull) {
  // 16-bit 5-6-5 through bit fields after an info header.
  BmpLayout s;
  s.width = 3, s.height = 1, s.bpp = 16, s.compression = 3;
  for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) Put32(s.extra, m);
  s.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x10, 0x00, 0, 0};  // red, green, blue 16 of 31
  auto b = Read(MakeBmp(s));
  EXPECT_EQ(Px(*b, 0, 0), 0xFF0000u);
  EXPECT_EQ(Px(*b, 1, 0), 0x00FF00u);
  EXPECT_EQ(Px(*b, 2, 0), 0x000084u);  // 10000b replicated: 10000100
}

TEST(BmpReader, SixteenBitWithoutMasksIsFiveFiveFive) {
  BmpLayout s;
  s.width = 2, s.height = 1, s.bpp = 16;
  s.pixels = {0xFF, 0x7F, 0x00, 0x7C};  // white, red
  auto b = Read(MakeBmp(s));
  EXPECT_EQ(Px(*b, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(Px(*b, 1, 0), 0xFF0000u);
}

TEST(BmpReader, ThirtyTwoBitFieldsInAVersionFiveHeaderCarryAlpha) {
  BmpLayout s;
  s.headerSize = 124, s.width = 1, s.height = 1, s.bpp = 32, s.compression = 3;
  s.masks[0] = 0x000000FF, s.masks[1] = 0x0000FF00, s.masks[2] = 0x00FF0000, s.masks[3] = 0xFF000000;
  s.pixels = {0x11, 0x22, 0x33, 0x80};  // stored R, G, B, A
  auto b = Read(MakeBmp(s));
  EXPECT_EQ(Px(*b, 0, 0), 0x112233u);
  EXPECT_EQ(Alpha(*b, 0, 0), 0x80);
}

TEST(BmpReader, PalettedDepthsLookUpTheirColours) {
  BmpLayout one;
  one.width = 3, one.height = 1, one.bpp = 1;
  one.extra = Palette({0x000000, 0xFF00FF});
  one.pixels = {0b10100000, 0, 0, 0};
  auto b1 = Read(MakeBmp(one));
  EXPECT_EQ(Px(*b1, 0, 0), 0xFF00FFu);
  EXPECT_EQ(Px(*b1, 1, 0), 0x000000u);
  EXPECT_EQ(Px(*b1, 2, 0), 0xFF00FFu);

  BmpLayout four;
  four.width = 3, four.height = 1, four.bpp = 4, four.clrUsed = 3;
  four.extra = Palette({0x111111, 0x222222, 0x333333});
  four.pixels = {0x21, 0xF0, 0, 0};  // indexes 2, 1, 15 (no such entry)
  auto b4 = Read(MakeBmp(four));
  EXPECT_EQ(Px(*b4, 0, 0), 0x333333u);
  EXPECT_EQ(Px(*b4, 1, 0), 0x222222u);
  EXPECT_EQ(Px(*b4, 2, 0), 0x000000u) << "an index beyond the table is black";

  BmpLayout eight;
  eight.width = 2, eight.height = 1, eight.bpp = 8, eight.clrUsed = 2;
  eight.extra = Palette({0x0000FF, 0x00FF00});
  eight.pixels = {1, 0, 0, 0};
  auto b8 = Read(MakeBmp(eight));
  EXPECT_EQ(Px(*b8, 0, 0), 0x00FF00u);
  EXPECT_EQ(Px(*b8, 1, 0), 0x0000FFu);
}

TEST(BmpReader, CoreHeaderWithThreeBytePalette) {
  BmpLayout s;
  s.headerSize = 12, s.width = 2, s.height = 1, s.bpp = 8;
  Bytes pal = Palette({0xABCDEF, 0x123456}, 3);
  pal.resize(256 * 3, 0);
  s.extra = pal;
  s.pixels = {1, 0, 0, 0};
  auto b = Read(MakeBmp(s));
  EXPECT_EQ(Px(*b, 0, 0), 0x123456u);
  EXPECT_EQ(Px(*b, 1, 0), 0xABCDEFu);
}

TEST(BmpReader, Rle8RunsAbsoluteRunsDeltasAndLineEnds) {
  BmpLayout s;
  s.width = 4, s.height = 3, s.bpp = 8, s.compression = 1, s.clrUsed = 3;
  s.extra = Palette({0x000000, 0xFF0000, 0x00FF00});
  // bottom row: 3 x red, end of line; middle: absolute 2,1,2 (padded), eol;
  // top: delta 2 right, then 2 x green, end of bitmap.
  s.pixels = {3, 1, 0, 0, 0, 3, 2, 1, 2, 0, 0, 0, 0, 2, 2, 0, 2, 2, 0, 1};
  auto b = Read(MakeBmp(s));
  EXPECT_EQ(Px(*b, 0, 2), 0xFF0000u);
  EXPECT_EQ(Px(*b, 2, 2), 0xFF0000u);
  EXPECT_EQ(Px(*b, 3, 2), 0u) << "skipped pixels stay black";
  EXPECT_EQ(Px(*b, 0, 1), 0x00FF00u);
  EXPECT_EQ(Px(*b, 1, 1), 0xFF0000u);
  EXPECT_EQ(Px(*b, 2, 1), 0x00FF00u);
  EXPECT_EQ(Px(*b, 0, 0), 0u);
  EXPECT_EQ(Px(*b, 2, 0), 0x00FF00u);
  EXPECT_EQ(Px(*b, 3, 0), 0x00FF00u);
}

TEST(BmpReader, Rle4AlternatesTheTwoNibbles) {
  BmpLayout s;
  s.width = 6, s.height = 1, s.bpp = 4, s.compression = 2, s.clrUsed = 2;
  s.extra = Palette({0x0000FF, 0xFFFFFF});
  // run of 3 alternating 0,1,0; absolute 3 pixels 1,1,1 (2 bytes, word aligned).
  s.pixels = {3, 0x01, 0, 3, 0x11, 0x10, 0, 1};
  auto b = Read(MakeBmp(s));
  EXPECT_EQ(Px(*b, 0, 0), 0x0000FFu);
  EXPECT_EQ(Px(*b, 1, 0), 0xFFFFFFu);
  EXPECT_EQ(Px(*b, 2, 0), 0x0000FFu);
  EXPECT_EQ(Px(*b, 3, 0), 0xFFFFFFu);
  EXPECT_EQ(Px(*b, 4, 0), 0xFFFFFFu);
  EXPECT_EQ(Px(*b, 5, 0), 0xFFFFFFu);
}

TEST(BmpReader, RunsPastTheRightEdgeAreCut) {
  BmpLayout s;
  s.width = 2, s.height = 1, s.bpp = 8, s.compression = 1, s.clrUsed = 1;
  s.extra = Palette({0x445566});
  s.pixels = {255, 0, 255, 0, 0, 1};
  auto b = Read(MakeBmp(s));
  EXPECT_EQ(Px(*b, 1, 0), 0x445566u);
}

TEST(BmpReader, PictureWithoutPixelsReadsAsEmpty) {
  BmpLayout s;
  s.width = 0, s.height = 5;
  auto b = Read(MakeBmp(s));
  EXPECT_TRUE(b->Empty());
}

TEST(BmpReader, WrittenPicturesReadBackUnchanged) {
  for (auto f : {tk::TPixelFormat::pf24bit, tk::TPixelFormat::pf32bit}) {
    tk::TBitmap src(5, 3, f);
    Fill(src, [](int x, int y) { return uint32_t(0x80000000u | (x * 40) << 16 | (y * 70) << 8 | (x + y)); });
    Bytes file = kx::WriteBmp(src);
    auto b = Read(file);
    ASSERT_EQ(b->PixelFormat(), f);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(Px(*b, x, y), Px(src, x, y));
  }
}

// --- Damaged files: a clear error, never a crash ------------------------------

TEST(BmpReaderDamaged, EveryTruncationOfAValidFileFailsCleanly) {
  BmpLayout s;
  s.width = 3, s.height = 2, s.bpp = 8, s.compression = 1, s.clrUsed = 2;
  s.extra = Palette({0, 0xFFFFFF});
  s.pixels = {3, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 1};  // the second row ends at the end-of-bitmap code
  Bytes full = MakeBmp(s);
  ASSERT_NO_THROW(Read(full));
  for (size_t n = 0; n + 1 < full.size(); ++n) {
    Bytes cut(full.begin(), full.begin() + n);
    EXPECT_THROW(Read(cut), tk::EInvalidGraphic) << n;
  }
}

TEST(BmpReaderDamaged, UncompressedPixelsCutShort) {
  BmpLayout s = Rgb24(false);
  s.pixels.resize(5);
  EXPECT_NE(ErrorOf(MakeBmp(s)).find("truncated"), std::string::npos);
}

TEST(BmpReaderDamaged, AbsurdDimensionsAreRefusedBeforeAllocating) {
  BmpLayout s;
  s.width = 1000000, s.height = 1000000, s.bpp = 24;
  EXPECT_NE(ErrorOf(MakeBmp(s)).find("too large"), std::string::npos);
  s.width = 1, s.height = INT32_MIN;
  EXPECT_NE(ErrorOf(MakeBmp(s)).find("too large"), std::string::npos);
  // Compressed: a few bytes must not make a huge picture either.
  BmpLayout r;
  r.width = 20000, r.height = 20000, r.bpp = 8, r.compression = 1, r.clrUsed = 1;
  r.extra = Palette({0});
  r.pixels = {0, 1};
  EXPECT_FALSE(ErrorOf(MakeBmp(r)).empty());
}

TEST(BmpReaderDamaged, HeaderFieldsOutsideTheirRange) {
  struct Case {
    const char* what;
    BmpLayout layout;
  };
  std::vector<Case> cases;
  {
    BmpLayout s = Rgb24(false);
    s.width = -2;
    cases.push_back({"negative width", s});
  }
  {
    BmpLayout s = Rgb24(false);
    s.bpp = 7;
    cases.push_back({"depth 7", s});
  }
  {
    BmpLayout s = Rgb24(false);
    s.compression = 1;
    cases.push_back({"RLE8 on 24 bits", s});
  }
  {
    BmpLayout s = Rgb24(false);
    s.compression = 4;
    cases.push_back({"embedded JPEG", s});
  }
  {
    BmpLayout s = Rgb24(false);
    s.headerSize = 30;
    cases.push_back({"unknown header size", s});
  }
  {
    BmpLayout s = Rgb24(false);
    s.offset = 100000;
    cases.push_back({"pixel offset beyond the file", s});
  }
  {
    BmpLayout s;
    s.width = 2, s.height = -1, s.bpp = 8, s.compression = 1;
    s.extra = Palette({0});
    s.pixels = {2, 0, 0, 1};
    cases.push_back({"top-down RLE", s});
  }
  {
    BmpLayout s;
    s.width = 2, s.height = 1, s.bpp = 8;
    s.pixels = {};
    cases.push_back({"no colour table", s});
  }
  {
    BmpLayout s;
    s.width = 2, s.height = 1, s.bpp = 16, s.compression = 3;
    s.pixels = {0, 0, 0, 0};
    cases.push_back({"bit fields without masks", s});
  }
  for (const Case& c : cases) EXPECT_FALSE(ErrorOf(MakeBmp(c.layout)).empty()) << c.what;
}

TEST(BmpReaderDamaged, HeaderSizeLargerThanTheFile) {
  Bytes b = MakeBmp(Rgb24(false));
  b[14] = 0xFF, b[15] = 0xFF, b[16] = 0xFF, b[17] = 0x7F;
  EXPECT_NE(ErrorOf(b).find("header"), std::string::npos);
}

TEST(BmpReaderDamaged, ErrorNamesWhatIsWrong) {
  Bytes b = {'X', 'Y', 0, 0};
  EXPECT_EQ(ErrorOf(b), "Bitmap image is not valid: the file does not start with \"BM\"");
}
