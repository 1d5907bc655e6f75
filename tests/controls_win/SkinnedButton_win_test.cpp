// The skinned push button's window region: cut from the border's see-through
// corner pixels once, not again on a repaint, and again after a resize.
#include <gtest/gtest.h>

#include "skin/controls/sButton.h"
#include "skin/data/sSkinManager.h"
#include "tests/controls_win/Support_win.h"

namespace tk {
namespace {

using test::PumpPending;

bool InRegion(HWND Wnd, int X, int Y) {
  HRGN r = ::CreateRectRgn(0, 0, 0, 0);
  const bool in = ::GetWindowRgn(Wnd, r) != ERROR && ::PtInRegion(r, X, Y);
  ::DeleteObject(r);
  return in;
}

class SkinnedButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Manager = Create<kx::TsSkinManager>(nullptr);
    // A 9 x 9 border of one frame, 3 pixels each side, whose outermost
    // corner pixels are see-through.
    auto mask = std::make_unique<TBitmap>(9, 9, TPixelFormat::pf24bit);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 9; ++x) {
        const bool corner = (x == 0 || x == 8) && (y == 0 || y == 8);
        uint8_t* p = mask->ScanLine(y) + x * 3;
        p[0] = corner ? 255 : 90, p[1] = corner ? 0 : 90, p[2] = corner ? 255 : 90;
      }
    kx::TsMaskData m;
    m.Bmp = std::move(mask);
    m.R = TRect{0, 0, 9, 9};
    m.ImageCount = 1;
    m.WL = m.WT = m.WR = m.WB = 3;
    m.Manager = &Manager->Content();
    Manager->ma().push_back(std::move(m));
    kx::TsGeneralData s;
    s.ClassName = L"BUTTON";
    s.Color = RGBColor(230, 230, 230);
    s.BorderIndex = 0;
    Manager->gd().push_back(s);
    Manager->SkinData().Active = true;
    Button = Create<kx::TsButton>(Form.Get());
    Button->SetSkinSection(L"BUTTON");
    Button->SetParent(Form.Get());
    Button->SetBounds(20, 20, 75, 25);
    Button->SetCaption(L"OK");
    Form->HandleNeeded();
    ::UpdateWindow(Button->Handle());
    PumpPending();
  }
  void TearDown() override { FreeAndNil(Manager); }

  kx::TsSkinManager* Manager = nullptr;
  test::TTestForm Form;
  kx::TsButton* Button = nullptr;
};

TEST_F(SkinnedButtonTest, TheRegionIsCutOnceRepaintsKeepItAndAResizeCutsItAgain) {
  HWND w = Button->Handle();
  EXPECT_EQ(::GetWindowLongPtrW(w, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  ASSERT_EQ(Button->RegionsApplied(), 1);
  EXPECT_FALSE(InRegion(w, 0, 0));
  EXPECT_TRUE(InRegion(w, 1, 0));
  EXPECT_FALSE(InRegion(w, 74, 24));
  for (int i = 0; i < 3; ++i) {
    ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpPending();
  }
  EXPECT_EQ(Button->RegionsApplied(), 1);
  Button->SetBounds(20, 20, 90, 30);
  ::UpdateWindow(w);
  PumpPending();
  EXPECT_EQ(Button->RegionsApplied(), 2);
  EXPECT_FALSE(InRegion(w, 89, 29));
  EXPECT_TRUE(InRegion(w, 88, 29));
}

}  // namespace
}  // namespace tk
