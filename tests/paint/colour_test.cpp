#include <gtest/gtest.h>

#include "skin/paint/sAlphaGraph.h"
#include "tests/paint/PaintTest.h"

using namespace painttest;
using tk::TRect;

TEST(MixColors, RoundsHalvesToEvenAndKeepsTheFirstColoursTopByte) {
  EXPECT_EQ(kx::MixColors(0x000000, 0x0000FF, 0.5), 0x000080) << "127.5 rounds to 128";
  EXPECT_EQ(kx::MixColors(0x000000, 0x000001, 0.5), 0x000000) << "0.5 rounds to 0";
  EXPECT_EQ(kx::MixColors(0x000000, 0x000003, 0.5), 0x000002) << "1.5 rounds to 2";
  EXPECT_EQ(kx::MixColors(0x102030, 0xF0E0D0, 1.0), 0x102030);
  EXPECT_EQ(kx::MixColors(0x102030, 0xF0E0D0, 0.0), 0xF0E0D0);
  EXPECT_EQ(kx::MixColors(0x0000FF, 0xFF0000, 0.25), 0xBF0040) << "63.75 and 191.25";
  EXPECT_EQ(static_cast<uint32_t>(kx::MixColors(0x1F000000, 0x0000FF, 0.5)), 0x1F000080u);
  EXPECT_EQ(kx::MixColors(tk::clBtnFace, 0x000000, 0.5), kx::MixColors(tk::ColorToRGB(tk::clBtnFace), 0, 0.5))
      << "system colours are resolved before mixing";
}

TEST(BlendRectWithColor, RightAndBottomAreInclusiveCutToTheBitmapAndHalvesGoToEven) {
  for (TPixelFormat f : {pf24, pf32}) {
    auto b = Solid(6, 5, f, 0x000000, 77);
    kx::BlendRectWithColor(b.get(), TRect{1, 1, 2, 3}, 50, 0x0000FF);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        const bool in = x >= 1 && x <= 2 && y >= 1 && y <= 3;
        EXPECT_EQ(Color(*b, x, y), in ? 0x000080 : 0) << x << "," << y;
        if (f == pf32) { EXPECT_EQ(Alpha(*b, x, y), 77) << "alpha is no colour channel"; }
      }
    kx::BlendRectWithColor(b.get(), TRect{-3, -3, 100, 100}, 0, 0x00FF00);
    EXPECT_EQ(Color(*b, 0, 0), 0x00FF00);
    EXPECT_EQ(Color(*b, 5, 4), 0x00FF00) << "the last column and row are reached";
  }
  auto c = Solid(2, 2, pf24, tk::RGBColor(1, 3, 5));
  kx::BlendRectWithColor(c.get(), TRect{0, 0, 0, 0}, 50, 0x000000);
  EXPECT_EQ(Color(*c, 0, 0), tk::RGBColor(0, 2, 2)) << "0.5, 1.5, 2.5 round to even";
}

TEST(BlendFromBitmap, MovesTowardsTheSourceAndSkipsKeyPixels) {
  auto dst = Solid(4, 4, pf24, tk::RGBColor(100, 100, 100));
  auto src = Solid(4, 4, pf24, tk::RGBColor(0, 50, 201));
  Put(*src, 1, 0, 0xFF00FF);
  kx::BlendFromBitmap(dst.get(), 0, 0, 0xFF00FF, 0.5, TRect{0, 0, 1, 0}, src.get());
  EXPECT_EQ(Color(*dst, 0, 0), tk::RGBColor(50, 75, 150)) << "round(s + d * (c - s)); 150.5 to even";
  EXPECT_EQ(Color(*dst, 1, 0), tk::RGBColor(100, 100, 100)) << "key pixel skipped";
  EXPECT_EQ(Color(*dst, 0, 1), tk::RGBColor(100, 100, 100)) << "row 1 is outside the inclusive rectangle";
  kx::BlendFromBitmap(dst.get(), 0, 0, kx::NoKeyColor, 0.0, TRect{1, 0, 1, 0}, src.get());
  EXPECT_EQ(Color(*dst, 0, 0), 0xFF00FF) << "a key with top byte 0xFF keys nothing";
}

TEST(BlendFromBitmap, ClipsTheSourceAndTheDestination) {
  auto src = Noise(5, 5, pf24, 8);
  // A negative left and top move the destination start; Right and Bottom are
  // cut to the source; destination pixels off the edge are skipped.
  auto dst = Solid(4, 4, pf24, 0);
  kx::BlendFromBitmap(dst.get(), 0, 0, kx::NoKeyColor, 0.0, TRect{-1, -2, 10, 10}, src.get());
  EXPECT_EQ(Color(*dst, 0, 0), 0);
  EXPECT_EQ(Color(*dst, 1, 2), Color(*src, 0, 0));
  EXPECT_EQ(Color(*dst, 3, 3), Color(*src, 2, 1));
  EXPECT_EQ(Color(*dst, 0, 3), 0);
  auto dst2 = Solid(4, 4, pf24, 0);
  kx::BlendFromBitmap(dst2.get(), -2, 3, kx::NoKeyColor, 0.0, TRect{0, 0, 4, 4}, src.get());
  EXPECT_EQ(Color(*dst2, 0, 3), Color(*src, 2, 0));
  EXPECT_EQ(Color(*dst2, 1, 3), Color(*src, 3, 0));
  EXPECT_EQ(Color(*dst2, 2, 3), Color(*src, 4, 0));
  EXPECT_EQ(Color(*dst2, 3, 3), 0) << "source column 5 does not exist";
  EXPECT_EQ(Color(*dst2, 0, 2), 0);
}

TEST(BlendFromBitmap, ServesThreeFormatPairingsAndComparesA32BitSourceWholeWord) {
  auto src32 = Solid(3, 3, pf32, tk::RGBColor(10, 20, 30), 0);
  At(*src32, 1, 0)[3] = 5;  // same colour as the key below, other alpha
  auto d24 = Solid(3, 3, pf24, 0);
  kx::BlendFromBitmap(d24.get(), 0, 0, tk::RGBColor(10, 20, 30), 0.0, TRect{0, 0, 2, 0}, src32.get());
  EXPECT_EQ(Color(*d24, 0, 0), 0) << "word 0x001E140A equals the key";
  EXPECT_EQ(Color(*d24, 1, 0), tk::RGBColor(10, 20, 30)) << "the alpha byte makes it another word";

  auto src24 = Solid(3, 3, pf24, tk::RGBColor(10, 20, 30));
  auto d32 = Solid(3, 3, pf32, 0, 99);
  kx::BlendFromBitmap(d32.get(), 0, 0, kx::NoKeyColor, 0.0, TRect{0, 0, 2, 2}, src24.get());
  EXPECT_EQ(Color(*d32, 2, 2), tk::RGBColor(10, 20, 30));
  EXPECT_EQ(Alpha(*d32, 2, 2), 99);

  auto both32 = Solid(3, 3, pf32, 0, 0);
  kx::BlendFromBitmap(both32.get(), 0, 0, kx::NoKeyColor, 0.0, TRect{0, 0, 2, 2}, src32.get());
  EXPECT_EQ(Color(*both32, 0, 0), 0) << "32 onto 32 is not a served pairing";
}

TEST(TintTowardsColor, MovesEveryPixelButTheKeyTowardsTheColour) {
  auto b = Solid(3, 1, pf24, tk::RGBColor(200, 0, 101));
  Put(*b, 2, 0, 0xFF00FF);
  kx::TintTowardsColor(b.get(), tk::RGBColor(0, 100, 0), 0xFF00FF, 0.5);
  EXPECT_EQ(Color(*b, 0, 0), tk::RGBColor(100, 50, 50)) << "round(C + d * (c - C)); 50.5 to even";
  EXPECT_EQ(Color(*b, 2, 0), 0xFF00FF);

  auto w = Solid(2, 1, pf32, 0xFF00FF, 0);
  At(*w, 1, 0)[3] = 255;
  kx::TintTowardsColor(w.get(), 0x000000, 0xFF00FF, 0.0);
  EXPECT_EQ(Color(*w, 0, 0), 0xFF00FF) << "32-bit: the whole word with alpha 0 is the key";
  EXPECT_EQ(Color(*w, 1, 0), 0x000000) << "opaque magenta is not";
}

TEST(ColorizeByMask, MixesEachChannelThroughItsMaskByte) {
  auto b = Solid(3, 1, pf24, tk::RGBColor(10, 20, 30));
  auto mask = Solid(3, 1, pf24, 0);
  Put(*mask, 1, 0, 0xFFFFFF);
  Put(*mask, 2, 0, tk::RGBColor(128, 64, 32));
  kx::ColorizeByMask(b.get(), mask.get(), tk::RGBColor(200, 100, 50));
  // Mask 0: red = 200 - ((0 + 255) >> 8) = 200, green and blue the colour.
  EXPECT_EQ(Color(*b, 0, 0), tk::RGBColor(200, 100, 50));
  // Mask 255: red = 200 - ((255 * 190 + 255) >> 8) = 10; green = (25600 - 80 * 255) >> 8 = 20;
  // blue = (12800 - 20 * 255) >> 8 = 30.
  EXPECT_EQ(Color(*b, 1, 0), tk::RGBColor(10, 20, 30));
  // red = 200 - ((128 * 190 + 255) >> 8) = 105; green = (25600 - 80 * 64) >> 8 = 80;
  // blue = (12800 - 20 * 32) >> 8 = 47.
  EXPECT_EQ(Color(*b, 2, 0), tk::RGBColor(105, 80, 47));

  auto small = Solid(2, 1, pf24, 0);
  auto keep = Copy(*b);
  kx::ColorizeByMask(b.get(), small.get(), 0xFFFFFF);
  EXPECT_TRUE(SameBytes(*b, *keep)) << "a mask of another size does nothing";
}

TEST(ColorizeByMask, ShiftsNegativeProductsArithmetically) {
  // red = 0 - ((255 * (0 - 255) + 255) >> 8) = 0 - (-254) = 254; a division
  // would truncate to -253 and give 253.
  auto b = Solid(1, 1, pf24, tk::RGBColor(255, 255, 255));
  auto mask = Solid(1, 1, pf24, 0xFFFFFF);
  kx::ColorizeByMask(b.get(), mask.get(), 0x000000);
  EXPECT_EQ(Color(*b, 0, 0), tk::RGBColor(254, 254, 254));
}

TEST(Grayscale, AveragesTheChannelsAndLeavesAlphaAndKeysAlone) {
  auto b = Solid(2, 1, pf32, tk::RGBColor(10, 20, 32), 7);
  kx::GrayscaleBitmap(b.get());
  EXPECT_EQ(Color(*b, 0, 0), tk::RGBColor(20, 20, 20)) << "62 div 3";
  EXPECT_EQ(Alpha(*b, 0, 0), 7);

  auto k = Solid(2, 1, pf24, 0xFF00FF);
  Put(*k, 1, 0, tk::RGBColor(0, 0, 255));
  kx::GrayscaleExceptKey(k.get(), 0xFF00FF);
  EXPECT_EQ(Color(*k, 0, 0), 0xFF00FF) << "magenta stays magenta";
  EXPECT_EQ(Color(*k, 1, 0), tk::RGBColor(85, 85, 85));
}

TEST(RotateHue, TurnsTheHueAndLeavesGreyAlone) {
  EXPECT_EQ(kx::RotateHue(120, 0x0000FF), 0x00FF00) << "red to green";
  EXPECT_EQ(kx::RotateHue(240, 0x0000FF), 0xFF0000) << "red to blue";
  EXPECT_EQ(kx::RotateHue(-120, 0x0000FF), 0xFF0000) << "negative turns wrap";
  EXPECT_EQ(kx::RotateHue(360, 0x3366CC), 0x3366CC);
  EXPECT_EQ(kx::RotateHue(90, 0x808080), 0x808080);
  EXPECT_EQ(kx::RotateHue(90, 0), 0);
  EXPECT_EQ(kx::RotateHue(60, 0x0000FF), 0x00FFFF) << "red to yellow";
  EXPECT_EQ(kx::RotateHue(180, tk::RGBColor(200, 100, 100)), tk::RGBColor(100, 200, 200));
}

TEST(ShiftSaturation, MovesChannelsTowardsTheirGreyAndClamps) {
  EXPECT_EQ(kx::ShiftSaturation(0x123456, 0), 0x123456);
  EXPECT_EQ(kx::ShiftSaturation(tk::RGBColor(255, 0, 0), 100), tk::RGBColor(85, 85, 85));
  EXPECT_EQ(kx::ShiftSaturation(tk::RGBColor(255, 0, 0), 50), tk::RGBColor(170, 42, 42)) << "42.5 to even";
  EXPECT_EQ(kx::ShiftSaturation(tk::RGBColor(200, 100, 0), -100), tk::RGBColor(255, 100, 0));
}
