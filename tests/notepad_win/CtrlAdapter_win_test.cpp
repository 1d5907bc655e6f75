// The child-control adapter on the notepad's form: plain toolkit controls
// added while it runs, whose class names stand in the skin manager's
// ThirdParty lists, get the window adapter of their list (a speed button a
// handler), plain labels turn see-through in the skin's text colour, the
// application can veto or re-section a control, and everything is let go
// with the skin and taken again when it comes back.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/Unit1.h"
#include "skin/data/sSkinManager.h"
#include "skin/controls/kxMainWnd.h"
#include "skin/forms/kxCtrlAdapter.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sMessages.h"
#include "tests/support/GdiObjects_win.h"
#include "tests/support/Pump_win.h"
#include "toolkit/Buttons.h"
#include "toolkit/StdCtrls.h"

namespace {

using tk::test::PumpPending;

bool Adapted(tk::TWinControl* C) { return ::GetPropW(C->Handle(), kx::kxAdapterProp) != nullptr; }
bool Handled(tk::TControl* C) { return C->Perform(kx::SM_KESTRIXCMD, kx::CommandWParam(kx::KX_QUERYHANDLED), 0) != 0; }

class CtrlAdapter : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { kx::InitializeEngine(); }
  void SetUp() override {
    Form = tk::Create<TForm1>(tk::Application);
    kx::TkxThirdPartyList third = Form->sSkinManager1->ThirdParty();
    third[0] = L"TEdit";
    third[8] = L"TPanel";
    third[17] = L"TSpeedButton";
    Form->sSkinManager1->SetThirdParty(third);
    Form->sSkinProvider1->OnSkinItem = [this](tk::TControl* C, bool& CanBeAdded, tk::String& Section) {
      if (C == Vetoed) CanBeAdded = false;
      if (C == Resectioned) Section = L"CHECKBOX";
    };
    // One made before the form is shown, adapted with the show.
    Add(Early, L"early");
    Form->Show();
    PumpPending();
    // Children made while the form runs: each window's creation tells the
    // form, which hands it to the adapter; window-less ones wait for the
    // next look over the form, which the engine's command asks for.
    Add(Vetoed, L"vetoed");
    Add(Resectioned, L"resectioned");
    Hidden = Make<tk::TButton>(L"hidden");
    Hidden->SetTag(-98);
    Hidden->SetParent(Form);
    Add(Button, L"button");
    Add(Edit, L"edit");
    Add(Panel, L"panel");
    Add(Memo, L"memo");  // in no list
    Add(Label, L"label");
    Add(Speed, L"speed");
    ::SendMessageW(Form->Handle(), kx::SM_KESTRIXCMD, kx::CommandWParam(kx::KX_CONTROLADDED), 0);
    PumpPending();
  }
  void TearDown() override {
    Form->Free();
    PumpPending();
  }
  template <class T>
  T* Make(const wchar_t* Name) {
    T* c = tk::Create<T>(Form);
    c->SetName(Name);
    c->SetBounds(200 + 70 * Made++, 20, 64, 24);
    return c;
  }
  template <class T>
  void Add(T*& Into, const wchar_t* Name) {
    Into = Make<T>(Name);
    Into->SetParent(Form);
    if (auto* w = dynamic_cast<tk::TWinControl*>(Into)) w->HandleNeeded();
  }
  // The windows and speed buttons the skin takes, as the adapter holds them.
  void ExpectSkinned() {
    kx::TkxCtrlAdapter* a = Form->sSkinProvider1->Adapter();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(Adapted(Early));
    EXPECT_TRUE(Adapted(Button));
    EXPECT_TRUE(Adapted(Edit));
    EXPECT_TRUE(Adapted(Panel));
    EXPECT_TRUE(Adapted(Resectioned));
    EXPECT_FALSE(Adapted(Vetoed));
    EXPECT_FALSE(Adapted(Hidden));
    EXPECT_FALSE(Adapted(Memo));
    EXPECT_EQ(a->Count(), 5);
    ASSERT_GE(a->IndexOf(Resectioned), 0);
    EXPECT_EQ(a->GetItem(a->IndexOf(Resectioned))->SkinData->SkinSection(), L"CHECKBOX");
    EXPECT_TRUE(Handled(Speed));
    EXPECT_EQ(a->GraphItems.size(), 1u);
  }

  TForm1* Form = nullptr;
  int Made = 0;
  tk::TButton *Early = nullptr, *Vetoed = nullptr, *Resectioned = nullptr, *Hidden = nullptr, *Button = nullptr;
  tk::TEdit* Edit = nullptr;
  tk::TPanel* Panel = nullptr;
  tk::TMemo* Memo = nullptr;
  tk::TLabel* Label = nullptr;
  tk::TSpeedButton* Speed = nullptr;
};

TEST_F(CtrlAdapter, ListedControlsAreSkinnedAndPlainLabelsTakeTheSkinsTextColour) {
  ExpectSkinned();
  EXPECT_TRUE(Label->Transparent());
  EXPECT_EQ(Label->Font()->Color(), Form->sSkinManager1->GetGlobalFontColor());
  // The adapted button paints itself from the skin: its window answers the
  // engine's question like every skinned control.
  EXPECT_TRUE(Handled(Button));
  EXPECT_FALSE(Handled(Vetoed));
}

TEST_F(CtrlAdapter, GoesWithTheSkinAndComesBackWithItWithoutLeaking) {
  Form->sSkinManager1->SetActive(false);
  PumpPending();
  EXPECT_EQ(Form->sSkinProvider1->Adapter(), nullptr);
  for (tk::TWinControl* c : {static_cast<tk::TWinControl*>(Button), static_cast<tk::TWinControl*>(Edit),
                             static_cast<tk::TWinControl*>(Panel), static_cast<tk::TWinControl*>(Resectioned)})
    EXPECT_FALSE(Adapted(c)) << tk::ToUtf8(c->Name());
  EXPECT_FALSE(Handled(Speed));
  EXPECT_FALSE(Handled(Button));
  Form->sSkinManager1->SetActive(true);
  PumpPending();
  ExpectSkinned();

  tk::test::ParkPointerAwayFrom(Form->Handle());
  const size_t gdi = tk::test::GdiObjects(), windows = tk::test::ProcessWindows();
  for (int i = 0; i < 20; ++i) {
    Form->sSkinManager1->SetActive(false);
    Form->sSkinManager1->SetActive(true);
    PumpPending();
  }
  EXPECT_LE(tk::test::GdiObjects(), gdi + tk::test::kDcCacheSlack);
  EXPECT_EQ(tk::test::ProcessWindows(), windows);
  ExpectSkinned();
}

}  // namespace
