// Captions in skin colours on real device contexts: the order of the offset
// copies, the dimmed colour, the hot web button's underline, and the font
// section found through the parents.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "skin/controls/sPanel.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sSkinText.h"
#include "tests/paint/PaintTest.h"
#include "tests/support/GdiObjects_win.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace kx {
namespace {

using painttest::Color;
using tk::TColor;
using tk::TRect;

constexpr int kW = 60, kH = 40;
const TRect kTextRect{10, 5, 50, 35};
constexpr uint32_t kFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

TsGeneralData Sec(const wchar_t* Name, TsFontColors Colours, int Transparency = 0, bool GivesFont = false) {
  TsGeneralData s;
  s.ClassName = Name;
  s.FontColor = Colours;
  s.HotFontColor = Colours;
  s.Transparency = Transparency;
  s.GiveOwnFont = GivesFont;
  s.BorderIndex = -1;
  return s;
}

class SkinTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Manager = tk::Create<TsSkinManager>(nullptr);
    Manager->gd().push_back(Sec(L"GLOBALINFO", {0, -1, -1, -1, -1}));
    Manager->gd().back().Color = tk::clWhite;
  }
  void TearDown() override { tk::FreeAndNil(Manager); }

  int Add(TsGeneralData s) {
    Manager->gd().push_back(std::move(s));
    return static_cast<int>(Manager->gd().size()) - 1;
  }

  // The caption "LH" written on white in section Index.
  std::unique_ptr<tk::TBitmap> Write(int Index, bool Enabled = true, bool Hot = false) {
    auto b = painttest::Solid(kW, kH, painttest::pf24, tk::clWhite);
    TsCommonData data(nullptr, false);
    data.SkinIndex = Index;
    tk::TCanvas* c = b->Canvas();
    c->Font()->SetHeight(-22);
    c->Font()->SetStyle(tk::TFontStyles{tk::fsBold});
    WriteSkinText(c, L"LH", Enabled, Hot, data, kFormat, kTextRect);
    return b;
  }

  TsSkinManager* Manager = nullptr;
};

TEST_F(SkinTextTest, OffsetCopiesGoLeftUpRightDownThenTheTextOnTop) {
  // Where the main text alone covers a pixel fully, find the layer drawn last
  // over each pixel: copies 1..4 moved by their offsets, then the text.
  const auto shape = Write(Add(Sec(L"PLAIN", {0, -1, -1, -1, -1})));
  auto covered = [&](int x, int y) { return x >= 0 && y >= 0 && x < kW && y < kH ? Color(*shape, x, y) == 0 : false; };
  auto touched = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < kW && y < kH && Color(*shape, x, y) != tk::clWhite;
  };
  const std::array<POINT, 5> offsets{{{0, 0}, {-1, 0}, {0, -1}, {1, 0}, {0, 1}}};
  const TsFontColors cases[] = {
      {0x000080, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF},  // outline in four colours
      {0x0000FF, -1, -1, -1, 0x000000},                    // drop shadow below
      {0xFF0000, -1, -1, -1, -1},                          // text alone
  };
  for (const TsFontColors& colours : cases) {
    const auto got = Write(Add(Sec(L"TEXT", colours)));
    std::array<int, 5> seen{};
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        int last = -1;
        bool partlyLater = false;
        for (int layer : {1, 2, 3, 4, 0}) {
          if (colours[layer] == -1) continue;
          const int sx = x - offsets[layer].x, sy = y - offsets[layer].y;
          if (covered(sx, sy)) last = layer, partlyLater = false;
          else if (touched(sx, sy)) partlyLater = true;
        }
        if (last < 0 && !partlyLater) {
          ASSERT_EQ(Color(*got, x, y), tk::clWhite) << x << "," << y;
        } else if (last >= 0 && !partlyLater) {
          ASSERT_EQ(Color(*got, x, y), colours[last]) << x << "," << y << " layer " << last;
          ++seen[last];
        }
      }
    for (int layer = 0; layer < 5; ++layer)
      EXPECT_EQ(seen[layer] > 0, colours[layer] != -1) << "layer " << layer << " shows where it was drawn";
  }
}

TEST_F(SkinTextTest, DisabledTextIsFortyPercentOverTheGlobalColour) {
  const auto got = Write(Add(Sec(L"PLAIN", {0, -1, -1, -1, 0x0000FF})), false);
  int grey = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const TColor c = Color(*got, x, y);
      ASSERT_NE(c, 0) << "no black left";
      ASSERT_NE(c, 0x0000FF) << "no outline when disabled";
      grey += c == tk::RGBColor(153, 153, 153);
    }
  EXPECT_GT(grey, 10);
}

TEST_F(SkinTextTest, OnlyAHotWebButtonIsUnderlined) {
  const int web = Add(Sec(L"WEBBUTTON", {0, -1, -1, -1, -1}));
  const int button = Add(Sec(L"BUTTON", {0, -1, -1, -1, -1}));
  struct Case {
    int index;
    bool hot, underlined;
  } cases[] = {{web, true, true}, {web, false, false}, {button, true, false}};
  for (const Case& c : cases) {
    tk::TBitmap b(kW, kH, tk::TPixelFormat::pf24bit);
    TsCommonData data(nullptr, false);
    data.SkinIndex = c.index;
    WriteSkinText(b.Canvas(), L"Link", true, c.hot, data, kFormat, kTextRect);
    EXPECT_EQ(b.Canvas()->Font()->Style().Contains(tk::fsUnderline), c.underlined) << c.index << " " << c.hot;
  }
}

TEST_F(SkinTextTest, AGlowingSectionHalosTheCaptionInTheCacheAndLeavesNoObjectsBehind) {
  TsGeneralData glowing = Sec(L"GLOWING", {0, -1, -1, -1, -1});
  glowing.GlowSize = 3;
  glowing.GlowColor = tk::clBlue;
  TsCommonData data(nullptr, true);
  data.SkinIndex = Add(glowing);
  data.FCacheBmp->SetSize(kW, kH);
  tk::TCanvas* c = data.FCacheBmp->Canvas();
  auto write = [&] {
    c->Brush()->SetColor(tk::clWhite);
    c->Brush()->SetStyle(tk::bsSolid);
    c->FillRect(TRect{0, 0, kW, kH});
    WriteSkinText(c, L"LH", true, false, data, kFormat, kTextRect);
  };
  write();
  const size_t objects = tk::test::GdiObjects();
  write();
  EXPECT_EQ(tk::test::GdiObjects(), objects);
  int halo = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const TColor p = Color(*data.FCacheBmp, x, y);
      halo += tk::GetBValue(p) == 255 && tk::GetRValue(p) < 200;
    }
  EXPECT_GT(halo, 20) << "blue mixed in around the strokes";
}

TEST(DrawTextGlow, HaloAroundTheTextCutToTheBitmapAndMadeAgainForAnotherText) {
  auto target = painttest::Solid(30, 20, painttest::pf24, tk::clWhite);
  TkxGlowMask mask;
  tk::TFont font;
  font.SetHeight(-16);
  const TRect r{-4, -3, 26, 17};  // the mask reaches past every edge
  DrawTextGlow(target.get(), L"W", r, mask, tk::clRed, 3, 15, kFormat, &font);
  ASSERT_TRUE(mask.Bmp);
  int red = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) {
      const TColor c = Color(*target, x, y);
      ASSERT_EQ(tk::GetRValue(c), 255) << "only the glow colour mixed in";
      red += c != tk::clWhite;
    }
  EXPECT_GT(red, 20);
  const tk::TBitmap* first = mask.Bmp.get();
  DrawTextGlow(target.get(), L"W", r, mask, tk::clRed, 3, 15, kFormat, &font);
  EXPECT_EQ(mask.Bmp.get(), first) << "kept for the same caption";
  DrawTextGlow(target.get(), L"I", r, mask, tk::clRed, 3, 15, kFormat, &font);
  EXPECT_NE(mask.Bmp.get(), first) << "made again for another text of the same size";
}

TEST_F(SkinTextTest, FontSectionComesFromTheNearestParentThatGivesItsFont) {
  const int gives = Add(Sec(L"GIVES", {0, -1, -1, -1, -1}, 0, true));
  Add(Sec(L"CLEAR", {0, -1, -1, -1, -1}, 100));
  const int half = Add(Sec(L"HALF", {0, -1, -1, -1, -1}, 50, true));
  Add(Sec(L"SOLID", {0, -1, -1, -1, -1}));
  constexpr int own = 77;
  struct Case {
    const wchar_t *outer, *inner;
    int want;
  } cases[] = {
      {L"GIVES", L"CLEAR", gives},  // looked through the see-through panel
      {L"GIVES", L"SOLID", own},    // the solid panel gives no font
      {L"SOLID", L"HALF", half},    // half see-through still gives its own
      {L"CLEAR", L"CLEAR", own},    // the form answers with no section
  };
  tk::TForm* form = tk::Create<tk::TForm>(tk::Application);
  for (const Case& c : cases) {
    auto panel = [&](tk::TWinControl* parent, const wchar_t* section) {
      auto* p = tk::Create<TsPanel>(form);
      p->BeginReading();
      p->SetParent(parent);
      p->SetBounds(0, 0, 100, 80);
      p->SetSkinSection(section);
      p->HandleNeeded();
      p->EndReading();
      p->Loaded();
      return p;
    };
    TsPanel* outer = panel(form, c.outer);
    TsPanel* inner = panel(outer, c.inner);
    auto* label = tk::Create<tk::TLabel>(form);
    label->SetParent(inner);
    EXPECT_EQ(FindFontSection(label, own, nullptr), c.want) << c.outer << " " << c.inner;
    EXPECT_EQ(FindFontSection(label, -1, Manager), c.want == own ? -1 : c.want);
  }
  delete form;
}

}  // namespace
}  // namespace kx
