// Form window states: a form shown maximized keeps the bounds it had while
// hidden as its normal rectangle.
#include <gtest/gtest.h>

#include "tests/support/Owned.h"
#include "tests/support/Pump_win.h"
#include "toolkit/Forms.h"

using namespace tk;

namespace {

RECT NormalRect(HWND h) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  ::GetWindowPlacement(h, &wp);
  return wp.rcNormalPosition;
}

}  // namespace

TEST(FormWindowState, AFormShownMaximizedKeepsItsBoundsAsTheNormalRectangle) {
  tk::test::TOwned<> form;
  form->SetVisible(false);
  form->SetBounds(50, 20, 820, 610);
  form->HandleNeeded();
  form->SetWindowState(wsMaximized);
  form->Show();
  ASSERT_TRUE(tk::test::PumpUntil([&] { return ::IsZoomed(form->Handle()) != 0; }));
  tk::test::PumpPending();
  RECT n = NormalRect(form->Handle());
  EXPECT_EQ(n.left, 50);
  EXPECT_EQ(n.top, 20);
  EXPECT_EQ(n.right - n.left, 820);
  EXPECT_EQ(n.bottom - n.top, 610);
  EXPECT_EQ(form->WindowState(), wsMaximized);
  ::ShowWindow(form->Handle(), SW_RESTORE);
  RECT r;
  ::GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.right - r.left, 820);
}
