// Pages: choosing a letter saves the page being left and shows the chosen one.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "tests/e2e/Harness_win.h"
#include "tests/e2e/SkinFrame_win.h"
#include "tests/support/Pump_win.h"

using namespace e2e;

namespace {

// Waits until a page file holds exactly the given bytes.
::testing::AssertionResult FileBecomes(const TabuloApp& app, const std::wstring& name, const Bytes& want,
                                       int timeoutMs = 5000) {
  if (WaitFor([&] { return app.ReadFile(name) == want; }, timeoutMs)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "file holds \"" << app.ReadFile(name) << "\", expected \"" << want << "\"";
}

::testing::AssertionResult EditorBecomes(const TabuloApp& app, const std::wstring& want, int timeoutMs = 5000) {
  if (WaitFor([&] { return app.EditorText() == want; }, timeoutMs)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "editor shows \"" << Utf8(app.EditorText()) << "\", expected \"" << Utf8(want)
                                       << "\"";
}

}  // namespace

TEST(FirstStart, ShowsAnEmptyPageAAtTheDesignedPlaceAndWritesAllSettingsOnClose) {
  TabuloApp app;
  app.Start();
  ASSERT_NE(app.Form(), nullptr);
  EXPECT_EQ(app.EditorText(), L"");
  // Placed at the work area's corner (as WindowPlacement checks).
  RECT wr;
  GetWindowRect(app.Form(), &wr);
  // The designed client area is 742 x 514; where the frame is thinner than
  // the one the minimum outer size of 758 x 550 was made for, the minimum
  // wins.
  RECT cr;
  GetClientRect(app.Form(), &cr);
  int frameW = (wr.right - wr.left) - cr.right, frameH = (wr.bottom - wr.top) - cr.bottom;
  EXPECT_EQ(cr.right, std::max(742, 758 - frameW));
  EXPECT_EQ(cr.bottom, std::max(514, 550 - frameH));
  EXPECT_FALSE(IsZoomed(app.Form()));
  // The editor has the rest of the client area beside the button column.
  RECT er = app.ClientRectOf(app.Editor());
  EXPECT_EQ(er.right - er.left, cr.right - 178);
  EXPECT_EQ(er.bottom - er.top, cr.bottom);
  EXPECT_FALSE(IsWindowVisible(app.AboutPanel()));

  // Typing on page "A" and closing saves it and the placement.
  app.ClickEditor();
  app.TypeAndWait(L"first note", L"first note");
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ExitCode(), 0u);
  EXPECT_EQ(app.ReadFile(L"A.txt"), "first note");
  std::vector<std::wstring> keys = app.SettingKeys();
  EXPECT_EQ(keys, (std::vector<std::wstring>{L"Left", L"Top", L"Width", L"Height", L"Maximized"}));
  const RECT wa = WorkArea();
  EXPECT_EQ(app.ReadSetting(L"Left"), std::to_wstring(wr.left - wa.left));
  EXPECT_EQ(app.ReadSetting(L"Top"), std::to_wstring(wr.top - wa.top));
  EXPECT_EQ(app.ReadSetting(L"Width"), std::to_wstring(wr.right - wr.left));
  EXPECT_EQ(app.ReadSetting(L"Height"), std::to_wstring(wr.bottom - wr.top));
  EXPECT_EQ(app.ReadSetting(L"Maximized"), L"0");
  // Only the program, its page and its settings: no temporary files left.
  EXPECT_EQ(app.Files(), (std::vector<std::wstring>{L"A.txt", L"Tabulo.exe", L"Tabulo.ini"}));
}

TEST(FirstStart, LeavingAnUntouchedPageACreatesItsEmptyFile) {
  TabuloApp app;
  app.Start();
  ASSERT_FALSE(app.Exists(L"A.txt"));
  app.ClickPage(L'B');
  EXPECT_TRUE(FileBecomes(app, L"A.txt", ""));
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"B.txt"), "");
}

TEST(PageSwitch, TextTypedOnKComesBackAfterLeavingAndReenteringK) {
  TabuloApp app;
  app.Start();
  app.ClickPage(L'K');
  app.ClickEditor();
  app.TypeAndWait(L"kilo\nline two", L"kilo\r\nline two");
  app.ClickPage(L'L');
  EXPECT_TRUE(FileBecomes(app, L"K.txt", "kilo\r\nline two"));
  EXPECT_TRUE(EditorBecomes(app, L""));
  app.ClickPage(L'K');
  EXPECT_TRUE(EditorBecomes(app, L"kilo\r\nline two"));
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"K.txt"), "kilo\r\nline two");
  EXPECT_EQ(app.ReadFile(L"L.txt"), "");
}

TEST(PageSwitch, TheDigitsPageReadsAndWritesNineTxt) {
  TabuloApp app;
  app.WriteFile(L"9.txt", "phone 0123");
  app.Start();
  app.ClickPage(L'9');
  ASSERT_TRUE(EditorBecomes(app, L"phone 0123"));
  app.ClickEditor();
  app.TypeAndWait(L" 456", L"phone 0123 456");
  app.ClickPage(L'Z');
  EXPECT_TRUE(FileBecomes(app, L"9.txt", "phone 0123 456"));
  app.ClickPage(L'9');
  EXPECT_TRUE(EditorBecomes(app, L"phone 0123 456"));
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_FALSE(app.Exists(L"0-9.txt"));
  EXPECT_EQ(app.ReadFile(L"9.txt"), "phone 0123 456");
}

TEST(PageSwitch, APageWithoutAFileShowsAnEmptyEditorAndKeepsTheOtherPageApart) {
  TabuloApp app;
  app.Start();
  app.ClickEditor();
  app.TypeAndWait(L"only on A", L"only on A");
  app.ClickPage(L'B');
  ASSERT_TRUE(FileBecomes(app, L"A.txt", "only on A"));
  EXPECT_TRUE(EditorBecomes(app, L""));
  app.ClickPage(L'C');
  // "B" was shown empty, so its file is empty: the note is not on two pages.
  EXPECT_TRUE(FileBecomes(app, L"B.txt", ""));
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), "only on A");
  EXPECT_EQ(app.ReadFile(L"C.txt"), "");
}

TEST(PageSwitch, EveryLetterButtonChoosesItsOwnPage) {
  TabuloApp app;
  const std::wstring letters = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ9";
  for (wchar_t l : letters) app.WriteFile(std::wstring(1, l) + L".txt", "page " + std::string(1, static_cast<char>(l)));
  app.Start();
  ASSERT_TRUE(EditorBecomes(app, L"page A"));
  // Walk the grid in an order that never clicks the current (disabled) page.
  for (wchar_t l : std::wstring(L"BCDEFGHIJKLMNOPQRSTUVWXYZ9A")) {
    app.ClickPage(l);
    EXPECT_TRUE(EditorBecomes(app, std::wstring(L"page ") + l)) << "button " << static_cast<char>(l);
  }
  ASSERT_TRUE(app.CloseAndWait());
  for (wchar_t l : letters)
    EXPECT_EQ(app.ReadFile(std::wstring(1, l) + L".txt"), "page " + std::string(1, static_cast<char>(l)));
}

TEST(PageSwitch, TheCurrentPageButtonIgnoresClicks) {
  TabuloApp app;
  app.WriteFile(L"A.txt", "alpha");
  app.Start();
  ASSERT_TRUE(EditorBecomes(app, L"alpha"));
  app.ClickEditor();
  app.TypeAndWait(L"!", L"alpha!");
  // "A" is disabled: clicking it neither saves nor reloads.
  app.ClickPage(L'A');
  EXPECT_TRUE(tk::test::RoundTrip(app.Form()));
  EXPECT_EQ(app.ReadFile(L"A.txt"), "alpha");
  EXPECT_EQ(app.EditorText(), L"alpha!");
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), "alpha!");
}

TEST(PageSwitch, AVeryLargePageLoadsWholeAndTakesMoreTyping) {
  TabuloApp app;
  // Far beyond the edit control's default limit of 32 K characters.
  Bytes big;
  std::wstring wide;
  for (int i = 0; big.size() < 3 * 1024 * 1024; ++i) {
    std::string line = "line " + std::to_string(i) + " of a long page\r\n";
    big += line;
  }
  app.WriteFile(L"B.txt", big);
  app.Start();
  app.ClickPage(L'B');
  ASSERT_TRUE(WaitFor([&] { return app.EditorText().size() == big.size(); }, 30000))
      << "editor holds " << app.EditorText().size() << " characters of " << big.size();
  app.ClickEditor();
  app.Type(L"end");
  ASSERT_TRUE(WaitFor([&] { return app.EditorText().size() == big.size() + 3; }, 10000));
  app.ClickPage(L'C');
  EXPECT_TRUE(FileBecomes(app, L"B.txt", big + "end", 20000));
  ASSERT_TRUE(app.CloseAndWait(20000));
}

TEST(PagePixels, TypedTextAppearsInTheEditorOnScreen) {
  TabuloApp app;
  app.Start();
  ASSERT_NE(app.Editor(), nullptr);
  RECT er = app.ClientRectOf(app.Editor());
  RECT firstLines{er.left + 2, er.top + 2, er.right - 30, er.top + 60};
  // The pointer leaves the button column first: a button it rested on
  // fades back to its normal look.
  app.ClickEditor();
  RECT column{0, 0, 170, 500};
  Capture before = app.CaptureClient();
  auto lastChange = std::chrono::steady_clock::now();
  WaitFor(
      [&] {
    Capture now = app.CaptureClient();
    if (now.Differences(before, column) != 0) lastChange = std::chrono::steady_clock::now();
    before = now;
    return std::chrono::steady_clock::now() - lastChange > std::chrono::milliseconds(400);
      },
      2000);
  app.TypeAndWait(L"WWWWWWWWWWWWWWWW", L"WWWWWWWWWWWWWWWW");
  Capture after = app.CaptureClient();
  WaitFor(
      [&] {
    after = app.CaptureClient();
    return after.Differences(before, firstLines) > 100;
      },
      3000);
  int changed = after.Differences(before, firstLines);
  EXPECT_GT(changed, 100) << "before: " << SaveFailureShot(before, "before")
                          << ", after: " << SaveFailureShot(after, "after");
  // The button column does not change when the editor gets text.
  EXPECT_LT(after.Differences(before, column), 50) << SaveFailureShot(after, "column");
  ASSERT_TRUE(app.CloseAndWait());
}

TEST(SessionEnd, LogOffSavesTheTypedTextAndTheSettingsWithoutAClose) {
  TabuloApp app;
  app.Start();
  app.ClickEditor();
  app.TypeAndWait(L"before log-off", L"before log-off");
  DWORD_PTR answer = 0;
  ASSERT_TRUE(
      SendMessageTimeoutW(app.Form(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer));
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  EXPECT_EQ(app.ReadFile(L"A.txt"), "before log-off");
  RECT r;
  GetWindowRect(app.Form(), &r);
  EXPECT_EQ(app.ReadSetting(L"Width"), std::to_wstring(r.right - r.left));
  // What is typed after the query reaches the disk with the session's end.
  app.TypeAndWait(L"!", L"before log-off!");
  ASSERT_TRUE(
      SendMessageTimeoutW(app.Form(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer));
  EXPECT_EQ(app.ReadFile(L"A.txt"), "before log-off!");
  app.Kill();  // the system ends the program after the session
}
