// Delivery and broadcast of the engine command message.
#include <gtest/gtest.h>

#include "skin/framework/kxCommands.h"
#include "skin/framework/kxFormRegistry.h"
#include "tests/manager_win/Support_win.h"

namespace {

using namespace mgrtest;
using kx::KX_QUERYHANDLED;
using kx::KX_SKINREFRESH;

TEST(Commands, APlainWindowAnswersZeroAndTheNameIsRegistered) {
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(kx::SendCommand(edit, KX_QUERYHANDLED), 0);
  EXPECT_FALSE(kx::IsCommandHandled(edit));
  EXPECT_EQ(kx::SendCommand(nullptr, KX_QUERYHANDLED), 0);
  DestroyWindow(edit);
  kx::RegisterCommandMessage();
  EXPECT_EQ(kx::RegisteredCommandMessage(), RegisterWindowMessageW(L"SM_KESTRIXCMD"));
  EXPECT_NE(kx::RegisteredCommandMessage(), 0u);
}

TEST(Commands, AControlCommandToAWindowlessControlIsPerformedAndNeverCreatesAWindow) {
  TOwned<TRecForm> form(tk::Create<TRecForm>(nullptr));
  auto* win = tk::Create<TRecWindow>(form.get());
  win->SetParent(form.get());
  win->Log.Handles = true;
  auto* graphic = tk::Create<TRecGraphic>(form.get());
  graphic->SetParent(form.get());
  ASSERT_FALSE(win->HandleAllocated());

  EXPECT_EQ(kx::SendControlCommand(win, KX_QUERYHANDLED), 0);
  EXPECT_EQ(kx::SendControlCommand(win, KX_SKINREFRESH, 5), 0);
  EXPECT_FALSE(win->HandleAllocated()) << "no window is made just to be asked";
  EXPECT_TRUE(win->Log.Commands.empty());

  graphic->Log.Handles = true;
  EXPECT_EQ(kx::SendControlCommand(graphic, KX_QUERYHANDLED), 1);
  kx::SendControlCommand(graphic, KX_SKINREFRESH, 5);
  ASSERT_EQ(graphic->Log.Commands.size(), 1u);
  EXPECT_EQ(graphic->Log.LParams[0], 5);

  form->HandleNeeded();
  win->HandleNeeded();
  EXPECT_EQ(kx::SendControlCommand(win, KX_QUERYHANDLED), 1);
  kx::SendControlCommand(win, KX_SKINREFRESH, 7);
  EXPECT_EQ(win->Log.Count(KX_SKINREFRESH), 1);
}

// form: [g1, handled window h (child gh), plain window p (child gp), g2]
struct Tree {
  TOwned<TRecForm> form{tk::Create<TRecForm>(nullptr)};
  TRecGraphic *g1, *gh, *gp, *g2;
  TRecWindow *h, *p;
  Tree() {
    auto add = [&](auto* c, tk::TWinControl* parent) {
      c->SetParent(parent);
      c->SetBounds(0, 0, 20, 20);
      return c;
    };
    g1 = add(tk::Create<TRecGraphic>(form.get()), form.get());
    h = add(tk::Create<TRecWindow>(form.get()), form.get());
    h->Log.Handles = true;
    gh = add(tk::Create<TRecGraphic>(form.get()), h);
    p = add(tk::Create<TRecWindow>(form.get()), form.get());
    gp = add(tk::Create<TRecGraphic>(form.get()), p);
    g2 = add(tk::Create<TRecGraphic>(form.get()), form.get());
  }
};

TEST(Commands, ABroadcastSendsToSkinnedWindowsAndDescendsIntoPlainOnes) {
  Tree t;
  t.form->HandleNeeded();
  ASSERT_TRUE(t.h->HandleAllocated());
  tk::TMessage m = kx::MakeCommand(KX_SKINREFRESH, 3);
  kx::BroadcastToChildren(t.form.get(), m);
  EXPECT_EQ(t.g1->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(t.h->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(t.gh->Log.Count(KX_SKINREFRESH), 0) << "a skinned window passes commands on itself";
  EXPECT_EQ(t.p->Log.Count(KX_SKINREFRESH), 0) << "a plain window is not sent the command";
  EXPECT_EQ(t.gp->Log.Count(KX_SKINREFRESH), 1) << "but its children are";
  EXPECT_EQ(t.g2->Log.Count(KX_SKINREFRESH), 1);

  // Any window message can be broadcast, not only the engine's.
  tk::TMessage other = tk::MakeMessage(WM_USER + 77);
  kx::BroadcastToChildren(t.form.get(), other);
}

TEST(Commands, WindowedChildrenWithoutAWindowArePerformedAndNoWindowIsMade) {
  Tree t;
  tk::TMessage m = kx::MakeCommand(KX_SKINREFRESH);
  kx::BroadcastToChildren(t.form.get(), m);
  EXPECT_FALSE(t.form->HandleAllocated());
  EXPECT_EQ(t.h->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(t.p->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(t.gp->Log.Count(KX_SKINREFRESH), 0);
  EXPECT_FALSE(t.p->HandleAllocated());
}

TEST(Commands, ABroadcastStopsAtAChildBeingDestroyed) {
  Tree t;
  t.form->HandleNeeded();
  t.p->Destroying();
  tk::TMessage m = kx::MakeCommand(KX_SKINREFRESH);
  kx::BroadcastToChildren(t.form.get(), m);
  EXPECT_EQ(t.g1->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(t.h->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(t.gp->Log.Count(KX_SKINREFRESH), 0);
  EXPECT_EQ(t.g2->Log.Count(KX_SKINREFRESH), 0) << "children after it get nothing";
}

std::vector<HWND> gSeen;
LRESULT CALLBACK SeenProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_USER + 5) gSeen.push_back(w);
  return DefWindowProcW(w, msg, wp, lp);
}

TEST(Commands, ChildWindowsOfAPlainWindowGetTheMessageButNotGrandchildren) {
  HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 50, 50, top, nullptr, nullptr, nullptr);
  HWND grand = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 20, 20, child, nullptr, nullptr, nullptr);
  gSeen.clear();
  SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SeenProc));
  SetWindowLongPtrW(grand, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SeenProc));
  tk::TMessage m = tk::MakeMessage(WM_USER + 5);
  kx::BroadcastToChildWindows(top, m);
  EXPECT_EQ(gSeen, std::vector<HWND>{child});
  DestroyWindow(top);
}

struct TRegistered : kx::IkxSkinnedForm {
  tk::TCustomForm* Form;
  explicit TRegistered(tk::TCustomForm* f) : Form(f) { kx::RegisterSkinnedForm(this); }
  ~TRegistered() { kx::UnregisterSkinnedForm(this); }
  tk::TCustomForm* SkinnedForm() const override { return Form; }
  kx::TsSkinManager* FormSkinManager() const override { return nullptr; }
  void SetSkinChanging(bool) override {}
};

int gShownGot, gHiddenGot;
HWND gShown;
LRESULT CALLBACK CountProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kx::SM_KESTRIXCMD && HIWORD(wp) == KX_SKINREFRESH) ++(w == gShown ? gShownGot : gHiddenGot);
  return DefWindowProcW(w, msg, wp, lp);
}

TEST(Commands, EveryFormIsReachedOnceWhetherOwnedByTheApplicationOrRegistered) {
  TOwned<TRecForm> plain(tk::Create<TRecForm>(tk::Application));
  TOwned<TRecForm> plainRegistered(tk::Create<TRecForm>(tk::Application));
  TOwned<TRecForm> skinned(tk::Create<TRecForm>(tk::Application));
  TOwned<TRecForm> unowned(tk::Create<TRecForm>(nullptr));
  TOwned<TRecForm> loading(tk::Create<TRecForm>(tk::Application));
  TOwned<TRecForm> skinnedUnregistered(tk::Create<TRecForm>(tk::Application));
  for (TRecForm* f :
       {plain.get(), plainRegistered.get(), skinned.get(), unowned.get(), loading.get(), skinnedUnregistered.get()})
    f->HandleNeeded();
  skinned->Log.Handles = true;
  skinnedUnregistered->Log.Handles = true;
  loading->BeginReading();
  TRegistered r1(plainRegistered.get()), r2(skinned.get()), r3(unowned.get());
  auto* child = tk::Create<TRecGraphic>(skinned.get());
  child->SetParent(skinned.get());

  HWND shown =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND hidden = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  gShownGot = gHiddenGot = 0;
  gShown = shown;
  for (HWND w : {shown, hidden}) {
    SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountProc));
    kx::AddSubclassedWindow(w);
  }

  tk::TMessage m = kx::MakeCommand(KX_SKINREFRESH);
  kx::BroadcastToForms(m);
  EXPECT_EQ(plain->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(plainRegistered->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(skinned->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(child->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(unowned->Log.Count(KX_SKINREFRESH), 1);
  EXPECT_EQ(loading->Log.Count(KX_SKINREFRESH), 0);
  EXPECT_EQ(skinnedUnregistered->Log.Count(KX_SKINREFRESH), 0);
  EXPECT_EQ(gShownGot, 1);
  EXPECT_EQ(gHiddenGot, 0);

  loading->EndReading();
  loading->Loaded();
  kx::RemoveSubclassedWindow(shown);
  kx::RemoveSubclassedWindow(hidden);
  DestroyWindow(shown);
  DestroyWindow(hidden);
}

}  // namespace
