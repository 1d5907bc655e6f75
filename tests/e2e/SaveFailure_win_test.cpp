// A page that can't be replaced: the error is shown and nothing is lost.
#include <gtest/gtest.h>

#include <thread>

#include "tests/e2e/Harness_win.h"
#include "tests/support/Pump_win.h"

using namespace e2e;

namespace {

void CloseBox(TabuloApp& app, const ModalBox& box) {
  SetForegroundWindow(box.Wnd);
  WaitFor([&] { return GetForegroundWindow() == box.Wnd; }, 1000);
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = VK_RETURN;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
  if (!WaitFor([&] { return !IsWindow(box.Wnd) || !IsWindowVisible(box.Wnd); }, 3000))
    PostMessageW(box.Wnd, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box.Wnd) || !IsWindowVisible(box.Wnd); })) << "the message stayed";
  (void)app;
}

::testing::AssertionResult IsCreateError(const ModalBox& box, const std::wstring& path) {
  std::wstring head = L"Cannot create file \"" + path + L"\". ";
  if (box.Wnd == nullptr) return ::testing::AssertionFailure() << "no message box";
  if (box.Text.compare(0, head.size(), head) != 0)
    return ::testing::AssertionFailure() << "message is \"" << Utf8(box.Text) << "\"";
  if (box.Text.size() == head.size()) return ::testing::AssertionFailure() << "the system's reason is missing";
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(SaveFailure, AReadOnlyPageShowsCannotCreateFileAndTheSwitchDoesNotHappen) {
  TabuloApp app;
  app.WriteFile(L"A.txt", "kept on disk");
  app.WriteFile(L"B.txt", "page b");
  app.SetReadOnly(L"A.txt", true);
  app.Start();
  ASSERT_TRUE(WaitFor([&] { return app.EditorText() == L"kept on disk"; }));
  app.ClickEditor();
  app.TypeAndWait(L" and more", L"kept on disk and more");
  app.ClickPage(L'B');
  ModalBox box = app.WaitModalBox();
  // The page file path is built from the program's directory with a doubled
  // separator before the name.
  EXPECT_TRUE(IsCreateError(box, app.Dir() + L"\\\\A.txt") || IsCreateError(box, app.PathOf(L"A.txt")))
      << Utf8(box.Text);
  if (box.Wnd) CloseBox(app, box);
  // Nothing lost: the old file, the text in the editor, the current page.
  EXPECT_EQ(app.ReadFile(L"A.txt"), "kept on disk");
  EXPECT_EQ(app.EditorText(), L"kept on disk and more");
  EXPECT_EQ(app.Files(), (std::vector<std::wstring>{L"A.txt", L"B.txt", L"Tabulo.exe"}));

  // Once the file may be written again, closing saves to page "A".
  app.SetReadOnly(L"A.txt", false);
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), "kept on disk and more");
  EXPECT_EQ(app.ReadFile(L"B.txt"), "page b");
}

TEST(SaveFailure, AFailingSaveOnCloseKeepsTheWindowOpenAndWritesNoSettings) {
  TabuloApp app;
  app.WriteFile(L"A.txt", "old");
  app.SetReadOnly(L"A.txt", true);
  app.Start();
  app.ClickEditor();
  app.TypeAndWait(L" new", L"old new");
  app.PostClose();
  ModalBox box = app.WaitModalBox();
  EXPECT_TRUE(IsCreateError(box, app.Dir() + L"\\\\A.txt") || IsCreateError(box, app.PathOf(L"A.txt")))
      << Utf8(box.Text);
  if (box.Wnd) CloseBox(app, box);
  EXPECT_TRUE(tk::test::RoundTrip(app.Form()));
  EXPECT_TRUE(app.Running());
  EXPECT_FALSE(app.Exists(L"Tabulo.ini"));
  EXPECT_EQ(app.ReadFile(L"A.txt"), "old");
  EXPECT_EQ(app.EditorText(), L"old new");
  app.SetReadOnly(L"A.txt", false);
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), "old new");
  EXPECT_TRUE(app.Exists(L"Tabulo.ini"));
}

TEST(SaveFailure, AnUnreadablePageShowsCannotOpenFileAfterThePageChanged) {
  TabuloApp app;
  app.WriteFile(L"C.txt", "locked");
  app.Start();
  app.ClickEditor();
  app.TypeAndWait(L"on a", L"on a");
  // Another program holds C.txt open for writing.
  HANDLE lock =
      CreateFileW(app.PathOf(L"C.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  app.ClickPage(L'C');
  ModalBox box = app.WaitModalBox();
  std::wstring head = L"Cannot open file \"";
  EXPECT_EQ(box.Text.compare(0, head.size(), head), 0) << Utf8(box.Text);
  EXPECT_NE(box.Text.find(L"C.txt\". "), std::wstring::npos) << Utf8(box.Text);
  if (box.Wnd) CloseBox(app, box);
  CloseHandle(lock);
  EXPECT_EQ(app.ReadFile(L"A.txt"), "on a");
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"C.txt"), "locked");
}

TEST(SaveFailure, APageThatCannotBeSavedKeepsTheSessionFromEnding) {
  TabuloApp app;
  app.WriteFile(L"A.txt", "old");
  app.SetReadOnly(L"A.txt", true);
  app.Start();
  app.ClickEditor();
  app.TypeAndWait(L" new", L"old new");
  // The query waits for the message box, so it is asked from another thread.
  DWORD_PTR answer = 99;
  std::thread query([&] {
    SendMessageTimeoutW(app.Form(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 30000, &answer);
  });
  ModalBox box = app.WaitModalBox();
  EXPECT_TRUE(IsCreateError(box, app.Dir() + L"\\\\A.txt") || IsCreateError(box, app.PathOf(L"A.txt")))
      << Utf8(box.Text);
  if (box.Wnd) CloseBox(app, box);
  query.join();
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(FALSE));
  EXPECT_EQ(app.ReadFile(L"A.txt"), "old");
  app.SetReadOnly(L"A.txt", false);
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), "old new");
}
