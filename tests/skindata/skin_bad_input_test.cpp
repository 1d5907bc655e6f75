// Malformed skins end the load with a clear error, never with a crash, a
// wrong picture or a huge allocation; each case here was once let through.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "skin/data/kxJpegReader.h"
#include "skin/data/kxSkinError.h"
#include "skin/data/sSkinLoad.h"
#include "skin/paint/sAlphaGraph.h"
#include "tests/skindata/TestSkin.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

using namespace kxtest;
using kx::TkxSkinContent;

namespace {

const kx::TsGeneralData& Section(const TkxSkinContent& c, const wchar_t* name) {
  int i = c.GetSkinIndex(name);
  EXPECT_GE(i, 0) << tk::ToUtf8(name);
  return c.gd.at(size_t(i < 0 ? 0 : i));
}

}  // namespace

TEST(BadPictureValues, StateAndLayerCountsThatCannotDivideEndTheLoad) {
  // Painting divides a picture's height by the layer count plus one: -1 (or
  // 65535, which is -1 in 16 bits) once killed the program at the first paint.
  const struct {
    const char* value;
    const char* error;
  } bad[] = {
      {"!A.PNG!1!-1!0", "has a layer count of -1 (0 to 9 are allowed)"},
      {"!A.PNG!1!65535!0", "has a layer count of 65535 (0 to 9 are allowed)"},
      {"!A.PNG!1!10!0", "has a layer count of 10 (0 to 9 are allowed)"},
      {"!A.PNG!-1!0!4", "has a state count of -1 (0 to 32767 are allowed)"},
      {"!A.PNG!65535!0!4", "has a state count of 65535 (0 to 32767 are allowed)"},
  };
  for (const auto& b : bad) {
    TestSkin s;
    s.options = std::string("[PANEL]\nBORDERSMASK=") + b.value + "\n";
    s.Picture("A.png", SolidPng(6, 6, 0xFF102030));
    EXPECT_EQ(s.LoadError(), std::string("[PANEL] BORDERSMASK: the picture value \"") + b.value + "\" " + b.error);
  }
  // No states reads as one state, in every notation.
  TestSkin ok;
  ok.options =
      "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[PANEL]\nGLOW0=!A.PNG!0!9!4\n"
      "BORDERSMASK=^0000^0000^0012^0009^0000^0000^0000^0000^0^0^0^0\nGLYPHMASK=@0000@0000@0012@0009@0@1\n";
  ok.Picture("A.png", SolidPng(6, 20, 0xFF102030));
  ok.Picture("Master.bmp", MasterBmp());
  auto c = ok.Load();
  for (const wchar_t* key : {L"GLOW0", L"BORDERSMASK", L"GLYPHMASK"}) {
    int m = c->GetMaskIndex(L"PANEL", key);
    ASSERT_GE(m, 0);
    EXPECT_EQ(c->ma[m].ImageCount, 1) << tk::ToUtf8(key);
  }
  EXPECT_EQ(kx::MaskFrameSize(c->ma[c->GetMaskIndex(L"PANEL", L"GLOW0")]), (tk::TSize{6, 2}));
}

TEST(BadColours, MinusOneColoursAreTurnedLikeAnyOther) {
  // -1 once collided with the empty slot of the colour cache of the hue
  // rotation and came back as whatever the slot held.
  TestSkin s;
  s.options = "[GLOBALINFO]\nSHADOW1COLOR=-1\nBORDERCOLOR=-1\n[PANEL]\nCOLOR=255\n";
  kx::TkxLoadSettings set;
  set.HueOffset = 120;
  auto c = s.Load(set);
  EXPECT_EQ(c->SkinData.Shadow1Color, kx::RotateHue(120, -1));
  EXPECT_EQ(c->SkinData.BorderColor, kx::RotateHue(120, -1));
  EXPECT_EQ(Section(*c, L"PANEL").Color, kx::RotateHue(120, 255));
}

TEST(BadCommonSections, GlowKeysThatAreNoNumberBecomeZero) {
  TestSkin s;
  s.options = "[PANEL]\nGLOW=3\nGSIZE=4\n";
  kx::TkxLoadSettings set;
  set.CommonSections = kx::PrepareCommonSections(
      {L"[A]", L"PARENTCLASS=PANEL", L"GLOW=soft", L"GSIZE=-1", L"[B]", L"PARENTCLASS=PANEL"});
  auto c = s.Load(set);
  EXPECT_EQ(Section(*c, L"A").GlowCount, 0) << "a value that is no number reads as the absent value 0";
  EXPECT_EQ(Section(*c, L"A").GlowSize, 4) << "only -1 takes the parent's value";
  EXPECT_EQ(Section(*c, L"B").GlowCount, 0);
}

TEST(BadSectionKeys, KeysIgnoreCaseAndTheFirstOfTwoWinsEvenWithoutAValue) {
  TestSkin s;
  s.options =
      "[PANEL]\ncolor=255\nColor=7\nFADINGENABLED\nFADINGENABLED=TRUE\nfadingiterations=9\n"
      "[panel]\nCOLOR=1\n[X]\nPARENTCLASS=PANEL\n";
  auto c = s.Load();
  const kx::TsGeneralData& p = Section(*c, L"PANEL");
  EXPECT_EQ(p.Color, 255);
  EXPECT_FALSE(p.FadingEnabled) << "a key without a value hides a later one, as the options reader answers";
  EXPECT_EQ(p.FadingIterations, 9);
  EXPECT_EQ(c->gd[1].Color, 255) << "the second [panel] is filled from the first";
  EXPECT_EQ(Section(*c, L"X").FadingIterations, 9);
}

TEST(BadFiles, FilesAboveTheLimitAreRefusedBeforeTheyAreRead) {
  auto dir = std::filesystem::temp_directory_path() / "kx_bad_files";
  std::filesystem::create_directories(dir);
  auto file = dir / "big.kxz";
  std::ofstream(file, std::ios::binary) << std::string(100, 'x');
  tk::TMemoryStream m;
  try {
    kx::LoadSkinFile(tk::FromUtf8(file.string()), m, 99);
    ADD_FAILURE();
  } catch (const kx::EkxSkinError& e) {
    EXPECT_NE(std::string(e.what()).find("is too large (100 bytes)"), std::string::npos) << e.what();
  }
  EXPECT_EQ(m.Size(), 0);
  kx::LoadSkinFile(tk::FromUtf8(file.string()), m, 100);
  EXPECT_EQ(m.Size(), 100);
  std::filesystem::remove_all(dir);
}

TEST(BadJpeg, AbsurdDimensionsAreRefusedBeforeDecoding) {
  tk::TBitmap b(16, 8, tk::TPixelFormat::pf24bit);
  Bytes jpg = kx::WriteJpeg(b);
  // The baseline frame header: FF C0, length, precision, height, width.
  size_t sof = 2;
  while (sof + 9 < jpg.size() && !(jpg[sof] == 0xFF && jpg[sof + 1] == 0xC0)) ++sof;
  ASSERT_LT(sof + 9, jpg.size());
  jpg[sof + 5] = 0xEA, jpg[sof + 6] = 0x60;  // 60000 rows
  jpg[sof + 7] = 0xEA, jpg[sof + 8] = 0x60;  // 60000 columns
  try {
    kx::ReadJpeg(jpg.data(), jpg.size());
    ADD_FAILURE();
  } catch (const tk::EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find("too large (60000 x 60000 pixels)"), std::string::npos) << e.what();
  }
}

TEST(BadPictureValues, OnePictureNamedByManyKeysCountsEachTime) {
  // A small file naming one large picture from every key must not make the
  // load decode without end.
  TestSkin s;
  s.options = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[PANEL]\n";
  for (const char* key : {"K0", "K1", "K2", "K3"}) s.options.append(key).append("=!A.PNG!1!0!4\n");
  s.Picture("Master.bmp", SolidBmp(10, 10, 0x123456));  // 100 pixels
  s.Picture("A.png", SolidPng(10, 20, 0xFF102030));     // 200 pixels a time
  kx::TkxLoadSettings set;
  set.MaxPicturePixels = 900;
  EXPECT_EQ(s.Load(set)->ma.size(), 4u);
  s.options += "K4=!A.PNG!1!0!4\n";
  try {
    s.Load(set);
    ADD_FAILURE();
  } catch (const kx::EkxSkinError& e) {
    EXPECT_EQ(std::string(e.what()),
              "The skin's pictures hold more than 900 pixels in all (the last one read was \"A.PNG\")");
  }
}

TEST(BadOptions, OptionsFilesAboveTheLimitAreRefused) {
  std::string big(size_t(kx::kxMaxOptionsSize) + 1, ';');
  tk::TMemoryStream m(big.data(), big.size());
  EXPECT_THROW(kx::ReadOptions(&m), kx::EkxSkinError);
}
