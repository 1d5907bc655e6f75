// The internal skin as the build packs it: what the notepad reads of it, the
// pictures' layout rules, the skin tool's verdict, and that the committed
// files are what the generator makes.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "skin/data/kxBmpReader.h"
#include "skin/data/kxPngReader.h"
#include "skin/data/kxSkinPack.h"
#include "skin/data/sSkinLoad.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"
#include "tools/kxskin/kxSkinTool.h"
#include "tools/skingen/SkinBuild.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using tk::String;

namespace {

const char* const kEntries[] = {"Options.dat", "ButtonHuge.bmp", "Master.bmp",   "Exbor.png",
                                "GlowBtn.png", "GlowClose.png",  "GlowH.png",    "GlowMax.png",
                                "GlowMin.png", "GlowNorm.png",   "GlowWhite.png"};

Bytes ReadAll(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

std::unique_ptr<tk::TBitmap> Decode(const std::string& name, const Bytes& b) {
  return name.ends_with(".bmp") ? kx::ReadBmp(b.data(), b.size()) : kx::ReadPng(b.data(), b.size());
}

// WCAG contrast ratio of two 0x00BBGGRR colours.
double Contrast(tk::TColor a, tk::TColor b) {
  auto lum = [](tk::TColor c) {
    auto ch = [](int v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * ch(c & 0xFF) + 0.7152 * ch((c >> 8) & 0xFF) + 0.0722 * ch((c >> 16) & 0xFF);
  };
  const double la = lum(a), lb = lum(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class Pearlmist : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    conv = kx::LoadPackedSkinFile(tk::FromUtf8(TABULO_PEARLMIST_KXZ), false).release();
    ASSERT_NE(conv, nullptr) << "the build did not pack " << TABULO_PEARLMIST_KXZ;
    ini = kx::ReadOptions(conv->Options.get()).release();
    skin = kx::TkxSkinLoad({}, &problems).FromOptions(*ini, conv).release();
  }
  static void TearDownTestSuite() {
    delete skin;
    delete ini;
    delete conv;
  }

  static const kx::TsGeneralData& Section(const String& name) {
    const int i = skin->GetSkinIndex(name);
    EXPECT_GE(i, 0) << tk::ToUtf8(name);
    return skin->gd[size_t(std::max(i, 0))];
  }
  static int Mask(const String& section, const String& key) {
    return skin->GetMaskIndex(skin->GetSkinIndex(section), section, key);
  }
  static const tk::TBitmap& PictureOf(const kx::TsMaskData& m) { return m.Bmp ? *m.Bmp : *skin->MasterBitmap; }

  static kx::TkxSkinConvertor* conv;
  static tk::TMemIniFile* ini;
  static kx::TkxSkinContent* skin;
  static std::vector<kx::TkxLoadProblem> problems;
};

kx::TkxSkinConvertor* Pearlmist::conv = nullptr;
tk::TMemIniFile* Pearlmist::ini = nullptr;
kx::TkxSkinContent* Pearlmist::skin = nullptr;
std::vector<kx::TkxLoadProblem> Pearlmist::problems;

TEST_F(Pearlmist, CarriesTheSectionValuesTheControlsRelyOn) {
  EXPECT_TRUE(problems.empty());
  ASSERT_FALSE(skin->gd.empty());
  EXPECT_EQ(skin->gd[0].ClassName, L"GLOBALINFO");
  const kx::TsSkinData& d = skin->SkinData;
  EXPECT_EQ(d.ExBorderWidth, 26);
  EXPECT_EQ(d.ExTitleHeight, 51);
  EXPECT_EQ(d.ExMaxHeight, 34);
  EXPECT_EQ(d.ExContentOffs, 16);
  EXPECT_EQ(d.ExCenterOffs, 5);
  EXPECT_EQ(d.ExDrawMode, 1);
  EXPECT_GT(d.Version, 0);
  EXPECT_LE(d.Version, 6.99);
  EXPECT_TRUE(ini->ValueExists(L"GLOBALINFO", L"CAPTIONHEIGHT"));
  EXPECT_TRUE(ini->ValueExists(L"GLOBALINFO", L"BICONNORMGLOW"));

  const kx::TsGeneralData& sb = Section(L"SPEEDBUTTON");
  EXPECT_TRUE(sb.FadingEnabled);
  EXPECT_EQ(sb.FadingIterations, 20);
  EXPECT_EQ(sb.GradientData, L"16777215;15856113;97;0;0;15856113;15856113;0;0;0");

  // The editor's text colour would flip after its first paint otherwise.
  const kx::TsGeneralData& edit = Section(L"EDIT");
  EXPECT_EQ(edit.FontColor[0], edit.HotFontColor[0]);
  EXPECT_EQ(skin->GetSkinIndex(L"UNKNOWN"), -1);
}

TEST_F(Pearlmist, EverySectionAndPictureTheNotepadReadsResolves) {
  for (const wchar_t* s : {L"GLOBALINFO", L"FORM", L"FORMTITLE", L"PANEL", L"SPEEDBUTTON", L"EDIT", L"SCROLLBAR1V",
                           L"SCROLLBAR2V", L"SCROLLBTNTOP", L"SCROLLBTNBOTTOM", L"SCROLLSLIDERV", L"BUTTON",
                           L"MAINMENU", L"MENUITEM", L"ICOLINE", L"DIVIDERV", L"DIALOG", L"CHECKBOX"})
    EXPECT_GE(skin->GetSkinIndex(s), 0) << tk::ToUtf8(s);

  const kx::TConstantSkinData& c = skin->ConstData;
  for (int m : {int(c.ExBorder), int(c.MaskScrollTop), int(c.MaskScrollBottom), int(c.MaskArrowTop),
                int(c.MaskArrowBottom), int(c.MaskSliderVert), int(c.MaskScrollBar1V), int(c.MaskScrollBar2V)})
    EXPECT_TRUE(skin->IsValidImgIndex(m));
  EXPECT_EQ(skin->ma[size_t(c.ExBorder)].ImageCount, 2);  // inactive and active template

  // Frames of buttons follow the states 0 normal, 1 hot, 2 pressed.
  for (const wchar_t* s : {L"SPEEDBUTTON", L"BUTTON"}) {
    const int m = Section(s).BorderIndex;
    ASSERT_TRUE(skin->IsValidImgIndex(m)) << tk::ToUtf8(s);
    EXPECT_EQ(skin->ma[size_t(m)].ImageCount, 3);
  }
  for (const wchar_t* s : {L"MAINMENU", L"DIVIDERV", L"PANEL"})
    EXPECT_TRUE(skin->IsValidImgIndex(Section(s).BorderIndex)) << tk::ToUtf8(s);

  // Title buttons: three frames each, all as high as the close glyph; each
  // glow shows the button with the glow margin all round.
  const kx::TsMaskData& close = skin->ma[size_t(std::max(0, Mask(L"GLOBALINFO", L"BICONCLOSE")))];
  const tk::TSize button = skin->MaskSize(Mask(L"GLOBALINFO", L"BICONCLOSE"));
  for (const wchar_t* g : {L"BICONMIN", L"BICONMAX", L"BICONNORM", L"BICONCLOSE"}) {
    const int m = Mask(L"GLOBALINFO", g);
    ASSERT_TRUE(skin->IsValidImgIndex(m)) << tk::ToUtf8(g);
    EXPECT_EQ(skin->ma[size_t(m)].ImageCount, 3);
    EXPECT_EQ(skin->MaskSize(m), button);
    const int glow = Mask(L"GLOBALINFO", String(g) + L"GLOW0");
    ASSERT_TRUE(skin->IsValidImgIndex(glow)) << tk::ToUtf8(g);
    const int margin = skin->SkinData.BICloseGlowMargin;
    EXPECT_EQ(skin->ma[size_t(glow)].Bmp->Width(), button.cx + 2 * margin);
    EXPECT_EQ(skin->ma[size_t(glow)].Bmp->Height(), button.cy + 2 * margin);
  }
  EXPECT_EQ(close.ImgType, kx::itisaGlyph);
  EXPECT_EQ(skin->SkinData.BIMaxGlowMargin, skin->SkinData.BICloseGlowMargin);
  EXPECT_EQ(skin->SkinData.BIMinGlowMargin, skin->SkinData.BICloseGlowMargin);
}

TEST_F(Pearlmist, UsesOnlyTheFourNotationsOfTheInternalSkin) {
  for (const String& sec : kx::SectionNames(*ini)) {
    for (const auto& k : kx::SectionKeys(*ini, sec)) {
      const String v = k.Value, up = tk::UpperCaseAscii(v);
      const std::string where = tk::ToUtf8(sec + L"/" + k.Name);
      if (v.empty()) continue;
      switch (v[0]) {
        case L'^': EXPECT_EQ(v.size(), 48u) << where; break;
        case L'@': EXPECT_EQ(v.size(), 24u) << where; break;
        case L'~': EXPECT_TRUE(v.size() == 24 || v.size() == 26) << where; break;
        case L'!': EXPECT_EQ(up, v) << where; break;  // picture names are found in capitals
        default:
          if (sec == L"GLOBALINFO" && k.Name == L"MASTERBITMAP") continue;
          // Notations 5 to 7 would claim these values.
          EXPECT_EQ(v.find(L'#'), String::npos) << where;
          EXPECT_EQ(up.find(L".BMP"), String::npos) << where;
          EXPECT_EQ(up.find(L".JPG"), String::npos) << where;
      }
    }
  }
}

TEST_F(Pearlmist, EveryMaskLiesInsideItsPictureInWholeFrames) {
  ASSERT_NE(skin->MasterBitmap, nullptr);
  EXPECT_EQ(skin->MasterBitmap->PixelFormat(), tk::TPixelFormat::pf24bit);
  for (const kx::TsMaskData& m : skin->ma) {
    const std::string where = tk::ToUtf8(m.ClassName + L"/" + m.PropertyName);
    const tk::TBitmap& pic = PictureOf(m);
    EXPECT_GE(m.R.Left, 0) << where;
    EXPECT_GE(m.R.Top, 0) << where;
    EXPECT_LE(m.R.Right, pic.Width()) << where;
    EXPECT_LE(m.R.Bottom, pic.Height()) << where;
    ASSERT_GT(m.ImageCount, 0) << where;
    EXPECT_EQ(m.R.Width() % m.ImageCount, 0) << where;
    EXPECT_EQ(m.R.Height() % (m.MaskType + 1), 0) << where;
    const int fw = m.R.Width() / m.ImageCount, fh = m.R.Height() / (m.MaskType + 1);
    if (m.ImgType == kx::itisaBorder) {
      // Nine slices need a middle to tile.
      EXPECT_LT(m.WL + m.WR, fw) << where;
      EXPECT_LT(m.WT + m.WB, fh) << where;
    }
    if (m.MaskType != 1 || pic.PixelFormat() != tk::TPixelFormat::pf24bit) continue;
    // A key pixel is no part of the element: its mask must show the destination.
    for (int y = m.R.Top; y < m.R.Top + fh; ++y) {
      const uint8_t* p = pic.ScanLine(y) + 3 * m.R.Left;
      const uint8_t* k = pic.ScanLine(y + fh) + 3 * m.R.Left;
      for (int x = 0; x < m.R.Width(); ++x, p += 3, k += 3)
        if (p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF) { ASSERT_EQ(k[0] & k[1] & k[2], 0xFF) << where; }
    }
  }
}

TEST_F(Pearlmist, TextIsLegibleInEveryStateItIsDrawnIn) {
  auto check = [](const char* what, tk::TColor text, tk::TColor back) { EXPECT_GE(Contrast(text, back), 4.5) << what; };
  const kx::TsGeneralData& g = Section(L"GLOBALINFO");
  check("about labels", g.FontColor[0], Section(L"PANEL").Color);
  check("web label", g.FontColor[4], Section(L"PANEL").Color);
  check("web label hovered", g.FontColor[2], Section(L"PANEL").Color);
  for (const wchar_t* s : {L"SPEEDBUTTON", L"BUTTON", L"MENUITEM", L"EDIT"}) {
    const kx::TsGeneralData& sec = Section(s);
    check(tk::ToUtf8(s).c_str(), sec.FontColor[0], sec.Transparency == 100 ? Section(L"MAINMENU").Color : sec.Color);
    check(tk::ToUtf8(s).c_str(), sec.HotFontColor[0], sec.HotColor);
  }
  check("caption, inactive", Section(L"FORMTITLE").FontColor[0], Section(L"FORMTITLE").Color);
  check("caption, active", Section(L"FORMTITLE").HotFontColor[0], Section(L"FORMTITLE").HotColor);
}

TEST_F(Pearlmist, PicturesOfLayeredWindowsArePremultiplied) {
  std::vector<std::pair<std::string, std::unique_ptr<tk::TBitmap>>> pics;
  for (const kx::TkxImageItem& f : conv->Files)
    if (tk::UpperCaseAscii(f.FileName).ends_with(L".PNG"))
      pics.emplace_back(tk::ToUtf8(f.FileName), kx::ReadPng(f.FileStream->Memory(), size_t(f.FileStream->Size())));
  for (const char* s : {"kxSHDA.png", "kxSHDI.png"}) {
    const Bytes b = ReadAll(fs::path(TABULO_SKINS_DIR) / "Shadows" / s);
    pics.emplace_back(s, kx::ReadPng(b.data(), b.size()));
  }
  ASSERT_EQ(pics.size(), 10u);
  EXPECT_EQ(pics[8].second->Width(), 32);
  EXPECT_EQ(pics[8].second->Height(), 32);
  EXPECT_EQ(pics[9].second->Width(), 31);
  EXPECT_EQ(pics[9].second->Height(), 31);
  for (const auto& [name, bmp] : pics) {
    ASSERT_EQ(bmp->PixelFormat(), tk::TPixelFormat::pf32bit) << name;
    int clear = 0, solid = 0;
    for (int y = 0; y < bmp->Height(); ++y) {
      const uint8_t* p = bmp->ScanLine(y);
      for (int x = 0; x < bmp->Width(); ++x, p += 4) {
        ASSERT_LE(std::max({p[0], p[1], p[2]}), p[3]) << name << " at " << x << "," << y;
        clear += p[3] == 0, solid += p[3] > 0;
      }
    }
    EXPECT_GT(clear, 0) << name;
    EXPECT_GT(solid, 0) << name;
  }
  // The frame ring of both templates is opaque (title drawing keeps its alpha),
  // and their outer edge is clear shadow.
  const kx::TsMaskData& ex = skin->ma[size_t(skin->ConstData.ExBorder)];
  const int fw = ex.Bmp->Width() / 2, s = skin->SkinData.ExContentOffs;
  for (int f = 0; f < 2; ++f) {
    auto alpha = [&](int x, int y) { return ex.Bmp->ScanLine(y)[4 * (f * fw + x) + 3]; };
    EXPECT_EQ(alpha(s + 13, ex.Bmp->Height() / 2), 255);
    EXPECT_EQ(alpha(fw / 2, s + skin->SkinData.ExTitleHeight / 2), 255);
    EXPECT_EQ(alpha(fw / 2, ex.Bmp->Height() - s - 10), 255);
    EXPECT_EQ(alpha(0, 0), 0);
  }
}

TEST(PearlmistTool, ChecksCleanAndUnpacksElevenEntriesInOrder) {
  auto run = [](std::vector<String> args, std::string& out) {
    std::ostringstream o, e;
    const int code = kxtool::RunKxSkin(args, o, e);
    out = o.str() + e.str();
    return code;
  };
  std::string out;
  EXPECT_EQ(run({L"check", L"--strict", tk::FromUtf8(TABULO_PEARLMIST_KXZ)}, out), 0) << out;
  EXPECT_NE(out.find("Problems: 0"), std::string::npos) << out;

  const fs::path dir = fs::temp_directory_path() / "pearlmist_unpack";
  fs::remove_all(dir);
  ASSERT_EQ(run({L"unpack", tk::FromUtf8(TABULO_PEARLMIST_KXZ), tk::FromUtf8(dir.string())}, out), 0) << out;
  std::ifstream order(dir / "kxskin.order");
  std::vector<std::string> names;
  for (std::string line; std::getline(order, line);) names.push_back(line);
  EXPECT_EQ(names, std::vector<std::string>(std::begin(kEntries), std::end(kEntries)));
  fs::remove_all(dir);
}

// The committed files are what `make skin` writes; a change of the design
// without regenerating them fails here.
TEST(PearlmistSources, AreWhatTheGeneratorMakes) {
  const skingen::TSkinFiles made = skingen::BuildPearlmist();
  const fs::path root(TABULO_SKINS_DIR);
  const Bytes options = ReadAll(root / "Pearlmist" / "Options.dat");
  EXPECT_EQ(std::string(options.begin(), options.end()), made.Options);
  auto samePixels = [](const std::string& name, const Bytes& a, const Bytes& b) {
    const auto pa = Decode(name, a), pb = Decode(name, b);
    ASSERT_EQ(pa->Width(), pb->Width()) << name;
    ASSERT_EQ(pa->Height(), pb->Height()) << name;
    ASSERT_EQ(pa->PixelFormat(), pb->PixelFormat()) << name;
    const size_t row = size_t(pa->Width()) * tk::BytesPerPixel(pa->PixelFormat());
    for (int y = 0; y < pa->Height(); ++y)
      ASSERT_TRUE(std::equal(pa->ScanLine(y), pa->ScanLine(y) + row, pb->ScanLine(y))) << name << " row " << y;
  };
  ASSERT_EQ(made.Pictures.size(), 10u);
  for (size_t i = 0; i < made.Pictures.size(); ++i) {
    const auto& [name, bytes] = made.Pictures[i];
    EXPECT_EQ(name, kEntries[i + 1]);
    samePixels(name, ReadAll(root / "Pearlmist" / name), bytes);
  }
  samePixels("kxSHDA.png", ReadAll(root / "Shadows" / "kxSHDA.png"), made.ShadowActive);
  samePixels("kxSHDI.png", ReadAll(root / "Shadows" / "kxSHDI.png"), made.ShadowInactive);
}

}  // namespace
