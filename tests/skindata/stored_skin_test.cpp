#include <gtest/gtest.h>

#include <filesystem>

#include "skin/data/sSkinLoad.h"
#include "tests/skindata/TestSkin.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/StringList.h"
#include "toolkit/SysUtils.h"

using namespace kxtest;
using kx::TkxSkinContent;
using kx::TsStoredSkin;

namespace {

TsStoredSkin ItemSkin() {
  TsStoredSkin s;
  s.Name = L"Items";
  s.Version = 6.5;
  s.Author = L"A";
  s.BorderColor = 0x112233;
  s.MasterBitmap = MasterPicture();
  kx::TsSkinGeneral panel;
  panel.SectionName = L"PANEL";
  panel.Color = 0xFF00000F;
  panel.FontColor = L"1 2 3 4 5";
  panel.HotFontColor = L"1 2";
  panel.GradientData = L"1;2;3;0;0";
  s.GeneralData.push_back(panel);
  kx::TsSkinGeneral child;
  child.SectionName = L"CHILD";
  child.ParentClass = L"PANEL";
  s.GeneralData.push_back(child);
  kx::TsSkinImage border;
  border.SectionName = L"panel";
  border.PropertyName = L"bordersmask";
  border.Left = 0, border.Top = 0, border.Right = 30, border.Bottom = 9;
  s.Images.push_back(border);
  kx::TsSkinImage own;
  own.Name = L"OWN";
  own.SectionName = L"GLOBALINFO";
  own.PropertyName = L"EXBORDER";
  own.Image = std::make_shared<tk::TBitmap>(12, 6, tk::TPixelFormat::pf32bit);
  own.ImgType = 3;
  s.Images.push_back(own);
  kx::TsSkinPattern pat;
  pat.Name = L"BACK";
  pat.SectionName = L"FORM";
  pat.PropertyName = L"PATTERN";
  pat.Image = std::make_shared<kx::TkxJpegImage>(std::make_unique<tk::TBitmap>(400, 300, tk::TPixelFormat::pf24bit));
  s.Patterns.push_back(pat);
  kx::TsSkinPattern shared = pat;
  shared.Image.reset();
  shared.PropertyName = L"HOTPATTERN";
  s.Patterns.push_back(shared);
  return s;
}

}  // namespace

TEST(StoredSkins, ItemsFillTheRecordsMasksAndPatterns) {
  auto c = kx::TkxSkinLoad().FromStored(ItemSkin());
  ASSERT_EQ(c->gd.size(), 2u);
  const kx::TsGeneralData& panel = c->gd[0];
  EXPECT_EQ(panel.Color, tk::clBtnFace) << "stored colours are taken as stored";
  EXPECT_EQ(panel.FontColor, (kx::TsFontColors{1, 2, 3, 4, 5}));
  EXPECT_EQ(panel.HotFontColor, kx::kxDefaultFontColors) << "not five words: the defaults";
  EXPECT_EQ(panel.GradientArray.size(), 1u);
  EXPECT_EQ(c->SkinData.BorderColor, 0x112233);
  const kx::TsMaskData& b = c->ma[size_t(c->GetMaskIndex(L"PANEL", L"BORDERSMASK"))];
  EXPECT_EQ(b.Bmp, nullptr);
  EXPECT_EQ(b.WL, 10) << "the border rule";
  EXPECT_EQ(c->gd[1].BorderIndex, c->GetMaskIndex(L"PANEL", L"BORDERSMASK")) << "inherited by CHILD";
  EXPECT_EQ(c->ConstData.ExBorder, -1) << "without a GLOBALINFO section";
  int ownIndex = c->GetMaskIndex(L"GLOBALINFO", L"EXBORDER");
  ASSERT_GE(ownIndex, 0);
  const kx::TsMaskData& own = c->ma[size_t(ownIndex)];
  ASSERT_TRUE(own.Bmp);
  EXPECT_EQ(own.Bmp->PixelFormat(), tk::TPixelFormat::pf24bit);
  EXPECT_EQ(own.R, tk::Rect(0, 0, 12, 6));
  EXPECT_EQ(own.ImgType, kx::itisaGlow);
  ASSERT_EQ(c->pa.size(), 2u);
  ASSERT_TRUE(c->pa[1].Img) << "an item without an image shares the one of its name";
  EXPECT_EQ(c->pa[1].Img->Width(), 400);
  EXPECT_EQ(c->MasterBitmap->Width(), 64);
}

TEST(StoredSkins, PackedInternalSkinsLoadFromTheirData) {
  TestSkin t;
  t.options = "[GLOBALINFO]\nAUTHOR=Packed\n";
  Bytes b = t.Packed();
  TsStoredSkin s;
  s.PackedData = std::make_shared<tk::TMemoryStream>(b.data(), b.size());
  auto c = kx::TkxSkinLoad().FromStored(s);
  EXPECT_TRUE(c->SkinIsPacked);
  EXPECT_EQ(c->SkinData.Author, L"Packed");
  EXPECT_EQ(s.PackedData->Size(), int64_t(b.size())) << "the internal skin keeps its bytes";
}

TEST(StoredSkins, SaveToIniWritesEveryKeyInOrder) {
  tk::TMemIniFile ini;
  kx::SaveToIni(ItemSkin(), ini);
  tk::TStringList keys;
  ini.ReadSection(L"PANEL", &keys);
  ASSERT_EQ(keys.Count(), 32);
  EXPECT_EQ(keys[0], L"PARENTCLASS");
  EXPECT_EQ(keys[1], L"COLOR");
  EXPECT_EQ(keys[6], L"FONTCOLOR");
  EXPECT_EQ(keys[31], L"GSIZE");
  EXPECT_EQ(ini.ReadString(L"PANEL", L"TCBOTTOM", L""), L"5");
  EXPECT_EQ(ini.ReadString(L"PANEL", L"FADINGENABLED", L""), L"FALSE");
  EXPECT_EQ(ini.ReadString(L"PANEL", L"COLOR", L""), std::to_wstring(int32_t(tk::clBtnFace)));
  EXPECT_EQ(ini.ReadString(L"CHILD", L"PARENTCLASS", L""), L"PANEL");
}

TEST(ExtractInternalSkin, WritesThePackedBytesUnderTheSkinsName) {
  auto dir = std::filesystem::temp_directory_path() / "kx_extract";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  Bytes bytes = {'K', 'X', 'z', 'f', 0, 0, 0, 0};
  std::vector<TsStoredSkin> skins(2);
  skins[0].Name = L"Other";
  skins[1].Name = L"Pearlmist (internal)";
  skins[1].PackedData = std::make_shared<tk::TMemoryStream>(bytes.data(), bytes.size());
  RecordingNotifier n;
  kx::ExtractInternalSkin(skins, L"Pearlmist (internal)", tk::FromUtf8(dir.string()));
  auto file = dir / "Pearlmist (internal) extracted.kxz";
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(std::filesystem::file_size(file), bytes.size());
  EXPECT_TRUE(n.texts.empty());

  kx::ExtractInternalSkin(skins, L"pearlmist (internal)", tk::FromUtf8(dir.string()));
  kx::ExtractInternalSkin(skins, L"Pearlmist (internal)", tk::FromUtf8((dir / "missing").string()));
  EXPECT_EQ(n.texts, (std::vector<tk::String>{L"Skin does not exists.", L"Directory does not exists."}));

  auto made = dir / "made" / "deeper";
  kx::ExtractByIndex(skins, 1, tk::FromUtf8(made.string()) + L"/");
  EXPECT_TRUE(std::filesystem::exists(made / "Pearlmist (internal) extracted.kxz")) << "the folder is created";
  kx::ExtractByIndex(skins, 0, tk::FromUtf8(dir.string()));
  EXPECT_FALSE(std::filesystem::exists(dir / "Other extracted.kxz")) << "no packed data, nothing written";
  std::filesystem::remove_all(dir);
}
