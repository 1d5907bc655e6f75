// The message path: every message enters through WindowProc, whether it
// comes from the window, from Perform or from SendMessage, including the
// messages sent while CreateWindowEx runs; the saved procedure passes on.
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/ObjectInstances.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "tests/support/Owned.h"
#include "tests/toolkit_win/ExceptionSink.h"

using namespace tk;

namespace {

// What engine code does: save the control's WindowProc, install its own,
// call the saved one.
class TInterceptor : public TObject {
 public:
  explicit TInterceptor(TControl* c) : FControl(c) {
    FOld = c->WindowProc;
    c->WindowProc = TWndMethod(this, &TInterceptor::Proc);
  }
  ~TInterceptor() override {
    if (FControl->WindowProc == TWndMethod(this, &TInterceptor::Proc)) FControl->WindowProc = FOld;
  }
  std::vector<uint32_t> Seen;
  uint32_t Swallow = 0;
  bool Has(uint32_t m) const { return std::find(Seen.begin(), Seen.end(), m) != Seen.end(); }
  size_t IndexOf(uint32_t m) const { return std::find(Seen.begin(), Seen.end(), m) - Seen.begin(); }

 private:
  void Proc(TMessage& m) {
    Seen.push_back(m.Msg);
    if (m.Msg == Swallow) {
      m.Result = 77;
      return;
    }
    FOld(m);
  }
  TControl* FControl;
  TWndMethod FOld;
};

class TCountingForm : public TForm {
 public:
  using TForm::TForm;
  TK_CLASS_NAME(TCountingForm)
  int Custom = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_APP + 5) {
      ++Custom;
      m.Result = 5;
      return;
    }
    TForm::WndProc(m);
  }
};

}  // namespace

TEST(WindowProc, MessagesSentDuringWindowCreationPassThroughAReplacedWindowProc) {
  tk::test::TOwned<> form;
  TInterceptor spy(form.get());  // installed before the window exists
  ASSERT_FALSE(form->HandleAllocated());
  form->HandleNeeded();
  ASSERT_TRUE(form->HandleAllocated());
  EXPECT_TRUE(spy.Has(WM_GETMINMAXINFO));
  EXPECT_TRUE(spy.Has(WM_NCCREATE));
  EXPECT_TRUE(spy.Has(WM_NCCALCSIZE));
  EXPECT_TRUE(spy.Has(WM_CREATE));
  // The size query comes even before WM_NCCREATE and must not be lost.
  EXPECT_LT(spy.IndexOf(WM_GETMINMAXINFO), spy.IndexOf(WM_NCCREATE));
  EXPECT_LT(spy.IndexOf(WM_NCCREATE), spy.IndexOf(WM_CREATE));
}

TEST(WindowProc, PerformAndSendMessageBothEnterThroughWindowProc) {
  tk::test::TOwned<TCountingForm> form;
  TInterceptor spy(form.get());
  spy.Swallow = WM_APP + 9;
  EXPECT_EQ(form->Perform(WM_APP + 9), 77);
  EXPECT_EQ(::SendMessageW(form->Handle(), WM_APP + 9, 0, 0), 77);
  EXPECT_EQ(std::count(spy.Seen.begin(), spy.Seen.end(), WM_APP + 9), 2);
  // Passed on, the message reaches the control's own virtual WndProc.
  EXPECT_EQ(form->Perform(WM_APP + 5), 5);
  EXPECT_EQ(::SendMessageW(form->Handle(), WM_APP + 5, 0, 0), 5);
  EXPECT_EQ(form->Custom, 2);
}

TEST(WindowProc, RestoringTheSavedProcedureEndsTheInterception) {
  tk::test::TOwned<> form;
  form->HandleNeeded();
  {
    TInterceptor spy(form.get());
    spy.Swallow = WM_APP + 1;
    EXPECT_EQ(form->Perform(WM_APP + 1), 77);
  }
  EXPECT_EQ(form->Perform(WM_APP + 1), 0);
}

TEST(WindowProc, ChainedInterceptorsRunLastInstalledFirst) {
  tk::test::TOwned<> form;
  TInterceptor first(form.get());
  TInterceptor second(form.get());
  second.Swallow = WM_APP + 2;
  EXPECT_EQ(form->Perform(WM_APP + 2), 77);
  EXPECT_TRUE(second.Has(WM_APP + 2));
  EXPECT_FALSE(first.Has(WM_APP + 2));
  form->Perform(WM_APP + 3);
  EXPECT_TRUE(first.Has(WM_APP + 3));
}

TEST(WindowProc, WindowlessControlsGetPerformedMessagesThroughWindowProc) {
  tk::test::TOwned<> form;
  auto* g = Create<TGraphicControl>(form.get());
  g->SetParent(form.get());
  TInterceptor spy(g);
  g->SetBounds(1, 2, 30, 40);
  // Moving a window-less control tells it as a window would be told.
  EXPECT_TRUE(spy.Has(WM_WINDOWPOSCHANGED));
  EXPECT_TRUE(spy.Has(WM_SIZE));
  g->SetVisible(false);
  EXPECT_TRUE(spy.Has(CM_VISIBLECHANGED));
  g->SetCaption(L"x");
  EXPECT_TRUE(spy.Has(CM_TEXTCHANGED));
}

TEST(WindowProc, WindowsAreRegisteredUnderTheClassNameOfTheControl) {
  tk::test::TOwned<TCountingForm> form;
  wchar_t name[64] = {};
  ::GetClassNameW(form->Handle(), name, 64);
  EXPECT_STREQ(name, L"TCountingForm");
  EXPECT_EQ(TWinControl::FindControl(form->Handle()), form.get());
  wchar_t app[64] = {};
  ::GetClassNameW(Application->Handle(), app, 64);
  EXPECT_STREQ(app, L"TApplication");
}

TEST(WindowProc, TextOfAControlWithoutWindowSurvivesCreation) {
  tk::test::TOwned<> form;
  form->SetCaption(L"Tabulo");
  EXPECT_FALSE(form->HandleAllocated());
  wchar_t text[32] = {};
  ::GetWindowTextW(form->Handle(), text, 32);
  EXPECT_STREQ(text, L"Tabulo");
  form->SetCaption(L"Other");
  ::GetWindowTextW(form->Handle(), text, 32);
  EXPECT_STREQ(text, L"Other");
  EXPECT_EQ(form->Caption(), L"Other");
}

TEST(WindowProc, RecreatedWindowKeepsItsTextAndChildren) {
  tk::test::TOwned<> form;
  auto* child = Create<TCustomControl>(form.get());
  child->SetParent(form.get());
  form->SetCaption(L"Kept");
  HWND before = form->Handle();
  ASSERT_TRUE(child->HandleAllocated());
  form->RecreateWnd();
  ASSERT_TRUE(form->HandleAllocated());
  EXPECT_FALSE(::IsWindow(before));
  EXPECT_EQ(form->Caption(), L"Kept");
  ASSERT_TRUE(child->HandleAllocated());
  EXPECT_EQ(::GetParent(child->Handle()), form->Handle());
}

// --- Object instances for foreign windows ---------------------------------------

namespace {
class TSubclasser : public TObject {
 public:
  explicit TSubclasser(HWND w) : FWnd(w) {
    FInstance = MakeObjectInstance(TWndMethod(this, &TSubclasser::Proc));
    FOld = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FInstance)));
  }
  ~TSubclasser() override {
    // Only take it back while it is still ours.
    if (::GetWindowLongPtrW(FWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(FInstance))
      ::SetWindowLongPtrW(FWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOld));
    FreeObjectInstance(FInstance);
  }
  int Hits = 0;
  void* Instance() const { return FInstance; }

 private:
  void Proc(TMessage& m) {
    if (m.Msg == WM_APP + 7) {
      ++Hits;
      m.Result = reinterpret_cast<intptr_t>(this);
      return;
    }
    if (m.Msg == WM_APP + 8) throw Exception(L"from an instance");
    m.Result = ::CallWindowProcW(FOld, FWnd, m.Msg, m.WParam, m.LParam);
  }
  HWND FWnd;
  void* FInstance;
  WNDPROC FOld;
};
}  // namespace

TEST(ObjectInstance, EachInstanceLeadsToItsOwnObjectAndPassesOn) {
  HWND a = ::CreateWindowExW(0, L"STATIC", L"a", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND b = ::CreateWindowExW(0, L"STATIC", L"b", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(a && b);
  {
    TSubclasser sa(a), sb(b);
    EXPECT_NE(sa.Instance(), sb.Instance());
    EXPECT_EQ(::SendMessageW(a, WM_APP + 7, 0, 0), reinterpret_cast<LRESULT>(&sa));
    EXPECT_EQ(::SendMessageW(b, WM_APP + 7, 0, 0), reinterpret_cast<LRESULT>(&sb));
    wchar_t text[8] = {};
    ::GetWindowTextW(a, text, 8);  // the original procedure still answers
    EXPECT_STREQ(text, L"a");
    tk::test::TExceptionSink sink;
    ::SendMessageW(a, WM_APP + 8, 0, 0);
    ASSERT_EQ(sink.Messages.size(), 1u);
    EXPECT_EQ(sink.Messages[0], L"from an instance");
  }
  EXPECT_EQ(::SendMessageW(a, WM_APP + 7, 0, 0), 0);
  ::DestroyWindow(a);
  ::DestroyWindow(b);
}

TEST(ObjectInstance, AllInstancesAnswerForTheirOwnMethodUntilThePoolRunsOutAndFreedOnesComeBack) {
  auto method = [](intptr_t id) { return TWndMethod([id](TMessage& m) { m.Result = id + m.LParam; }); };
  auto call = [](void* p, LPARAM lp) {
    return ::CallWindowProcW(reinterpret_cast<WNDPROC>(p), nullptr, WM_APP, 0, lp);
  };
  std::vector<void*> all;
  String error;
  for (int i = 0; i < 100000 && error.empty(); ++i) {
    try {
      all.push_back(MakeObjectInstance(method(i * 10)));
    } catch (const EOutOfResources& e) { error = e.Message(); }
  }
  EXPECT_EQ(error, L"Out of system resources");
  ASSERT_GE(all.size(), 1000u);
  std::vector<void*> sorted(all);
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  for (size_t i = 0; i < all.size(); ++i) ASSERT_EQ(call(all[i], 3), static_cast<LRESULT>(i * 10 + 3)) << i;

  // The procedures are the program's own code: not writable, nothing allocated.
  const HMODULE self = ::GetModuleHandleW(nullptr);
  for (void* p : {all.front(), all[all.size() / 2], all.back()}) {
    MEMORY_BASIC_INFORMATION mbi{};
    ASSERT_NE(::VirtualQuery(p, &mbi, sizeof(mbi)), 0u);
    EXPECT_EQ(mbi.AllocationBase, reinterpret_cast<void*>(self));
    EXPECT_EQ(mbi.Type, static_cast<DWORD>(MEM_IMAGE));
    EXPECT_EQ(mbi.Protect & (PAGE_READWRITE | PAGE_EXECUTE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_WRITECOPY), 0u);
  }

  // A freed instance answers by default until it is handed out again, once
  // (even when freed twice), now for the new method; the rest keep theirs.
  void* freed = all[7];
  FreeObjectInstance(freed);
  FreeObjectInstance(freed);
  EXPECT_EQ(call(freed, 1), 0);
  void* again = MakeObjectInstance(method(-100));
  EXPECT_EQ(again, freed);
  EXPECT_EQ(call(again, 1), -99);
  EXPECT_EQ(call(all[8], 1), 81);
  EXPECT_THROW(MakeObjectInstance(method(0)), EOutOfResources);
  for (void* p : all) FreeObjectInstance(p);
  void* fresh = MakeObjectInstance(method(5));
  EXPECT_EQ(call(fresh, 0), 5);
  FreeObjectInstance(fresh);
}
