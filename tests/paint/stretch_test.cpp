#include <gtest/gtest.h>

#include <vector>

#include "skin/paint/StretchHalftone.h"
#include "tests/paint/PaintTest.h"

using namespace painttest;
using tk::TRect;

namespace {

// A 24-bit strip whose pixel k has red k * 8 and blue 255 - k * 8, along x
// or along y.
std::unique_ptr<TBitmap> Strip(int n, bool vertical) {
  auto b = Solid(vertical ? 1 : n, vertical ? n : 1, pf24, 0);
  for (int k = 0; k < n; ++k)
    Put(*b, vertical ? 0 : k, vertical ? k : 0, tk::RGBColor(uint8_t(k * 8), 0, uint8_t(255 - k * 8)));
  return b;
}

// The red bytes of a stretched strip of n pixels onto d pixels, divided by 8.
std::vector<int> Stretched(int n, int d, bool vertical, int mode, int channel = 2) {
  auto src = Strip(n, vertical);
  auto dst = Solid(vertical ? 1 : d, vertical ? d : 1, pf24, 0);
  kx::StretchPixels(dst->View(), TRect{0, 0, dst->Width(), dst->Height()}, src->View(),
                    TRect{0, 0, src->Width(), src->Height()}, mode);
  std::vector<int> out;
  for (int k = 0; k < d; ++k)
    out.push_back(At(*dst, vertical ? 0 : k, vertical ? k : 0)[channel] / (channel == 2 ? 8 : 1));
  return out;
}

using V = std::vector<int>;

constexpr TColor kUntouchedGrey = 0x5A5A5A;

}  // namespace

// The source pixels the system's nearest-pixel stretch keeps, as read back
// from it; the Windows build checks these against the system itself.
TEST(StretchPixels, NearestPixelChoicesFollowTheSystem) {
  EXPECT_EQ(Stretched(7, 30, false, kx::stmColorOnColor),
            (V{0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 5, 6, 6, 6, 6}));
  EXPECT_EQ(Stretched(2, 3, false, kx::stmColorOnColor), (V{0, 0, 1}))
      << "a centre on a boundary takes the pixel before";
  EXPECT_EQ(Stretched(30, 7, false, kx::stmColorOnColor), (V{3, 8, 12, 16, 20, 25, 29})) << "last of each share";
  EXPECT_EQ(Stretched(10, 4, false, kx::stmColorOnColor), (V{2, 4, 7, 9})) << "shares rounded half up";
  EXPECT_EQ(Stretched(10, 4, true, kx::stmColorOnColor), (V{0, 3, 5, 8})) << "along y the first of each share";
  EXPECT_EQ(Stretched(7, 30, true, kx::stmColorOnColor), Stretched(7, 30, false, kx::stmColorOnColor));
  EXPECT_EQ(Stretched(9, 1, false, kx::stmColorOnColor), (V{7})) << "a one-pixel shrink leaves the last out";
  EXPECT_EQ(Stretched(9, 1, true, kx::stmColorOnColor), (V{0}));
  EXPECT_EQ(Stretched(5, 5, false, kx::stmColorOnColor), (V{0, 1, 2, 3, 4}));
}

TEST(StretchPixels, BlackOnWhiteShrinkingAndsEachShare) {
  // Blue 255 - 8k: the AND of shares {0, 1, 2}, {3, 4}, {5, 6, 7}, {8, 9}.
  EXPECT_EQ(Stretched(10, 4, false, kx::stmBlackOnWhite, 0),
            (V{255 & 247 & 239, 231 & 223, 215 & 207 & 199, 191 & 183}));
  EXPECT_EQ(Stretched(10, 4, true, kx::stmBlackOnWhite, 0), Stretched(10, 4, false, kx::stmBlackOnWhite, 0));
  EXPECT_EQ(Stretched(5, 1, false, kx::stmBlackOnWhite, 0), (V{255 & 247 & 239 & 231}));
  EXPECT_EQ(Stretched(3, 7, false, kx::stmBlackOnWhite), Stretched(3, 7, false, kx::stmColorOnColor))
      << "enlarging repeats pixels as the colour mode does";
}

TEST(StretchPixels, HalftoneAveragesTheCoveredArea) {
  auto src = Solid(2, 2, pf24, 0);
  Put(*src, 0, 0, tk::RGBColor(0, 0, 0));
  Put(*src, 1, 0, tk::RGBColor(255, 0, 0));
  Put(*src, 0, 1, tk::RGBColor(0, 1, 0));
  Put(*src, 1, 1, tk::RGBColor(0, 0, 0));
  auto one = Solid(1, 1, pf24, 0x5A5A5A);
  kx::StretchPixels(one->View(), TRect{0, 0, 1, 1}, src->View(), TRect{0, 0, 2, 2}, kx::stmHalftone);
  EXPECT_EQ(Color(*one, 0, 0), tk::RGBColor(64, 0, 0)) << "63.75 and 0.25";
  auto wide = Solid(4, 1, pf24, 0);
  kx::StretchPixels(wide->View(), TRect{0, 0, 4, 1}, src->View(), TRect{0, 0, 2, 1}, kx::stmHalftone);
  EXPECT_EQ(Color(*wide, 1, 0), 0);
  EXPECT_EQ(Color(*wide, 2, 0), tk::RGBColor(255, 0, 0));
}

TEST(StretchPixels, KeepsTheWholeRectanglesMappingWhenItRunsOffTheDestination) {
  auto src = Strip(5, false);
  auto dst = Solid(4, 1, pf24, kUntouchedGrey);
  // Ten destination pixels from -2: pixel 0 is the rectangle's third, which
  // shows source pixel 1; nothing beyond the bitmap is written.
  kx::StretchPixels(dst->View(), TRect{-2, 0, 8, 1}, src->View(), TRect{0, 0, 5, 1}, kx::stmColorOnColor);
  EXPECT_EQ(Color(*dst, 0, 0), Color(*src, 1, 0));
  EXPECT_EQ(Color(*dst, 3, 0), Color(*src, 2, 0));

  auto src32 = Solid(2, 2, pf32, 0x102030, 99);
  auto dst24 = Solid(4, 4, pf24, kUntouchedGrey);
  kx::StretchPixels(dst24->View(), TRect{1, 1, 3, 3}, src32->View(), TRect{0, 0, 1, 1}, kx::stmHalftone);
  EXPECT_EQ(Color(*dst24, 2, 2), 0x102030) << "32 onto 24 bits drops alpha";
  EXPECT_EQ(Color(*dst24, 0, 0), kUntouchedGrey);
  EXPECT_EQ(Color(*dst24, 3, 3), kUntouchedGrey);
}

TEST(StretchPixels, EnlargingBothWaysTakesEachAxisChoiceAndKeepsAlpha) {
  // Every pixel distinct, alpha included; 3 x 4 onto 7 x 9 in both modes.
  auto src = Solid(3, 4, pf32, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x) {
      uint8_t* p = At(*src, x, y);
      p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t(10 * x + y), p[3] = uint8_t(200 + x + 3 * y);
    }
  const V xs = Stretched(3, 7, false, kx::stmColorOnColor, 0), ys = Stretched(4, 9, true, kx::stmColorOnColor, 0);
  for (int mode : {kx::stmColorOnColor, kx::stmBlackOnWhite}) {
    auto dst = Solid(7, 9, pf32, 0);
    kx::StretchPixels(dst->View(), TRect{0, 0, 7, 9}, src->View(), TRect{0, 0, 3, 4}, mode);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 7; ++x) {
        // Blue 255 - 8k of the strips names the source index k.
        const uint8_t* want = At(*src, (255 - xs[x]) / 8, (255 - ys[y]) / 8);
        EXPECT_EQ(std::vector<uint8_t>(At(*dst, x, y), At(*dst, x, y) + 4), std::vector<uint8_t>(want, want + 4))
            << mode << " at " << x << "," << y;
      }
  }
}
