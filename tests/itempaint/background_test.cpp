#include <gtest/gtest.h>

#include "skin/paint/BlendRow.h"
#include "skin/paint/sSkinItemPaint.h"
#include "tests/itempaint/ItemPaintTest.h"

using namespace itemtest;
using namespace painttest;
using tk::TPoint;

namespace {

void Background(TTestSkin& s, int si, const kx::TCacheInfo& ci, TBitmap* bmp, TPoint offset, TRect r, bool hot,
                int texture = -1, int hotTexture = -1, tk::TColor custom = kxKeyColor) {
  kx::PaintSectionBackground(si, s.G(si).ClassName, ci, custom, hotTexture, texture, &s.c, bmp, offset, r, hot);
}

TEST(SectionBackground, FullyTransparentShowsExactlyWhatLiesBehind) {
  TTestSkin s;
  const int si = s.Section(L"PANEL", 0x00FF00);
  s.G(si).Transparency = 100;
  auto parent = Noise(20, 20, pf24, 7);
  auto bmp = Solid(8, 8, pf24, 0);
  Background(s, si, Picture(parent.get(), 3, 2), bmp.get(), TPoint{1, 1}, TRect{0, 0, 8, 8}, false);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(Color(*bmp, x, y), Color(*parent, 4 + x, 3 + y)) << x << "," << y;

  Background(s, si, Colour(0x123456), bmp.get(), TPoint{}, TRect{0, 0, 8, 8}, false);
  EXPECT_EQ(Color(*bmp, 5, 5), 0x123456) << "only a fill colour known: that colour";

  auto self = Noise(8, 8, pf24, 3), before = Copy(*self);
  Background(s, si, Picture(self.get()), self.get(), TPoint{}, TRect{0, 0, 8, 8}, false);
  EXPECT_TRUE(SameBytes(*self, *before)) << "a bitmap that is its own parent stays as it is";
}

TEST(SectionBackground, PartialTransparencyBlendsOverTheParentOrMixesItsColour) {
  TTestSkin s;
  const int si = s.Section(L"PANEL", 0x204060);
  s.G(si).Transparency = 40;
  auto parent = Noise(10, 10, pf24, 11);
  auto bmp = Solid(10, 10, pf24, 0);
  Background(s, si, Picture(parent.get()), bmp.get(), TPoint{}, TRect{0, 0, 10, 10}, false);
  const uint8_t own[3] = {0x20, 0x40, 0x60};  // blue, green, red
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      for (int c = 0; c < 3; ++c)
        ASSERT_EQ(At(*bmp, x, y)[c], kx::BlendByte(At(*parent, x, y)[c], own[c], 102)) << x << "," << y;

  s.G(si).Color = 0xC8C8C8;
  Background(s, si, Colour(0x000000), bmp.get(), TPoint{}, TRect{0, 0, 10, 10}, false);
  EXPECT_EQ(Color(*bmp, 3, 3), 0x787878) << "40% of black, 60% of 200";

  Background(s, si, Unknown(), bmp.get(), TPoint{}, TRect{0, 0, 10, 10}, false);
  EXPECT_EQ(Color(*bmp, 3, 3), 0xC8C8C8) << "nothing known behind: the section's own colour";
}

TEST(SectionBackground, HotStateAndCustomColourChooseTheirValues) {
  TTestSkin s;
  const int si = s.Section(L"BUTTON", 0x111111);
  s.G(si).HotColor = 0x222222;
  s.G(si).Transparency = 100;
  auto bmp = Solid(4, 4, pf32, 0);
  Background(s, si, Colour(0x999999), bmp.get(), TPoint{}, TRect{0, 0, 4, 4}, true);
  EXPECT_EQ(Color(*bmp, 1, 1), 0x222222) << "the hot state has no transparency of its own";
  EXPECT_EQ(Alpha(*bmp, 1, 1), 255);
  Background(s, si, Colour(0x999999), bmp.get(), TPoint{}, TRect{0, 0, 4, 4}, false, -1, -1, 0x0000FF);
  EXPECT_EQ(Color(*bmp, 1, 1), 0x0000FF) << "a custom colour is opaque";
  Background(s, si, Colour(0x999999), bmp.get(), TPoint{}, TRect{0, 0, 4, 4}, false);
  EXPECT_EQ(Color(*bmp, 1, 1), 0x999999);
}

TEST(SectionBackground, TextureAndGradientShareTheLookByTheirPercentages) {
  TTestSkin s;
  const int si = s.Section(L"PANEL", 0x00FA00);
  const int tex = s.Mask(TRect{0, 0, 4, 4}, 1, 0, 0, Solid(4, 4, pf24, tk::RGBColor(200, 0, 0)));
  kx::TsGeneralData& g = s.G(si);
  g.GradientData = L"6553600;6553600;100;0;0";
  g.GradientArray = {kx::TsGradPie{tk::RGBColor(0, 0, 100), tk::RGBColor(0, 0, 100), 100, 0, 0}};
  g.ImagePercent = 15;
  g.GradientPercent = 85;
  auto bmp = Solid(6, 6, pf24, 0);
  Background(s, si, Unknown(), bmp.get(), TPoint{}, TRect{0, 0, 6, 6}, false, tex);
  EXPECT_EQ(Color(*bmp, 2, 2), tk::RGBColor(30, 0, 85)) << "texture 15%, gradient 85%, no flat colour";

  g.ImagePercent = 0;
  g.GradientPercent = 80;
  Background(s, si, Unknown(), bmp.get(), TPoint{}, TRect{0, 0, 6, 6}, false, tex);
  EXPECT_EQ(Color(*bmp, 2, 2), tk::RGBColor(0, 50, 80)) << "gradient 80%, colour 20%";

  g.GradientData = L" ";
  Background(s, si, Unknown(), bmp.get(), TPoint{}, TRect{0, 0, 6, 6}, false, tex);
  EXPECT_EQ(Color(*bmp, 2, 2), 0x00FA00) << "no gradient text: the plain colour";
}

TEST(SectionBackground, StripTextureLeavesTheRestInTheFlatColour) {
  TTestSkin s;
  const int si = s.Section(L"PANEL", 0x00FF00);
  s.G(si).ImagePercent = 100;
  s.Fill(TRect{0, 0, 4, 3}, 0x0000FF);
  s.Mask(TRect{0, 0, 4, 3}, 1, 0, 4, nullptr, L"PANEL", L"PATTERN");
  auto bmp = Solid(10, 10, pf24, 0);
  Background(s, si, Unknown(), bmp.get(), TPoint{}, TRect{0, 0, 10, 10}, false);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(Color(*bmp, x, y), y < 3 ? 0x0000FF : 0x00FF00)
          << "the texture found by name, stretched across the top";

  const int masked = s.Mask(TRect{0, 0, 4, 6}, 1, 1, 0);
  Background(s, si, Unknown(), bmp.get(), TPoint{}, TRect{0, 0, 10, 10}, false, masked);
  EXPECT_EQ(Color(*bmp, 5, 5), 0x00FF00) << "a given index of another mask type is no texture";
}

TEST(SectionBackground, GripTextureIsLaidOverTheNormalStateOnly) {
  TTestSkin s;
  const int si = s.Section(L"GRIP", 0x00FF00);
  s.Fill(TRect{0, 0, 2, 2}, 0x0000FF);  // picture; the mask half below stays 0: opaque
  const int grip = s.Mask(TRect{0, 0, 2, 4}, 1, 1, 10);
  auto bmp = Solid(5, 5, pf24, 0);
  Background(s, si, Colour(0xFF0000), bmp.get(), TPoint{}, TRect{0, 0, 5, 5}, false, grip);
  EXPECT_EQ(Color(*bmp, 0, 0), 0x0000FF);
  EXPECT_EQ(Color(*bmp, 3, 3), 0x0000FF);
  EXPECT_EQ(Color(*bmp, 4, 4), 0xFF0000) << "the strips no whole tile covers show the parent";
  Background(s, si, Colour(0xFF0000), bmp.get(), TPoint{}, TRect{0, 0, 5, 5}, true, -1, grip);
  EXPECT_EQ(Color(*bmp, 0, 0), 0x00FF00);
}

TEST(SectionBackground, AParentReadyWithAnEmptyPictureIsNoParent) {
  // Ready, yet with nothing to copy and no colour: once filled with the key
  // colour. What is known wins: a colour, else the own (or custom) colour.
  TTestSkin s;
  const int si = s.Section(L"PANEL", 0x00FF00);
  tk::TBitmap empty(0, 0, pf24);
  for (int t : {100, 40}) {
    s.G(si).Transparency = t;
    for (tk::TBitmap* picture : {&empty, static_cast<tk::TBitmap*>(nullptr)}) {
      auto bmp = Solid(6, 6, pf24, 0);
      Background(s, si, Picture(picture), bmp.get(), TPoint{}, TRect{0, 0, 6, 6}, false);
      EXPECT_EQ(Color(*bmp, 2, 2), 0x00FF00u) << t;
      Background(s, si, Picture(picture), bmp.get(), TPoint{}, TRect{0, 0, 6, 6}, false, -1, -1, 0x123456);
      EXPECT_EQ(Color(*bmp, 2, 2), 0x123456u) << t;
      kx::TCacheInfo coloured = Picture(picture);
      coloured.FillColor = 0x0000FF;
      Background(s, si, coloured, bmp.get(), TPoint{}, TRect{0, 0, 6, 6}, false);
      EXPECT_EQ(Color(*bmp, 2, 2), t == 100 ? 0x0000FFu : kx::MixColors(0x0000FF, 0x00FF00, 0.4)) << t;
    }
  }
}

TEST(SectionBackground, InvalidInputsPaintNothing) {
  TTestSkin s;
  const int si = s.Section(L"PANEL", 0x00FF00);
  auto bmp = Noise(6, 6, pf24, 5), before = Copy(*bmp);
  Background(s, si, Unknown(), bmp.get(), TPoint{}, TRect{-1, 0, 6, 6}, false);
  Background(s, si, Unknown(), bmp.get(), TPoint{}, TRect{0, 0, 7, 6}, false);
  kx::PaintSectionBackground(5, L"X", Unknown(), kxKeyColor, -1, -1, &s.c, bmp.get(), TPoint{}, TRect{0, 0, 6, 6},
                             false);
  kx::PaintSectionBackground(si, L"PANEL", Unknown(), kxKeyColor, -1, -1, nullptr, bmp.get(), TPoint{},
                             TRect{0, 0, 6, 6}, false);
  kx::PaintSectionBackground(si, L"PANEL", Unknown(), kxKeyColor, -1, 99, &s.c, nullptr, TPoint{}, TRect{0, 0, 6, 6},
                             false);
  EXPECT_TRUE(SameBytes(*bmp, *before));
}

}  // namespace
