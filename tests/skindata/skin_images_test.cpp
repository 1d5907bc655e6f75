#include <gtest/gtest.h>

#include <filesystem>

#include "skin/data/sSkinLoad.h"
#include "tests/skindata/TestSkin.h"
#include "toolkit/SysUtils.h"

using namespace kxtest;
using kx::TkxSkinContent;
using kx::TsMaskData;

namespace {

// A packed skin with the master bitmap and the given sections.
TestSkin WithMaster(const std::string& sections) {
  TestSkin s;
  s.options = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n" + sections;
  s.Picture("Master.bmp", MasterBmp());
  return s;
}

const TsMaskData& Mask(const TkxSkinContent& c, const wchar_t* sec, const wchar_t* key) {
  int i = c.GetMaskIndex(sec, key);
  EXPECT_GE(i, 0) << tk::ToUtf8(sec) << " " << tk::ToUtf8(key);
  return c.ma.at(size_t(i < 0 ? 0 : i));
}

}  // namespace

TEST(MaskNotations, BorderMaskReadsItsFixedLayout) {
  auto c = WithMaster("[BUTTON]\nBORDERSMASK=^0003^0039^0006^0040^0001^0000^0000^0000^1^0^1^1\n").Load();
  const TsMaskData& m = Mask(*c, L"BUTTON", L"BORDERSMASK");
  EXPECT_EQ(m.R, tk::Rect(3, 39, 6, 40));
  EXPECT_EQ(m.WL, 1);
  EXPECT_EQ(m.WT, 0);
  EXPECT_EQ(m.ImageCount, 1);
  EXPECT_EQ(m.MaskType, 0);
  EXPECT_EQ(m.DrawMode, 1);
  EXPECT_EQ(m.BorderWidth, 1);
  EXPECT_EQ(m.ImgType, kx::itisaBorder);
  EXPECT_EQ(m.Bmp, nullptr);
  EXPECT_EQ(m.Manager, c.get());
}

TEST(MaskNotations, BorderMaskWithoutSideWidthsTakesTheBorderWidthOrAThird) {
  auto c = WithMaster(
               "[A]\nBORDERSMASK=^0000^0000^0030^0009^0000^0000^0000^0000^1^0^0^2\n"
               "[B]\nBORDERSMASK=^0000^0000^0030^0009^0000^0000^0000^0000^1^0^0^0\n"
               "[C]\nBORDERSMASK=^0000^0000^0060^0018^0000^0000^0000^0000^2^1^0^0\n"
               "[D]\nBORDERSMASK=^0000^0000^0030^0009^0000^0000^0000^0000^0^0^0^0\n")
               .Load();
  const TsMaskData& a = Mask(*c, L"A", L"BORDERSMASK");
  EXPECT_EQ((std::vector<int>{a.WL, a.WT, a.WR, a.WB}), (std::vector<int>{2, 2, 2, 2}));
  const TsMaskData& b = Mask(*c, L"B", L"BORDERSMASK");
  EXPECT_EQ((std::vector<int>{b.WL, b.WT, b.WR, b.WB}), (std::vector<int>{10, 3, 10, 3}));
  const TsMaskData& m = Mask(*c, L"C", L"BORDERSMASK");
  EXPECT_EQ((std::vector<int>{m.WL, m.WT, m.WR, m.WB}), (std::vector<int>{10, 3, 10, 3}));
  const TsMaskData& d = Mask(*c, L"D", L"BORDERSMASK");
  EXPECT_EQ(d.WL, 10) << "zero states read as one";
}

TEST(MaskNotations, GlyphAndTexture) {
  auto c = WithMaster(
               "[GLOBALINFO2]\nBICONCLOSE=@0133@0000@0217@0015@3@0\n"
               "[A]\nPATTERN=~0029~0034~0032~0040~10\nHOTPATTERN=~0029~0034~0032~0040~10~1\n")
               .Load();
  const TsMaskData& g = Mask(*c, L"GLOBALINFO2", L"BICONCLOSE");
  EXPECT_EQ(g.R, tk::Rect(133, 0, 217, 15));
  EXPECT_EQ(g.ImageCount, 3);
  EXPECT_EQ(g.ImgType, kx::itisaGlyph);
  EXPECT_EQ(c->MaskSize(c->GetMaskIndex(L"GLOBALINFO2", L"BICONCLOSE")), (tk::TSize{28, 15}));
  const TsMaskData& t = Mask(*c, L"A", L"PATTERN");
  EXPECT_EQ(t.ImgType, kx::itisaTexture);
  EXPECT_EQ(t.DrawMode, 10);
  EXPECT_EQ(t.MaskType, 0) << "exactly 24 characters";
  EXPECT_EQ(t.ImageCount, 1);
  EXPECT_EQ(Mask(*c, L"A", L"HOTPATTERN").MaskType, 1);
}

TEST(MaskNotations, OwnPicturesFromPngAndBmp) {
  TestSkin s;
  s.options =
      "[GLOBALINFO]\nBICONCLOSEGLOW0=!GLOWCLOSE.PNG!1!0!4\nEXBORDER=!EXBOR.PNG!2!0!3!0043!0068!0044!0043\n"
      "[BUTTON]\nBORDERSMASK=!BTN.BMP!3!1!0\nPATTERN=!TEX.BMP!1!0!1\nGLOW0=!GLOW.PNG!1!0!9\n";
  s.Picture("GlowClose.png", SolidPng(30, 24, 0x80102030));
  s.Picture("Exbor.png", SolidPng(200, 150, 0xFF000000));
  s.Picture("Btn.bmp", SolidBmp(90, 60, 0x123456, tk::TPixelFormat::pf32bit));
  s.Picture("Tex.bmp", SolidBmp(8, 8, 0x123456, tk::TPixelFormat::pf32bit));
  s.Picture("Glow.png", SolidPng(9, 9, 0x00FFFFFF));
  auto c = s.Load();
  const TsMaskData& g = Mask(*c, L"GLOBALINFO", L"BICONCLOSEGLOW0");
  EXPECT_EQ(g.ImgType, kx::itisaPngGlyph);
  EXPECT_EQ(g.R, tk::Rect(0, 0, 30, 24));
  EXPECT_EQ(g.WL, 10);
  EXPECT_EQ(g.WT, 8);
  EXPECT_EQ(g.DrawMode, 4);
  ASSERT_TRUE(g.Bmp);
  EXPECT_EQ(g.Bmp->PixelFormat(), tk::TPixelFormat::pf32bit) << "PNG stays as decoded";
  const TsMaskData& e = Mask(*c, L"GLOBALINFO", L"EXBORDER");
  EXPECT_EQ(e.ImgType, kx::itisaGlow);
  EXPECT_EQ((std::vector<int>{e.WL, e.WT, e.WR, e.WB}), (std::vector<int>{43, 68, 44, 43}));
  EXPECT_EQ(Mask(*c, L"BUTTON", L"BORDERSMASK").Bmp->PixelFormat(), tk::TPixelFormat::pf24bit);
  EXPECT_EQ(Mask(*c, L"BUTTON", L"PATTERN").Bmp->PixelFormat(), tk::TPixelFormat::pf32bit)
      << "a BMP texture keeps its format";
  const TsMaskData& glow = Mask(*c, L"BUTTON", L"GLOW0");
  EXPECT_EQ(glow.ImgType, kx::itisaPngGlyph) << "types above 4 count as 4";
  EXPECT_EQ(Px(*glow.Bmp, 4, 4), 0u) << "white with alpha 0 becomes all zero";
  EXPECT_EQ(c->MaskSize(c->GetMaskIndex(L"BUTTON", L"BORDERSMASK")), (tk::TSize{30, 30}));
}

TEST(MaskNotations, OwnPictureValuesThatNameNoPictureAreSkipped) {
  TestSkin s;
  s.options = "[A]\nK1=!glow.png!1!0!4\nK2=!PIC.GIF!1!0!0\nK3=!MISSING.PNG!1!0!0\nK4=!GLOW.PNG!1!0!-2\n";
  s.Picture("Glow.png", SolidPng(6, 6, 0xFF000000));
  std::vector<kx::TkxLoadProblem> problems;
  auto c = s.Load({}, &problems);
  EXPECT_EQ(c->GetMaskIndex(L"A", L"K1"), -1) << "the extension's case counts";
  EXPECT_EQ(c->GetMaskIndex(L"A", L"K2"), -1);
  EXPECT_EQ(c->GetMaskIndex(L"A", L"K3"), -1);
  EXPECT_EQ(Mask(*c, L"A", L"K4").ImgType, kx::itisaBorder) << "a negative type is drawn as a border";
  EXPECT_EQ(problems.size(), 4u);
}

TEST(MaskNotations, NonNumericFieldsEndTheLoadWithTheFirstBadValue) {
  EXPECT_EQ(WithMaster("[A]\nB=^00a3^00b9^0006^00c0^0001^0000^0000^0000^1^0^1^1\n").LoadError(),
            "''00a3'' is not a valid integer value");
  EXPECT_EQ(WithMaster("[A]\nB=@0001@0002\n").LoadError(), "'''' is not a valid integer value");
  EXPECT_EQ(WithMaster("[A]\nB=# (1,y,x,z) 1\n").LoadError(), "''y'' is not a valid integer value");
  EXPECT_EQ(WithMaster("[A]\nB=^0003^\x1b[2J^0006^0040^0001^0000^0000^0000^1^0^1^1\n").LoadError(),
            "''\\x1B[2J'' is not a valid integer value")
      << "control characters of the value are shown escaped";
  TestSkin s;
  s.options = "[A]\nB=!P.PNG!one!0!0\n";
  s.Picture("P.png", SolidPng(3, 3, 0xFF000000));
  EXPECT_EQ(s.LoadError(), "''one'' is not a valid integer value");
}

TEST(MaskNotations, FreeTextOfTheSkinsDescriptionIsNoPicture) {
  TestSkin s = WithMaster("[PANEL]\nCOLOR=255\n");
  s.options.insert(s.options.find("[PANEL]"),
                   "AUTHOR=Jane #1 (Blue.bmp)\nDESCRIPTION=Blue skin #2\nversion=6.5\nCOPYRIGHT=# 2024\n");
  std::vector<kx::TkxLoadProblem> problems;
  auto c = s.Load({}, &problems);
  EXPECT_EQ(c->SkinData.Author, L"Jane #1 (Blue.bmp)");
  EXPECT_EQ(c->SkinData.Description, L"Blue skin #2");
  EXPECT_TRUE(c->ma.empty());
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(WithMaster("[PANEL]\nNOTE=Blue skin #2\n").LoadError(), "''skin'' is not a valid integer value")
      << "elsewhere the older notation still reads it";
}

TEST(MaskNotations, ARepeatedKeyIsScannedOnceWithItsFirstValue) {
  TestSkin s = WithMaster(
      "[PANEL]\nBORDERSMASK=^0000^0000^0012^0008^0000^0000^0000^0000^1^0^1^0\nBORDERSMASK=# (1,x,3,4) 1\n"
      "bordersmask=!NONE.PNG!1!0!0\nPATTERN=NONE.JPG\nPattern=OTHER.JPG\n");
  std::vector<kx::TkxLoadProblem> problems;
  auto c = s.Load({}, &problems);
  ASSERT_EQ(c->ma.size(), 1u);
  EXPECT_EQ(c->ma[0].R, tk::Rect(0, 0, 12, 8));
  ASSERT_EQ(problems.size(), 1u) << "only the first PATTERN is looked for";
  EXPECT_EQ(problems[0].Text, L"picture \"NONE.JPG\" is missing");
}

TEST(MaskNotations, OlderRectangleNotation) {
  auto c = WithMaster("[panel]\nborder=# (10,20,40,50) 3,1,0,2\nplain=#(0,0,9,9)\nnone=#\n").Load();
  const TsMaskData& m = Mask(*c, L"PANEL", L"BORDER");
  EXPECT_EQ(m.R, tk::Rect(10, 20, 40, 50));
  EXPECT_EQ(m.ImageCount, 3);
  EXPECT_EQ(m.MaskType, 1);
  EXPECT_EQ(m.BorderWidth, 0);
  EXPECT_EQ(m.DrawMode, 2);
  EXPECT_EQ(m.WL, 3);  // 30 / (3 * 3)
  EXPECT_EQ(m.WT, 5);  // 30 / (2 * 3)
  const TsMaskData& p = Mask(*c, L"PANEL", L"PLAIN");
  EXPECT_EQ(p.ImageCount, 1);
  EXPECT_EQ(p.DrawMode, 1);
  EXPECT_EQ(c->GetMaskIndex(L"PANEL", L"NONE"), -1);
  EXPECT_EQ(c->GetMaskIndex(L"panel", L"border"), -1) << "older notations upper-case the names";
}

TEST(MaskNotations, OlderPictureNotation) {
  TestSkin s;
  s.options = "[edit]\nframe=FRAME.BMP\n";
  s.Picture("Frame.bmp", SolidBmp(90, 60, 0x445566, tk::TPixelFormat::pf32bit));
  auto c = s.Load();
  const TsMaskData& m = Mask(*c, L"EDIT", L"FRAME");
  EXPECT_EQ(m.ImageCount, 3);
  EXPECT_EQ(m.MaskType, 1);
  EXPECT_EQ(m.WL, 10);
  EXPECT_EQ(m.WT, 10);
  EXPECT_EQ(m.Bmp->PixelFormat(), tk::TPixelFormat::pf24bit);
}

TEST(MaskNotations, JpegPatternsBelowNinetyThousandPixelsBecomeTextures) {
  TestSkin s;
  s.options = "[FORM]\nSMALL=small.jpg\nBIG=BIG.JPEG\n";
  s.Picture("SMALL.JPG", SolidJpeg(299, 300, 0x808080));
  s.Picture("Big.jpeg", SolidJpeg(300, 300, 0x808080));
  auto c = s.Load();
  const TsMaskData& t = Mask(*c, L"FORM", L"SMALL");
  EXPECT_EQ(t.ImgType, kx::itisaTexture);
  EXPECT_EQ(t.R, tk::Rect(0, 0, 299, 300));
  ASSERT_EQ(c->pa.size(), 1u);
  EXPECT_EQ(c->pa[0].ClassName, L"FORM");
  EXPECT_EQ(c->pa[0].PropertyName, L"BIG");
  EXPECT_EQ(c->pa[0].Img->Width(), 300);
  int skin = c->GetSkinIndex(L"FORM");
  EXPECT_EQ(c->GetPatternIndex(skin, L"FORM", L"BIG"), 0);
  EXPECT_EQ(c->GetMaskIndex(L"FORM", L"BIG"), -1);
}

TEST(MaskPictures, MasterBitmapIsFoundByItsUpperCasedEntryName) {
  auto c = WithMaster("").Load();
  ASSERT_TRUE(c->MasterBitmap);
  EXPECT_EQ(c->MasterBitmap->Width(), 64);
  EXPECT_EQ(c->MasterBitmap->PixelFormat(), tk::TPixelFormat::pf24bit);
  EXPECT_TRUE(c->MasterBitmap->Transparent);
  EXPECT_EQ(c->MasterBitmap->TransparentColor, 0xFF00FF);
  TestSkin lower;
  lower.options = "[GLOBALINFO]\nMASTERBITMAP=Master.bmp\n";
  lower.Picture("Master.bmp", MasterBmp());
  auto d = lower.Load();
  EXPECT_TRUE(d->MasterBitmap->Empty()) << "names in the options file must be upper case";
}

TEST(MaskPictures, ThirtyTwoBitMasterIsMadeTwentyFourBit) {
  TestSkin s;
  s.options = "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n";
  s.Picture("M.bmp", SolidBmp(4, 4, 0x010203, tk::TPixelFormat::pf32bit));
  EXPECT_EQ(s.Load()->MasterBitmap->PixelFormat(), tk::TPixelFormat::pf24bit);
}

TEST(MaskPictures, DamagedPicturesEndTheLoadNamingThePicture) {
  TestSkin s;
  s.options = "[A]\nB=!P.PNG!1!0!0\n";
  Bytes png = SolidPng(8, 8, 0xFF000000);
  png.resize(png.size() - 20);
  s.Picture("P.png", png);
  std::string e = s.LoadError();
  EXPECT_EQ(e.rfind("Skin picture \"P.PNG\" can't be read. PNG image is not valid", 0), 0u) << e;
  TestSkin m = WithMaster("");
  m.pictures[0].second[0] = 'X';
  EXPECT_NE(m.LoadError().find("MASTER.BMP"), std::string::npos);
}

TEST(MaskPictures, FolderSkinsReadPicturesBesideTheOptionsFile) {
  auto dir = std::filesystem::temp_directory_path() / "kx_folder_skin";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  auto write = [&](const char* name, const Bytes& b) {
    tk::TMemoryStream(b.data(), b.size()).SaveToFile(tk::FromUtf8((dir / name).string()));
  };
  std::string options = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[A]\nK=!GLOW.PNG!1!0!4\nM=!NONE.PNG!1!0!4\n";
  write("Options.dat", Bytes(options.begin(), options.end()));
  write("Master.bmp", MasterBmp());
  write("glow.png", SolidPng(3, 3, 0xFF000000));
  kx::TkxLoadSettings s;
  s.SkinPath = tk::FromUtf8(dir.string()) + tk::PathDelim;
  auto c = kx::TkxSkinLoad(s).FromFolder();
  EXPECT_FALSE(c->SkinIsPacked);
  EXPECT_EQ(c->SkinData.SkinPath, s.SkinPath);
  EXPECT_EQ(c->MasterBitmap->Width(), 64);
  EXPECT_GE(c->GetMaskIndex(L"A", L"K"), 0);
  EXPECT_EQ(c->GetMaskIndex(L"A", L"M"), -1);
  std::filesystem::remove_all(dir);
}

TEST(MaskQueries, ParentsAreSearchedWithTheParentsIndex) {
  auto c = WithMaster(
               "[PANEL]\nBORDERSMASK=^0000^0000^0030^0009^0000^0000^0000^0000^1^0^0^2\n"
               "PATTERN=~0000~0000~0004~0004~00\nGLYPH=@0000@0000@0004@0004@1@0\n"
               "[MYPANEL]\nPARENTCLASS=PANEL\n[LOST]\nPARENTCLASS=NOWHERE\n")
               .Load();
  int panel = c->GetSkinIndex(L"PANEL"), my = c->GetSkinIndex(L"MYPANEL");
  int border = c->GetMaskIndex(L"PANEL", L"BORDERSMASK");
  EXPECT_EQ(c->GetMaskIndex(my, L"MYPANEL", L"BORDERSMASK"), border);
  EXPECT_EQ(c->gd[size_t(my)].BorderIndex, border);
  EXPECT_EQ(c->GetMaskIndex(L"MYPANEL", L"BORDERSMASK"), -1) << "the two-argument form has no parents";
  EXPECT_EQ(c->GetMaskIndex(-1, L"PANEL", L"BORDERSMASK"), -1);
  EXPECT_EQ(c->GetMaskIndex(panel, L"", L"BORDERSMASK"), -1);
  EXPECT_EQ(c->GetMaskIndex(c->GetSkinIndex(L"LOST"), L"LOST", L"BORDERSMASK"), -1);
  EXPECT_EQ(c->GetTextureIndex(my, L"MYPANEL", L"PATTERN"), c->GetMaskIndex(L"PANEL", L"PATTERN"));
  EXPECT_EQ(c->GetTextureIndex(my, L"MYPANEL", L"GLYPH"), -1) << "only textures count";
  EXPECT_EQ(c->GetPatternIndex(my, L"MYPANEL", L"PATTERN"), -1);
}

TEST(MaskQueries, SizesAndSideWidthsWithTheirFallbacks) {
  TkxSkinContent c;
  auto add = [&](tk::TRect r, int ic, int mt, int bw, int wl) {
    TsMaskData& m = c.ma.emplace_back();
    m.R = r, m.ImageCount = int16_t(ic), m.MaskType = int16_t(mt), m.BorderWidth = int16_t(bw);
    m.WL = m.WR = m.WT = m.WB = int16_t(wl);
  };
  add(tk::Rect(0, 0, 90, 40), 3, 1, 0, 0);
  add(tk::Rect(0, 0, 90, 40), 0, -1, 0, 0);
  add(tk::Rect(0, 0, 90, 40), 3, 1, 6, 0);
  add(tk::Rect(0, 0, 90, 40), 3, 1, 6, 7);
  EXPECT_EQ(c.MaskSize(0), (tk::TSize{30, 20}));
  EXPECT_EQ(c.MaskSize(1), (tk::TSize{0, 0}));
  EXPECT_EQ(c.MaskWidthLeft(0), 30);
  EXPECT_EQ(c.MaskWidthTop(0), 20);
  EXPECT_EQ(c.MaskWidthLeft(1), 90) << "zero states read as one";
  EXPECT_EQ(c.MaskWidthRight(1), 0);
  EXPECT_EQ(c.MaskWidthBottom(1), 0);
  EXPECT_EQ(c.MaskWidthRight(2), 6);
  EXPECT_EQ(c.MaskWidthBottom(3), 7);
  EXPECT_TRUE(c.IsValidImgIndex(3));
  EXPECT_FALSE(c.IsValidImgIndex(4));
  EXPECT_FALSE(c.IsValidImgIndex(-1));
  EXPECT_EQ(c.MaskSize(-1), (tk::TSize{0, 0}));
  EXPECT_EQ(c.MaskWidthLeft(99), 0);
}
