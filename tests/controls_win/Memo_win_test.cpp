// The memo over the system edit window: its own edit operations, the lifted
// text limit, refused text, window recreation and the lines view.
#include <gtest/gtest.h>

#include "tests/controls_win/Support_win.h"
#include "toolkit/StdCtrls.h"

namespace tk {
namespace {

using test::PumpUntil;
using test::TTestForm;

class MemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Memo = Create<TMemo>(Form.Get());
    Memo->SetParent(Form.Get());
    Memo->SetBounds(10, 10, 300, 200);
    Memo->SetScrollBars(ssVertical);
    Memo->HandleNeeded();
  }
  TTestForm Form;
  TMemo* Memo = nullptr;
};

TEST_F(MemoTest, SelectAllCopyPasteCutAndUndoAreTheEditWindowsOwn) {
  Memo->SetText(L"hello world");
  Memo->SelectAll();
  EXPECT_EQ(Memo->SelStart(), 0);
  EXPECT_EQ(Memo->SelLength(), 11);
  Memo->CopyToClipboard();
  Memo->SetSelStart(11);
  Memo->PasteFromClipboard();
  EXPECT_EQ(Memo->Text(), L"hello worldhello world");
  Memo->Undo();
  EXPECT_EQ(Memo->Text(), L"hello world");

  Memo->SetSelStart(0);
  Memo->SetSelLength(6);
  EXPECT_EQ(Memo->SelText(), L"hello ");
  Memo->CutToClipboard();
  EXPECT_EQ(Memo->Text(), L"world");
  Memo->SetSelStart(5);
  Memo->PasteFromClipboard();
  EXPECT_EQ(Memo->Text(), L"worldhello ");
  EXPECT_TRUE(Memo->CanUndo());
}

TEST_F(MemoTest, TheDefaultTextLimitIsLiftedSoMegabytesLoadAndTypingGoesOn) {
  EXPECT_GE(static_cast<unsigned long>(::SendMessageW(Memo->Handle(), EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEul);

  String line(78, L'x');
  line += L"\r\n";
  String big;
  big.reserve(4 * 1024 * 1024 + line.size());
  while (big.size() < 4u * 1024 * 1024) big += line;
  Memo->SetText(big);
  EXPECT_EQ(Memo->GetTextLen(), static_cast<int>(big.size()));

  // Beyond the old 32767-character limit the user can still type.
  Memo->SetText(String(40000, L'a'));
  Memo->SetSelStart(40000);
  ::SendMessageW(Memo->Handle(), WM_CHAR, L'b', 0);
  EXPECT_EQ(Memo->GetTextLen(), 40001);
}

TEST_F(MemoTest, TextTheWindowRefusesRaisesCapacityError) {
  TWndMethod original = Memo->WindowProc;
  Memo->WindowProc = TWndMethod([&](TMessage& m) {
    if (m.Msg == WM_SETTEXT) {
      m.Result = FALSE;  // the edit window ran out of room
      return;
    }
    original(m);
  });
  try {
    Memo->SetText(L"any text");
    FAIL() << "no error for refused text";
  } catch (const EInvalidOperation& e) { EXPECT_EQ(e.Message(), L"Text exceeds memo capacity"); }
  Memo->WindowProc = original;
}

TEST_F(MemoTest, TextTheWindowKeepsOnlyPartOfRaisesCapacityError) {
  TWndMethod original = Memo->WindowProc;
  Memo->WindowProc = TWndMethod([&](TMessage& m) {
    if (m.Msg == WM_SETTEXT && m.LParam) {
      String shortened = String(reinterpret_cast<const wchar_t*>(m.LParam)).substr(0, 3);
      m.LParam = reinterpret_cast<intptr_t>(shortened.c_str());
      original(m);
      return;
    }
    original(m);
  });
  EXPECT_THROW(Memo->SetText(L"longer than three"), EInvalidOperation);
  Memo->WindowProc = original;
  EXPECT_NO_THROW(Memo->SetText(L"longer than three"));
  EXPECT_EQ(Memo->Text(), L"longer than three");
}

TEST_F(MemoTest, RecreatingTheWindowKeepsTextSelectionScrollAndModified) {
  String text;
  for (int i = 0; i < 200; ++i) text += L"line " + IntToStr(i) + L"\r\n";
  Memo->SetText(text);
  Memo->SetSelStart(50);
  Memo->SetSelLength(10);
  ::SendMessageW(Memo->Handle(), EM_LINESCROLL, 0, 40);
  Memo->SetModified(true);
  ASSERT_EQ(Memo->TopLine(), 40);
  HWND before = Memo->Handle();

  Memo->SetScrollBars(ssBoth);  // a style change: a new window

  EXPECT_NE(Memo->Handle(), before);
  EXPECT_TRUE(::GetWindowLongPtrW(Memo->Handle(), GWL_STYLE) & WS_HSCROLL);
  EXPECT_EQ(Memo->Text(), text);
  EXPECT_EQ(Memo->SelStart(), 50);
  EXPECT_EQ(Memo->SelLength(), 10);
  EXPECT_EQ(Memo->TopLine(), 40);
  EXPECT_TRUE(Memo->Modified());
}

TEST_F(MemoTest, EveryTextChangeIsAnnouncedToTheControlAndOnChange) {
  int changes = 0, notifications = 0;
  Memo->OnChange = TNotifyEvent([&](TObject*) { ++changes; });
  TWndMethod original = Memo->WindowProc;
  Memo->WindowProc = TWndMethod([&](TMessage& m) {
    if (m.Msg == CM_CHANGED) ++notifications;
    original(m);
  });
  Memo->SetText(L"abc");
  EXPECT_EQ(changes, 1);
  Memo->SetSelStart(3);
  ::SendMessageW(Memo->Handle(), WM_CHAR, L'd', 0);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(notifications, 2);
  EXPECT_EQ(Memo->Text(), L"abcd");
  Memo->WindowProc = original;
}

TEST_F(MemoTest, LinesReadAndEditTheWindowsText) {
  Memo->SetWordWrap(false);
  Memo->SetText(L"one\r\ntwo\r\nthree");
  TStrings* lines = Memo->Lines();
  ASSERT_EQ(lines->Count(), 3);
  EXPECT_EQ(lines->Get(1), L"two");
  lines->Put(1, L"TWO");
  lines->Insert(0, L"zero");
  lines->Add(L"four");
  EXPECT_EQ(Memo->Text(), L"zero\r\none\r\nTWO\r\nthree\r\nfour");
  lines->Delete(4);
  lines->Delete(0);
  EXPECT_EQ(Memo->Text(), L"one\r\nTWO\r\nthree");
  // A text ending in a line break has no empty last line.
  Memo->SetText(L"a\r\nb\r\n");
  EXPECT_EQ(lines->Count(), 2);
  lines->Add(L"c");
  EXPECT_EQ(Memo->Text(), L"a\r\nb\r\nc");
  lines->Clear();
  EXPECT_EQ(lines->Count(), 0);
  EXPECT_THROW(lines->Get(5), Exception);
}

TEST_F(MemoTest, TabKeyReachesTheMemoOnlyWhenItWantsTabs) {
  MSG tab{};
  tab.message = WM_KEYDOWN;
  tab.wParam = VK_TAB;
  Memo->SetWantTabs(true);
  LRESULT want = ::SendMessageW(Memo->Handle(), WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab));
  EXPECT_TRUE(want & DLGC_WANTTAB);
  Memo->SetWantTabs(false);
  LRESULT refuse = ::SendMessageW(Memo->Handle(), WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab));
  EXPECT_FALSE(refuse & (DLGC_WANTTAB | DLGC_WANTALLKEYS));
  // A tab typed into the editor is covered by the end-to-end tests.
}

TEST_F(MemoTest, TextSetBeforeTheWindowExistsArrivesInIt) {
  TMemo* m = Create<TMemo>(Form.Get());
  m->SetText(L"early");
  EXPECT_FALSE(m->HandleAllocated());
  m->SetParent(Form.Get());
  m->HandleNeeded();
  EXPECT_EQ(m->Text(), L"early");
  EXPECT_EQ(::GetWindowTextLengthW(m->Handle()), 5);
}

TEST_F(MemoTest, TextTheWindowRefusesWhileTheFormIsMadeIsReportedAndTheFormStillAppears) {
  std::vector<String> shown;
  Application->OnException = TExceptionEvent([&](TObject*, const Exception& e) { shown.push_back(e.Message()); });
  TForm* form = Create<TForm>(nullptr);
  TMemo* m = Create<TMemo>(form);
  m->SetParent(form);
  m->SetText(String(L"ends\0here", 9));  // the window keeps only "ends"
  EXPECT_NO_THROW(form->Show());
  Application->OnException = nullptr;
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], L"Text exceeds memo capacity");
  EXPECT_TRUE(m->HandleAllocated());
  EXPECT_TRUE(::IsWindowVisible(form->Handle()));
  form->Free();
}

}  // namespace
}  // namespace tk
