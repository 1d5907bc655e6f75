// The tables and rules of the per-control skin state that need no window.
#include <gtest/gtest.h>

#include "skin/framework/kxAdapterSections.h"
#include "skin/framework/sBoundLabelPlace.h"
#include "skin/framework/sCommonData.h"

namespace kx {
namespace {

TEST(CommonDataRules, TheCOCTablesNameTheDefaultSectionsAndTheRestFallsBackToTheClassName) {
  EXPECT_EQ(DefaultSectionOf(7, L"TsMemo"), L"EDIT");
  EXPECT_EQ(DefaultSectionOf(227, L"X"), L"EDIT");
  EXPECT_EQ(DefaultSectionOf(11, L"X"), L"COMBOBOX");
  EXPECT_EQ(DefaultSectionOf(51, L"TsPanel"), L"PANEL");
  EXPECT_EQ(DefaultSectionOf(58, L"X"), L"PANEL_LOW");
  EXPECT_EQ(DefaultSectionOf(92, L"TsSpeedButton"), L"SPEEDBUTTON");
  EXPECT_EQ(DefaultSectionOf(93, L"TsButton"), L"BUTTON");
  EXPECT_EQ(DefaultSectionOf(152, L"X"), L"CHECKBOX");
  EXPECT_EQ(DefaultSectionOf(165, L"X"), L"TRACKBAR");
  // 9 and 1 have no entry.
  EXPECT_EQ(DefaultSectionOf(9, L"TsWeirdCtrl"), L"TSWEIRDCTRL");
  EXPECT_EQ(DefaultSectionOf(1, L"TsLabel"), L"TSLABEL");
}

TEST(CommonDataRules, TheThreeCOCSetsHaveTheirEdges) {
  for (int c : {19, 51, 74, 110, 141, 161}) EXPECT_TRUE(IsContainerClass(c)) << c;
  for (int c : {18, 20, 50, 75, 109, 140, 162}) EXPECT_FALSE(IsContainerClass(c)) << c;
  for (int c : {51, 52, 54, 56, 60, 68, 73, 74, 110, 141, 143, 151, 161, 226}) EXPECT_TRUE(IsNoGlowClass(c)) << c;
  for (int c : {53, 55, 61, 92, 142, 152}) EXPECT_FALSE(IsNoGlowClass(c)) << c;
  for (int c : {2, 18, 41, 76, 84, 96, 97, 131, 140}) EXPECT_TRUE(IsEditLikeClass(c)) << c;
  for (int c : {1, 19, 40, 75, 85, 95, 98, 130, 141}) EXPECT_FALSE(IsEditLikeClass(c)) << c;
  for (int c : {92, 93, 94}) EXPECT_TRUE(IsButtonClass(c)) << c;
  for (int c : {91, 95, 98}) EXPECT_FALSE(IsButtonClass(c)) << c;
}

TsGeneralData Section(int Transparency, int GradientPercent = 0, int ImagePercent = 0) {
  TsGeneralData s;
  s.Transparency = Transparency;
  s.GradientPercent = GradientPercent;
  s.ImagePercent = ImagePercent;
  return s;
}

TEST(CommonDataRules, BackgroundKindFollowsTheTextureAndTheFirstGradientBand) {
  TsGeneralData s = Section(0, 50, 0);
  EXPECT_EQ(BGTypeOf(s), 0) << "a gradient percent without bands varies nowhere";
  s.GradientArray = {TsGradPie{0, 0, 100, 1, 0}, TsGradPie{0, 0, 0, 0, 0}};
  EXPECT_EQ(BGTypeOf(s), kxBGHorizontal);
  s.GradientArray.front().Mode1 = 0;
  EXPECT_EQ(BGTypeOf(s), kxBGVertical);
  s.GradientArray.front().Mode1 = 2;
  s.ImagePercent = 30;
  EXPECT_EQ(BGTypeOf(s), kxBGHorizontal | kxBGVertical | kxBGTexture);
  s.GradientPercent = 0;
  EXPECT_EQ(BGTypeOf(s), kxBGTexture);
}

TEST(CommonDataRules, AControlNeedsItsOwnCacheUnlessItIsFlatOrSeesThroughToAFlatParent) {
  const TkxCacheNeed thin{4, 4, 4, 4};
  const bool flatParent = true, cachedParent = false;
  EXPECT_FALSE(NeedsOwnCacheRule(Section(0), thin, nullptr));
  EXPECT_TRUE(NeedsOwnCacheRule(Section(0, 10), thin, nullptr));
  EXPECT_TRUE(NeedsOwnCacheRule(Section(0, 0, 10), thin, nullptr));
  EXPECT_TRUE(NeedsOwnCacheRule(Section(50), thin, &flatParent));
  EXPECT_FALSE(NeedsOwnCacheRule(Section(100), thin, &flatParent));
  EXPECT_TRUE(NeedsOwnCacheRule(Section(100), thin, &cachedParent));
  EXPECT_TRUE(NeedsOwnCacheRule(Section(100), thin, nullptr)) << "no parent to see through to";
  // A thick border needs a cache whatever the background.
  EXPECT_FALSE(NeedsOwnCacheRule(Section(0), TkxCacheNeed{15, 0, 15, 0}, nullptr));
  EXPECT_TRUE(NeedsOwnCacheRule(Section(0), TkxCacheNeed{16, 0, 15, 0}, nullptr));
  EXPECT_TRUE(NeedsOwnCacheRule(Section(100), TkxCacheNeed{0, 20, 0, 11}, &flatParent));
}

TEST(CommonDataRules, ABoundLabelSitsLeftOfItsControlOrAboveIt) {
  const tk::TRect owner{100, 50, 180, 70};  // 80 x 20
  EXPECT_EQ(BoundLabelPosition(sclLeft, owner, 60, 14, 0), (tk::TPoint{36, 52}));
  EXPECT_EQ(BoundLabelPosition(sclLeft, owner, 60, 15, 3), (tk::TPoint{33, 51}));
  EXPECT_EQ(BoundLabelPosition(sclTopLeft, owner, 60, 14, 2), (tk::TPoint{100, 34}));
  EXPECT_EQ(BoundLabelPosition(sclTopCenter, owner, 61, 14, 0), (tk::TPoint{109, 36}));
  EXPECT_EQ(BoundLabelPosition(sclTopRight, owner, 60, 14, 0), (tk::TPoint{120, 36}));
}

TEST(CommonDataRules, AnAdaptedPanelTakesItsSectionFromItsBevelsAndBorder) {
  using namespace tk;
  const struct {
    TBevelCut Outer, Inner;
    bool Bordered;
    const wchar_t* Section;
  } cases[] = {
      {bvRaised, bvLowered, false, L"GROUPBOX"}, {bvLowered, bvRaised, false, L"GROUPBOX"},
      {bvRaised, bvNone, false, L"PANEL"},       {bvRaised, bvRaised, true, L"PANEL"},
      {bvLowered, bvNone, false, L"PANEL_LOW"},  {bvLowered, bvSpace, true, L"PANEL_LOW"},
      {bvNone, bvNone, true, L"PANEL_LOW"},      {bvSpace, bvRaised, true, L"PANEL_LOW"},
      {bvNone, bvNone, false, L"CHECKBOX"},      {bvSpace, bvLowered, false, L"CHECKBOX"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PanelSectionFor(c.Outer, c.Inner, c.Bordered), c.Section) << int(c.Outer) << int(c.Inner) << c.Bordered;
}

}  // namespace
}  // namespace kx
