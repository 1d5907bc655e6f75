// Windows half of forms, the application object and the screen.
#include "toolkit/Forms.h"

#include "toolkit/SysUtils.h"
#include "toolkit/Threads.h"

#include <windows.h>

#include <algorithm>

#include "toolkit/Handles.h"
#include "toolkit/WinSupport.h"
#include "toolkit/WorkArea.h"

namespace tk {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

// Set while CreateForm makes the first form: that form is the main form
// from its own constructor on (its window is created while it loads).
bool gCreatingMainForm = false;

// The application and the screen live for the whole program.
struct TGlobals {
  TGlobals() {
    InitGraphics();
    Application = new TApplication(nullptr);
    Screen = new TScreen(nullptr);
  }
  ~TGlobals() {
    // Forms first (they still talk to the screen while they go).
    if (Application) {
      TApplication* a = Application;
      a->Free();
      Application = nullptr;
    }
    if (Screen) {
      TScreen* s = Screen;
      s->Free();
      Screen = nullptr;
    }
  }
};
TGlobals gGlobals;

}  // namespace

// --- TCustomForm -------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner)
    : TScrollingWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {
  FVisible = false;
  FParentFont = false;
  FFormState.Include(fsCreating);
  FControlStyle += TControlStyle{csAcceptsControls, csSetCaption, csDoubleClicks};
  FWidth = 320;
  FHeight = 240;
  if (gCreatingMainForm && Application && !Application->FMainForm) {
    gCreatingMainForm = false;
    Application->FMainForm = this;
  }
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
  FCanvas.reset();
}

void TCustomForm::AfterConstruction() {
  TScrollingWinControl::AfterConstruction();
  try {
    DoCreate();
  } catch (...) {
    // A failing OnCreate is reported; the form stays usable.
    detail::HandleCallbackException(this);
  }
  FFormState.Exclude(fsCreating);
  if (FVisible) UpdateShowing();
}

void TCustomForm::BeforeDestruction() {
  if (!IsDestroying()) Destroying();
  try {
    DoDestroy();
  } catch (...) { detail::HandleCallbackException(this); }
  if (Screen) Screen->RemoveForm(this);
  TScrollingWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Resize() { TScrollingWinControl::Resize(); }

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TScrollingWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FActiveControl) FActiveControl = nullptr;
    if (AComponent == FFocusedControl) FFocusedControl = nullptr;
  }
}

void TCustomForm::ControlDestroying(TWinControl* Control) {
  if (FActiveControl == Control) FActiveControl = nullptr;
  if (FFocusedControl == Control) FFocusedControl = nullptr;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TScrollingWinControl::CreateParams(Params);
  Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  Params.ExStyle = 0;
  Params.X = FLeft;
  Params.Y = FTop;
  if (FPosition == poDefault || FPosition == poDefaultPosOnly) Params.X = Params.Y = CW_USEDEFAULT;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      Params.Style |= WS_CAPTION;
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      Params.Style |= WS_CAPTION | WS_THICKFRAME;
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (FBorderStyle != bsNone) {
    if (FBorderIcons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
    const bool boxes = FBorderStyle == bsSingle || FBorderStyle == bsSizeable;
    if (boxes && FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
    if (boxes && FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
    if (FBorderIcons.Contains(biHelp) && !(Params.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
      Params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  const bool isMain = Application && Application->MainForm() == this;
  if (ParentWindow()) {
    Params.WndParent = ParentWindow();
  } else if (isMain) {
    // The main form has the taskbar button; nothing owns it.
    Params.WndParent = nullptr;
    Params.ExStyle |= WS_EX_APPWINDOW;
  } else if (Application) {
    TCustomForm* main = Application->MainForm();
    Params.WndParent =
        Application->MainFormOnTaskBar() && main && main->HandleAllocated() ? main->Handle() : Application->Handle();
  }
  Params.WindowClass.style = CS_DBLCLKS;
  Params.WindowClass.hIcon = ::LoadIconW(detail::ProgramInstance(), L"MAINICON");
  if (!Params.WindowClass.hIcon) Params.WindowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
}

void TCustomForm::CreateWnd() {
  TScrollingWinControl::CreateWnd();
  HICON big = !FIcon.Empty() ? FIcon.Handle() : Application ? Application->Icon()->Handle() : nullptr;
  if (big) {
    ::SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    ::SendMessageW(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(big));
  }
  if (FPosition == poScreenCenter || FPosition == poDesktopCenter ||
      ((FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) && Application && Application->MainForm() &&
       Application->MainForm() != this)) {
    TRect area = Screen ? Screen->MonitorWorkAreaOf(FHandle) : TRect{0, 0, 1024, 768};
    if ((FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) && Application->MainForm()->HandleAllocated())
      area = Application->MainForm()->BoundsRect();
    SetBounds(area.Left + (area.Width() - FWidth) / 2, area.Top + (area.Height() - FHeight) / 2, FWidth, FHeight);
  }
  ApplyAlpha();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (v == FBorderStyle) return;
  FBorderStyle = v;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  if (v == FBorderIcons) return;
  FBorderIcons = v;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
  if (v == FFormStyle) return;
  FFormStyle = v;
  if (FHandle && v != fsMDIChild && v != fsMDIForm)
    ::SetWindowPos(FHandle, v == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const {
  if (FHandle && ::IsWindowVisible(FHandle)) {
    if (::IsZoomed(FHandle)) return wsMaximized;
    if (::IsIconic(FHandle)) return wsMinimized;
    return wsNormal;
  }
  return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState v) {
  FWindowState = v;
  if (FHandle && ::IsWindowVisible(FHandle)) ApplyWindowState();
}

void TCustomForm::ShowWithNormalRect(int ShowCmd) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  RECT r{};
  if (!::GetWindowPlacement(FHandle, &wp) || !::GetWindowRect(FHandle, &r)) {
    ::ShowWindow(FHandle, ShowCmd);
    return;
  }
  // The placement's rectangle is in work-area coordinates.
  const TRect n = ScreenToWorkArea(TRect{r.left, r.top, r.right, r.bottom});
  wp.rcNormalPosition = RECT{n.Left, n.Top, n.Right, n.Bottom};
  wp.showCmd = static_cast<UINT>(ShowCmd);
  wp.flags = 0;
  ::SetWindowPlacement(FHandle, &wp);
}

void TCustomForm::ApplyWindowState() {
  static const int cmd[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
  ::ShowWindow(FHandle, cmd[FWindowState]);
}

TRect TCustomForm::NormalBounds() {
  if (!FHandle) return BoundsRect();
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  if (!::GetWindowPlacement(FHandle, &wp)) return BoundsRect();
  const RECT& r = wp.rcNormalPosition;
  return TRect{r.left, r.top, r.right, r.bottom};
}

void TCustomForm::SetAlphaBlend(bool v) {
  if (v == FAlphaBlend) return;
  FAlphaBlend = v;
  ApplyAlpha();
}

void TCustomForm::SetAlphaBlendValue(uint8_t v) {
  if (v == FAlphaBlendValue) return;
  FAlphaBlendValue = v;
  ApplyAlpha();
}

void TCustomForm::ApplyAlpha() {
  if (!FHandle) return;
  const LONG_PTR ex = ::GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
  if (FAlphaBlend) {
    if (!(ex & WS_EX_LAYERED)) ::SetWindowLongPtrW(FHandle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(FHandle, 0, FAlphaBlendValue, LWA_ALPHA);
  } else if (ex & WS_EX_LAYERED) {
    // Only undo what alpha blending did: a window that draws itself with
    // UpdateLayeredWindow has no attributes to reset.
    BYTE alpha = 0;
    DWORD flags = 0;
    if (::GetLayeredWindowAttributes(FHandle, nullptr, &alpha, &flags) && (flags & LWA_ALPHA)) {
      ::SetWindowLongPtrW(FHandle, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
      ::RedrawWindow(FHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
  }
}

void TCustomForm::PaintWindow(HDC DC) {
  FCanvas->FreeHandle();
  FCanvas->Lock();
  TDCState state(DC);
  FCanvas->SetHandle(DC);
  try {
    if (OnPaint) OnPaint(this);
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}

void TCustomForm::SetVisible(bool v) {
  if (FFormState.Contains(fsCreating)) {
    // Shown once OnCreate has run.
    FVisible = v;
    return;
  }
  TScrollingWinControl::SetVisible(v);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (FHandle) {
    ::SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(FHandle);
  }
}

bool TCustomForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  if (FHandle) ::PostMessageW(FHandle, CM_RELEASE, 0, 0);
  else Free();
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || FFormState.Contains(fsModal)) throw EInvalidOperation(L"Cannot make a visible window modal");
  FModalResult = mrNone;
  FFormState.Include(fsModal);
  if (Application) Application->ModalStarted();
  // Every other top-level window of the program waits meanwhile.
  std::vector<HWND> disabled;
  if (Screen)
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f != this && f->HandleAllocated() && ::IsWindowEnabled(f->FHandle)) {
        ::EnableWindow(f->FHandle, FALSE);
        disabled.push_back(f->FHandle);
      }
    }
  auto restore = [&] {
    for (HWND h : disabled)
      if (::IsWindow(h)) ::EnableWindow(h, TRUE);
    FFormState.Exclude(fsModal);
    if (Application) Application->ModalFinished();
  };
  try {
    Show();
    while (FModalResult == mrNone && Application && !Application->Terminated()) Application->HandleMessage();
    if (FModalResult == mrNone) FModalResult = mrCancel;
    Hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return FModalResult;
}

void TCustomForm::SetActiveControl(TWinControl* v) {
  if (v == FActiveControl) return;
  if (v && v->GetParentForm() != this) throw EInvalidOperation(L"Invalid control: it is not on this form");
  FActiveControl = v;
  if (v && FActive && FHandle && v->CanFocus() && ::GetFocus() != v->Handle()) ::SetFocus(v->Handle());
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (Control == FFocusedControl) return true;
  TWinControl* old = FFocusedControl;
  FFocusedControl = Control;
  if (Control && Control != this) FActiveControl = Control;
  if (old && old != Control) old->Perform(CM_EXIT);
  if (Control && FFocusedControl == Control) Control->Perform(CM_ENTER);
  if (FFocusedControl == Control) Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(Control));
  return true;
}

void TCustomForm::SetFocus() {
  if (!Visible() || !Enabled()) throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  HWND h = Handle();
  if (!FActive) {
    ::SetForegroundWindow(h);
    ::SetActiveWindow(h);
  }
  if (FActiveControl && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
  else ::SetFocus(h);
}

// --- Form messages --------------------------------------------------------------------------

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMActivate(TMessage& m) {
  const bool active = LOWORD(m.WParam) != WA_INACTIVE;
  if (active) {
    FActive = true;
    FFormState.Include(fsActivated);
    if (Screen) Screen->SetActiveForm(this);
    Perform(CM_ACTIVATE);
    Activate();
    // Give the focus back to the control that had it, not to the form.
    if (!HIWORD(m.WParam) && FActiveControl && FActiveControl->CanFocus()) {
      ::SetFocus(FActiveControl->Handle());
      return;
    }
    DefaultHandler(m);
  } else {
    FActive = false;
    if (FFocusedControl && FFocusedControl != this) FFocusedControl->Perform(CM_CANCELMODE);
    Perform(CM_DEACTIVATE);
    Deactivate();
    DefaultHandler(m);
  }
}

void TCustomForm::WMGetMinMaxInfo(TMessage& m) {
  DefaultHandler(m);
  auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
  if (!mmi) return;
  TSizeConstraints* c = Constraints();
  if (c->MinWidth() > 0) mmi->ptMinTrackSize.x = c->MinWidth();
  if (c->MinHeight() > 0) mmi->ptMinTrackSize.y = c->MinHeight();
  if (c->MaxWidth() > 0) mmi->ptMaxTrackSize.x = c->MaxWidth();
  if (c->MaxHeight() > 0) mmi->ptMaxTrackSize.y = c->MaxHeight();
  m.Result = 0;
}

void TCustomForm::WMSysCommand(TMessage& m) { DefaultHandler(m); }

void TCustomForm::WMShowWindow(TMessage& m) { DefaultHandler(m); }

void TCustomForm::CMShowingChanged(TMessage&) {
  if (!FHandle) return;
  FFormState.Include(fsShowing);
  try {
    if (Showing()) {
      DoShow();
      static const int cmd[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
      if (FWindowState != wsNormal && !::IsWindowVisible(FHandle)) {
        // The bounds set while hidden are the normal rectangle; Wine would
        // take the maximized one as normal when it is shown maximized.
        ShowWithNormalRect(cmd[FWindowState]);
      } else {
        ::ShowWindow(FHandle, cmd[FWindowState]);
      }
      FFormState.Include(fsVisible);
    } else {
      DoHide();
      if (::IsWindowVisible(FHandle)) {
        // Remember a minimized or maximized state for the next show.
        if (::IsZoomed(FHandle)) FWindowState = wsMaximized;
        else if (::IsIconic(FHandle)) FWindowState = wsMinimized;
        else FWindowState = wsNormal;
      }
      ::ShowWindow(FHandle, SW_HIDE);
      FFormState.Exclude(fsVisible);
    }
  } catch (...) {
    FFormState.Exclude(fsShowing);
    throw;
  }
  FFormState.Exclude(fsShowing);
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE: WMClose(m); return;
    case WM_ACTIVATE: WMActivate(m); return;
    case WM_ACTIVATEAPP:
      if (Application && Application->HandleAllocated())
        ::SendMessageW(Application->Handle(), m.WParam ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
      DefaultHandler(m);
      return;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(m); return;
    case WM_SYSCOMMAND: WMSysCommand(m); return;
    case WM_SHOWWINDOW: WMShowWindow(m); return;
    case WM_SIZE:
      if (::IsWindowVisible(FHandle)) {
        if (m.WParam == SIZE_MAXIMIZED) FWindowState = wsMaximized;
        else if (m.WParam == SIZE_MINIMIZED) FWindowState = wsMinimized;
        else if (m.WParam == SIZE_RESTORED) FWindowState = wsNormal;
      }
      break;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); return;
    case CM_RELEASE: Free(); return;
    default: break;
  }
  TScrollingWinControl::Dispatch(m);
}

// --- TApplication ---------------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  wchar_t path[MAX_PATH * 2] = {};
  ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  String name = ExtractFileName(path);
  FTitle = ChangeFileExt(name, L"");
}

TApplication::~TApplication() {
  // Forms (and whatever else the application owns) go while the
  // application window still exists.
  if (!FBeforeDestructionRun) TApplication::BeforeDestruction();
  if (FHandle) {
    HWND h = FHandle;
    FHandle = nullptr;
    SetSynchronizeWakeWindow(nullptr);
    ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    ::DestroyWindow(h);
  }
}

void TApplication::BeforeDestruction() {
  FBeforeDestructionRun = true;
  TComponent::BeforeDestruction();
  FMainForm = nullptr;
}

void TApplication::BeginMainForm() {
  FMainFormBefore = FMainForm;
  gCreatingMainForm = FMainForm == nullptr;
}

void TApplication::EndMainForm(TCustomForm* Form) {
  gCreatingMainForm = false;
  if (!Form) {
    // The form failed: it never became anything.
    FMainForm = FMainFormBefore;
    return;
  }
  if (!FMainForm) FMainForm = Form;
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FMainForm) FMainForm = nullptr;
}

void TApplication::Initialize() { Handle(); }

struct TApplicationAccess {
  static LRESULT CALLBACK WindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* app = reinterpret_cast<TApplication*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
    if (!app) return ::DefWindowProcW(w, msg, wp, lp);
    TMessage m = MakeMessage(msg, wp, lp);
    try {
      app->WndProc(m);
    } catch (...) { detail::HandleCallbackException(app); }
    return m.Result;
  }
};

HWND TApplication::Handle() {
  if (!FHandle) {
    // A hidden utility window, but under the class name "TApplication".
    static const bool registered = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = &TApplicationAccess::WindowProc;
      wc.hInstance = detail::ProgramInstance();
      wc.hIcon = ::LoadIconW(detail::ProgramInstance(), L"MAINICON");
      wc.lpszClassName = L"TApplication";
      return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered) throw EOutOfResources(L"Cannot register window class TApplication");
    FHandle = ::CreateWindowExW(0, L"TApplication", FTitle.c_str(),
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                                nullptr, nullptr, detail::ProgramInstance(), nullptr);
    if (!FHandle) throw EOutOfResources(L"Error creating window TApplication");
    ::SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetSynchronizeWakeWindow(FHandle);
  }
  return FHandle;
}

void TApplication::WndProc(TMessage& Message) {
  // The hooks come first; the first that handles the message ends it.
  if (!FWindowHooks.empty()) {
    std::vector<TWindowHook> hooks = FWindowHooks;
    for (const TWindowHook& h : hooks) {
      if (std::find(FWindowHooks.begin(), FWindowHooks.end(), h) == FWindowHooks.end()) continue;
      bool handled = false;
      h(Message, handled);
      if (handled) return;
    }
  }
  switch (Message.Msg) {
    case WM_NULL:
      // Woken for a Synchronize call.
      CheckSynchronize();
      return;
    case WM_CLOSE:
      if (FMainForm) FMainForm->Close();
      return;
    case CM_ACTIVATE:
      FActive = true;
      if (OnActivate) OnActivate(this);
      return;
    case CM_DEACTIVATE:
      FActive = false;
      if (OnDeactivate) OnDeactivate(this);
      return;
    case WM_ENDSESSION:
      if (Message.WParam) Terminate();
      break;
    default: break;
  }
  if (Message.Msg >= CM_BASE && Message.Msg < 0xC000) return;
  Message.Result = ::DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TApplication::SetTitle(const String& v) {
  FTitle = v;
  if (FHandle) ::SetWindowTextW(FHandle, v.c_str());
}

String TApplication::ExeName() const {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n < buf.size()) return String(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

void TApplication::Run() {
  FRunning = true;
  try {
    Handle();
    if (FMainForm) FMainForm->Show();
    while (!FTerminated) {
      try {
        HandleMessage();
      } catch (...) { HandleException(this); }
    }
  } catch (...) {
    FRunning = false;
    HandleException(this);
    return;
  }
  FRunning = false;
}

bool TApplication::IsShortCutMessage(void* Msg) {
  auto* msg = static_cast<MSG*>(Msg);
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN && msg->message != WM_KEYUP &&
      msg->message != WM_SYSKEYUP && msg->message != WM_CHAR && msg->message != WM_SYSCHAR)
    return false;
  HWND h = msg->hwnd;
  TWinControl* c = nullptr;
  while (h && !(c = TWinControl::FindControl(h))) h = ::GetParent(h);
  if (!c) return false;
  // The focused control sees the key first as a reflected message; a
  // popup-menu shortcut answers it and the key goes no further.
  return c->Perform(CN_BASE + msg->message, msg->wParam, msg->lParam) != 0;
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  bool handled = false;
  try {
    handled = IsShortCutMessage(&msg);
  } catch (...) {
    HandleException(this);
    handled = true;
  }
  if (!handled) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  detail::FreeControlCanvases(nullptr);
  return true;
}

void TApplication::ProcessMessages() {
  CheckSynchronize();
  while (ProcessMessage()) {}
  CheckSynchronize();
}

void TApplication::Idle() {
  try {
    if (OnIdle) OnIdle(this);
  } catch (...) { HandleException(this); }
  detail::FreeControlCanvases(nullptr);
  if (CheckSynchronize()) return;
  ::WaitMessage();
}

void TApplication::HandleMessage() {
  if (!ProcessMessage()) Idle();
}

void TApplication::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  ::PostQuitMessage(0);
}

bool TApplication::Minimized() const {
  if (FMainForm && FMainForm->HandleAllocated()) return ::IsIconic(FMainForm->Handle()) != FALSE;
  return FHandle && ::IsIconic(FHandle);
}

void TApplication::Minimize() {
  if (FMainForm && FMainForm->HandleAllocated()) ::ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->HandleAllocated() && ::IsIconic(FMainForm->Handle()))
    ::ShowWindow(FMainForm->Handle(), SW_RESTORE);
}

void TApplication::BringToFront() {
  if (FMainForm && FMainForm->HandleAllocated()) ::SetForegroundWindow(FMainForm->Handle());
}

void TApplication::HookMainWindow(const TWindowHook& Hook) {
  if (!Hook) return;
  if (std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook) == FWindowHooks.end()) FWindowHooks.push_back(Hook);
}

void TApplication::UnhookMainWindow(const TWindowHook& Hook) {
  FWindowHooks.erase(std::remove(FWindowHooks.begin(), FWindowHooks.end(), Hook), FWindowHooks.end());
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr e = std::current_exception();
  if (!e) return;
  // A failure while reporting a failure is not reported again.
  if (FHandlingException) return;
  FHandlingException = true;
  try {
    try {
      std::rethrow_exception(e);
    } catch (const EAbort&) {
    } catch (const Exception& x) {
      if (OnException) OnException(Sender, x);
      else ShowException(x);
    } catch (const std::bad_alloc&) {
      Exception x(L"Out of memory");
      OnException ? OnException(Sender, x) : ShowException(x);
    } catch (const std::exception& x) {
      Exception ex(FromUtf8(x.what()));
      OnException ? OnException(Sender, ex) : ShowException(ex);
    } catch (...) {
      Exception ex(L"Unknown error");
      OnException ? OnException(Sender, ex) : ShowException(ex);
    }
  } catch (...) {}
  FHandlingException = false;
}

void TApplication::ShowException(const Exception& E) { ShowMessageBox(E.Message(), FTitle, MB_OK | MB_ICONSTOP); }

int TApplication::ShowMessageBox(const String& Text, const String& Caption, unsigned Flags) {
  HWND owner = nullptr;
  if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated()) owner = Screen->ActiveForm()->Handle();
  else if (FMainForm && FMainForm->HandleAllocated()) owner = FMainForm->Handle();
  const String caption = Caption.empty() ? FTitle : Caption;
  return ::MessageBoxW(owner, Text.c_str(), caption.c_str(), Flags);
}

// --- TScreen ----------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() = default;

void TScreen::AddForm(TCustomForm* Form) {
  if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  if (FActiveForm == Form) FActiveForm = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form) { FActiveForm = Form; }

TWinControl* TScreen::ActiveControl() const { return FActiveForm ? FActiveForm->ActiveControl() : nullptr; }

void TScreen::ReadFonts() {
  if (FFontsRead) return;
  FFontsRead = true;
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  auto take = [](TFont& f, const LOGFONTW& lf) {
    if (HFONT h = ::CreateFontIndirectW(&lf)) {
      f.SetHandle(h);
      ::DeleteObject(h);
    }
  };
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
    take(FMenuFont, ncm.lfMenuFont);
    take(FHintFont, ncm.lfStatusFont);
  }
  LOGFONTW icon{};
  if (::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(icon), &icon, 0)) take(FIconFont, icon);
}

TFont* TScreen::MenuFont() {
  ReadFonts();
  return &FMenuFont;
}

TFont* TScreen::HintFont() {
  ReadFonts();
  return &FHintFont;
}

TFont* TScreen::IconFont() {
  ReadFonts();
  return &FIconFont;
}

int TScreen::Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }

int TScreen::Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }

int TScreen::PixelsPerInch() const { return ScreenPixelsPerInch(); }

namespace {
TRect WorkArea(HMONITOR mon) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (mon && ::GetMonitorInfoW(mon, &mi))
    return TRect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
  RECT r{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return TRect{r.left, r.top, r.right, r.bottom};
}
}  // namespace

TRect TScreen::MonitorWorkAreaOf(HWND Wnd) const {
  return WorkArea(::MonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST));
}

TRect TScreen::MonitorWorkAreaAt(TPoint P) const {
  return WorkArea(::MonitorFromPoint(POINT{P.X, P.Y}, MONITOR_DEFAULTTONEAREST));
}

TRect TScreen::WorkAreaRect() const { return WorkArea(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)); }

void TScreen::SetCursor(TCursor v) {
  if (v == FCursor) return;
  FCursor = v;
  POINT pt{};
  ::GetCursorPos(&pt);
  ::SetCursorPos(pt.x, pt.y);  // makes the window under the mouse ask again
}

void DoneApplication() {
  if (Application) {
    TApplication* a = Application;
    a->Free();
    Application = nullptr;
  }
}

}  // namespace tk
