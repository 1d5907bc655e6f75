// The settings file: the window's normal rectangle and maximized state.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/Harness_win.h"
#include "tests/e2e/SkinFrame_win.h"
#include "tests/support/Pump_win.h"

using namespace e2e;

namespace {

void Store(const TabuloApp& app, const wchar_t* l, const wchar_t* t, const wchar_t* w, const wchar_t* h,
           const wchar_t* maximized) {
  app.WriteSetting(L"Left", l);
  app.WriteSetting(L"Top", t);
  app.WriteSetting(L"Width", w);
  app.WriteSetting(L"Height", h);
  if (maximized) app.WriteSetting(L"Maximized", maximized);
}

// What the program wrote back when it closed.
void ExpectStored(const TabuloApp& app, const wchar_t* l, const wchar_t* t, const wchar_t* w, const wchar_t* h,
                  const wchar_t* maximized) {
  EXPECT_EQ(app.ReadSetting(L"Left"), l);
  EXPECT_EQ(app.ReadSetting(L"Top"), t);
  EXPECT_EQ(app.ReadSetting(L"Width"), w);
  EXPECT_EQ(app.ReadSetting(L"Height"), h);
  EXPECT_EQ(app.ReadSetting(L"Maximized"), maximized);
}

// A window placed at the work area's corner: its skinned frame reaches
// past it, so it has moved in until the frame's corner is there.
void ExpectAtTheCorner(HWND Form) {
  const tk::TRect frame = kx::DrawnFrameRect(FrameOf(Form));
  const RECT wa = WorkArea();
  RECT r;
  GetWindowRect(Form, &r);
  EXPECT_EQ(r.left, wa.left - std::min(frame.Left, 0));
  EXPECT_EQ(r.top, wa.top - std::min(frame.Top, 0));
}

}  // namespace

TEST(WindowPlacement, StoredBoundsAreAppliedAndWrittenBackUnchanged) {
  TabuloApp app;
  Store(app, L"40", L"30", L"800", L"600", L"0");
  app.Start();
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.right - r.left, 800);
  EXPECT_EQ(r.bottom - r.top, 600);
  EXPECT_FALSE(IsZoomed(app.Form()));
  ASSERT_TRUE(app.CloseAndWait());
  ExpectStored(app, L"40", L"30", L"800", L"600", L"0");
}

TEST(WindowPlacement, AMaximizedCloseStoresTheNormalRectangleWhichTheNextStartRestoresBeforeMaximizing) {
  TabuloApp app;
  Store(app, L"50", L"40", L"820", L"610", nullptr);
  app.Start();
  // What the title bar's maximize button sends.
  PostMessageW(app.Form(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(app.Form()) != 0; }));
  ASSERT_TRUE(app.CloseAndWait());
  ExpectStored(app, L"50", L"40", L"820", L"610", L"1");

  // Wine answers a placement query from another process with the window's
  // current rectangle, so the program's own close tells the normal one.
  app.Start();
  EXPECT_TRUE(IsZoomed(app.Form()));
  ASSERT_TRUE(app.CloseAndWait());
  ExpectStored(app, L"50", L"40", L"820", L"610", L"1");

  app.Start();
  EXPECT_TRUE(IsZoomed(app.Form()));
  // Restoring goes back to the stored rectangle.
  PostMessageW(app.Form(), WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsZoomed(app.Form()); }));
  // The state changes before the window is placed.
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.right - r.left, 820);
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadSetting(L"Maximized"), L"0");
}

TEST(WindowPlacement, AMinimizedCloseStoresTheNormalRectangleAndNotMaximized) {
  TabuloApp app;
  Store(app, L"60", L"45", L"790", L"580", L"0");
  app.Start();
  PostMessageW(app.Form(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(app.Form()) != 0; }));
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadSetting(L"Maximized"), L"0");
  EXPECT_EQ(app.ReadSetting(L"Left"), L"60");
  EXPECT_EQ(app.ReadSetting(L"Width"), L"790");
}

TEST(WindowPlacement, AZeroWidthIgnoresTheStoredPositionButMaximizedStillMaximizes) {
  TabuloApp app;
  Store(app, L"100", L"80", L"0", L"600", L"0");
  app.Start();
  ExpectAtTheCorner(app.Form());
  RECT r;
  GetWindowRect(app.Form(), &r);
  const POINT corner{r.left, r.top};
  RECT c;
  GetClientRect(app.Form(), &c);
  EXPECT_EQ(c.right, std::max<LONG>(742, 758 - ((r.right - r.left) - c.right)));
  EXPECT_EQ(c.bottom, std::max<LONG>(514, 550 - ((r.bottom - r.top) - c.bottom)));
  ASSERT_TRUE(app.CloseAndWait());

  Store(app, L"100", L"80", L"0", L"600", L"1");
  app.Start();
  EXPECT_TRUE(IsZoomed(app.Form()));
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadSetting(L"Maximized"), L"1");
  const RECT wa = WorkArea();
  EXPECT_EQ(app.ReadSetting(L"Left"), std::to_wstring(corner.x - wa.left));
  EXPECT_EQ(app.ReadSetting(L"Top"), std::to_wstring(corner.y - wa.top));
}

// The default place, as at the first start: the drawn frame, the border
// window less its shadow, begins at the work area's corner.
TEST(WindowPlacement, ANegativeHeightIgnoresTheStoredPositionAndTheWholeFrameShows) {
  TabuloApp app;
  Store(app, L"100", L"80", L"800", L"-5", L"0");
  app.Start();
  ExpectAtTheCorner(app.Form());
  const std::vector<HWND> border = LayeredToolWindows(app.Pid(), false);
  ASSERT_EQ(border.size(), 1u);
  RECT b;
  GetWindowRect(border[0], &b);
  const RECT wa = WorkArea();
  EXPECT_EQ(b.left + SkinInt(L"FORMOFFSET"), wa.left);
  EXPECT_EQ(b.top + SkinInt(L"FORMOFFSET"), wa.top);
  ASSERT_TRUE(app.CloseAndWait());
}

TEST(WindowPlacement, HexadecimalAndUnusableValuesReadByTheIntegerRule) {
  TabuloApp app;
  Store(app, L"0x20", L"0X30", L"800", L"600", L"zero");
  app.Start();
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(r.left, 32);
  EXPECT_EQ(r.top, 48);
  EXPECT_FALSE(IsZoomed(app.Form()));  // "zero" is no integer: 0
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadSetting(L"Left"), L"32");
}

TEST(WindowPlacement, BoundsBelowTheMinimumAreRaisedToIt) {
  TabuloApp app;
  Store(app, L"30", L"40", L"300", L"200", L"0");
  app.Start();
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, 758);
  EXPECT_EQ(r.bottom - r.top, 550);
  // Sizing the window smaller by hand stops at the minimum too.
  SetWindowPos(app.Form(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  WaitFor([&] {
    GetWindowRect(app.Form(), &r);
    return r.right - r.left == 758;
  });
  EXPECT_EQ(r.right - r.left, 758);
  EXPECT_EQ(r.bottom - r.top, 550);
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadSetting(L"Width"), L"758");
  EXPECT_EQ(app.ReadSetting(L"Height"), L"550");
}

TEST(WindowPlacement, APositionOffEveryMonitorIsAppliedAsRead) {
  TabuloApp app;
  Store(app, L"-300", L"2000", L"800", L"600", L"0");
  app.Start();
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(r.left, -300);
  EXPECT_EQ(r.top, 2000);
  app.PostClose();
  ASSERT_TRUE(app.WaitExit(10000));
  EXPECT_EQ(app.ReadSetting(L"Left"), L"-300");
}
