// The skin manager's pure rules: where the skin directory is, which skins a
// directory holds, the shadow templates and the colour fall-backs; and the
// registry of skinned forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/kxFormRegistry.h"
#include "tests/skindata/TestSkin.h"
#include "toolkit/SysUtils.h"

namespace {

using kx::FullSkinDirectory;
using tk::String;

const String kProgram = L"C:\\Apps\\Tabulo\\";

TEST(SkinDirectory, RelativeParentAndNetworkPathsResolveAsTheProgramExpects) {
  EXPECT_EQ(FullSkinDirectory(L"Skins", kProgram), L"C:\\Apps\\Tabulo\\Skins\\");
  EXPECT_EQ(FullSkinDirectory(L"..\\Skins", kProgram), L"C:\\Apps\\Skins\\");
  EXPECT_EQ(FullSkinDirectory(L"../Skins/", kProgram), L"C:\\Apps\\Skins\\");
  EXPECT_EQ(FullSkinDirectory(L".\\Skins", kProgram), L"C:\\Apps\\Tabulo\\Skins\\");
  EXPECT_EQ(FullSkinDirectory(L"./Skins", kProgram), L"C:\\Apps\\Tabulo\\Skins\\");
  EXPECT_EQ(FullSkinDirectory(L"\\\\server\\share\\Skins", kProgram), L"\\\\server\\share\\Skins\\");
  EXPECT_EQ(FullSkinDirectory(L"c:\\Skins", kProgram), L"c:\\Skins\\");
  EXPECT_EQ(FullSkinDirectory(L"c:\\Skins\\", kProgram), L"c:\\Skins\\");
  EXPECT_EQ(FullSkinDirectory(L"d:/Skins/", kProgram), L"d:/Skins\\");
  EXPECT_EQ(FullSkinDirectory(L"", kProgram), kProgram);
  EXPECT_EQ(FullSkinDirectory(L"D", L""), L"D:\\");
}

TEST(SkinNames, PackedFilesAreNamedBeforeTheFirstDotAndOnlyExactKxzCounts) {
  EXPECT_EQ(kx::PackedSkinName(L"My.Skin.kxz"), L"My");
  EXPECT_EQ(kx::PackedSkinName(L"Plain.kxz"), L"Plain");
  EXPECT_EQ(kx::PackedSkinName(L"Upper.KXZ"), L"");
  EXPECT_EQ(kx::PackedSkinName(L"Other.zip"), L"");
}

class SkinDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = std::filesystem::temp_directory_path() /
          ("kxmgr-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }
  void Touch(const std::filesystem::path& p) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << "x";
  }
  String DirText() const { return tk::FromUtf8(Dir.string() + "/"); }
  std::filesystem::path Dir;
};

TEST_F(SkinDirTest, FoldersNeedAnOptionsFileAndHiddenEntriesAreSkipped) {
  Touch(Dir / "Folder" / "Options.dat");
  Touch(Dir / "Empty" / "readme.txt");
  Touch(Dir / "My.Skin.kxz");
  Touch(Dir / ".Hidden.kxz");
  Touch(Dir / ".hiddenfolder" / "Options.dat");
  Touch(Dir / "notes.txt");
  auto names = [&](kx::TacSkinTypes t) {
    std::vector<String> n;
    kx::AddExternalSkinNames(DirText(), t, n);
    std::sort(n.begin(), n.end());
    return n;
  };
  EXPECT_EQ(names(kx::stAllSkins), (std::vector<String>{L"Folder", L"My"}));
  EXPECT_EQ(names(kx::stPacked), (std::vector<String>{L"My"}));
  EXPECT_EQ(names(kx::stUnpacked), (std::vector<String>{L"Folder"}));
  std::vector<String> none;
  kx::AddExternalSkinNames(DirText() + L"missing/", kx::stAllSkins, none);
  EXPECT_TRUE(none.empty());
}

// A skin content with an "EXBORDER" mask of its own picture: ImageCount
// frames across, MaskType + 1 rows; frame n is filled with 0x10 * (n + 1).
std::unique_ptr<kx::TkxSkinContent> WithExBorder(int imageCount, int drawMode) {
  auto c = std::make_unique<kx::TkxSkinContent>();
  kx::TsMaskData m;
  const int fw = 6, fh = 5;
  m.Bmp = std::make_unique<tk::TBitmap>(fw * imageCount, fh * 2, tk::TPixelFormat::pf32bit);
  for (int y = 0; y < fh * 2; ++y) {
    uint8_t* p = m.Bmp->ScanLine(y);
    for (int x = 0; x < fw * imageCount; ++x, p += 4) {
      const uint8_t v = uint8_t(0x10 * (x / fw + 1));
      p[0] = p[1] = p[2] = v;
      p[3] = 0x80;
    }
  }
  // One pixel of pure white with alpha 0: such pixels become all zero.
  uint8_t* w = m.Bmp->ScanLine(1) + 4;
  w[0] = w[1] = w[2] = 255;
  w[3] = 0;
  m.R = tk::Rect(0, 0, fw * imageCount, fh * 2);
  m.ImageCount = int16_t(imageCount);
  m.MaskType = 1;
  m.WL = 20, m.WT = 30, m.WR = 21, m.WB = 22;
  c->ma.push_back(std::move(m));
  c->ConstData.ExBorder = 0;
  c->SkinData.ExContentOffs = 8;
  c->SkinData.ExDrawMode = int16_t(drawMode);
  return c;
}

TEST(Shadows, AnExBorderMaskGivesMarginsAndTheFramesOfItsPicture) {
  auto c = WithExBorder(2, 0);
  kx::TkxShadows s = kx::BuildShadows(*c, nullptr, nullptr, false);
  EXPECT_EQ(s.Size, tk::Rect(12, 22, 13, 14));
  ASSERT_EQ(s.Inactive->Width(), 6);
  ASSERT_EQ(s.Inactive->Height(), 5);
  EXPECT_EQ(s.Inactive->ScanLine(0)[0], 0x10);
  EXPECT_EQ(s.Active->ScanLine(0)[0], 0x20);
  const uint8_t* zeroed = s.Inactive->ScanLine(1) + 4;
  EXPECT_EQ(zeroed[0] | zeroed[1] | zeroed[2] | zeroed[3], 0);

  kx::TkxShadows one = kx::BuildShadows(*WithExBorder(1, 3), nullptr, nullptr, false);
  EXPECT_EQ(one.Size, tk::Rect(8, 8, 8, 8)) << "a draw mode uses the content offset on every side";
  EXPECT_EQ(one.Active->ScanLine(0)[0], 0x10) << "one state: the active shadow copies the inactive one";
}

TEST(Shadows, AnExBorderWhoseCountsCannotDivideGivesEmptyShadows) {
  for (int layers : {-1, -2}) {
    auto c = WithExBorder(2, 0);
    c->ma[0].MaskType = int16_t(layers);
    kx::TkxShadows s = kx::BuildShadows(*c, nullptr, nullptr, false);
    EXPECT_EQ(s.Inactive->Width() * s.Inactive->Height(), 0);
    EXPECT_EQ(s.Active->Width() * s.Active->Height(), 0);
  }
}

TEST(Shadows, WithoutExBorderTheBuiltInPicturesAndTheirMarginsAreTaken) {
  kx::TkxSkinContent none;
  tk::TBitmap a(32, 32, tk::TPixelFormat::pf32bit), i(31, 31, tk::TPixelFormat::pf32bit);
  a.ScanLine(3)[0] = 7;
  kx::TkxShadows s = kx::BuildShadows(none, &a, &i, false);
  EXPECT_EQ(s.Size, tk::Rect(11, 7, 11, 11));
  EXPECT_EQ(s.Active->Width(), 32);
  EXPECT_EQ(s.Inactive->Width(), 31);
  EXPECT_EQ(s.Active->ScanLine(3)[0], 7);
  EXPECT_EQ(kx::BuildShadows(none, &a, &i, true).Size, tk::Rect(12, 8, 12, 12));
  EXPECT_EQ(kx::BuildShadows(none, nullptr, &i, false).Size, tk::TRect());
}

TEST(ColorQueries, MissingSectionsGiveTheSystemColoursOrTheKeyColour) {
  kx::TkxSkinContent empty;
  EXPECT_EQ(kx::GlobalFontColorOf(empty), 0xFF00FF);
  EXPECT_EQ(kx::ActiveEditFontColorOf(empty), 0xFF00FF);
  EXPECT_EQ(kx::GlobalColorOf(empty), tk::ColorToRGB(tk::clBtnFace));
  EXPECT_EQ(kx::ActiveEditColorOf(empty), tk::ColorToRGB(tk::clWindow));
  EXPECT_EQ(kx::HighLightColorOf(empty), tk::ColorToRGB(tk::clHighlight));
  EXPECT_EQ(kx::HighLightFontColorOf(empty), tk::ColorToRGB(tk::clHighlightText));
}

TEST(ColorQueries, MenuItemColoursCountOnlyWhenTheyAreRealColours) {
  kxtest::TestSkin skin;
  skin.options =
      "[GLOBALINFO]\nVERSION=6.50\nCOLOR=1193046\nHOTCOLOR=65793\nFONTCOLOR=255\n"
      "[MENUITEM]\nHOTCOLOR=131586\nHOTFONTCOLOR=197379\n"
      "[EDIT]\nHOTFONTCOLOR=263172\n";
  auto c = skin.Load();
  EXPECT_EQ(kx::GlobalColorOf(*c), 1193046);
  EXPECT_EQ(kx::ActiveEditColorOf(*c), 65793);
  EXPECT_EQ(kx::GlobalFontColorOf(*c), 255);
  EXPECT_EQ(kx::HighLightColorOf(*c), 131586);
  EXPECT_EQ(kx::HighLightFontColorOf(*c), 197379);
  EXPECT_EQ(kx::ActiveEditFontColorOf(*c), 263172);

  kxtest::TestSkin white;
  white.options = "[MENUITEM]\nHOTCOLOR=16777215\nHOTFONTCOLOR=197379\n";
  auto w = white.Load();
  EXPECT_EQ(kx::HighLightColorOf(*w), tk::ColorToRGB(tk::clHighlight));
  EXPECT_EQ(kx::HighLightFontColorOf(*w), tk::ColorToRGB(tk::clHighlightText))
      << "a white hot colour makes the own font colour unusable too";
}

struct FakeForm : kx::IkxSkinnedForm {
  tk::TCustomForm* SkinnedForm() const override { return nullptr; }
  kx::TsSkinManager* FormSkinManager() const override { return nullptr; }
  void SetSkinChanging(bool) override {}
};

TEST(FormRegistry, RemovalMovesTheLastEntryIntoTheFreedPlace) {
  FakeForm a, b, c, d;
  for (FakeForm* f : {&a, &b, &c, &d}) kx::RegisterSkinnedForm(f);
  kx::RegisterSkinnedForm(&b);
  EXPECT_EQ(kx::SkinnedFormCount(), 4) << "registering twice keeps one entry";
  kx::UnregisterSkinnedForm(&b);
  EXPECT_EQ(kx::SkinnedForms(), (std::vector<kx::IkxSkinnedForm*>{&a, &d, &c}));
  kx::UnregisterSkinnedForm(&b);
  kx::UnregisterSkinnedForm(&c);
  kx::UnregisterSkinnedForm(&a);
  EXPECT_EQ(kx::SkinnedForms(), (std::vector<kx::IkxSkinnedForm*>{&d}));
  kx::UnregisterSkinnedForm(&d);
  EXPECT_EQ(kx::SkinnedFormCount(), 0);
}

TEST(EngineState, AFlagScopeRestoresTheFlagAlsoWhenLeftByAnException) {
  ASSERT_FALSE(kx::Engine.SkinLoading);
  try {
    kx::TkxFlagScope loading(kx::Engine.SkinLoading);
    EXPECT_TRUE(kx::Engine.SkinLoading);
    { kx::TkxFlagScope nested(kx::Engine.SkinLoading); }
    EXPECT_TRUE(kx::Engine.SkinLoading) << "a nested scope leaves the outer one's value";
    throw tk::Exception(L"load failed");
  } catch (const tk::Exception&) {}
  EXPECT_FALSE(kx::Engine.SkinLoading);
}

}  // namespace
