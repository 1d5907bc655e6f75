// Forms: a form shown maximized keeps the bounds it had while hidden as
// its normal rectangle; Tab moves the focus through its tab stops.
#include <gtest/gtest.h>

#include "tests/support/Owned.h"
#include "tests/support/Pump_win.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

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

// Tab moves the focus through the form's tab stops in tab order, also into
// a panel, and wraps; Shift+Tab goes back; a memo that accepts tabs keeps
// the key for its text.
TEST(FormKeyboard, TabMovesTheFocusThroughTheTabStopsInTabOrder) {
  tk::test::TOwned<TForm> form;
  form->SetBounds(0, 0, 300, 200);
  auto* memo = Create<TMemo>(form.get());
  memo->SetParent(form.get());
  memo->SetBounds(0, 0, 100, 60);
  auto* panel = Create<TPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 70, 200, 100);
  auto* second = Create<TButton>(form.get());
  second->SetParent(panel);
  second->SetBounds(100, 10, 60, 24);
  second->SetTabOrder(1);
  auto* first = Create<TButton>(form.get());
  first->SetParent(panel);
  first->SetBounds(10, 10, 60, 24);
  first->SetTabOrder(0);
  form->Show();
  tk::test::PumpPending();
  // The key as the message loop gets it; true when the focus moved.
  auto tab = [&](bool back) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = back ? 0x80 : 0;
    ::SetKeyboardState(keys);
    HWND before = ::GetFocus();
    ::PostMessageW(before, WM_KEYDOWN, VK_TAB, 0x000F0001);
    tk::test::PumpPending();
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    return ::GetFocus() != before;
  };
  memo->SetFocus();
  EXPECT_TRUE(tab(false));
  EXPECT_EQ(::GetFocus(), first->Handle());
  EXPECT_TRUE(tab(false));
  EXPECT_EQ(::GetFocus(), second->Handle());
  EXPECT_TRUE(tab(false));
  EXPECT_EQ(::GetFocus(), memo->Handle());  // wrapped round
  EXPECT_TRUE(tab(true));
  EXPECT_EQ(::GetFocus(), second->Handle());
  memo->SetWantTabs(true);
  memo->SetFocus();
  EXPECT_FALSE(tab(false));
  EXPECT_EQ(::GetFocus(), memo->Handle());
}
