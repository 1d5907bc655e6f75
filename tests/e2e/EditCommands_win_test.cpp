// Editing commands: every context menu item and every shortcut acts on the
// editor (undo, cut, copy, paste, select all).
#include <gtest/gtest.h>

#include "tests/e2e/Harness_win.h"

using namespace e2e;

namespace {

enum class Command { Undo, Cut, Copy, Paste, SelectAll };

// Items below "Undo" by arrow-key steps (separators are skipped).
int Steps(Command c) {
  switch (c) {
    case Command::Undo: return 1;
    case Command::Cut: return 2;
    case Command::Copy: return 3;
    case Command::Paste: return 4;
    case Command::SelectAll: return 5;
  }
  return 0;
}

WORD ShortcutKey(Command c) {
  switch (c) {
    case Command::Undo: return 'Z';
    case Command::Cut: return 'X';
    case Command::Copy: return 'C';
    case Command::Paste: return 'V';
    case Command::SelectAll: return 'A';
  }
  return 0;
}

}  // namespace

class EditCommand : public ::testing::TestWithParam<bool> {
 protected:
  bool ViaMenu() const { return GetParam(); }

  void Run(TabuloApp& app, Command c) {
    if (!ViaMenu()) {
      app.Key(ShortcutKey(c), true);
      return;
    }
    HWND menu = app.OpenContextMenu();
    ASSERT_NE(menu, nullptr) << "no context menu";
    if (c == Command::Undo) {
      // The first item, chosen with the mouse just below the menu's top edge.
      RECT m;
      GetWindowRect(menu, &m);
      app.ClickScreen((m.left + m.right) / 2, m.top + 8);
    } else {
      for (int i = 0; i < Steps(c); ++i) app.Key(VK_DOWN);
      app.Key(VK_RETURN);
    }
    ASSERT_TRUE(WaitFor([] {
      HWND m = FindWindowW(L"#32768", nullptr);
      return !m || !IsWindowVisible(m);
    })) << "the menu stayed open";
  }
};

TEST_P(EditCommand, SelectAllCopyCutUndoAndPasteActOnTheEditor) {
  SetClipboardText(L"sentinel");
  TabuloApp app;
  app.Start();
  app.ClickEditor();
  app.TypeAndWait(L"alpha beta", L"alpha beta");

  Run(app, Command::SelectAll);
  Run(app, Command::Copy);
  EXPECT_TRUE(WaitFor([] { return ClipboardText() == L"alpha beta"; })) << Utf8(ClipboardText());
  EXPECT_EQ(app.EditorText(), L"alpha beta");

  Run(app, Command::Cut);
  EXPECT_TRUE(WaitFor([&] { return app.EditorText().empty(); })) << Utf8(app.EditorText());
  EXPECT_EQ(ClipboardText(), L"alpha beta");

  Run(app, Command::Undo);
  EXPECT_TRUE(WaitFor([&] { return app.EditorText() == L"alpha beta"; })) << Utf8(app.EditorText());

  app.Key(VK_END, true);  // caret to the end, nothing selected
  SetClipboardText(L" gamma");
  Run(app, Command::Paste);
  EXPECT_TRUE(WaitFor([&] { return app.EditorText() == L"alpha beta gamma"; })) << Utf8(app.EditorText());

  // Select all, then typing replaces the whole text.
  Run(app, Command::SelectAll);
  app.TypeAndWait(L"new", L"new");
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), "new");
}

INSTANTIATE_TEST_SUITE_P(MenuAndShortcuts, EditCommand, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "ContextMenu" : "Shortcut"); });

TEST(EditorKeys, TabInsertsATabCharacterAndLongLinesWrap) {
  TabuloApp app;
  app.Start();
  app.ClickEditor();
  app.Key(VK_TAB);
  app.TypeAndWait(L"x", L"\tx");
  EXPECT_EQ(app.FocusWindow(), app.Editor());
  // One long line without breaks wraps into several visible lines.
  std::wstring longLine;
  for (int i = 0; i < 30; ++i) longLine += L"word ";
  app.TypeAndWait(longLine, L"\tx" + longLine);
  DWORD_PTR lines = 0;
  SendMessageTimeoutW(app.Editor(), EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &lines);
  EXPECT_GT(lines, 1u);
  LONG style = GetWindowLongW(app.Editor(), GWL_STYLE);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_FALSE(style & WS_HSCROLL);
  ASSERT_TRUE(app.CloseAndWait());
}
