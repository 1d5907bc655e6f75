// The window-adapter base on real windows: attaching and detaching give the
// window its own procedure back, a procedure installed over the adapter
// keeps working whatever happens to the adapter, the property leads to the
// adapter, and nothing thrown in the adapter crosses the window procedure.
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/controls/kxMainWnd.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sMessages.h"
#include "tests/support/GdiObjects_win.h"
#include "tests/support/Owned.h"
#include "tests/toolkit_win/ExceptionSink.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace kx {
namespace {

constexpr UINT WM_PROBE = WM_APP + 11;  // answered 42 by whoever subclassed over the adapter
constexpr UINT WM_THROW = WM_APP + 12;

struct TWindow {
  HWND Wnd = ::CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP, 0, 0, 40, 20, nullptr, nullptr, nullptr, nullptr);
  ~TWindow() {
    if (::IsWindow(Wnd)) ::DestroyWindow(Wnd);
  }
  LONG_PTR Proc() const { return ::GetWindowLongPtrW(Wnd, GWLP_WNDPROC); }
  tk::String Text() const {
    wchar_t b[32] = {};
    ::GetWindowTextW(Wnd, b, 32);
    return b;
  }
};

// A plain subclass in the usual Win32 manner, installed over the adapter.
WNDPROC OverPrev = nullptr;
int OverCalls = 0;
LRESULT CALLBACK OverProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  ++OverCalls;
  if (m == WM_PROBE) return 42;
  return ::CallWindowProcW(OverPrev, w, m, wp, lp);
}
void SubclassOver(HWND w) {
  OverCalls = 0;
  OverPrev = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OverProc)));
}

class TThrowingAdapter : public TkxMainWnd {
 public:
  using TkxMainWnd::TkxMainWnd;
  int Seen = 0;
  void kxWndProc(tk::TMessage& m) override {
    if (m.Msg == WM_THROW) throw tk::Exception(L"adapter failed");
    if (m.Msg == WM_PROBE) ++Seen;
    TkxMainWnd::kxWndProc(m);
  }
};

TkxMainWnd* Attach(HWND w) {
  return AttachAdapter<TThrowingAdapter>(w, false, tk::String(L"CHECKBOX"), nullptr, nullptr);
}

TEST(MainWnd, AttachAndDetachGiveThePlainWindowItsProcedureBack) {
  TWindow w;
  const LONG_PTR original = w.Proc();
  TkxMainWnd* a = Attach(w.Wnd);
  EXPECT_NE(w.Proc(), original);
  EXPECT_EQ(TkxMainWnd::FromHandle(w.Wnd), a);
  EXPECT_EQ(a->Caption, L"plain");
  EXPECT_EQ(a->SkinData->SkinSection(), L"CHECKBOX");
  // The window's own procedure still answers through the adapter.
  ::SetWindowTextW(w.Wnd, L"changed");
  EXPECT_EQ(w.Text(), L"changed");
  EXPECT_EQ(a->Caption, L"changed");
  // Without an active skin manager engine commands pass on unanswered.
  EXPECT_EQ(::SendMessageW(w.Wnd, SM_KESTRIXCMD, CommandWParam(KX_QUERYHANDLED), 0), 0);

  TkxMainWnd::UnsubclassWindow(w.Wnd, true, false, a);
  EXPECT_EQ(a, nullptr);
  EXPECT_EQ(w.Proc(), original);
  EXPECT_EQ(TkxMainWnd::FromHandle(w.Wnd), nullptr);

  // Freeing an attached adapter detaches it the same way.
  a = Attach(w.Wnd);
  delete a;
  EXPECT_EQ(w.Proc(), original);
  EXPECT_EQ(TkxMainWnd::FromHandle(w.Wnd), nullptr);
}

TEST(MainWnd, AProcedureInstalledOverTheAdapterOutlivesIt) {
  // Detached first and freed later, or freed while attached: both leave the
  // later procedure and the window working to the end.
  for (bool detachFirst : {true, false}) {
    SCOPED_TRACE(detachFirst ? "detached, then freed" : "freed while attached");
    TWindow w;
    TkxMainWnd* a = Attach(w.Wnd);
    SubclassOver(w.Wnd);
    auto* adapter = static_cast<TThrowingAdapter*>(a);
    EXPECT_EQ(::SendMessageW(w.Wnd, WM_PROBE, 0, 0), 42);
    ::SetWindowTextW(w.Wnd, L"through both");
    EXPECT_EQ(adapter->Caption, L"through both");
    if (detachFirst) {
      TkxMainWnd::UnsubclassWindow(w.Wnd, false, false, a);
      EXPECT_TRUE(a->Destroyed);
      EXPECT_EQ(TkxMainWnd::FromHandle(w.Wnd), nullptr);
    }
    delete a;
    EXPECT_EQ(w.Proc(), reinterpret_cast<LONG_PTR>(&OverProc));
    const int before = OverCalls;
    EXPECT_EQ(::SendMessageW(w.Wnd, WM_PROBE, 0, 0), 42);
    ::SetWindowTextW(w.Wnd, L"after");
    EXPECT_EQ(w.Text(), L"after");  // the class procedure is still reached
    EXPECT_GT(OverCalls, before);
    // The later procedure takes itself off again: what it put back still
    // leads to the window's own procedure.
    ::SetWindowLongPtrW(w.Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OverPrev));
    ::SetWindowTextW(w.Wnd, L"last");
    EXPECT_EQ(w.Text(), L"last");
    EXPECT_TRUE(::DestroyWindow(w.Wnd));
  }
}

TEST(MainWnd, DestroyingTheWindowDetachesTheAdapter) {
  const size_t windows = tk::test::ProcessWindows();
  TWindow w;
  TkxMainWnd* a = Attach(w.Wnd);
  SubclassOver(w.Wnd);  // also with a procedure over it
  TWindow other;
  TkxMainWnd* b = Attach(other.Wnd);
  EXPECT_TRUE(::DestroyWindow(w.Wnd));
  EXPECT_TRUE(::DestroyWindow(other.Wnd));
  EXPECT_TRUE(a->Destroyed);
  EXPECT_TRUE(b->Destroyed);
  EXPECT_EQ(a->NewWndProcInstance(), nullptr);
  delete a;
  delete b;
  EXPECT_EQ(tk::test::ProcessWindows(), windows);
}

TEST(MainWnd, NothingThrownInTheAdapterCrossesTheWindowProcedure) {
  TWindow w;
  TkxMainWnd* a = Attach(w.Wnd);
  tk::test::TExceptionSink sink;
  ::SendMessageW(w.Wnd, WM_THROW, 0, 0);
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_EQ(sink.Messages[0], L"adapter failed");
  EXPECT_EQ(::SendMessageW(w.Wnd, WM_PROBE, 0, 0), 0);
  EXPECT_EQ(static_cast<TThrowingAdapter*>(a)->Seen, 1);
  delete a;
}

TEST(MainWnd, AToolkitControlGetsItsWindowProcBackOrKeepsALaterOne) {
  tk::test::TOwned<> form;
  auto* panel = tk::Create<tk::TPanel>(form.get());
  panel->SetParent(form.get());
  HWND h = panel->Handle();
  const tk::TWndMethod original = panel->WindowProc;
  TsCommonData data(panel, false);
  TkxMainWnd* a = AttachAdapter<TkxMainWnd>(h, false, tk::String(L"PANEL"), nullptr, &data);
  EXPECT_TRUE(a->ReplacedWindowMethod());
  EXPECT_FALSE(panel->WindowProc == original);
  EXPECT_EQ(TkxMainWnd::FromHandle(h), a);
  EXPECT_TRUE(panel->ControlStyle().Contains(tk::csOpaque));
  TkxMainWnd::UnsubclassWindow(h, true, false, a);
  EXPECT_TRUE(panel->WindowProc == original);

  // A method installed over the adapter stays, and still reaches the panel.
  a = AttachAdapter<TkxMainWnd>(h, false, tk::String(L"PANEL"), nullptr, &data);
  tk::TWndMethod under = panel->WindowProc;
  int over = 0;
  panel->WindowProc = tk::TWndMethod([&](tk::TMessage& m) {
    ++over;
    under(m);
  });
  delete a;
  panel->SetCaption(L"still works");
  EXPECT_EQ(panel->Caption(), L"still works");
  EXPECT_GT(over, 0);
  EXPECT_EQ(panel->Perform(WM_GETTEXTLENGTH), 11);
  panel->WindowProc = original;  // before `under` and `over` go
}

TEST(MainWnd, WithAnActiveSkinTheAdapterAnswersEngineCommands) {
  TsSkinManager* manager = tk::Create<TsSkinManager>(nullptr);
  TWindow w;
  TkxMainWnd* a = Attach(w.Wnd);
  EXPECT_EQ(a->SkinManager, manager);
  EXPECT_EQ(::SendMessageW(w.Wnd, SM_KESTRIXCMD, CommandWParam(KX_QUERYHANDLED), 0), 1);
  EXPECT_EQ(::SendMessageW(w.Wnd, SM_KESTRIXCMD, CommandWParam(KX_QUERYAPPLICATION), 0),
            reinterpret_cast<LRESULT>(tk::Application));
  UpdateWindowGeometry(a);
  EXPECT_EQ(a->WndSize.cx, 40);
  EXPECT_EQ(a->WndSize.cy, 20);
  delete a;
  tk::FreeAndNil(manager);
}

}  // namespace
}  // namespace kx
