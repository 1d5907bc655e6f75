// The memo with the skin switched off and on again: the edit window is
// recreated without its adapter and gets one back, keeping what the user
// had in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "skin/controls/kxEditWnd.h"
#include "skin/controls/sMemo.h"
#include "skin/framework/kxCommands.h"
#include "tests/manager_win/Support_win.h"
#include "tests/support/Pump_win.h"

namespace kx {
namespace {

using tk::test::PumpPending;

std::wstring Lines(int n) {
  std::wstring s;
  for (int i = 0; i < n; ++i) s += L"line " + std::to_wstring(i) + L"\r\n";
  return s;
}

// A form that hands the manager's commands on to its controls, as a
// skinned form does.
class TRelayForm : public tk::TForm {
 public:
  explicit TRelayForm(tk::TComponent* AOwner) : tk::TForm(AOwner) {}
  void WndProc(tk::TMessage& m) override {
    if (m.Msg == SM_KESTRIXCMD) BroadcastToChildren(this, m);
    tk::TForm::WndProc(m);
  }
};

TEST(EditWnd, TheSkinOffAndOnKeepsTextSelectionAndFirstLineAndMovesTheAdapter) {
  TsSkinManager* manager = mgrtest::LoadedManager(L"", L"Pearlmist (internal)");
  {
    mgrtest::TOwned<TRelayForm> form(tk::Create<TRelayForm>(tk::Application));
    form->SetBounds(50, 50, 500, 400);
    auto* memo = tk::Create<TsMemo>(form.get());
    memo->SetParent(form.get());
    memo->SetBounds(0, 0, 400, 300);
    memo->SetScrollBars(tk::ssVertical);
    memo->SetSkinSection(L"EDIT");
    memo->Loaded();
    form->Show();
    PumpPending();
    memo->SetText(Lines(300));
    memo->SetSelStart(40);
    memo->SetSelLength(25);
    ::SendMessageW(memo->Handle(), EM_LINESCROLL, 0, 120);
    PumpPending();
    ASSERT_NE(memo->ListSW(), nullptr);
    EXPECT_EQ(::GetPropW(memo->Handle(), kxAdapterProp), memo->ListSW());
    const int top = static_cast<int>(::SendMessageW(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
    ASSERT_GT(top, 100);

    auto same = [&](const char* when) {
      EXPECT_EQ(memo->Text(), Lines(300)) << when;
      EXPECT_EQ(memo->SelStart(), 40) << when;
      EXPECT_EQ(memo->SelLength(), 25) << when;
      EXPECT_EQ(::SendMessageW(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), top) << when;
    };
    manager->SetActive(false);
    PumpPending();
    EXPECT_EQ(memo->ListSW(), nullptr);
    EXPECT_EQ(::GetPropW(memo->Handle(), kxAdapterProp), nullptr);
    same("skin off");
    manager->SetActive(true);
    PumpPending();
    ASSERT_NE(memo->ListSW(), nullptr);
    EXPECT_EQ(::GetPropW(memo->Handle(), kxAdapterProp), memo->ListSW());
    same("skin on");
  }
  tk::FreeAndNil(manager);
}

// A memo whose window is made anew when its colour changes.
class TRecreatingMemo : public TsMemo {
 public:
  explicit TRecreatingMemo(tk::TComponent* AOwner) : TsMemo(AOwner) {}
  bool Armed = false;
  int Recreations = 0;
  void WndProc(tk::TMessage& m) override {
    TsMemo::WndProc(m);
    if (m.Msg == tk::CM_COLORCHANGED && HandleAllocated() && Armed && Recreations == 0) {
      ++Recreations;
      RecreateWnd();
    }
  }
};

TEST(EditWnd, AColourChangeThatRecreatesTheWindowEndsTheSkinColoursAndANewAdapterTakesOver) {
  TsSkinManager* manager = mgrtest::LoadedManager(L"", L"Pearlmist (internal)");
  {
    mgrtest::TOwned<TRelayForm> form(tk::Create<TRelayForm>(tk::Application));
    form->SetBounds(50, 50, 500, 400);
    auto* memo = tk::Create<TRecreatingMemo>(form.get());
    memo->SetParent(form.get());
    memo->SetBounds(0, 0, 400, 300);
    memo->SetScrollBars(tk::ssVertical);
    memo->Loaded();
    form->Show();
    memo->SetText(L"kept");
    PumpPending();
    // The skin's colours are applied again over a colour of the memo's own.
    memo->SetColor(tk::TColor(0x123456));
    memo->Armed = true;
    const tk::TMessage refresh = MakeCommand(KX_SKINREFRESH, reinterpret_cast<intptr_t>(manager));
    ::SendMessageW(memo->Handle(), refresh.Msg, refresh.WParam, refresh.LParam);
    PumpPending();
    EXPECT_EQ(memo->Recreations, 1);
    ASSERT_NE(memo->ListSW(), nullptr);
    EXPECT_FALSE(memo->ListSW()->Destroyed);
    EXPECT_EQ(::GetPropW(memo->Handle(), kxAdapterProp), memo->ListSW());
    EXPECT_FALSE(memo->SkinData()->IsUpdating());
    EXPECT_EQ(memo->Text(), L"kept");
  }
  tk::FreeAndNil(manager);
}

}  // namespace
}  // namespace kx
