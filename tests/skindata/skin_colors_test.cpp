#include <gtest/gtest.h>

#include "skin/data/sSkinLoad.h"
#include "skin/paint/sAlphaGraph.h"
#include "tests/skindata/TestSkin.h"

using namespace kxtest;
using kx::TkxSkinContent;

namespace {

// Master rectangles: BICONCLOSE at (8,8)-(16,16), BICONMAX at (16,8)-(24,16).
TestSkin ButtonsSkin(int keepHue) {
  TestSkin s;
  s.options = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nBIKEEPHUE=" + std::to_string(keepHue) +
              "\nSHADOW1COLOR=255\nBORDERCOLOR=65280\n"
              "BICONCLOSE=@0008@0008@0016@0016@1@0\nBICONMAX=@0016@0008@0024@0016@1@0\n"
              "BICONMIN=!MIN.PNG!1!0!4\nBICONMINGLOW0=!MINGLOW.PNG!1!0!4\nBICONCLOSEGLOW0=!CLOSEGLOW.PNG!1!0!4\n"
              "[PANEL]\nCOLOR=255\nHOTCOLOR=65280\nFONTCOLOR=255\nGRADIENTDATA=255;65280;50;0;0;255\n"
              "HOTGRADIENTDATA=255;255;50;0;0\n";
  s.Picture("Master.bmp", MasterBmp());
  s.Picture("Min.png", SolidPng(6, 6, 0xFF0000FF));
  s.Picture("MinGlow.png", SolidPng(6, 6, 0xFF0000FF));
  s.Picture("CloseGlow.png", SolidPng(6, 6, 0xFF0000FF));
  return s;
}

std::unique_ptr<TkxSkinContent> Load(const TestSkin& s, int hue, int sat = 0) {
  kx::TkxLoadSettings set;
  set.HueOffset = hue;
  set.Saturation = sat;
  return s.Load(set);
}

}  // namespace

TEST(HueRotation, TurnsPicturesAndColoursButNotGreyOrMagenta) {
  auto plain = Load(ButtonsSkin(0), 0);
  auto turned = Load(ButtonsSkin(0), 120);
  const tk::TBitmap& a = *plain->MasterBitmap;
  const tk::TBitmap& b = *turned->MasterBitmap;
  EXPECT_EQ(Px(b, 1, 1), 0xFF00FFu) << "magenta is the key colour";
  EXPECT_EQ(Px(b, 5, 1), 0x808080u) << "grey has no hue";
  EXPECT_EQ(PxColor(b, 30, 30), kx::RotateHue(120, PxColor(a, 30, 30)));
  EXPECT_NE(Px(b, 30, 30), Px(a, 30, 30));
  int p = turned->GetSkinIndex(L"PANEL");
  const kx::TsGeneralData& g = turned->gd[size_t(p)];
  EXPECT_EQ(g.Color, kx::RotateHue(120, 255));
  EXPECT_EQ(g.HotColor, kx::RotateHue(120, 65280));
  EXPECT_EQ(g.FontColor[0], kx::RotateHue(120, 255));
  EXPECT_EQ(g.FontColor[1], -1) << "unset outline colours stay unset";
  ASSERT_EQ(g.GradientArray.size(), 1u);
  EXPECT_EQ(g.GradientArray[0].Color2, kx::RotateHue(120, 65280));
  EXPECT_EQ(g.HotGradientArray[0].Color1, kx::RotateHue(120, 255));
  EXPECT_EQ(turned->SkinData.Shadow1Color, kx::RotateHue(120, 255));
  EXPECT_EQ(turned->SkinData.BorderColor, kx::RotateHue(120, 65280));
  const kx::TsMaskData& min = turned->ma[size_t(turned->GetMaskIndex(L"GLOBALINFO", L"BICONMIN"))];
  EXPECT_EQ(PxColor(*min.Bmp, 2, 2), kx::RotateHue(120, tk::clBlue)) << "own pictures turn too";
  EXPECT_EQ(Alpha(*min.Bmp, 2, 2), 0xFF) << "alpha is kept";
}

TEST(HueRotation, KeepHueTwoProtectsOnlyTheCloseButton) {
  auto plain = Load(ButtonsSkin(2), 0);
  auto turned = Load(ButtonsSkin(2), 120);
  const tk::TBitmap& a = *plain->MasterBitmap;
  const tk::TBitmap& b = *turned->MasterBitmap;
  EXPECT_EQ(Px(b, 10, 10), Px(a, 10, 10)) << "close button keeps its colours";
  EXPECT_EQ(Px(b, 15, 15), Px(a, 15, 15));
  EXPECT_NE(Px(b, 18, 10), Px(a, 18, 10)) << "maximize button turns";
  EXPECT_NE(Px(b, 10, 16), Px(a, 10, 16)) << "just outside the close button turns";
  auto glow = [&](const TkxSkinContent& c, const wchar_t* n) {
    return Px(*c.ma[size_t(c.GetMaskIndex(L"GLOBALINFO", n))].Bmp, 1, 1);
  };
  EXPECT_EQ(glow(*turned, L"BICONCLOSEGLOW0"), 0x0000FFu) << "the close glow is protected too";
  EXPECT_NE(glow(*turned, L"BICONMIN"), 0x0000FFu);
}

TEST(HueRotation, KeepHueOneProtectsEveryTitleButton) {
  auto plain = Load(ButtonsSkin(1), 0);
  auto turned = Load(ButtonsSkin(1), 120);
  EXPECT_EQ(Px(*turned->MasterBitmap, 18, 10), Px(*plain->MasterBitmap, 18, 10));
  auto own = [&](const wchar_t* n) {
    return Px(*turned->ma[size_t(turned->GetMaskIndex(L"GLOBALINFO", n))].Bmp, 1, 1);
  };
  EXPECT_EQ(own(L"BICONMIN"), 0x0000FFu);
  EXPECT_EQ(own(L"BICONMINGLOW0"), 0x0000FFu);
}

TEST(Saturation, PositiveAmountsMoveTowardGrey) {
  auto s = Load(ButtonsSkin(2), 0, 100);
  int p = s->GetSkinIndex(L"PANEL");
  EXPECT_EQ(s->gd[size_t(p)].Color, kx::ShiftSaturation(255, -100));
  EXPECT_EQ(PxColor(*s->MasterBitmap, 10, 10), kx::ShiftSaturation(PxColor(*MasterPicture(), 10, 10), -100))
      << "no protection for saturation";
  auto none = Load(ButtonsSkin(2), 0, 101);  // (-101) mod 101 = 0: nothing changes
  EXPECT_EQ(none->gd[size_t(p)].Color, 255);
}
