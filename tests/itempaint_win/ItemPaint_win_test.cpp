// The item-painting entry points that take a device context or a control's
// skin data: each must give exactly the pixels of the pure routine, leave the
// device as it found it, and leak no GDI objects.
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/controls/sPanel.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sMessages.h"
#include "skin/paint/sAlphaGraph.h"
#include "tests/paint/PaintTest.h"
#include "tests/support/GdiObjects_win.h"
#include "toolkit/Forms.h"

namespace kx {
namespace {

using painttest::Color;
using tk::TPoint;
using tk::TRect;

class TAnsweringPanel : public TsPanel {
 public:
  explicit TAnsweringPanel(tk::TComponent* AOwner) : TsPanel(AOwner) {}
  void Dispatch(tk::TMessage& m) override {
    switch (CommandOf(m)) {
      case 0: TsPanel::Dispatch(m); return;
      case KX_QUERYBACKGROUND: SkinData()->AnswerBackgroundQuery(*reinterpret_cast<TBackgroundQuery*>(m.LParam)); break;
      case KX_QUERYSKINSTATE: m.Result = SkinData()->CtrlSkinState; break;
      default: break;
    }
  }
};

class ItemPaintWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Manager = tk::Create<TsSkinManager>(nullptr);
    ASSERT_EQ(DefaultManager(), Manager);
    Manager->Content().MasterBitmap = painttest::Noise(64, 64, painttest::pf24, 7);
    Flat = Add(L"PANEL", 0, 0xC0C0C0);
    Framed = Add(L"FRAMED", 30, 0x3080C0);
    Clear = Add(L"CLEAR", 100, 0xFFFFFF);
    Painted = Add(L"PAINTED", 0, 0x204060);
    // A 3-state border of 8 x 8 frames with 3-pixel margins for FRAMED.
    TsMaskData m;
    m.R = TRect{0, 0, 24, 8};
    m.ImageCount = 3;
    m.MaskType = 0;
    m.DrawMode = 0;
    m.Manager = &Manager->Content();
    m.ClassName = L"FRAMED";
    m.PropertyName = L"BORDERS";
    m.WL = m.WT = m.WR = m.WB = 3;
    Manager->ma().push_back(std::move(m));
    Manager->gd()[Framed].BorderIndex = static_cast<int>(Manager->ma().size()) - 1;
    Form = tk::Create<tk::TForm>(tk::Application);
    Form->SetBounds(10, 10, 400, 300);
  }
  void TearDown() override {
    tk::FreeAndNil(Form);
    tk::FreeAndNil(Manager);
  }
  int Add(const wchar_t* name, int transparency, tk::TColor color) {
    TsGeneralData s;
    s.ClassName = name;
    s.Transparency = transparency;
    s.Color = s.HotColor = color;
    s.BorderIndex = -1;
    Manager->gd().push_back(s);
    return static_cast<int>(Manager->gd().size()) - 1;
  }
  TAnsweringPanel* Panel(tk::TWinControl* parent, const wchar_t* section, int x, int y, int w, int h) {
    auto* p = tk::Create<TAnsweringPanel>(Form);
    p->BeginReading();
    p->SetParent(parent);
    p->SetBounds(x, y, w, h);
    p->SetSkinSection(section);
    p->HandleNeeded();
    p->EndReading();
    p->Loaded();
    return p;
  }
  const TkxSkinContent* Skin() { return &Manager->Content(); }

  TsSkinManager* Manager = nullptr;
  tk::TForm* Form = nullptr;
  int Flat = -1, Framed = -1, Clear = -1, Painted = -1;
};

// Pixels of a at (ax + x, ay + y) against b at (x, y) over b's size.
::testing::AssertionResult SameArea(tk::TBitmap& a, int ax, int ay, tk::TBitmap& b) {
  tk::detail::FlushPixelStore();
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (Color(a, ax + x, ay + y) != Color(b, x, y))
        return ::testing::AssertionFailure() << "differs at " << x << "," << y;
  return ::testing::AssertionSuccess();
}

TEST_F(ItemPaintWinTest, ADevicePaintEqualsThePurePaintAndTouchesOnlyItsRectangle) {
  auto target = painttest::Noise(80, 60, painttest::pf24, 3);
  auto before = painttest::Copy(*target);
  HDC dc = target->Canvas()->Handle();
  const TCacheInfo ci{nullptr, 0, 0, 0x10E010, false};
  const TRect r{5, 6, 45, 36};
  const TPoint offset{5, 6};

  for (int state = 0; state < 2; ++state) {
    PaintSectionToDevice(Framed, L"FRAMED", ci, Manager, dc, offset, r, state, true);
    auto pure = NewBitmap24(r.Width(), r.Height());
    PaintSectionLook(Framed, L"FRAMED", ci, -1, -1, Skin(), pure.get(), offset, TRect{0, 0, r.Width(), r.Height()},
                     state, true);
    EXPECT_TRUE(SameArea(*target, r.Left, r.Top, *pure)) << "state " << state;
  }
  tk::detail::FlushPixelStore();
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x) {
      if (!r.Contains(TPoint{x, y})) { ASSERT_EQ(Color(*target, x, y), Color(*before, x, y)) << x << "," << y; }
    }

  // A nil manager is the default one; an empty or off-origin rectangle paints nothing.
  auto copy = painttest::Copy(*target);
  PaintSectionToDevice(Flat, L"PANEL", ci, nullptr, dc, offset, TRect{-1, 0, 10, 10}, 0, true);
  PaintSectionToDevice(Flat, L"PANEL", ci, nullptr, dc, offset, TRect{10, 10, 10, 20}, 0, true);
  PaintSectionToDevice(Flat, L"PANEL", ci, nullptr, nullptr, offset, r, 0, true);
  tk::detail::FlushPixelStore();
  EXPECT_TRUE(painttest::SameBytes(*target, *copy));
  PaintSectionToDevice(Flat, L"PANEL", ci, nullptr, dc, offset, TRect{0, 0, 4, 4}, 0, true);
  tk::detail::FlushPixelStore();
  EXPECT_EQ(Color(*target, 3, 3), 0xC0C0C0u);
}

TEST_F(ItemPaintWinTest, DevicePaintsRestoreTheDeviceAndLeakNoGdiObjects) {
  auto target = painttest::Noise(80, 60, painttest::pf24, 3);
  HDC dc = target->Canvas()->Handle();
  const TCacheInfo ci{nullptr, 0, 0, 0x10E010, false};
  auto bmp = NewBitmap24(30, 20), tiny = NewBitmap24(2, 2);
  // Once first so lazily made engine objects are not counted.
  PaintSectionToDevice(Framed, L"FRAMED", ci, Manager, dc, TPoint{}, TRect{2, 2, 40, 30}, 1, true);
  PaintSectionByName(bmp.get(), L"FRAMED", L"", dc, 0, TRect{4, 4, 34, 24}, Manager, 0);
  PaintSectionToDevice(Flat, L"PANEL", ci, Manager, dc, TPoint{}, TRect{0, 0, 2, 2}, 0, true);
  PaintSectionByName(tiny.get(), L"CLEAR", L"", dc, 0, TRect{0, 0, 2, 2}, Manager, 0);

  const HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP), brush = ::GetCurrentObject(dc, OBJ_BRUSH),
                pen = ::GetCurrentObject(dc, OBJ_PEN), font = ::GetCurrentObject(dc, OBJ_FONT);
  const HGDIOBJ ownBitmap = ::GetCurrentObject(bmp->Canvas()->Handle(), OBJ_BITMAP);
  const std::size_t objects = tk::test::GdiObjects();
  for (int i = 0; i < 50; ++i) {
    PaintSectionToDevice(Framed, L"FRAMED", ci, Manager, dc, TPoint{i, 0}, TRect{2, 2, 40, 30}, i % 3, i % 2 == 0);
    PaintSectionByName(bmp.get(), L"FRAMED", L"", dc, 0, TRect{i % 40, 4, 34, 24}, Manager, i % 3);
    Manager->gd()[Flat].Color = 0x010101u * static_cast<unsigned>(i + 1);
    PaintSectionToDevice(Flat, L"PANEL", ci, Manager, dc, TPoint{}, TRect{0, 0, 2, 2}, 0, true);
    PaintSectionByName(tiny.get(), L"CLEAR", L"", dc, 0, TRect{0, 0, 2, 2}, Manager, 0);
  }
  EXPECT_EQ(tk::test::GdiObjects(), objects);
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_BITMAP), bitmap);
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(::GetCurrentObject(bmp->Canvas()->Handle(), OBJ_BITMAP), ownBitmap);
  EXPECT_EQ(bmp->Width(), 30);
  EXPECT_EQ(bmp->Height(), 20);
}

TEST_F(ItemPaintWinTest, PaintingByNameTakesTheParentFromTheDeviceOrTheFillColour) {
  auto screen = painttest::Noise(80, 60, painttest::pf24, 11);
  HDC dc = screen->Canvas()->Handle();
  const TRect r{7, 9, 37, 29};

  // A fully see-through section shows what the device holds at r.
  auto bmp = NewBitmap24(30, 20);
  EXPECT_EQ(PaintSectionByName(bmp.get(), L"CLEAR", L"", dc, 0, r, Manager, 0), Clear);
  EXPECT_TRUE(SameArea(*screen, r.Left, r.Top, *bmp));

  // Half see-through over the device equals the pure routine over a copy.
  Manager->gd()[Framed].Transparency = 50;
  auto pure = NewBitmap24(30, 20);
  ::BitBlt(pure->Canvas()->Handle(), 0, 0, 30, 20, dc, r.Left, r.Top, SRCCOPY);
  EXPECT_EQ(PaintSectionByName(pure.get(), L"FRAMED", L"", true, 0, Skin(), 1), Framed);
  EXPECT_EQ(PaintSectionByName(bmp.get(), L"FRAMED", L"", dc, 0, r, Manager, 1), Framed);
  EXPECT_TRUE(SameArea(*bmp, 0, 0, *pure));

  // Without a device the parent is the fill colour; an unknown name falls back.
  auto pureFill = NewBitmap24(30, 20);
  EXPECT_EQ(PaintSectionByName(pureFill.get(), L"FRAMED", L"", false, 0x0000FF, Skin(), 0), Framed);
  EXPECT_EQ(PaintSectionByName(bmp.get(), L"NOSUCH", L"FRAMED", nullptr, 0x0000FF, r, nullptr, 0), Framed);
  EXPECT_TRUE(SameArea(*bmp, 0, 0, *pureFill));

  EXPECT_EQ(PaintSectionByName(bmp.get(), L"NOSUCH", L"", dc, 0, r, Manager, 0), -1);
  EXPECT_EQ(PaintSectionByName(nullptr, L"PANEL", L"", dc, 0, r, Manager, 0), -1);
}

TEST_F(ItemPaintWinTest, AControlsSkinDataPaintsAsItsIndexesAndColourSay) {
  TAnsweringPanel* p = Panel(Form, L"FRAMED", 0, 0, 60, 40);
  TsCommonData& d = *p->SkinData();
  TkxControlSkin s = ControlSkinOf(d);
  EXPECT_EQ(s.SkinIndex, Framed);
  EXPECT_EQ(s.SkinSection, L"FRAMED");
  EXPECT_EQ(s.HotTexture, d.HotTexture);
  EXPECT_EQ(s.Texture, d.Texture);
  EXPECT_EQ(s.Skin, Skin());
  EXPECT_EQ(s.CustomColor, kxKeyColor);

  d.SetCustomColor(true);
  p->SetColor(tk::clRed);
  EXPECT_EQ(ControlSkinOf(d).CustomColor, tk::ColorToRGB(tk::clRed));

  const TCacheInfo ci{nullptr, 0, 0, 0x10E010, false};
  for (int state = 0; state < 2; ++state) {
    auto got = NewBitmap24(60, 40), want = NewBitmap24(60, 40);
    PaintControlLook(d, ci, true, true, got.get(), TPoint{3, 4}, TRect{0, 0, 60, 40}, state);
    PaintControlLook(ControlSkinOf(d), ci, true, true, want.get(), TPoint{3, 4}, TRect{0, 0, 60, 40}, state);
    EXPECT_TRUE(SameArea(*got, 0, 0, *want)) << "look, state " << state;
    PaintControlBackground(d, ci, state, got.get(), TPoint{3, 4}, TRect{5, 5, 50, 30});
    PaintControlBackground(ControlSkinOf(d), ci, state, want.get(), TPoint{3, 4}, TRect{5, 5, 50, 30});
    EXPECT_TRUE(SameArea(*got, 0, 0, *want)) << "background, state " << state;
  }
}

TEST_F(ItemPaintWinTest, OverANestedParentTheLookShowsTheOutermostPictureAtTheSummedOffset) {
  Manager->gd()[Painted].GradientPercent = 60;  // not flat: the base answers with its picture
  TAnsweringPanel* base = Panel(Form, L"PAINTED", 0, 0, 300, 200);
  base->SkinData()->InitCacheBmp();
  tk::TBitmap* cache = base->SkinData()->FCacheBmp.get();
  ASSERT_NE(cache, nullptr);
  // Give the picture texture so a wrong offset shows.
  for (int y = 0; y < cache->Height(); ++y)
    for (int x = 0; x < cache->Width(); ++x) painttest::Put(*cache, x, y, static_cast<tk::TColor>((x * 7) | (y << 12)));
  TAnsweringPanel* outer = Panel(base, L"CLEAR", 10, 20, 150, 120);
  TAnsweringPanel* inner = Panel(outer, L"CLEAR", 3, 4, 60, 50);
  TAnsweringPanel* child = Panel(inner, L"CLEAR", 5, 6, 20, 10);

  auto got = NewBitmap24(20, 10);
  PaintControlLookOverParent(*child->SkinData(), inner, true, true, got.get(), TPoint{5, 6}, TRect{0, 0, 20, 10}, 0);
  auto want = NewBitmap24(20, 10);
  PaintControlLook(*child->SkinData(), TCacheInfo{cache, 13, 24, kxKeyColor, true}, true, true, want.get(),
                   TPoint{5, 6}, TRect{0, 0, 20, 10}, 0);
  EXPECT_TRUE(SameArea(*got, 0, 0, *want));
  EXPECT_TRUE(SameArea(*cache, 18, 30, *got)) << "the child sits at (18, 30) of the outermost picture";

  // A flat parent answers its colour; no parent leaves the colour unknown.
  Manager->gd()[Clear].Transparency = 50;
  TAnsweringPanel* flat = Panel(Form, L"PANEL", 0, 0, 50, 50);
  TAnsweringPanel* over = Panel(flat, L"CLEAR", 1, 1, 20, 10);
  PaintControlLookOverParent(*over->SkinData(), flat, true, true, got.get(), TPoint{1, 1}, TRect{0, 0, 20, 10}, 0);
  PaintControlLook(*over->SkinData(), TCacheInfo{nullptr, 0, 0, 0xC0C0C0, false}, true, true, want.get(), TPoint{1, 1},
                   TRect{0, 0, 20, 10}, 0);
  EXPECT_TRUE(SameArea(*got, 0, 0, *want));
  PaintControlLookOverParent(*over->SkinData(), nullptr, true, true, got.get(), TPoint{1, 1}, TRect{0, 0, 20, 10}, 0);
  PaintControlLook(*over->SkinData(), TCacheInfo{nullptr, 0, 0, kxKeyColor, false}, true, true, want.get(),
                   TPoint{1, 1}, TRect{0, 0, 20, 10}, 0);
  EXPECT_TRUE(SameArea(*got, 0, 0, *want));
}

}  // namespace
}  // namespace kx
