// Speed buttons driven by real mouse input: the press/release state
// machine, clicks, groups that keep one button down, disabled buttons.
#include <gtest/gtest.h>

#include <atomic>

#include "tests/controls_win/Support_win.h"
#include "toolkit/Buttons.h"
#include "toolkit/ExtCtrls.h"

namespace tk {
namespace {

using test::Click;
using test::PumpPending;
using test::PumpUntil;
using test::ScreenPoint;
using test::THelper;
using test::TTestForm;

class SpeedButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Panel = Create<TPanel>(Form.Get());
    Panel->SetParent(Form.Get());
    Panel->SetBounds(8, 8, 250, 120);
    for (int i = 0; i < 3; ++i) {
      Buttons[i] = Create<TSpeedButton>(Form.Get());
      Buttons[i]->SetParent(Panel);
      Buttons[i]->SetBounds(8 + 56 * i, 8, 50, 50);
      Buttons[i]->SetCaption(String(1, static_cast<wchar_t>(L'A' + i)));
      Buttons[i]->OnClick = TNotifyEvent([this, i](TObject*) { ++Clicks[i]; });
    }
    Panel->HandleNeeded();
    PumpPending();
  }
  POINT Centre(int i) const { return ScreenPoint(Buttons[i], 25, 25); }
  // Clicks button i for real and waits until its OnClick ran (or not).
  bool ClickAndWait(int i) {
    int before = Clicks[i];
    THelper h([this, i] { Click(Centre(i)); });
    bool ok = PumpUntil([&] { return Clicks[i] > before; }, 2000);
    h.Join();
    PumpPending();
    return ok;
  }

  TTestForm Form;
  TPanel* Panel = nullptr;
  TSpeedButton* Buttons[3] = {};
  std::atomic<int> Clicks[3] = {};
};

TEST_F(SpeedButtonTest, AClickRunsOnClickOnceAndLeavesTheButtonUp) {
  ASSERT_TRUE(ClickAndWait(0));
  EXPECT_EQ(Clicks[0], 1);
  EXPECT_EQ(Buttons[0]->State(), bsUp);
  EXPECT_FALSE(Buttons[0]->Down());
  EXPECT_EQ(Clicks[1], 0);
}

TEST_F(SpeedButtonTest, PressShowsDownLeavingWhileHeldShowsUpAndReleaseOutsideDoesNotClick) {
  std::atomic<int> step{0};
  THelper h([&] {
    test::MoveMouse(Centre(0));
    test::MouseButton(false, true);
    step = 1;
    while (step != 2) ::Sleep(10);
    POINT outside = ScreenPoint(Buttons[0], 25, 90);
    test::MoveMouse(outside);
    test::MoveMouse(POINT{outside.x + 2, outside.y});
    step = 3;
    while (step != 4) ::Sleep(10);
    test::MouseButton(false, false);
    step = 5;
  });
  ASSERT_TRUE(PumpUntil([&] { return step == 1 && Buttons[0]->State() == bsDown; }));
  step = 2;
  ASSERT_TRUE(PumpUntil([&] { return step == 3; }));
  EXPECT_TRUE(PumpUntil([&] { return Buttons[0]->State() == bsUp; }, 1000));
  step = 4;
  ASSERT_TRUE(PumpUntil([&] { return step == 5; }));
  h.Join();
  PumpPending();
  EXPECT_EQ(Clicks[0], 0);
  EXPECT_EQ(Buttons[0]->State(), bsUp);
}

TEST_F(SpeedButtonTest, AGroupKeepsExactlyOneButtonDown) {
  for (TSpeedButton* b : Buttons) b->SetGroupIndex(1);
  ASSERT_TRUE(ClickAndWait(0));
  EXPECT_TRUE(Buttons[0]->Down());
  EXPECT_EQ(Buttons[0]->State(), bsExclusive);

  ASSERT_TRUE(ClickAndWait(1));
  EXPECT_TRUE(Buttons[1]->Down());
  EXPECT_FALSE(Buttons[0]->Down());
  EXPECT_EQ(Buttons[0]->State(), bsUp);

  // Without AllowAllUp the button down stays down when clicked again.
  ASSERT_TRUE(ClickAndWait(1));
  EXPECT_TRUE(Buttons[1]->Down());
  EXPECT_EQ(Buttons[1]->State(), bsExclusive);
  EXPECT_EQ(Clicks[1], 2);
}

TEST_F(SpeedButtonTest, AllowAllUpIsSharedByTheGroupAndLetsTheLastButtonUp) {
  for (TSpeedButton* b : Buttons) b->SetGroupIndex(1);
  Buttons[2]->SetDown(true);
  Buttons[2]->SetAllowAllUp(true);
  EXPECT_TRUE(Buttons[0]->AllowAllUp());
  EXPECT_TRUE(Buttons[1]->AllowAllUp());
  ASSERT_TRUE(ClickAndWait(2));
  EXPECT_FALSE(Buttons[2]->Down());
  for (TSpeedButton* b : Buttons) EXPECT_EQ(b->State(), bsUp);
}

TEST_F(SpeedButtonTest, GroupsAreSeparateAndAButtonWithoutGroupNeverStaysDown) {
  Buttons[0]->SetGroupIndex(1);
  Buttons[1]->SetGroupIndex(2);
  Buttons[0]->SetDown(true);
  Buttons[1]->SetDown(true);
  EXPECT_TRUE(Buttons[0]->Down());
  EXPECT_TRUE(Buttons[1]->Down());
  Buttons[2]->SetDown(true);
  EXPECT_FALSE(Buttons[2]->Down());
  // Leaving the group releases the button.
  Buttons[1]->SetGroupIndex(0);
  EXPECT_FALSE(Buttons[1]->Down());
  EXPECT_EQ(Buttons[1]->State(), bsUp);
}

TEST_F(SpeedButtonTest, AGroupMessageFromSomethingElseIsIgnored) {
  Buttons[0]->SetGroupIndex(1);
  Buttons[0]->SetDown(true);
  // Not a sibling: must not be looked at, let alone release the button.
  Buttons[0]->Perform(CM_BUTTONPRESSED, 1, static_cast<intptr_t>(0x1234));
  TPanel* other = Create<TPanel>(Form.Get());
  Buttons[0]->Perform(CM_BUTTONPRESSED, 1, reinterpret_cast<intptr_t>(other));
  EXPECT_TRUE(Buttons[0]->Down());
  EXPECT_EQ(Buttons[0]->State(), bsExclusive);
}

TEST_F(SpeedButtonTest, ADisabledButtonIsInStateDisabledAndIgnoresClicks) {
  Buttons[1]->SetEnabled(false);
  EXPECT_EQ(Buttons[1]->State(), bsDisabled);
  THelper h([this] { Click(Centre(1)); });
  h.Join();
  PumpPending();
  EXPECT_EQ(Clicks[1], 0);
  Buttons[1]->SetEnabled(true);
  EXPECT_EQ(Buttons[1]->State(), bsUp);
  // A held button comes back held.
  Buttons[1]->SetGroupIndex(3);
  Buttons[1]->SetDown(true);
  Buttons[1]->SetEnabled(false);
  Buttons[1]->SetEnabled(true);
  EXPECT_EQ(Buttons[1]->State(), bsExclusive);
}

TEST_F(SpeedButtonTest, AButtonDisabledUnderTheMouseCanBeEnteredAgainLater) {
  // The page-switch pattern: the clicked button disables itself.
  Buttons[0]->OnClick = TNotifyEvent([this](TObject*) {
    ++Clicks[0];
    Buttons[0]->SetEnabled(false);
  });
  ASSERT_TRUE(ClickAndWait(0));
  EXPECT_FALSE(Buttons[0]->MouseInControl());
  {
    THelper h([this] { test::MoveMouse(Centre(2)); });
    h.Join();
  }
  PumpPending();
  Buttons[0]->SetEnabled(true);
  {
    THelper h([this] {
      test::MoveMouse(Centre(0));
      test::MoveMouse(POINT{Centre(0).x + 3, Centre(0).y});
    });
    h.Join();
  }
  EXPECT_TRUE(PumpUntil([&] { return Buttons[0]->MouseInControl(); }, 1500));
}

TEST_F(SpeedButtonTest, TheStateCanBeSetFromOutsideAndDefaultsMatchTheToolkit) {
  TSpeedButton* b = Buttons[0];
  EXPECT_EQ(b->Layout(), blGlyphLeft);
  EXPECT_EQ(b->Margin(), -1);
  EXPECT_EQ(b->Spacing(), 4);
  EXPECT_EQ(b->NumGlyphs(), 1);
  EXPECT_TRUE(b->Transparent());
  EXPECT_FALSE(b->Flat());
  b->SetState(bsDown);
  EXPECT_EQ(b->State(), bsDown);
  b->SetState(bsUp);
  // The glyph's change handler can be chained by whoever hooks it later.
  int previous = 0, chained = 0;
  auto old = b->Glyph()->OnChange;
  b->Glyph()->OnChange = [&, old](TObject* s) {
    ++chained;
    if (old) {
      ++previous;
      old(s);
    }
  };
  b->Glyph()->Changed();
  EXPECT_EQ(chained, 1);
  EXPECT_EQ(previous, 1);
}

}  // namespace
}  // namespace tk
