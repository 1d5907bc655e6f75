// Labels that size themselves to their text (measured through DoDrawText),
// the engine's labels under a skin (colours, disabled mix, section behind
// the text, link colours) and the pixels of the unskinned panel: bevels,
// border ring, face, caption.
#include <gtest/gtest.h>

#include "skin/controls/sLabel.h"
#include "skin/data/sSkinManager.h"
#include "tests/controls_win/Support_win.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"

namespace tk {
namespace {

using test::TTestForm;

// What DrawText says the text needs in Font.
TSize Measure(TFont* Font, const String& Text, unsigned Flags = 0, int Width = 0) {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, Font->Handle());
  RECT r{0, 0, Width, 0};
  ::DrawTextW(dc, Text.c_str(), static_cast<int>(Text.size()), &r, DT_CALCRECT | DT_EXPANDTABS | Flags);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return TSize{r.right, r.bottom};
}

TColor PixelAt(TBitmap& b, int x, int y) {
  const uint8_t* p = b.ScanLine(y) + x * 3;
  return RGBColor(p[2], p[1], p[0]);
}

class LabelTest : public ::testing::Test {
 protected:
  TTestForm Form;
};

TEST_F(LabelTest, AutoSizeFollowsCaptionAndFont) {
  TLabel* l = Create<TLabel>(Form.Get());
  l->SetParent(Form.Get());
  l->SetLeft(10);
  l->SetCaption(L"Hello, World");
  TSize want = Measure(l->Font(), L"Hello, World");
  EXPECT_EQ(l->Width(), want.cx);
  EXPECT_EQ(l->Height(), want.cy);

  l->Font()->SetHeight(-24);
  TSize bigger = Measure(l->Font(), L"Hello, World");
  EXPECT_GT(bigger.cx, want.cx);
  EXPECT_EQ(l->Width(), bigger.cx);
  EXPECT_EQ(l->Height(), bigger.cy);
  EXPECT_EQ(l->Left(), 10);
}

TEST_F(LabelTest, ARightAlignedLabelKeepsItsRightEdge) {
  TLabel* l = Create<TLabel>(Form.Get());
  l->SetParent(Form.Get());
  l->SetAlignment(taRightJustify);
  l->SetCaption(L"ab");
  l->SetLeft(200 - l->Width());
  int right = l->Left() + l->Width();
  l->SetCaption(L"a much longer text");
  EXPECT_EQ(l->Left() + l->Width(), right);
  EXPECT_GT(l->Width(), Measure(l->Font(), L"ab").cx);
}

TEST_F(LabelTest, AnEmptyCaptionStillMeasuresOneLineAndAccelCharsFollowTheRule) {
  TLabel* l = Create<TLabel>(Form.Get());
  l->SetParent(Form.Get());
  l->SetCaption(L"x");
  l->SetCaption(L"");
  EXPECT_EQ(l->Height(), Measure(l->Font(), L" ").cy);
  l->SetCaption(L"&File");
  EXPECT_EQ(l->Width(), Measure(l->Font(), L"&File").cx);  // the "&" takes no room
  l->SetShowAccelChar(false);
  EXPECT_EQ(l->Width(), Measure(l->Font(), L"&File", DT_NOPREFIX).cx);
}

TEST_F(LabelTest, WordWrapKeepsTheWidthAndGrowsTheHeight) {
  TLabel* l = Create<TLabel>(Form.Get());
  l->SetParent(Form.Get());
  l->SetAutoSize(false);
  l->SetWidth(60);
  l->SetWordWrap(true);
  l->SetCaption(L"one two three four five six");
  l->SetAutoSize(true);
  TSize want = Measure(l->Font(), L"one two three four five six", DT_WORDBREAK, 60);
  EXPECT_EQ(l->Height(), want.cy);
  EXPECT_GT(l->Height(), Measure(l->Font(), L"one").cy * 2);
  EXPECT_LE(l->Width(), 60);
}

// Measures with its own text: AutoSize must go through DoDrawText.
class TTaggedLabel : public TLabel {
 public:
  using TLabel::TLabel;
  int CalcCalls = 0;

 protected:
  String GetLabelText() override { return L"[" + Caption() + L"]"; }
  void DoDrawText(TRect& R, unsigned Flags) override {
    if (Flags & DT_CALCRECT) ++CalcCalls;
    TLabel::DoDrawText(R, Flags);
  }
};

TEST_F(LabelTest, AutoSizeMeasuresThroughTheOverridableDrawText) {
  auto* l = Create<TTaggedLabel>(Form.Get());
  l->SetParent(Form.Get());
  l->SetCaption(L"x");
  EXPECT_GT(l->CalcCalls, 0);
  EXPECT_EQ(l->Width(), Measure(l->Font(), L"[x]").cx);
}

TEST_F(LabelTest, AnOpaqueLabelPaintsItsColourTransparentOneLeavesTheParent) {
  TPanel* p = Create<TPanel>(Form.Get());
  p->SetParent(Form.Get());
  p->SetBounds(0, 0, 120, 60);
  p->SetBevelOuter(bvNone);
  p->SetCaption(L"");
  p->SetColor(RGBColor(0, 0, 200));
  TLabel* l = Create<TLabel>(Form.Get());
  l->SetParent(p);
  l->SetAutoSize(false);
  l->SetBounds(10, 10, 80, 30);
  l->SetCaption(L"");
  l->SetColor(RGBColor(0, 200, 0));
  TBitmap shot(120, 60, TPixelFormat::pf24bit);
  p->PaintTo(shot.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(PixelAt(shot, 50, 25), RGBColor(0, 200, 0));
  l->SetTransparent(true);
  p->PaintTo(shot.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(PixelAt(shot, 50, 25), RGBColor(0, 0, 200));
}

// --- The engine's labels under a skin of hand-made sections ---------------------------

kx::TsGeneralData Section(const wchar_t* Name, TColor Font, TColor Color) {
  kx::TsGeneralData s;
  s.ClassName = Name;
  s.FontColor[0] = Font;
  s.Color = Color;
  s.BorderIndex = -1;
  return s;
}

class SkinnedLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Manager = Create<kx::TsSkinManager>(nullptr);
    ASSERT_EQ(kx::DefaultManager(), Manager);
    auto& gd = Manager->gd();
    gd.push_back(Section(L"ZERO", RGBColor(0, 160, 0), RGBColor(90, 90, 90)));  // index 0
    gd.push_back(Section(L"GLOBALINFO", RGBColor(20, 30, 140), Grey));
    gd.push_back(Section(L"FILL", RGBColor(160, 0, 0), RGBColor(250, 240, 10)));
    gd[1].FontColor[2] = RGBColor(200, 100, 0);
    gd[1].FontColor[4] = RGBColor(0, 100, 200);
    Manager->SkinData().Active = true;
    Panel = Create<TPanel>(Form.Get());
    Panel->SetParent(Form.Get());
    Panel->SetBounds(0, 0, 160, 40);
    Panel->SetBevelOuter(bvNone);
    Panel->SetCaption(L"");
    Panel->SetColor(Grey);
  }
  void TearDown() override { FreeAndNil(Manager); }
  template <class T = kx::TsLabel>
  T* Label(TColor FontColor) {
    auto* l = Create<T>(Form.Get());
    l->SetParent(Panel);
    l->SetAutoSize(false);
    l->SetBounds(4, 4, 120, 30);
    l->Font()->SetHeight(-20);
    l->Font()->SetColor(FontColor);
    l->SetCaption(L"WWW");
    return l;
  }
  int Count(TColor c) {
    Panel->PaintTo(Shot.Canvas()->Handle(), 0, 0);
    int n = 0;
    for (int y = 4; y < 34; ++y)
      for (int x = 4; x < 124; ++x) n += PixelAt(Shot, x, y) == c;
    return n;
  }
  // Text pixels of the label and a background pixel right of the text.
  void ExpectLook(TColor Text, TColor Back) {
    EXPECT_GT(Count(Text), 10) << std::hex << "text 0x" << Text;
    EXPECT_EQ(PixelAt(Shot, 118, 30), Back);
  }

  const TColor Grey = RGBColor(200, 200, 200);
  test::TTestForm Form;
  kx::TsSkinManager* Manager = nullptr;
  TPanel* Panel = nullptr;
  TBitmap Shot{160, 40, TPixelFormat::pf24bit};
};

TEST_F(SkinnedLabelTest, ADisabledLabelMixesItsTextIntoTheParentColour) {
  kx::TsLabel* l = Label(clBlack);
  l->SetUseSkinColor(false);
  l->SetEnabled(false);
  // 40 % of black over 60 % of the grey.
  EXPECT_GT(Count(RGBColor(120, 120, 120)), 10);
  EXPECT_EQ(Count(clBlack), 0);
}

TEST_F(SkinnedLabelTest, TheFontColourFollowsTheSkinTheSectionAndUseSkinColor) {
  const struct {
    bool UseSkin;
    const wchar_t* Section;
    TColor Text, Back;
  } rows[] = {
      {false, L"", clRed, Grey},                    // its own colour
      {true, L"", RGBColor(20, 30, 140), Grey},     // the global font colour
      {false, L"ZERO", RGBColor(0, 160, 0), Grey},  // index 0: no background
      {false, L"FILL", RGBColor(160, 0, 0), RGBColor(250, 240, 10)},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &r - rows);
    kx::TsLabel* l = Label(clRed);
    l->SetUseSkinColor(r.UseSkin);
    l->SetSkinSection(r.Section);
    ExpectLook(r.Text, r.Back);
    l->Free();
  }
}

TEST_F(SkinnedLabelTest, AWebLabelTakesTheLinkColoursOfTheSkinOrBlueAndRed) {
  for (const bool info : {false, true}) {
    SCOPED_TRACE(info ? "with the global-info section" : "without it");
    Manager->ConstData().IndexGLobalInfo = info ? 1 : -1;
    auto* l = Label<kx::TsWebLabel>(clRed);
    ExpectLook(info ? RGBColor(0, 100, 200) : clBlue, Grey);
    l->Perform(CM_MOUSEENTER);
    ExpectLook(info ? RGBColor(200, 100, 0) : clRed, Grey);
    l->Perform(CM_MOUSELEAVE);
    ExpectLook(info ? RGBColor(0, 100, 200) : clBlue, Grey);
    l->Free();
  }
}

TEST_F(SkinnedLabelTest, SwitchingTheSkinOffGivesSkinColouredLabelsTheWindowTextColour) {
  kx::TsLabel* skinned = Label(clRed);
  kx::TsLabel* own = Label(clRed);
  own->SetUseSkinColor(false);
  own->SetTop(50);
  Count(0);
  EXPECT_EQ(skinned->Font()->Color(), RGBColor(20, 30, 140));
  Manager->RemoveSkin();
  EXPECT_EQ(skinned->Font()->Color(), clWindowText);
  EXPECT_EQ(own->Font()->Color(), clRed);
  skinned->Free();
  own->Free();

  // A link shows the skin's colour while there is one, its own after.
  Manager->gd().push_back(Section(L"GLOBALINFO", 0, Grey));
  Manager->gd()[0].FontColor[4] = RGBColor(0, 100, 200);
  Manager->ConstData().IndexGLobalInfo = 0;
  Manager->SkinData().Active = true;
  auto* link = Label<kx::TsWebLabel>(clBlack);
  TFont font;
  font.Assign(link->Font());
  font.SetColor(RGBColor(0, 120, 0));
  link->SetFont(&font);
  EXPECT_GT(Count(RGBColor(0, 100, 200)), 10);
  Manager->RemoveSkin();
  EXPECT_GT(Count(RGBColor(0, 120, 0)), 10);
}

TEST_F(SkinnedLabelTest, AHoveredLinkLetsGoWhenItsMoveIsHandledAfterThePointerLeftTheWindow) {
  auto* l = Label<kx::TsWebLabel>(clRed);
  Panel->HandleNeeded();
  // The pointer is already far away when the move over the link is handled,
  // as under load.
  ::SetCursorPos(8, 8);
  test::PumpPending();
  ::SendMessageW(Panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  test::PumpPending();
  EXPECT_FALSE(l->MouseAbove());
}

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Panel = Create<TPanel>(Form.Get());
    Panel->SetParent(Form.Get());
    Panel->SetBounds(10, 10, 60, 40);
    Panel->SetCaption(L"");
    Panel->SetColor(Face);
  }
  void Shoot() { Panel->PaintTo(Shot.Canvas()->Handle(), 0, 0); }
  TTestForm Form;
  TPanel* Panel = nullptr;
  TBitmap Shot{60, 40, TPixelFormat::pf24bit};
  const TColor Face = RGBColor(40, 90, 160);
};

TEST_F(PanelTest, ARaisedBevelIsLightTopLeftAndDarkBottomRight) {
  Panel->SetBevelWidth(2);
  Shoot();
  TColor light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow);
  EXPECT_EQ(PixelAt(Shot, 0, 0), light);
  EXPECT_EQ(PixelAt(Shot, 1, 20), light);
  EXPECT_EQ(PixelAt(Shot, 30, 1), light);
  EXPECT_EQ(PixelAt(Shot, 59, 39), dark);
  EXPECT_EQ(PixelAt(Shot, 58, 20), dark);
  EXPECT_EQ(PixelAt(Shot, 30, 38), dark);
  // The far corners of a ring belong to the dark side.
  EXPECT_EQ(PixelAt(Shot, 59, 0), dark);
  EXPECT_EQ(PixelAt(Shot, 0, 39), dark);
  EXPECT_EQ(PixelAt(Shot, 2, 2), Face);
  EXPECT_EQ(PixelAt(Shot, 30, 20), Face);
}

TEST_F(PanelTest, LoweredOuterRaisedInnerAndTheBorderRingBetween) {
  Panel->SetBevelOuter(bvLowered);
  Panel->SetBevelInner(bvRaised);
  Panel->SetBorderWidth(3);
  Shoot();
  TColor light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow);
  EXPECT_EQ(PixelAt(Shot, 0, 0), dark);  // outer, lowered
  EXPECT_EQ(PixelAt(Shot, 59, 39), light);
  EXPECT_EQ(PixelAt(Shot, 2, 2), Face);  // border ring
  EXPECT_EQ(PixelAt(Shot, 3, 20), Face);
  EXPECT_EQ(PixelAt(Shot, 4, 4), light);  // inner, raised
  EXPECT_EQ(PixelAt(Shot, 55, 35), dark);
  EXPECT_EQ(PixelAt(Shot, 30, 20), Face);
  EXPECT_EQ(Panel->BevelInset(), 5);
}

TEST_F(PanelTest, TheCaptionIsDrawnOnlyWhenShown) {
  Panel->SetBevelOuter(bvNone);
  Panel->Font()->SetColor(clWhite);
  Panel->Font()->SetHeight(-20);
  Panel->SetCaption(L"WWW");
  auto textPixels = [&] {
    int n = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x)
        if (PixelAt(Shot, x, y) != Face) ++n;
    return n;
  };
  Shoot();
  EXPECT_GT(textPixels(), 20);
  Panel->SetShowCaption(false);
  Shoot();
  EXPECT_EQ(textPixels(), 0);
}

TEST_F(PanelTest, AlignedChildrenStayInsideBevelsAndBorder) {
  Panel->SetBounds(10, 10, 100, 50);
  Panel->SetBevelWidth(2);
  Panel->SetBorderWidth(3);
  TPanel* child = Create<TPanel>(Form.Get());
  child->SetParent(Panel);
  child->SetAlign(alClient);
  EXPECT_EQ(child->BoundsRect(), Rect(5, 5, 95, 45));
}

}  // namespace
}  // namespace tk
