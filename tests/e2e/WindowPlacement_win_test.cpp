// The settings file: the window's normal rectangle and maximized state.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/Harness_win.h"

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
  Store(app, L"50", L"20", L"820", L"610", nullptr);
  app.Start();
  // What the title bar's maximize button sends.
  PostMessageW(app.Form(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(app.Form()) != 0; }));
  ASSERT_TRUE(app.CloseAndWait());
  ExpectStored(app, L"50", L"20", L"820", L"610", L"1");

  // Wine answers a placement query from another process with the window's
  // current rectangle, so the program's own close tells the normal one.
  app.Start();
  EXPECT_TRUE(IsZoomed(app.Form()));
  ASSERT_TRUE(app.CloseAndWait());
  ExpectStored(app, L"50", L"20", L"820", L"610", L"1");

  app.Start();
  EXPECT_TRUE(IsZoomed(app.Form()));
  // Restoring goes back to the stored rectangle.
  PostMessageW(app.Form(), WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsZoomed(app.Form()); }));
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.right - r.left, 820);
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadSetting(L"Maximized"), L"0");
}

TEST(WindowPlacement, AMinimizedCloseStoresTheNormalRectangleAndNotMaximized) {
  TabuloApp app;
  Store(app, L"60", L"25", L"790", L"580", L"0");
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
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
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
  EXPECT_EQ(app.ReadSetting(L"Left"), L"0");
  EXPECT_EQ(app.ReadSetting(L"Top"), L"0");
}

TEST(WindowPlacement, ANegativeHeightIgnoresTheStoredPosition) {
  TabuloApp app;
  Store(app, L"100", L"80", L"800", L"-5", L"0");
  app.Start();
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  ASSERT_TRUE(app.CloseAndWait());
}

TEST(WindowPlacement, HexadecimalAndUnusableValuesReadByTheIntegerRule) {
  TabuloApp app;
  Store(app, L"0x20", L"0X10", L"800", L"600", L"zero");
  app.Start();
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(r.left, 32);
  EXPECT_EQ(r.top, 16);
  EXPECT_FALSE(IsZoomed(app.Form()));  // "zero" is no integer: 0
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadSetting(L"Left"), L"32");
}

TEST(WindowPlacement, BoundsBelowTheMinimumAreRaisedToIt) {
  TabuloApp app;
  Store(app, L"10", L"12", L"300", L"200", L"0");
  app.Start();
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 12);
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
