#include <gtest/gtest.h>

#include "skin/paint/sAlphaGraph.h"
#include "tests/paint/PaintTest.h"

using namespace painttest;
using tk::TRect;

TEST(TkxFast24, AttachNeedsATwentyFourBitBitmapOfAtLeastTwoByTwo) {
  kx::TkxFast24 f;
  EXPECT_EQ(f.FWidth, 0);
  EXPECT_EQ(f.FStart, nullptr);
  EXPECT_FALSE(f.Attach(nullptr));
  auto thin = Solid(1, 5, pf24, 0);
  f.FWidth = 7;
  EXPECT_FALSE(f.Attach(thin.get()));
  EXPECT_EQ(f.FWidth, 0) << "a failed attach clears the width";
  auto flat = Solid(5, 1, pf24, 0);
  EXPECT_FALSE(f.Attach(flat.get()));
  auto b32 = Solid(5, 5, pf32, 0);
  EXPECT_FALSE(f.Attach(b32.get()));

  auto b = Noise(5, 3, pf24, 1);
  ASSERT_TRUE(f.Attach(b.get()));
  EXPECT_EQ(f.FWidth, 5);
  EXPECT_EQ(f.FHeight, 3);
  EXPECT_EQ(f.FStart, b->ScanLine(0));
  EXPECT_EQ(f.FDelta, b->ScanLine(1) - b->ScanLine(0));
  Put(*b, 4, 2, 0x123456);
  EXPECT_EQ(f.GetPixel(4, 2), 0x123456) << "0x00BBGGRR";
}

TEST(TkxFast32, ReadsAndWritesAlphaInTheTopByteAndFillsRectangles) {
  kx::TkxFast32 f;
  EXPECT_FALSE(f.Attach(nullptr));
  auto b24 = Solid(4, 4, pf24, 0);
  EXPECT_FALSE(f.Attach(b24.get()));
  auto one = Solid(1, 1, pf32, 0);
  EXPECT_TRUE(f.Attach(one.get())) << "the 32-bit reader only needs the bitmap to exist";

  auto b = Solid(5, 4, pf32, 0, 0);
  ASSERT_TRUE(f.Attach(b.get()));
  f.SetPixel(1, 2, static_cast<tk::TColor>(0x80332211));
  EXPECT_EQ(At(*b, 1, 2)[0], 0x33) << "blue";
  EXPECT_EQ(At(*b, 1, 2)[1], 0x22);
  EXPECT_EQ(At(*b, 1, 2)[2], 0x11) << "red";
  EXPECT_EQ(At(*b, 1, 2)[3], 0x80);
  EXPECT_EQ(static_cast<uint32_t>(f.GetPixel(1, 2)), 0x80332211u);

  f.FillRect(TRect{1, 1, 3, 4}, 0xFF0000FFu);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      const bool in = x >= 1 && x < 3 && y >= 1;
      EXPECT_EQ(static_cast<uint32_t>(f.GetPixel(x, y)), in ? 0xFFFF0000u : 0u) << x << "," << y;
    }
}

TEST(FillRect32, WritesTheColourAsAnOpaqueWord) {
  auto b = Solid(3, 3, pf32, 0, 0);
  kx::FillRect32(b.get(), TRect{0, 0, 2, 1}, 0x0000FF);
  EXPECT_EQ(Color(*b, 0, 0), 0x0000FF);
  EXPECT_EQ(Alpha(*b, 1, 0), 255);
  EXPECT_EQ(Alpha(*b, 2, 0), 0);
  auto b24 = Solid(3, 2, pf24, 0);
  kx::FillBitmapRect(b24.get(), TRect{2, -5, 9, 1}, 0x112233);
  EXPECT_EQ(Color(*b24, 2, 0), 0x112233) << "24 bits, cut to the bitmap";
  EXPECT_EQ(Color(*b24, 1, 0), 0);
  EXPECT_EQ(Color(*b24, 2, 1), 0);
  EXPECT_EQ(kx::ColorToArgb(0x0000FF), 0xFFFF0000u);
  EXPECT_EQ(kx::ColorToArgb(tk::clWindow), 0xFF000000u | 0xFFFFFFu) << "system colours resolve first";
}

TEST(SetAlphaRect, ChangesOnlyTheAlphaOfTheRectangle) {
  auto b = Noise(4, 4, pf32, 2);
  auto before = Copy(*b);
  kx::SetAlphaRect(b.get(), TRect{-1, 2, 10, 3}, 9);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(Color(*b, x, y), Color(*before, x, y));
      EXPECT_EQ(Alpha(*b, x, y), y == 2 ? 9 : Alpha(*before, x, y));
    }
}
