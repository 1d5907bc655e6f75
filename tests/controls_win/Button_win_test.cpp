// The push button over the system BUTTON window: clicks through the
// reflected command, modal result, the default-button style and the
// reflected owner-draw requests.
#include <gtest/gtest.h>

#include "tests/controls_win/Support_win.h"
#include "toolkit/StdCtrls.h"

namespace tk {
namespace {

using test::PumpPending;
using test::TTestForm;

LONG_PTR ButtonType(TButton* b) { return ::GetWindowLongPtrW(b->Handle(), GWL_STYLE) & BS_TYPEMASK; }

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Ok = Create<TButton>(Form.Get());
    Ok->SetParent(Form.Get());
    Ok->SetBounds(20, 20, 75, 25);
    Ok->SetCaption(L"OK");
    Other = Create<TButton>(Form.Get());
    Other->SetParent(Form.Get());
    Other->SetBounds(120, 20, 75, 25);
    Other->SetCaption(L"Other");
    Form->HandleNeeded();
  }
  TTestForm Form;
  TButton* Ok = nullptr;
  TButton* Other = nullptr;
};

TEST_F(ButtonTest, AClickOfTheWindowRunsOnClickAndHandsTheModalResultToTheForm) {
  int clicks = 0;
  Ok->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
  Ok->SetModalResult(mrOk);
  ::SendMessageW(Ok->Handle(), BM_CLICK, 0, 0);
  PumpPending();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Form->ModalResult(), mrOk);
  EXPECT_EQ(Ok->Caption(), L"OK");
}

TEST_F(ButtonTest, TheDefaultButtonHasTheDefaultStyleUntilAnotherButtonHasTheFocus) {
  Ok->SetDefault(true);
  EXPECT_TRUE(Ok->Active());
  EXPECT_EQ(ButtonType(Ok), BS_DEFPUSHBUTTON);
  Ok->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(Other));
  EXPECT_FALSE(Ok->Active());
  EXPECT_EQ(ButtonType(Ok), BS_PUSHBUTTON);
  Ok->Perform(CM_FOCUSCHANGED, 0, 0);
  EXPECT_TRUE(Ok->Active());
  // Enter presses the default button, Escape the cancel button.
  int okClicks = 0, otherClicks = 0;
  Ok->OnClick = TNotifyEvent([&](TObject*) { ++okClicks; });
  Other->OnClick = TNotifyEvent([&](TObject*) { ++otherClicks; });
  Other->SetCancel(true);
  EXPECT_EQ(Ok->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
  EXPECT_EQ(Other->Perform(CM_DIALOGKEY, VK_RETURN, 0), 0);
  EXPECT_EQ(Other->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(otherClicks, 1);
}

// Owner-drawn from its own CreateParams: the reflected requests reach it.
class TDrawnButton : public TButton {
 public:
  using TButton::TButton;
  int Draws = 0;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TButton::CreateParams(Params);
    Params.Style = (Params.Style & ~static_cast<uint32_t>(BS_TYPEMASK)) | BS_OWNERDRAW;
  }
  void CNDrawItem(TMessage& Message) override {
    ++Draws;
    Message.Result = 1;
  }
};

TEST_F(ButtonTest, OwnerDrawRequestsAreReflectedToTheButton) {
  auto* b = Create<TDrawnButton>(Form.Get());
  b->SetParent(Form.Get());
  b->SetBounds(20, 60, 80, 30);
  EXPECT_EQ(ButtonType(b), BS_OWNERDRAW);
  ::RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  PumpPending();
  EXPECT_GT(b->Draws, 0);
  MEASUREITEMSTRUCT mis{};
  EXPECT_EQ(b->Perform(CN_MEASUREITEM, 0, reinterpret_cast<intptr_t>(&mis)), 1);
  EXPECT_EQ(mis.itemWidth, 80u);
  EXPECT_EQ(mis.itemHeight, 30u);
}

TEST_F(ButtonTest, WordWrapMakesTheCaptionMultiline) {
  EXPECT_FALSE(::GetWindowLongPtrW(Ok->Handle(), GWL_STYLE) & BS_MULTILINE);
  Ok->SetWordWrap(true);
  EXPECT_TRUE(::GetWindowLongPtrW(Ok->Handle(), GWL_STYLE) & BS_MULTILINE);
  EXPECT_EQ(Ok->Caption(), L"OK");
}

}  // namespace
}  // namespace tk
