#include <gtest/gtest.h>

#include "skin/data/sSkinLoad.h"
#include "tests/skindata/TestSkin.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

using namespace kxtest;
using kx::TkxSkinContent;

namespace {

std::unique_ptr<TkxSkinContent> LoadText(const std::string& options, const kx::TkxLoadSettings& s = {}) {
  TestSkin skin;
  skin.options = options;
  return skin.Load(s);
}

const kx::TsGeneralData& Section(const TkxSkinContent& c, const wchar_t* name) {
  int i = c.GetSkinIndex(name);
  EXPECT_GE(i, 0) << tk::ToUtf8(name);
  return c.gd.at(size_t(i < 0 ? 0 : i));
}

std::string LoadError(const std::string& options) {
  TestSkin skin;
  skin.options = options;
  return skin.LoadError();
}

}  // namespace

TEST(Sections, EverySectionGetsARecordAtItsFilePosition) {
  auto c = LoadText("; a comment\nignored=before any section\n[GLOBALINFO]\n[PANEL]\nCOLOR=15461355\n[EDIT]\n");
  ASSERT_EQ(c->gd.size(), 3u);
  EXPECT_EQ(c->GetSkinIndex(L"GLOBALINFO"), 0);
  EXPECT_EQ(c->GetSkinIndex(L"EDIT"), 2);
  EXPECT_EQ(Section(*c, L"PANEL").Color, 0xEBEBEB);
  EXPECT_EQ(c->GetSkinIndex(L"edit"), -1) << "section names compare exactly";
  EXPECT_EQ(c->GetSkinIndex(L"NONE"), -1);
}

TEST(Sections, MissingKeysTakeTheDefaults) {
  auto c = LoadText("[X]\n");
  const kx::TsGeneralData& g = Section(*c, L"X");
  EXPECT_EQ(g.Color, 0xFFFFFF);
  EXPECT_EQ(g.HotColor, 0xFFFFFF);
  EXPECT_EQ(g.FontColor, kx::kxDefaultFontColors);
  EXPECT_EQ(g.FadingIterations, 5);
  EXPECT_FALSE(g.FadingEnabled);
  EXPECT_EQ(g.GradientData, L" ");
  EXPECT_TRUE(g.GradientArray.empty());
  EXPECT_EQ(g.HotGradientData, L"");
  EXPECT_TRUE(g.HotGradientArray.empty());
  EXPECT_EQ(g.ImgTL, -1);
  EXPECT_EQ(g.BorderIndex, -1) << "no BORDERSMASK anywhere";
}

TEST(Sections, ValuesAreReadWithTheirRules) {
  auto c = LoadText(
      "[X]\nCOLOR=0xFF00000F\nHOTCOLOR=0xFF00000F\nFONTCOLOR=0x10\nTCLEFT=255\nHGSIZE=257\nGSIZE=3\n"
      "FADINGENABLED=true\nSHOWFOCUS=yes\nGLOW=abc\nGRADIENTDATA=16777215;15856113;97;0;0;15856113;15856113;0;0;0\n");
  const kx::TsGeneralData& g = Section(*c, L"X");
  EXPECT_EQ(g.Color, tk::ColorToRGB(tk::clBtnFace)) << "COLOR is converted to RGB";
  EXPECT_EQ(g.HotColor, tk::clBtnFace) << "HOTCOLOR is kept as written";
  EXPECT_EQ(g.FontColor[0], 16);
  EXPECT_EQ(g.FontColor[1], 255);
  EXPECT_EQ(g.FontColor[2], -1);
  EXPECT_EQ(g.HotGlowSize, 1) << "low byte";
  EXPECT_EQ(g.GlowSize, 3);
  EXPECT_TRUE(g.FadingEnabled);
  EXPECT_FALSE(g.ShowFocus);
  EXPECT_EQ(g.GlowCount, 0) << "a non-number reads as the default";
  ASSERT_EQ(g.GradientArray.size(), 2u);
  EXPECT_EQ(g.GradientArray[0].Color1, 16777215);
  EXPECT_EQ(g.GradientArray[0].Percent, 97);
}

TEST(SectionInheritance, AbsentAndMinusOneValuesComeFromTheParent) {
  auto c = LoadText(
      "[PANEL]\nCOLOR=255\nGRADIENTDATA=1;2;3;0;0\nFADINGENABLED=TRUE\n"
      "[A]\nPARENTCLASS=PANEL\n[B]\nPARENTCLASS=PANEL\nCOLOR=-1\nGRADIENTDATA=?\n[C]\nPARENTCLASS=B\n");
  for (const wchar_t* n : {L"A", L"B", L"C"}) {
    const kx::TsGeneralData& g = Section(*c, n);
    EXPECT_EQ(g.Color, 255) << tk::ToUtf8(n);
    EXPECT_EQ(g.GradientData, L"1;2;3;0;0") << tk::ToUtf8(n);
    EXPECT_TRUE(g.FadingEnabled) << tk::ToUtf8(n);
  }
  EXPECT_EQ(Section(*c, L"C").ParentClass, L"B") << "PARENTCLASS itself is read plainly";
}

TEST(SectionInheritance, ASectionNamingItselfGetsTheDefaults) {
  auto c = LoadText("[SELF]\nPARENTCLASS=SELF\n");
  EXPECT_EQ(Section(*c, L"SELF").Color, 0xFFFFFF);
}

TEST(SectionInheritance, CyclesThroughSeveralSectionsEndWithTheDefaults) {
  auto c = LoadText("[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=C\n[C]\nPARENTCLASS=A\nBORDERSMASK=none\n");
  EXPECT_EQ(Section(*c, L"A").Color, 0xFFFFFF);
  EXPECT_EQ(Section(*c, L"B").FadingIterations, 5);
  EXPECT_EQ(c->GetMaskIndex(0, L"A", L"GLYPHMASK"), -1) << "the mask search through parents ends too";
}

TEST(SectionInheritance, ParentLookupsIgnoreCaseOfTheSectionName) {
  auto c = LoadText("[PANEL]\nCOLOR=77\n[X]\nPARENTCLASS=panel\n");
  EXPECT_EQ(Section(*c, L"X").Color, 77);
}

TEST(SectionInheritance, ADuplicateSectionIsFilledFromTheFirst) {
  auto c = LoadText("[EDIT]\nCOLOR=1\n[EDIT]\nCOLOR=2\n");
  ASSERT_EQ(c->gd.size(), 2u);
  EXPECT_EQ(c->GetSkinIndex(L"EDIT"), 0);
  EXPECT_EQ(c->gd[1].Color, 1);
}

TEST(SkinWideValues, GlobalInfoFillsTheSkinRecord) {
  auto c = LoadText(
      "[GLOBALINFO]\nVERSION=6.65\nAUTHOR=Me\nTITLEHEIGHT=51\nMAXHEIGHT=0\nBORDERWIDTH=26\nFORMOFFSET=16\n"
      "CENTEROFFSET=5\nBORDERMODE=1\nSHADOW1BLUR=3\nBICONCLOSEGLOWMARGIN=9\nBORDERCOLOR=0x00FF00\nCAPTIONHEIGHT="
      "ignored\n");
  const kx::TsSkinData& d = c->SkinData;
  EXPECT_DOUBLE_EQ(d.Version, 6.65);
  EXPECT_EQ(d.Author, L"Me");
  EXPECT_EQ(d.ExTitleHeight, 51);
  EXPECT_EQ(d.ExMaxHeight, 51) << "0 means the title height";
  EXPECT_EQ(d.ExBorderWidth, 26);
  EXPECT_EQ(d.ExContentOffs, 16);
  EXPECT_EQ(d.ExDrawMode, 1);
  EXPECT_EQ(d.Shadow1Blur, 3);
  EXPECT_EQ(d.BICloseGlowMargin, 9);
  EXPECT_EQ(d.BorderColor, 0x00FF00);
  auto empty = LoadText("[GLOBALINFO]\n");
  EXPECT_EQ(empty->SkinData.Shadow1Blur, -1);
  EXPECT_EQ(empty->SkinData.ExBorderWidth, 4);
  EXPECT_EQ(empty->SkinData.ExMaxHeight, 30);
}

TEST(SkinWideValues, StrictKeysEndTheLoadWithTheConversionError) {
  EXPECT_EQ(LoadError("[GLOBALINFO]\nSHADOW1OFFSET=abc\n"), "''abc'' is not a valid integer value");
  EXPECT_EQ(LoadError("[GLOBALINFO]\nBICONMINGLOW=\n"), "'''' is not a valid integer value");
  EXPECT_EQ(LoadError("[GLOBALINFO]\nBICONMINGLOW=2\n"), "");
}

TEST(SkinWideValues, ANewerSkinShowsTheVersionNoticeAndLoads) {
  RecordingNotifier n;
  auto c = LoadText("[GLOBALINFO]\nVERSION=7\n[PANEL]\n");
  ASSERT_EQ(n.texts.size(), 1u);
  EXPECT_EQ(n.texts[0],
            L"This version of the skin have not complete support by used Kestrix package release.\r\n"
            L"Components must be updated up to latest version for using this skin.");
  EXPECT_EQ(c->gd.size(), 2u);
  LoadText("[GLOBALINFO]\nVERSION=6.99\n");
  LoadText("[GLOBALINFO]\nVERSION=six\n");
  EXPECT_EQ(n.texts.size(), 1u);
}

TEST(CommonSections, BlanksAndTabsAreRemovedExceptInComments) {
  auto lines = kx::PrepareCommonSections({L"[MY PANEL]", L" COLOR = 255 ", L"; keep  this", L"\tGLOW\t=\t3\t"});
  EXPECT_EQ(lines, (std::vector<tk::String>{L"[MYPANEL]", L"COLOR=255", L"; keep  this", L"GLOW=3"}));
  kx::TkxLoadSettings s;
  s.CommonSections = kx::PrepareCommonSections({L"[MINE]", L"COLOR\t=\t255", L"COLOR=7", L"GLOW\t= 3"});
  auto c = LoadText("[PANEL]\n", s);
  EXPECT_EQ(Section(*c, L"MINE").Color, 255) << "a key with tabs is found, and the first of two wins";
  EXPECT_EQ(Section(*c, L"MINE").GlowCount, 3);
}

TEST(CommonSections, ANewSectionTakesItsParentsValuesAndItsOwn) {
  kx::TkxLoadSettings s;
  s.CommonSections = kx::PrepareCommonSections({L"junk before", L"[MYPANEL]", L"PARENTCLASS=panel", L"COLOR=255", L"",
                                                L"[OTHER]", L"GLOW=-1", L"[GLOWING]", L"PARENTCLASS=PANEL", L"GLOW=-1",
                                                L"GRADIENTDATA=9;8;7;0;0"});
  auto c = LoadText("[PANEL]\nCOLOR=0xFF00000F\nGLOW=4\nFADINGITERATIONS=20\nFONTCOLOR=99\n", s);
  const kx::TsGeneralData& my = Section(*c, L"MYPANEL");
  EXPECT_EQ(my.ParentClass, L"PANEL");
  EXPECT_EQ(my.Color, 255);
  EXPECT_EQ(my.FadingIterations, 20);
  EXPECT_EQ(my.FontColor[0], 99);
  EXPECT_EQ(my.GlowCount, 0) << "GLOW missing means 0, not the parent's";
  const kx::TsGeneralData& other = Section(*c, L"OTHER");
  EXPECT_EQ(other.ParentClass, L"-1");
  EXPECT_EQ(other.Color, 0xFFFFFF);
  const kx::TsGeneralData& glowing = Section(*c, L"GLOWING");
  EXPECT_EQ(glowing.GlowCount, 4) << "an explicit -1 takes the parent's";
  ASSERT_EQ(glowing.GradientArray.size(), 1u);
  EXPECT_EQ(glowing.GradientArray[0].Color1, 9);
}

TEST(CommonSections, ASectionTheSkinHasStaysAsTheSkinWroteIt) {
  kx::TkxLoadSettings s;
  s.CommonSections = {L"[PANEL]", L"COLOR=1"};
  auto c = LoadText("[PANEL]\nCOLOR=2\n", s);
  ASSERT_EQ(c->gd.size(), 1u);
  EXPECT_EQ(c->gd[0].Color, 2);
}

TEST(ConstantIndexes, WithoutTheSectionsEverythingIsMinusOne) {
  auto c = LoadText("[PANEL]\n");
  const kx::TConstantSkinData& k = c->ConstData;
  EXPECT_EQ(k.IndexGLobalInfo, -1);
  EXPECT_EQ(k.ExBorder, -1);
  EXPECT_EQ(k.CheckBoxChecked, -1);
  EXPECT_EQ(k.IndexScrollTop, -1);
  EXPECT_EQ(k.MaskArrowTop, -1);
  EXPECT_EQ(k.ComboBtnIndex, -1);
  EXPECT_EQ(k.ComboGlyph, -1);
}

TEST(ConstantIndexes, SectionsAndMasksAreFoundByName) {
  TestSkin skin;
  skin.options =
      "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nBOXCHECKED=@0000@0000@0012@0012@3@0\n"
      "[SCROLLBTNTOP]\nBORDERSMASK=^0000^0000^0030^0009^0000^0000^0000^0000^1^0^0^0\n"
      "GLYPHMASK=@0000@0010@0030@0020@3@0\n"
      "[SCROLLBTNBOTTOM]\nPARENTCLASS=SCROLLBTNTOP\n"
      "[COMBOBTN]\nPARENTCLASS=SCROLLBTNTOP\nPATTERN=~0000~0000~0004~0004~00\n"
      "[COMBOBOX]\nPARENTCLASS=SCROLLBTNTOP\n";
  skin.Picture("Master.bmp", MasterBmp());
  auto c = skin.Load();
  const kx::TConstantSkinData& k = c->ConstData;
  EXPECT_EQ(k.IndexGLobalInfo, 0);
  EXPECT_EQ(k.CheckBoxChecked, 0);
  EXPECT_EQ(k.IndexScrollTop, 1);
  EXPECT_EQ(k.MaskScrollTop, 1);
  EXPECT_EQ(k.MaskArrowTop, 2);
  EXPECT_EQ(k.IndexScrollBottom, 2);
  EXPECT_EQ(k.MaskScrollBottom, 1) << "inherited through PARENTCLASS";
  EXPECT_EQ(k.ComboBtnIndex, 3);
  EXPECT_EQ(k.ComboBtnBorder, -1) << "matched by name only";
  EXPECT_EQ(k.ComboBtnBG, 3);
  EXPECT_EQ(k.ComboGlyph, -1) << "matched by name only";
  EXPECT_EQ(c->gd[2].BorderIndex, 1);
  EXPECT_EQ(c->gd[0].BorderIndex, -1) << "GLOBALINFO points at no mask";
}

TEST(ContentLifetime, ClearLeavesNoSkinBehind) {
  auto c = LoadText("[GLOBALINFO]\n[PANEL]\n");
  c->Clear();
  EXPECT_TRUE(c->gd.empty());
  EXPECT_EQ(c->GetSkinIndex(L"PANEL"), -1);
  EXPECT_EQ(c->ConstData.IndexGLobalInfo, -1);
}

TEST(ContentLifetime, OptionsTextWithByteOrderMarkIsRead) {
  std::string utf8 = "\xEF\xBB\xBF[GLOBALINFO]\nAUTHOR=J\xC3\xBCrgen\n";
  auto c = LoadText(utf8);
  EXPECT_EQ(c->SkinData.Author, L"J\u00FCrgen");
  std::string ansi = "[GLOBALINFO]\nAUTHOR=J\xFCrgen\n";
  EXPECT_EQ(LoadText(ansi)->SkinData.Author, L"J\u00FCrgen");
}

TEST(ContentLifetime, APackedSkinWithoutOptionsIsRefused) {
  Bytes b = kx::WritePackedSkin({{"a.bmp", nullptr, 0}});
  tk::TMemoryStream data(b.data(), b.size());
  try {
    kx::TkxSkinLoad().FromPacked(&data);
    ADD_FAILURE();
  } catch (const tk::Exception& e) { EXPECT_STREQ(e.what(), "The packed skin holds no Options.dat"); }
}
