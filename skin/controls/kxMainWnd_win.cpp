#include "skin/controls/kxMainWnd.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxSystemCaps.h"
#include "skin/framework/sCommonData.h"
#include "toolkit/Forms.h"

namespace kx {

// What is installed on the window in the adapter's name: the thunk of a
// plain window, or the method a toolkit control's WindowProc now holds.
// While the adapter is attached every message goes to it; once it has let
// go, the link only forwards to the previous procedure. A link that is out
// of every chain is freed, but never while one of its own calls is running
// (a window destroyed from inside its own message): such links wait in
// FRetired for the next attach or detach.
class TkxWndLink {
 public:
  TkxWndLink(TkxMainWnd* Adapter, HWND Wnd) : FAdapter(Adapter), FWnd(Wnd) {}

  TkxMainWnd* FAdapter;
  HWND FWnd;
  WNDPROC FOldProc = nullptr;
  tk::TControl* FControl = nullptr;
  tk::TWndMethod FOldWndProc;
  void* FInstance = nullptr;

  tk::TWndMethod AsMethod() { return tk::TWndMethod(this, &TkxWndLink::Method); }

  // Entered through the thunk: nothing is thrown into the system's frames.
  // The depth covers the handler too, which may run a message loop.
  void ThunkProc(tk::TMessage& m) {
    TDepth depth(FDepth);
    try {
      Dispatch(m);
    } catch (...) {
      if (tk::Application) tk::Application->HandleException(FAdapter);
    }
  }
  // Entered through a toolkit control's WindowProc, whose own window
  // procedure catches.
  void Method(tk::TMessage& m) {
    TDepth depth(FDepth);
    Dispatch(m);
  }

  void CallPrev(tk::TMessage& m) {
    if (FOldWndProc) {
      FOldWndProc(m);
    } else if (FOldProc) {
      m.Result = ::CallWindowProcW(FOldProc, FWnd, m.Msg, m.WParam, m.LParam);
    } else {
      m.Result = 0;
    }
  }

  // Is the link the procedure the window (or control) calls first?
  bool OnTop() {
    if (FControl) return FControl->WindowProc == AsMethod();
    return reinterpret_cast<void*>(::GetWindowLongPtrW(FWnd, GWLP_WNDPROC)) == FInstance;
  }

  // Takes the link out of the chain when it is on top; true when it did.
  bool Restore() {
    if (!OnTop()) return false;
    if (FControl) FControl->WindowProc = FOldWndProc;
    else ::SetWindowLongPtrW(FWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldProc));
    return true;
  }

  // The link is out of every chain (or its window is gone).
  static void Retire(TkxWndLink* Link) {
    if (Link->FRetired) return;
    Link->FRetired = true;
    Link->FAdapter = nullptr;
    Retired().push_back(Link);
    FreeRetired();
  }
  static void FreeRetired() {
    auto& r = Retired();
    auto idle = std::stable_partition(r.begin(), r.end(), [](TkxWndLink* l) { return l->FDepth > 0; });
    std::vector<TkxWndLink*> done(idle, r.end());
    r.erase(idle, r.end());
    for (TkxWndLink* l : done) {
      tk::FreeObjectInstance(l->FInstance);
      delete l;
    }
  }

 private:
  struct TDepth {
    int& d;
    explicit TDepth(int& v) : d(v) { ++d; }
    ~TDepth() { --d; }
  };

  void Dispatch(tk::TMessage& m) {
    if (TkxMainWnd* a = FAdapter) a->kxWndProc(m);
    else CallPrev(m);
    // The last message of a plain window: a link still standing (a
    // pass-through, or an adapter that kept it to the end) goes with it.
    if (m.Msg == WM_NCDESTROY && !FControl && FInstance) {
      if (TkxMainWnd* a = FAdapter) a->LinkGone();
      Retire(this);
    }
  }
  static std::vector<TkxWndLink*>& Retired() {
    static auto* v = new std::vector<TkxWndLink*>;
    return *v;
  }

  int FDepth = 0;  // calls of this link running now
  bool FRetired = false;
};

namespace {

using TSetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

void SetTheme(HWND Wnd, const wchar_t* App, const wchar_t* Ids) {
  if (auto f = reinterpret_cast<TSetWindowThemeFn>(SystemCaps().SetWindowTheme)) f(Wnd, App, Ids);
}

tk::String WindowText(HWND Wnd) {
  const int n = ::GetWindowTextLengthW(Wnd);
  if (n <= 0) return {};
  tk::String s(size_t(n) + 1, L'\0');
  s.resize(size_t(::GetWindowTextW(Wnd, s.data(), n + 1)));
  return s;
}

// The link leaves the chain or stays as a pass-through; either way it no
// longer calls the adapter. True when the previous procedure is back.
bool LetGo(TkxWndLink* Link) {
  const bool restored = Link->Restore();
  Link->FAdapter = nullptr;
  if (restored) TkxWndLink::Retire(Link);
  // A pass-through link of a plain window goes with its window; one left in
  // a toolkit control's WindowProc chain may be called for as long as the
  // control lives, so it is kept for the rest of the run.
  return restored;
}

}  // namespace

// --- Construction -------------------------------------------------------------------------

TkxMainWnd::TkxMainWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* Manager,
                       TsCommonData* Data)
    : CtrlHandle(Handle), FRepaint(Repaint) {
  // Visual styles would draw over the skin; dialogs keep theirs.
  if (SkinSection != L"DIALOG") SetTheme(Handle, L" ", L" ");
  SkinManager = Manager;
  if (Data) {
    SkinData = Data;
  } else {
    SkinData = new TsCommonData(nullptr, true);
    OwnSkinData = true;
  }
  if (!SkinManager) SkinManager = SkinData->EffectiveManager();
  SkinData->SetCustomFont(AdapterDefaults.CustomFont);
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(SkinSection);
  DlgMode = AdapterDefaults.DialogMode;
  SaveStdParams();
  ParamsChanged = false;
  Caption = WindowText(Handle);
}

void TkxMainWnd::Attach() {
  SubclassWindow(this, CtrlHandle);
  if (tk::TControl* c = SkinData->FOwnerControl) {
    tk::TControlStyle s = c->ControlStyle();
    s.Include(tk::csOpaque);
    c->SetControlStyle(s);
  }
}

TkxMainWnd::~TkxMainWnd() {
  if (!Destroyed && FLink) {
    SetTheme(CtrlHandle, nullptr, nullptr);
    LetGo(std::exchange(FLink, nullptr));
    if (::GetPropW(CtrlHandle, kxAdapterProp) == this) ::RemovePropW(CtrlHandle, kxAdapterProp);
    RestoreStdParams();
  }
  Destroyed = true;
  if (OwnSkinData) delete SkinData;
  SkinData = nullptr;
  SkinManager = nullptr;
  TkxWndLink::FreeRetired();
}

// --- Subclassing --------------------------------------------------------------------------

tk::TControl* TkxMainWnd::MethodTarget() const {
  if (!SkinData) return nullptr;
  if (SkinData->FOwnerControl) return SkinData->FOwnerControl;
  if (IkxCommonDataProvider* p = SkinData->Provider()) return p->ProviderForm();
  return nullptr;
}

// Order: the property first, so the first message through the new
// procedure can already find the adapter; then the link, bound to the
// adapter before it is installed; then the previous procedure saved and
// replaced in one step (SetWindowLongPtr answers the one it replaced).
void TkxMainWnd::SubclassWindow(TkxMainWnd* Adapter, HWND Handle) {
  if (!Adapter || Adapter->FLink) return;
  TkxWndLink::FreeRetired();
  Adapter->DontRepaint = false;
  Adapter->CtrlHandle = Handle;
  Adapter->Destroyed = false;
  ::SetPropW(Handle, kxAdapterProp, Adapter);
  auto* link = new TkxWndLink(Adapter, Handle);
  Adapter->FLink = link;
  if (tk::TControl* c = Adapter->MethodTarget()) {
    link->FControl = c;
    link->FOldWndProc = c->WindowProc;
    c->WindowProc = link->AsMethod();
    return;
  }
  try {
    link->FInstance = tk::MakeObjectInstance(tk::TWndMethod(link, &TkxWndLink::ThunkProc));
  } catch (...) {
    Adapter->FLink = nullptr;
    delete link;
    ::RemovePropW(Handle, kxAdapterProp);
    throw;
  }
  link->FOldProc =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->FInstance)));
}

// Order: the procedure first (back, or a pass-through left standing), so no
// message reaches the adapter once it starts letting go; then the property
// (only while it still names this adapter: one attached later owns it);
// then the owner's colours; the frame last, when everything is back.
void TkxMainWnd::UnsubclassWindow(HWND Handle, bool FreeAdapter, bool Redraw, TkxMainWnd*& Adapter) {
  if (!Adapter) return;
  if (!Adapter->Destroyed) {
    if (TkxWndLink* link = std::exchange(Adapter->FLink, nullptr)) LetGo(link);
    if (::GetPropW(Handle, kxAdapterProp) == Adapter) ::RemovePropW(Handle, kxAdapterProp);
    Adapter->RestoreStdParams();
    if (::IsWindowVisible(Handle)) RedrawFrame(Handle, Redraw);
    Adapter->Destroyed = true;
  }
  if (FreeAdapter) {
    delete Adapter;
    Adapter = nullptr;
  }
}

void TkxMainWnd::LinkGone() {
  FLink = nullptr;
  Destroyed = true;
}

TkxMainWnd* TkxMainWnd::FromHandle(HWND Handle) {
  return Handle ? static_cast<TkxMainWnd*>(::GetPropW(Handle, kxAdapterProp)) : nullptr;
}

void* TkxMainWnd::OldProc() const { return FLink ? reinterpret_cast<void*>(FLink->FOldProc) : nullptr; }
void* TkxMainWnd::NewWndProcInstance() const { return FLink ? FLink->FInstance : nullptr; }
bool TkxMainWnd::ReplacedWindowMethod() const { return FLink && FLink->FControl; }

intptr_t TkxMainWnd::CallPrevWndProc(HWND Handle, uint32_t Msg, uintptr_t WParam, intptr_t& LParam) {
  (void)Handle;  // the link knows its window
  tk::TMessage m = tk::MakeMessage(Msg, WParam, LParam);
  CallPrevWndProc(m);
  LParam = m.LParam;
  return m.Result;
}

void TkxMainWnd::CallPrevWndProc(tk::TMessage& Message) {
  if (FLink) FLink->CallPrev(Message);
  else Message.Result = 0;
}

// --- Common message handling --------------------------------------------------------------

void TkxMainWnd::kxWndProc(tk::TMessage& m) {
  // Whether skinned or not.
  switch (m.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: WMDestroy(m); return;
    case WM_UPDATEUISTATE: return;  // the focus cues would be drawn over the skin
    case WM_SIZE: SkinData->BGChanged = true; break;
    case WM_SETTEXT: WMSetText(m); return;
    case WM_MOUSEMOVE: WMMouseMove(m); break;
    case WM_PRINT: m.Result = ::SendMessageW(CtrlHandle, WM_PAINT, m.WParam, m.LParam); return;
    default: break;
  }
  TsSkinManager* manager = SkinManager;
  if (!SkinData || !manager || !manager->Active()) return CallPrevWndProc(m);
  if (m.Msg == SM_KESTRIXCMD) return SkinCommand(m);
  CallPrevWndProc(m);
}

void TkxMainWnd::WMDestroy(tk::TMessage& m) {
  if (SkinData) SkinData->HideGlow();
  CallPrevWndProc(m);
  if (!Destroyed) {
    TkxMainWnd* self = this;
    UnsubclassWindow(CtrlHandle, false, false, self);
  }
}

void TkxMainWnd::WMSetText(tk::TMessage& m) {
  CallPrevWndProc(m);
  Caption = WindowText(CtrlHandle);
}

void TkxMainWnd::WMMouseMove(tk::TMessage&) {
  TsSkinManager* d = DefaultManager();
  if (d && ::IsWindowEnabled(CtrlHandle) && d->ActiveWindow() != CtrlHandle) d->TrackActiveWindow(CtrlHandle);
}

void TkxMainWnd::SkinCommand(tk::TMessage& m) {
  const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == SkinManager;
  switch (m.WParamHi()) {
    case KX_SKINLOADED:
      if (own) {
        SkinData->UpdateIndexes();
        SkinData->BGChanged = true;
        if (auto* wc = dynamic_cast<tk::TWinControl*>(SkinData->FOwnerControl)) BroadcastToChildren(wc, m);
        else if (!SkinData->FOwnerControl) BroadcastToChildWindows(CtrlHandle, m);
      }
      break;
    case KX_SKINREMOVED:
      if (own) RestoreStdParams();
      break;
    case KX_SKINREFRESH:
      if (!own) break;
      SkinData->UpdateIndexes();
      SkinData->BGChanged = true;
      SkinData->SetUpdating(false);
      ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
      return;
    case KX_PARENTUPDATED:
      if (!SkinData->IsUpdating()) break;
      SkinData->SetUpdating(false);
      if (!SkinData->IsUpdating())
        ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      return;
    case KX_QUERYHANDLED: m.Result = 1; return;
    case KX_QUERYUPDATING: m.Result = SkinData->IsUpdating() ? 1 : 0; return;
    case KX_QUERYAPPLICATION: m.Result = reinterpret_cast<intptr_t>(tk::Application); return;
    case KX_QUERYVARYINGBG:
      if (SkinData->FOwnerControl) HandleSkinCommand(m);
      return;
    case KX_QUERYCOLOR:
      m.Result = 0;
      CallPrevWndProc(m);
      if (m.Result == 0) m.Result = static_cast<intptr_t>(SkinData->ControlColor(false, CtrlHandle));
      return;
    case KX_BUILDCACHE: BuildFrameCache(); break;
    case KX_QUERYBACKGROUND:
      if (m.LParam && IsTrustedPointerCommand(m))
        SkinData->AnswerBackgroundQuery(*reinterpret_cast<TBackgroundQuery*>(m.LParam), false, CtrlHandle);
      m.Result = 0;
      return;
    default: break;
  }
  CallPrevWndProc(m);
}

// --- Geometry -------------------------------------------------------------------------------

void UpdateWindowGeometry(TkxMainWnd* Adapter) {
  if (!Adapter) return;
  RECT r{};
  ::GetWindowRect(Adapter->CtrlHandle, &r);
  Adapter->WndRect = tk::TRect{r.left, r.top, r.right, r.bottom};
  Adapter->ParentWnd = ::GetParent(Adapter->CtrlHandle);
  RECT p{};
  if (Adapter->ParentWnd) ::GetWindowRect(Adapter->ParentWnd, &p);
  Adapter->ParentRect = tk::TRect{p.left, p.top, p.right, p.bottom};
  Adapter->WndSize = tk::TSize{r.right - r.left, r.bottom - r.top};
  POINT pos{r.left, r.top};
  if (Adapter->ParentWnd) ::ScreenToClient(Adapter->ParentWnd, &pos);
  Adapter->WndPos = tk::TPoint{pos.x, pos.y};
}

void RedrawFrame(HWND Handle, bool Recalc) {
  if (Recalc)
    ::SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  else ::SendMessageW(Handle, WM_NCPAINT, 1, 0);
}

}  // namespace kx
