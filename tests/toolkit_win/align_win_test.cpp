// Alignment: left and client children follow the parent's size; size
// constraints raise (and lower) the bounds that are applied.
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/Owned.h"
#include "tests/support/Pump_win.h"

using namespace tk;

namespace {

struct TBorderless : TForm {
  explicit TBorderless(TComponent* o) : TForm(o) {
    SetBorderStyle(bsNone);
    SetBounds(0, 0, 300, 200);
  }
};

struct TLayout {
  tk::test::TOwned<TBorderless> form;
  TCustomControl* left;
  TCustomControl* client;
  TLayout() {
    left = Create<TCustomControl>(form.get());
    left->SetBounds(0, 0, 50, 10);
    left->SetAlign(alLeft);
    left->SetParent(form.get());
    client = Create<TCustomControl>(form.get());
    client->SetAlign(alClient);
    client->SetParent(form.get());
  }
};

}  // namespace

TEST(Alignment, LeftAndClientChildrenShareTheParentBeforeItsWindowExists) {
  TLayout l;
  ASSERT_FALSE(l.form->HandleAllocated());
  EXPECT_EQ(l.left->BoundsRect(), (TRect{0, 0, 50, 200}));
  EXPECT_EQ(l.client->BoundsRect(), (TRect{50, 0, 300, 200}));
  l.form->SetBounds(0, 0, 400, 260);
  EXPECT_EQ(l.left->BoundsRect(), (TRect{0, 0, 50, 260}));
  EXPECT_EQ(l.client->BoundsRect(), (TRect{50, 0, 400, 260}));
}

TEST(Alignment, ResizingTheWindowRealignsTheChildWindows) {
  TLayout l;
  l.form->HandleNeeded();
  l.form->SetBounds(10, 10, 500, 300);
  EXPECT_EQ(l.client->BoundsRect(), (TRect{50, 0, 500, 300}));
  // The system resizing the window (not SetBounds) realigns too.
  ::SetWindowPos(l.form->Handle(), nullptr, 0, 0, 360, 240, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(l.form->Width(), 360);
  EXPECT_EQ(l.left->Height(), 240);
  EXPECT_EQ(l.client->BoundsRect(), (TRect{50, 0, 360, 240}));
  RECT r{};
  ::GetWindowRect(l.client->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 310);
}

TEST(Alignment, HidingALeftChildGivesItsSpaceToTheClient) {
  TLayout l;
  l.left->SetVisible(false);
  EXPECT_EQ(l.client->BoundsRect(), (TRect{0, 0, 300, 200}));
  l.left->SetVisible(true);
  EXPECT_EQ(l.client->BoundsRect(), (TRect{50, 0, 300, 200}));
}

TEST(Alignment, BorderWidthInsetsTheAlignedArea) {
  TLayout l;
  l.form->SetBorderWidth(5);
  EXPECT_EQ(l.left->BoundsRect(), (TRect{5, 5, 55, 195}));
  EXPECT_EQ(l.client->BoundsRect(), (TRect{55, 5, 295, 195}));
}

TEST(Alignment, TopAndBottomComeBeforeLeftAndClient) {
  TLayout l;
  auto* top = Create<TCustomControl>(l.form.get());
  top->SetBounds(0, 0, 10, 20);
  top->SetAlign(alTop);
  top->SetParent(l.form.get());
  auto* bottom = Create<TCustomControl>(l.form.get());
  bottom->SetBounds(0, 0, 10, 30);
  bottom->SetAlign(alBottom);
  bottom->SetParent(l.form.get());
  EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 300, 20}));
  EXPECT_EQ(bottom->BoundsRect(), (TRect{0, 170, 300, 200}));
  EXPECT_EQ(l.left->BoundsRect(), (TRect{0, 20, 50, 170}));
  EXPECT_EQ(l.client->BoundsRect(), (TRect{50, 20, 300, 170}));
}

TEST(Alignment, ChildrenOfALoadingParentAreAlignedWhenItHasLoaded) {
  tk::test::TOwned<TBorderless> form;
  form->BeginReading();
  auto* client = Create<TCustomControl>(form.get());
  client->SetAlign(alClient);
  client->SetParent(form.get());
  EXPECT_EQ(client->Width(), 0);
  form->EndReading();
  form->Loaded();
  EXPECT_EQ(client->BoundsRect(), (TRect{0, 0, 300, 200}));
}

TEST(SizeConstraints, BoundsBelowTheMinimumAreRaised) {
  tk::test::TOwned<> form;
  form->Constraints()->SetMinWidth(758);
  form->Constraints()->SetMinHeight(550);
  form->SetBounds(10, 20, 100, 100);
  EXPECT_EQ(form->Width(), 758);
  EXPECT_EQ(form->Height(), 550);
  EXPECT_EQ(form->Left(), 10);
  form->HandleNeeded();
  form->SetBounds(0, 0, 300, 600);
  RECT r{};
  ::GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 758);
  EXPECT_EQ(r.bottom - r.top, 600);
}

TEST(SizeConstraints, RaisingTheMinimumGrowsAControlAlreadyPlaced) {
  tk::test::TOwned<TBorderless> form;
  auto* c = Create<TCustomControl>(form.get());
  c->SetParent(form.get());
  c->SetBounds(0, 0, 20, 20);
  c->Constraints()->SetMinWidth(40);
  EXPECT_EQ(c->Width(), 40);
  c->Constraints()->SetMaxHeight(10);
  EXPECT_EQ(c->Height(), 10);
}

TEST(SizeConstraints, TheSystemsTrackingSizeFollowsTheMinimum) {
  tk::test::TOwned<> form;
  form->Constraints()->SetMinWidth(400);
  form->Constraints()->SetMinHeight(300);
  form->HandleNeeded();
  MINMAXINFO mmi{};
  ::SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, 400);
  EXPECT_EQ(mmi.ptMinTrackSize.y, 300);
}

TEST(FormWindowState, MaximizedFormKeepsItsNormalRectangleAndSetBoundsChangesIt) {
  tk::test::TOwned<> form;
  form->SetBounds(30, 40, 320, 240);
  form->SetWindowState(wsMaximized);  // hidden: applied at show
  EXPECT_EQ(form->WindowState(), wsMaximized);
  form->Show();
  tk::test::PumpPending();
  EXPECT_TRUE(::IsZoomed(form->Handle()));
  EXPECT_EQ(form->NormalBounds(), (TRect{30, 40, 350, 280}));
  form->SetBounds(50, 60, 400, 300);
  EXPECT_TRUE(::IsZoomed(form->Handle()));
  EXPECT_EQ(form->NormalBounds(), (TRect{50, 60, 450, 360}));
  form->SetWindowState(wsNormal);
  tk::test::PumpPending();
  EXPECT_EQ(form->BoundsRect(), (TRect{50, 60, 450, 360}));
}

TEST(FormClientSize, ClientSizeSetBeforeTheWindowExistsIsTheClientSizeAfterwards) {
  tk::test::TOwned<> form;
  form->SetClientWidth(742);
  form->SetClientHeight(514);
  RECT r{};
  ::GetClientRect(form->Handle(), &r);
  EXPECT_EQ(r.right, 742);
  EXPECT_EQ(r.bottom, 514);
}
