#include <gtest/gtest.h>

#include "skin/paint/NineSlices.h"
#include "skin/paint/sAlphaGraph.h"
#include "tests/paint/PaintTest.h"

using namespace painttest;
using kx::TkxWidths;
using tk::TRect;

namespace {

constexpr TColor kUntouched = 0x5A5A5A;

// Every source pixel names its own position: red x, green y.
std::unique_ptr<TBitmap> Positions(int w, int h, TPixelFormat f = pf24) {
  auto b = std::make_unique<TBitmap>(w, h, f);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Put(*b, x, y, tk::RGBColor(uint8_t(x), uint8_t(y), 1));
  return b;
}

TColor Pos(int x, int y) { return tk::RGBColor(uint8_t(x), uint8_t(y), 1); }

const int kTileAll[4] = {kx::nsTile, kx::nsTile, kx::nsTile, kx::nsTile};

}  // namespace

TEST(CopyNineSlices, CapsNarrowerThanTheMarginsNarrowTheSidesButNotTheCorners) {
  auto src = Positions(30, 30);
  auto dst = Solid(50, 40, pf24, kUntouched);
  kx::CopyNineSlices(dst.get(), src.get(), TRect{0, 0, 50, 40}, TRect{0, 0, 30, 30}, TkxWidths{10, 10, 10, 10},
                     TkxWidths{4, 20, 4, 20}, kTileAll, false, 0);
  // 10 x 10 corners.
  EXPECT_EQ(Color(*dst, 9, 9), Pos(9, 9));
  EXPECT_EQ(Color(*dst, 40, 0), Pos(20, 0));
  EXPECT_EQ(Color(*dst, 49, 39), Pos(29, 29));
  EXPECT_EQ(Color(*dst, 0, 39), Pos(0, 29));
  // Left and right sides 4 wide, tiled with 10-row pieces.
  EXPECT_EQ(Color(*dst, 3, 10), Pos(3, 10));
  EXPECT_EQ(Color(*dst, 3, 25), Pos(3, 15));
  EXPECT_EQ(Color(*dst, 4, 15), kUntouched);
  EXPECT_EQ(Color(*dst, 46, 29), Pos(26, 19));
  EXPECT_EQ(Color(*dst, 45, 15), kUntouched);
  // Top and bottom sides full margin height, tiled with 10-column pieces.
  EXPECT_EQ(Color(*dst, 35, 9), Pos(15, 9));
  EXPECT_EQ(Color(*dst, 22, 35), Pos(12, 25));
  EXPECT_EQ(Color(*dst, 25, 20), kUntouched) << "no centre without the flag";
}

TEST(CopyNineSlices, CapsEqualToTheMarginsGiveEveryPieceTheMarginsWidth) {
  auto src = Positions(30, 30);
  auto dst = Solid(50, 40, pf24, kUntouched);
  kx::CopyNineSlices(dst.get(), src.get(), TRect{0, 0, 50, 40}, TRect{0, 0, 30, 30}, TkxWidths{10, 10, 10, 10},
                     TkxWidths{10, 10, 10, 10}, kTileAll, true, 0);
  EXPECT_EQ(Color(*dst, 9, 17), Pos(9, 17));
  EXPECT_EQ(Color(*dst, 40, 17), Pos(20, 17));
  EXPECT_EQ(Color(*dst, 25, 20), Pos(15, 10)) << "tiled centre";
  EXPECT_EQ(Color(*dst, 39, 29), Pos(19, 19)) << "the last centre tile is cut";
}

TEST(CopyNineSlices, NarrowCapsMakeLShapedCorners) {
  auto src = Positions(30, 30);
  auto dst = Solid(40, 40, pf24, kUntouched);
  kx::CopyNineSlices(dst.get(), src.get(), TRect{0, 0, 40, 40}, TRect{0, 0, 30, 30}, TkxWidths{10, 10, 10, 10},
                     TkxWidths{4, 4, 4, 4}, kTileAll, false, 0);
  EXPECT_EQ(Color(*dst, 9, 3), Pos(9, 3)) << "the corner's top arm is the full margin wide";
  EXPECT_EQ(Color(*dst, 3, 9), Pos(3, 9)) << "its left arm the cap wide";
  EXPECT_EQ(Color(*dst, 4, 4), kUntouched);
  EXPECT_EQ(Color(*dst, 30, 36), Pos(20, 26)) << "bottom-right arm";
  EXPECT_EQ(Color(*dst, 35, 35), kUntouched);
  EXPECT_EQ(Color(*dst, 36, 30), Pos(26, 20));
}

TEST(CopyNineSlices, StretchedSidesAndCentreAndSkippedSides) {
  auto src = Positions(30, 30);
  auto dst = Solid(50, 50, pf24, kUntouched);
  const int modes[4] = {kx::nsStretch, 7, kx::nsStretch, kx::nsTile};
  kx::CopyNineSlices(dst.get(), src.get(), TRect{0, 0, 50, 50}, TRect{0, 0, 30, 30}, TkxWidths{10, 10, 10, 10},
                     TkxWidths{10, 10, 10, 10}, modes, true, kx::nsStretch);
  // Ten source rows over thirty destination rows: each row three times.
  EXPECT_EQ(Color(*dst, 2, 10), Pos(2, 10));
  EXPECT_EQ(Color(*dst, 2, 12), Pos(2, 10));
  EXPECT_EQ(Color(*dst, 2, 13), Pos(2, 11));
  EXPECT_EQ(Color(*dst, 2, 39), Pos(2, 19));
  EXPECT_EQ(Color(*dst, 25, 5), kUntouched) << "side mode 7 leaves the top out";
  EXPECT_EQ(Color(*dst, 25, 25), Pos(15, 15)) << "stretched centre";
}

TEST(CopyNineSlices, APieceWithoutSourceLengthIsNotDrawn) {
  auto src = Positions(20, 30);  // width = left + right margin: sw = 0
  auto dst = Solid(40, 40, pf24, kUntouched);
  kx::CopyNineSlices(dst.get(), src.get(), TRect{0, 0, 40, 40}, TRect{0, 0, 20, 30}, TkxWidths{10, 10, 10, 10},
                     TkxWidths{10, 10, 10, 10}, kTileAll, true, 0);
  EXPECT_EQ(Color(*dst, 20, 5), kUntouched);
  EXPECT_EQ(Color(*dst, 20, 20), kUntouched);
  EXPECT_EQ(Color(*dst, 5, 20), Pos(5, 10)) << "the left side still has rows";
}

TEST(CopyNineSlices, CopiesAllFourBytesOfThirtyTwoBitPixels) {
  auto src = Noise(30, 30, pf32, 9);
  auto dst = Solid(30, 30, pf32, 0, 0);
  kx::CopyNineSlices(dst.get(), src.get(), TRect{0, 0, 30, 30}, TRect{0, 0, 30, 30}, TkxWidths{10, 10, 10, 10},
                     TkxWidths{10, 10, 10, 10}, kTileAll, true, 0);
  EXPECT_TRUE(SameBytes(*dst, *src)) << "same size: a plain copy";
}

TEST(TileBitmap, RepeatsThePictureFromTheRectanglesCorner) {
  auto pic = Positions(3, 2);
  auto dst = Solid(10, 8, pf24, kUntouched);
  kx::TileBitmap(dst.get(), TRect{1, 1, 9, 6}, pic.get());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool in = x >= 1 && x < 9 && y >= 1 && y < 6;
      EXPECT_EQ(Color(*dst, x, y), in ? Pos((x - 1) % 3, (y - 1) % 2) : kUntouched) << x << "," << y;
    }
  auto off = Solid(6, 6, pf24, kUntouched);
  kx::TileBitmap(off.get(), TRect{-4, -1, 5, 5}, pic.get());
  EXPECT_EQ(Color(*off, 0, 0), Pos(1, 1)) << "tiles keep the rectangle's origin off the edge";
  EXPECT_EQ(Color(*off, 4, 3), Pos(2, 0));
  EXPECT_EQ(Color(*off, 5, 3), kUntouched);
}

TEST(DrawPictureOnce, DrawsThePictureOnceIntoAClipOfTheRectangle) {
  auto pic = Positions(4, 4);
  auto dst = Solid(10, 10, pf24, kUntouched);
  kx::DrawPictureOnce(dst.get(), TRect{2, 2, 5, 9}, pic.get());
  EXPECT_EQ(Color(*dst, 2, 2), Pos(0, 0));
  EXPECT_EQ(Color(*dst, 4, 5), Pos(2, 3));
  EXPECT_EQ(Color(*dst, 5, 5), kUntouched) << "cut at the rectangle";
  EXPECT_EQ(Color(*dst, 2, 6), kUntouched) << "not repeated";
}
