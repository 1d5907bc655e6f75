// The skinned panels of the notepad's window, built in this process: a panel
// held back while it updates paints nothing until its parent has finished,
// and showing and hiding the about panel leaves no GDI object behind.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/Unit1.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/sMessages.h"
#include "tests/support/GdiObjects_win.h"
#include "tests/support/Pump_win.h"

namespace {

using tk::test::PumpPending;

class NotepadPanels : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { kx::InitializeEngine(); }
  void SetUp() override {
    Form = tk::Create<TForm1>(tk::Application);
    Form->Show();
    Settle();
  }
  void TearDown() override {
    Form->Free();
    PumpPending();
  }
  // Everything painted that is due.
  void Settle() const {
    PumpPending();
    ::RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  static intptr_t Command(HWND Wnd, uint16_t Sub, uint16_t Arg = 0) {
    return ::SendMessageW(Wnd, kx::SM_KESTRIXCMD, kx::CommandWParam(Sub, Arg), 0);
  }
  TForm1* Form = nullptr;
};

// A pixel of the gap between the first two button columns, as the screen shows it.
COLORREF ColumnPixel(HWND Column) {
  HDC dc = ::GetDC(Column);
  const COLORREF c = ::GetPixel(dc, 61, 200);
  ::ReleaseDC(Column, dc);
  return c;
}

TEST_F(NotepadPanels, APanelUpdatingStaysBlankUntilItsParentHasUpdated) {
  HWND column = Form->sPanel1->Handle();
  const COLORREF face = static_cast<COLORREF>(Command(column, kx::KX_QUERYCOLOR));
  ASSERT_EQ(ColumnPixel(column), face);

  Command(column, kx::KX_SETUPDATING, 1);
  {
    HDC dc = ::GetDC(column);
    const RECT all{0, 0, 178, 514};
    HBRUSH key = ::CreateSolidBrush(RGB(255, 0, 255));
    ::FillRect(dc, &all, key);
    ::DeleteObject(key);
    ::ReleaseDC(column, dc);
  }
  ::RedrawWindow(column, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(ColumnPixel(column), RGB(255, 0, 255)) << "painted while updating";

  Command(column, kx::KX_PARENTUPDATED);
  EXPECT_EQ(ColumnPixel(column), face) << "not repainted when the parent had updated";
}

TEST_F(NotepadPanels, ShowingAndHidingTheAboutPanelLeavesNoGdiObjectBehind) {
  auto cycle = [&] {
    Form->About1Click(nullptr);
    Settle();
    Form->AboutCloseBtnClick(nullptr);
    Settle();
  };
  tk::test::ParkPointerAwayFrom(Form->Handle());
  cycle();  // fonts and caches made once
  const std::size_t before = tk::test::GdiObjects();
  for (int i = 0; i < 100; ++i) cycle();
  EXPECT_LE(tk::test::GdiObjects(), before + tk::test::kDcCacheSlack);
}

}  // namespace
