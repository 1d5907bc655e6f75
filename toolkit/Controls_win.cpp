// Windows half of the controls: the message path, window creation,
// painting of window-less children, mouse routing, focus and alignment.
#include "toolkit/Controls.h"

#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "toolkit/Handles.h"
#include "toolkit/WinSupport.h"
#include "toolkit/WorkArea.h"

namespace tk {

namespace {

const wchar_t kControlProp[] = L"TabuloControl";

// The control whose window CreateWindowExW is making right now: the first
// message (WM_GETMINMAXINFO comes even before WM_NCCREATE) attaches it.
thread_local TWinControl* gCreatingControl = nullptr;

// The control under the mouse (graphic controls included).
TControl* gMouseControl = nullptr;

// Child window identifiers, for WM_MEASUREITEM's GetDlgItem lookup.
UINT gNextControlID = 1;

// Original window procedures of the classes we registered, by class name.
// Never freed: windows may still be destroyed during the program's exit.
std::map<String, WNDPROC>& ClassProcs() {
  static auto* m = new std::map<String, WNDPROC>;
  return *m;
}

bool IsToolkitRange(uint32_t msg) { return msg >= CM_BASE && msg < 0xC000; }

bool IsWinControl(const TControl* c) { return dynamic_cast<const TWinControl*>(c) != nullptr; }

LRESULT CALLBACK StdWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

TControl* FindHotControl(POINT screen);
void SetMouseControl(TControl* hot);

}  // namespace

namespace detail {

HINSTANCE ProgramInstance() { return ::GetModuleHandleW(nullptr); }

void HandleCallbackException(TObject* Sender) noexcept {
  try {
    if (Application) Application->HandleException(Sender);
  } catch (...) {
    // The handler itself failed: nothing may cross the callback.
  }
}

}  // namespace detail

// --- Free helpers -----------------------------------------------------------------

HCURSOR CursorHandle(TCursor c) {
  const wchar_t* id = IDC_ARROW;
  switch (c) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
  }
  return ::LoadCursorW(nullptr, id);
}

TShiftState MouseShiftState(uintptr_t WParam) {
  TShiftState s;
  if (WParam & MK_SHIFT) s.Include(ssShift);
  if (WParam & MK_CONTROL) s.Include(ssCtrl);
  if (WParam & MK_LBUTTON) s.Include(ssLeft);
  if (WParam & MK_RBUTTON) s.Include(ssRight);
  if (WParam & MK_MBUTTON) s.Include(ssMiddle);
  if (::GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s;
  if (::GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (::GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (::GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(intptr_t KeyData) {
  TShiftState s;
  if (::GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (::GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (KeyData & 0x20000000) s.Include(ssAlt);
  return s;
}

TCustomForm* GetParentForm(const TControl* Control) {
  if (!Control) return nullptr;
  const TControl* c = Control;
  while (c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

TControl* ControlUnderMouse() { return gMouseControl; }

// --- TSizeConstraints ---------------------------------------------------------------

void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
  if (FControl) FControl->SetBounds(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
}

void TSizeConstraints::SetMinWidth(int v) {
  if (v == FMinWidth) return;
  FMinWidth = std::max(v, 0);
  if (FMaxWidth > 0 && FMaxWidth < FMinWidth) FMaxWidth = FMinWidth;
  Change();
}

void TSizeConstraints::SetMinHeight(int v) {
  if (v == FMinHeight) return;
  FMinHeight = std::max(v, 0);
  if (FMaxHeight > 0 && FMaxHeight < FMinHeight) FMaxHeight = FMinHeight;
  Change();
}

void TSizeConstraints::SetMaxWidth(int v) {
  if (v == FMaxWidth) return;
  FMaxWidth = std::max(v, 0);
  if (FMaxWidth > 0 && FMaxWidth < FMinWidth) FMinWidth = FMaxWidth;
  Change();
}

void TSizeConstraints::SetMaxHeight(int v) {
  if (v == FMaxHeight) return;
  FMaxHeight = std::max(v, 0);
  if (FMaxHeight > 0 && FMaxHeight < FMinHeight) FMinHeight = FMaxHeight;
  Change();
}

void TSizeConstraints::Assign(const TPersistent* Source) {
  auto* s = dynamic_cast<const TSizeConstraints*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  FMinWidth = s->FMinWidth;
  FMinHeight = s->FMinHeight;
  FMaxWidth = s->FMaxWidth;
  FMaxHeight = s->FMaxHeight;
  Change();
}

void TSizeConstraints::Apply(int& Width, int& Height) const {
  if (FMaxWidth > 0 && Width > FMaxWidth) Width = FMaxWidth;
  if (FMaxHeight > 0 && Height > FMaxHeight) Height = FMaxHeight;
  if (FMinWidth > 0 && Width < FMinWidth) Width = FMinWidth;
  if (FMinHeight > 0 && Height < FMinHeight) Height = FMinHeight;
}

// --- TControl -----------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  WindowProc = TWndMethod(this, &TControl::WndProc);
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FFont.OnChange = TNotifyEvent(this, &TControl::FontChanged);
}

TControl::~TControl() {
  if (gMouseControl == this) gMouseControl = nullptr;
  if (FParent) FParent->RemoveControl(this);
  if (FPopupMenu && PopupMenuHooks.AsComponent)
    if (TComponent* m = PopupMenuHooks.AsComponent(FPopupMenu)) m->RemoveFreeNotification(this);
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (gMouseControl == this) gMouseControl = nullptr;
}

void TControl::WndProc(TMessage& Message) { Dispatch(Message); }

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE: DispatchMouse(Message); return;
    case WM_CONTEXTMENU:
      if (FPopupMenu && PopupMenuHooks.Popup) {
        POINT pt{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (Message.LParam == -1) {
          TPoint p = ClientToScreen(TPoint{0, 0});
          pt = POINT{p.X, p.Y};
        }
        PopupMenuHooks.Popup(FPopupMenu, this, pt.x, pt.y);
        Message.Result = 1;
        return;
      }
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case CM_HITTEST:
    case CM_PARENTFONTCHANGED:
    case CM_PARENTCOLORCHANGED: DispatchNotification(Message); return;
    default: break;
  }
  DefaultHandler(Message);
}

void TControl::DispatchNotification(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      // The parents hear of it too, told which control it was.
      if (FParent)
        FParent->Perform(Message.Msg, 0, Message.LParam ? Message.LParam : reinterpret_cast<intptr_t>(this));
      break;
    case CM_HITTEST: Message.Result = 1; break;
    case CM_PARENTFONTCHANGED: ParentFontChanged(); break;
    case CM_PARENTCOLORCHANGED: ParentColorChanged(); break;
    default: break;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXTLENGTH: Message.Result = static_cast<intptr_t>(FText.size()); break;
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<wchar_t*>(Message.LParam);
      if (!buf || Message.WParam == 0) break;
      size_t n = std::min<size_t>(FText.size(), Message.WParam - 1);
      std::copy_n(FText.data(), n, buf);
      buf[n] = 0;
      Message.Result = static_cast<intptr_t>(n);
      break;
    }
    case WM_SETTEXT:
      FText = Message.LParam ? reinterpret_cast<const wchar_t*>(Message.LParam) : L"";
      Message.Result = 1;
      break;
    default: break;
  }
}

intptr_t TControl::Perform(uint32_t Msg, uintptr_t WParam, intptr_t LParam) {
  TMessage m = MakeMessage(Msg, WParam, LParam);
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::DispatchMouse(TMessage& Message) {
  uint32_t msg = Message.Msg;
  const bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  if (dbl && !FControlStyle.Contains(csDoubleClicks)) {
    // Without the double-click style a double click is just another press.
    msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
    Message.Msg = msg;
  }
  DefaultHandler(Message);
  const TShiftState shift = MouseShiftState(Message.WParam);
  const int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
      if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
      FControlState.Include(csLButtonDown);
      if (msg == WM_LBUTTONDBLCLK) {
        if (FControlStyle.Contains(csClickEvents)) DblClick();
        MouseDown(mbLeft, shift + ssDouble, x, y);
      } else {
        MouseDown(mbLeft, shift, x, y);
      }
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: MouseDown(mbRight, msg == WM_RBUTTONDBLCLK ? shift + ssDouble : shift, x, y); break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: MouseDown(mbMiddle, msg == WM_MBUTTONDBLCLK ? shift + ssDouble : shift, x, y); break;
    case WM_LBUTTONUP: {
      if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
      const bool clicked = FControlState.Contains(csClicked);
      FControlState.Exclude(csClicked);
      FControlState.Exclude(csLButtonDown);
      if (clicked && x >= 0 && y >= 0 && x < FWidth && y < FHeight) Click();
      MouseUp(mbLeft, shift, x, y);
      break;
    }
    case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); break;
    case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
    default: break;
  }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::CanResize(int&, int&) { return true; }

void TControl::ConstrainedResize(int&, int&, int&, int&) {}

bool TControl::ApplyConstraints(int& Width, int& Height) {
  if (!CanResize(Width, Height)) return false;
  int minW = FConstraints.MinWidth(), minH = FConstraints.MinHeight();
  int maxW = FConstraints.MaxWidth(), maxH = FConstraints.MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && Width > maxW) Width = maxW;
  if (maxH > 0 && Height > maxH) Height = maxH;
  if (minW > 0 && Width < minW) Width = minW;
  if (minH > 0 && Height < minH) Height = minH;
  return true;
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (FParent) {
    if (FParentFont) ParentFontChanged();
    if (FParentColor) ParentColorChanged();
  }
  RequestAlign();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && FPopupMenu && PopupMenuHooks.AsComponent &&
      PopupMenuHooks.AsComponent(FPopupMenu) == AComponent)
    FPopupMenu = nullptr;
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (AParent == this) throw EInvalidOperation(L"A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::UpdateBoundsRect(const TRect& R) {
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Width();
  FHeight = R.Height();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!ApplyConstraints(AWidth, AHeight)) return;
  const bool sized = AWidth != FWidth || AHeight != FHeight;
  const bool moved = ALeft != FLeft || ATop != FTop;
  if (!sized && !moved) return;
  Invalidate();
  UpdateBoundsRect(Bounds(ALeft, ATop, AWidth, AHeight));
  Invalidate();
  // Window-less controls hear of their new place as windows do.
  WINDOWPOS wp{};
  wp.x = FLeft;
  wp.y = FTop;
  wp.cx = FWidth;
  wp.cy = FHeight;
  wp.flags = SWP_NOZORDER | SWP_NOACTIVATE | (sized ? 0 : SWP_NOSIZE) | (moved ? 0 : SWP_NOMOVE);
  Perform(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<intptr_t>(&wp));
  if (sized) Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(FWidth, FHeight));
  if (moved) Perform(WM_MOVE, 0, MAKELPARAM(FLeft, FTop));
  RequestAlign();
  if (sized) Resize();
}

TRect TControl::ClientRect() { return TRect{0, 0, FWidth, FHeight}; }

void TControl::SetClientWidth(int v) { SetWidth(FWidth - ClientWidth() + v); }

void TControl::SetClientHeight(int v) { SetHeight(FHeight - ClientHeight() + v); }

TPoint TControl::ClientOrigin() {
  if (!FParent) return TPoint{FLeft, FTop};
  TPoint p = FParent->ClientOrigin();
  return TPoint{p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint P) {
  TPoint o = ClientOrigin();
  return TPoint{P.X + o.X, P.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint P) {
  TPoint o = ClientOrigin();
  return TPoint{P.X - o.X, P.Y - o.Y};
}

void TControl::SetAlign(TAlign v) {
  if (v == FAlign) return;
  FAlign = v;
  if (FParent) FParent->Realign();
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TControl::SetVisible(bool v) {
  if (v == FVisible) return;
  if (!v) Invalidate();
  FVisible = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0);
  if (auto* w = dynamic_cast<TWinControl*>(this)) w->UpdateShowing();
  if (v) Invalidate();
  if (!v && gMouseControl == this) SetMouseControl(FParent);
  RequestAlign();
}

void TControl::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->FHandle) ::EnableWindow(w->FHandle, v);
  Perform(CM_ENABLEDCHANGED);
  Invalidate();
}

void TControl::SetColor(TColor v) {
  FParentColor = false;
  if (v == FColor) return;
  FColor = v;
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    w->FBrush.SetColor(v);
    for (TControl* c : w->FControls) c->Perform(CM_PARENTCOLORCHANGED);
  }
  Perform(CM_COLORCHANGED);
  Invalidate();
}

void TControl::SetParentColor(bool v) {
  if (v == FParentColor) return;
  FParentColor = v;
  if (v) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!FParentColor || !FParent) return;
  SetColor(FParent->Color());
  FParentColor = true;
}

void TControl::SetParentFont(bool v) {
  if (v == FParentFont) return;
  FParentFont = v;
  if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FSettingFont = true;
  try {
    FFont.Assign(FParent->Font());
  } catch (...) {
    FSettingFont = false;
    throw;
  }
  FSettingFont = false;
}

void TControl::FontChanged(TObject*) {
  if (!FSettingFont) FParentFont = false;
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (w->HandleAllocated()) Perform(WM_SETFONT, reinterpret_cast<uintptr_t>(FFont.Handle()), 0);
    for (TControl* c : std::vector<TControl*>(w->FControls)) c->Perform(CM_PARENTFONTCHANGED);
  }
  Perform(CM_FONTCHANGED);
  Invalidate();
}

String TControl::GetText() { return FText; }

void TControl::SetText(const String& v) {
  if (GetText() == v) return;
  FText = v;
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    ::SendMessageW(w->FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(v.c_str()));
  TextChanged();
  Perform(CM_TEXTCHANGED);
}

void TControl::SetCursor(TCursor v) {
  if (v == FCursor) return;
  FCursor = v;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* v) {
  if (v == FPopupMenu) return;
  auto component = [](TPopupMenu* m) -> TComponent* {
    return m && PopupMenuHooks.AsComponent ? PopupMenuHooks.AsComponent(m) : nullptr;
  };
  if (TComponent* old = component(FPopupMenu)) old->RemoveFreeNotification(this);
  FPopupMenu = v;
  if (TComponent* c = component(v)) c->FreeNotification(this);
}

void TControl::SetBiDiMode(TBiDiMode v) {
  if (v == FBiDiMode) return;
  FBiDiMode = v;
  Perform(CM_BIDIMODECHANGED);
}

bool TControl::UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }

bool TControl::UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }

uint32_t TControl::DrawTextBiDiModeFlags(uint32_t Flags) const {
  if (UseRightToLeftAlignment()) {
    if ((Flags & DT_RIGHT) == DT_RIGHT)
      Flags &= ~static_cast<uint32_t>(DT_RIGHT);
    else if ((Flags & DT_CENTER) != DT_CENTER)
      Flags |= DT_RIGHT;
  }
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  return Flags;
}

bool TControl::MouseCapture() const {
  if (auto* w = dynamic_cast<const TWinControl*>(this)) return w->FHandle && ::GetCapture() == w->FHandle;
  return FParent && FParent->FCaptureControl == this && FParent->FHandle && ::GetCapture() == FParent->FHandle;
}

void TControl::SetMouseCapture(bool v) {
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (v)
      ::SetCapture(w->Handle());
    else if (w->FHandle && ::GetCapture() == w->FHandle)
      ::ReleaseCapture();
    return;
  }
  if (!FParent) return;
  if (v) {
    FParent->FCaptureControl = this;
    ::SetCapture(FParent->Handle());
  } else if (FParent->FCaptureControl == this) {
    FParent->FCaptureControl = nullptr;
    if (FParent->FHandle && ::GetCapture() == FParent->FHandle) ::ReleaseCapture();
  }
}

void TControl::Invalidate() {
  if (!FParent || !FParent->HandleAllocated() || FWidth <= 0 || FHeight <= 0) return;
  if (!FVisible) return;
  RECT r{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
  ::InvalidateRect(FParent->FHandle, &r, !FControlStyle.Contains(csOpaque));
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::BringToFront() {
  if (FParent) FParent->SetChildOrder(this, FParent->ControlCount() - 1);
}

void TControl::SendToBack() {
  if (FParent) FParent->SetChildOrder(this, 0);
}

TCustomForm* TControl::GetParentForm() const { return tk::GetParentForm(this); }

// --- TWinControl ----------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) { FBrush.SetColor(FColor); }

TWinControl::~TWinControl() {
  // Children not owned through the component tree go with their parent.
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    c->Free();
    if (!FControls.empty() && FControls.back() == c) RemoveControl(c);
  }
  if (FHandle) {
    // The derived parts are gone: the window's last messages go straight
    // to its class procedure.
    detail::FreeControlCanvases(FHandle);
    for (TControl* c : std::vector<TControl*>(FWinControls)) static_cast<TWinControl*>(c)->DestroyHandle();
    HWND h = FHandle;
    ::RemovePropW(h, kControlProp);
    FHandle = nullptr;
    ::DestroyWindow(h);
  }
  if (TCustomForm* form = tk::GetParentForm(this); form && form != this) form->ControlDestroying(this);
  if (FParent) FParent->RemoveControl(this);
}

void TWinControl::BeforeDestruction() {
  TControl::BeforeDestruction();
  // Children nobody owns go while their parent is still whole.
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    c->Free();
    if (!FControls.empty() && FControls.back() == c) RemoveControl(c);
  }
}

TWinControl* TWinControl::FindControl(HWND Wnd) {
  if (!Wnd) return nullptr;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(Wnd, &pid);
  if (pid != ::GetCurrentProcessId()) return nullptr;
  return static_cast<TWinControl*>(::GetPropW(Wnd, kControlProp));
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  if (!FHandle) CreateHandle();
}

void TWinControl::SetParentWindow(HWND v) {
  if (FParent || v == FParentWindow) return;
  FParentWindow = v;
  if (FHandle) RecreateWnd();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->FHandle : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.hInstance = detail::ProgramInstance();
  Params.WindowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const wchar_t* ControlClassName) {
  WNDCLASSW wc{};
  if (!::GetClassInfoW(nullptr, ControlClassName, &wc) &&
      !::GetClassInfoW(detail::ProgramInstance(), ControlClassName, &wc))
    return;
  Params.SystemClassName = ControlClassName;
  Params.WindowClass.style = wc.style & ~static_cast<UINT>(CS_GLOBALCLASS);
  Params.WindowClass.hCursor = wc.hCursor;
  Params.WindowClass.hbrBackground = wc.hbrBackground;
  Params.WindowClass.hIcon = wc.hIcon;
}

namespace {

// Registers (once) the window class named in Params and returns the
// procedure the class's windows fall back to.
WNDPROC RegisterControlClass(const TCreateParams& Params) {
  auto& procs = ClassProcs();
  auto it = procs.find(Params.WinClassName);
  if (it != procs.end()) return it->second;
  WNDPROC def = ::DefWindowProcW;
  WNDCLASSW sys{};
  if (!Params.SystemClassName.empty()) {
    if (!::GetClassInfoW(nullptr, Params.SystemClassName.c_str(), &sys) &&
        !::GetClassInfoW(detail::ProgramInstance(), Params.SystemClassName.c_str(), &sys))
      throw EOutOfResources(L"Window class " + Params.SystemClassName + L" does not exist");
    def = sys.lpfnWndProc;
  }
  WNDCLASSW wc{};
  wc.style = Params.WindowClass.style;
  wc.lpfnWndProc = StdWndProc;
  wc.cbClsExtra = sys.cbClsExtra;
  wc.cbWndExtra = sys.cbWndExtra;
  wc.hInstance = Params.WindowClass.hInstance ? Params.WindowClass.hInstance : detail::ProgramInstance();
  wc.hIcon = Params.WindowClass.hIcon;
  wc.hCursor = Params.WindowClass.hCursor;
  wc.hbrBackground = Params.WindowClass.hbrBackground;
  wc.lpszClassName = Params.WinClassName.c_str();
  if (!::RegisterClassW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw EOutOfResources(L"Cannot register window class " + Params.WinClassName);
  procs[Params.WinClassName] = def;
  return def;
}

}  // namespace

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HMENU id = nullptr;
  if (Params.Style & WS_CHILD) {
    id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(gNextControlID));
    gNextControlID = gNextControlID >= 0xFFFF ? 1 : gNextControlID + 1;
  }
  TWinControl* outer = gCreatingControl;
  gCreatingControl = this;
  HWND h = ::CreateWindowExW(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                             Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, id,
                             Params.WindowClass.hInstance, Params.Param);
  gCreatingControl = outer;
  if (!h) throw EOutOfResources(L"Error creating window " + ClassName() + L": " + SysErrorMessage(GetLastOSError()));
  if (!FHandle) {
    // Nothing reached our procedure during creation (it can't happen for
    // our classes, but a foreign class procedure may swallow everything).
    FHandle = h;
    ::SetPropW(h, kControlProp, this);
  }
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (params.WinClassName.empty()) params.WinClassName = ClassName();
  if (FParent) params.WndParent = FParent->Handle();
  if (!params.WindowClass.hInstance) params.WindowClass.hInstance = detail::ProgramInstance();
  FDefWndProc = reinterpret_cast<void*>(RegisterControlClass(params));
  FControlState.Include(csCreating);
  try {
    CreateWindowHandle(params);
  } catch (...) {
    FControlState.Exclude(csCreating);
    throw;
  }
  FControlState.Exclude(csCreating);
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  // Later children lie above earlier ones, as their painting order says.
  if (FParent) ::SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ReadBoundsFromWindow();
  Perform(WM_SETFONT, reinterpret_cast<uintptr_t>(FFont.Handle()), 0);
  if (FShowing && FParent)
    ::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  for (TControl* c : std::vector<TControl*>(FWinControls)) static_cast<TWinControl*>(c)->HandleNeeded();
  // The window exists: a failure while it is filled in (text the edit window
  // refuses, say) is reported and must not abort the form being created.
  try {
    CreateHandleDone();
  } catch (...) {
    detail::HandleCallbackException(this);
  }
  Realign();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TControl* c : std::vector<TControl*>(FWinControls)) static_cast<TWinControl*>(c)->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  FText = GetText();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  if (!FHandle) return;
  detail::FreeControlCanvases(FHandle);
  FControlState.Include(csDestroyingHandle);
  HWND h = FHandle;
  ::DestroyWindow(h);
  FControlState.Exclude(csDestroyingHandle);
  if (FHandle == h) {
    ::RemovePropW(h, kControlProp);
    FHandle = nullptr;
  }
  FCaptureControl = nullptr;
  FTrackingLeave = false;
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  DestroyHandle();
  HandleNeeded();
}

void TWinControl::WMNCDestroy(TMessage& m) { DefaultHandler(m); }

// --- Children and alignment ----------------------------------------------------------

void TWinControl::InsertControl(TControl* AControl) {
  FControls.push_back(AControl);
  if (IsWinControl(AControl)) FWinControls.push_back(AControl);
  AControl->FParent = this;
  if (AControl->FParentFont) AControl->ParentFontChanged();
  if (AControl->FParentColor) AControl->ParentColorChanged();
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<uintptr_t>(AControl), 1);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    if (FHandle) w->HandleNeeded();
    w->UpdateShowing();
  } else {
    AControl->Invalidate();
  }
  AlignControl(AControl);
}

void TWinControl::RemoveControl(TControl* AControl) {
  auto it = std::find(FControls.begin(), FControls.end(), AControl);
  if (it == FControls.end()) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<uintptr_t>(AControl), 0);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    w->DestroyHandle();
    w->FShowing = false;
  } else {
    AControl->Invalidate();
  }
  if (FCaptureControl == AControl) {
    FCaptureControl = nullptr;
    if (FHandle && ::GetCapture() == FHandle) ::ReleaseCapture();
  }
  if (gMouseControl == AControl) gMouseControl = nullptr;
  it = std::find(FControls.begin(), FControls.end(), AControl);
  if (it != FControls.end()) FControls.erase(it);
  FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), AControl), FWinControls.end());
  AControl->FParent = nullptr;
  if (AControl->FAlign != alNone && !IsDestroying()) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* c = Control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

int TWinControl::IndexOfControl(const TControl* Control) const {
  auto it = std::find(FControls.begin(), FControls.end(), Control);
  return it == FControls.end() ? -1 : static_cast<int>(it - FControls.begin());
}

void TWinControl::SetChildOrder(TControl* Child, int Order) {
  int cur = IndexOfControl(Child);
  if (cur < 0) return;
  Order = std::clamp(Order, 0, ControlCount() - 1);
  if (Order == cur) return;
  FControls.erase(FControls.begin() + cur);
  FControls.insert(FControls.begin() + Order, Child);
  if (IsWinControl(Child)) {
    FWinControls.clear();
    for (TControl* c : FControls)
      if (IsWinControl(c)) FWinControls.push_back(c);
    // Later children lie above earlier ones: raise them in list order.
    for (TControl* c : FWinControls)
      if (HWND h = static_cast<TWinControl*>(c)->FHandle)
        ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  Child->Invalidate();
  Realign();
}

TControl* TWinControl::ControlAtPos(TPoint P, bool AllowDisabled, bool AllowWinControls) {
  auto hit = [&](TControl* c) {
    if (!c->Visible() || (!AllowDisabled && !c->Enabled())) return false;
    if (!c->BoundsRect().Contains(P)) return false;
    return c->Perform(CM_HITTEST, 0, MAKELPARAM(P.X - c->Left(), P.Y - c->Top())) != 0;
  };
  if (AllowWinControls)
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (!IsWinControl(*it) && hit(*it)) return *it;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    if (IndexOfControl(c) < 0) continue;
    c->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::AlignControl(TControl* AControl) {
  if (AControl && AControl->Align() == alNone) return;
  Realign();
}

void TWinControl::Realign() {
  if (AlignDisabled() || IsLoading() || IsDestroying() || FControlState.Contains(csDestroyingHandle)) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  FControlState.Exclude(csAlignmentNeeded);
  DisableAlign();
  try {
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
  } catch (...) {
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
    throw;
  }
  // Bounds set during alignment asked for another pass: the layout is
  // already final, so don't loop.
  FControlState.Exclude(csAlignmentNeeded);
  --FAlignLevel;
}

void TWinControl::AdjustClientRect(TRect& Rect) { Rect.Inflate(-FBorderWidth, -FBorderWidth); }

void TWinControl::AlignControls(TControl*, TRect& Rect) {
  static const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
  for (TAlign a : order) {
    std::vector<TControl*> list;
    for (TControl* c : FControls)
      if (c->Align() == a && c->Visible()) list.push_back(c);
    // Same-side controls keep their visual order (nearest the edge first).
    std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
      switch (a) {
        case alTop: return x->Top() < y->Top();
        case alBottom: return x->Top() + x->Height() > y->Top() + y->Height();
        case alLeft: return x->Left() < y->Left();
        case alRight: return x->Left() + x->Width() > y->Left() + y->Width();
        default: return false;
      }
    });
    for (TControl* c : list) {
      const int w = std::max(Rect.Width(), 0), h = std::max(Rect.Height(), 0);
      switch (a) {
        case alTop:
          c->SetBounds(Rect.Left, Rect.Top, w, c->Height());
          Rect.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), w, c->Height());
          Rect.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(Rect.Left, Rect.Top, c->Width(), h);
          Rect.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), h);
          Rect.Right -= c->Width();
          break;
        case alClient: c->SetBounds(Rect.Left, Rect.Top, w, h); break;
        default: break;
      }
    }
  }
}

void TWinControl::SetBorderWidth(int v) {
  if (v == FBorderWidth) return;
  FBorderWidth = std::max(v, 0);
  Realign();
  Invalidate();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

void TWinControl::Resize() { TControl::Resize(); }

// --- Bounds ---------------------------------------------------------------------------

void TWinControl::ReadBoundsFromWindow() {
  if (!FHandle) return;
  RECT r{};
  ::GetWindowRect(FHandle, &r);
  if (::GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD) {
    HWND parent = ::GetParent(FHandle);
    if (parent) ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  const TRect nr{r.left, r.top, r.right, r.bottom};
  if (nr == BoundsRect()) return;
  UpdateBoundsRect(nr);
  if (!FSettingBounds) RequestAlign();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!ApplyConstraints(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (!FHandle) {
    const bool sized = AWidth != FWidth || AHeight != FHeight;
    UpdateBoundsRect(Bounds(ALeft, ATop, AWidth, AHeight));
    RequestAlign();
    if (sized) {
      Realign();
      Resize();
    }
    return;
  }
  const bool child = (::GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD) != 0;
  if (!child && (::IsZoomed(FHandle) || ::IsIconic(FHandle))) {
    // A maximized or minimized window keeps its place; the new bounds
    // become the rectangle it is restored to, which the placement holds in
    // work-area coordinates.
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    ::GetWindowPlacement(FHandle, &wp);
    const TRect n = ScreenToWorkArea(Bounds(ALeft, ATop, AWidth, AHeight));
    wp.rcNormalPosition = RECT{n.Left, n.Top, n.Right, n.Bottom};
    wp.flags = 0;
    ::SetWindowPlacement(FHandle, &wp);
    return;
  }
  FSettingBounds = true;
  ::SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  FSettingBounds = false;
  // The window procedure updates the fields; make sure even when someone
  // swallowed the position messages.
  if (BoundsRect() != Bounds(ALeft, ATop, AWidth, AHeight)) ReadBoundsFromWindow();
  RequestAlign();
}

TRect TWinControl::ClientRect() {
  if (FHandle) {
    RECT r{};
    ::GetClientRect(FHandle, &r);
    return TRect{r.left, r.top, r.right, r.bottom};
  }
  // No window yet: what the window's frame will leave of the bounds.
  TCreateParams p;
  CreateParams(p);
  RECT frame{0, 0, 0, 0};
  ::AdjustWindowRectEx(&frame, p.Style, FALSE, p.ExStyle);
  const int fw = static_cast<int>(frame.right - frame.left), fh = static_cast<int>(frame.bottom - frame.top);
  return TRect{0, 0, std::max(FWidth - fw, 0), std::max(FHeight - fh, 0)};
}

TPoint TWinControl::ClientOrigin() {
  if (FHandle) {
    POINT pt{0, 0};
    ::ClientToScreen(FHandle, &pt);
    return TPoint{pt.x, pt.y};
  }
  // No window yet: where the frame will put the client area.
  TCreateParams p;
  CreateParams(p);
  RECT frame{0, 0, 0, 0};
  ::AdjustWindowRectEx(&frame, p.Style, FALSE, p.ExStyle);
  TPoint base = FParent ? FParent->ClientOrigin() : TPoint{0, 0};
  return TPoint{base.X + FLeft - static_cast<int>(frame.left), base.Y + FTop - static_cast<int>(frame.top)};
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (AParent && ContainsControl(AParent)) throw EInvalidOperation(L"A control cannot be its own parent's child");
  TControl::SetParent(AParent);
}

// --- Showing ---------------------------------------------------------------------------

void TWinControl::UpdateShowing() {
  bool show = FVisible;
  if (FParent)
    show = show && FParent->FShowing;
  else
    show = show && (FParentWindow != nullptr || dynamic_cast<TCustomForm*>(this) != nullptr);
  if (show == FShowing) return;
  if (show) {
    HandleNeeded();
    FShowing = true;
    for (TControl* c : std::vector<TControl*>(FWinControls)) static_cast<TWinControl*>(c)->UpdateShowing();
    ShowingChanged();
  } else {
    FShowing = false;
    if (FHandle) ShowingChanged();
    for (TControl* c : std::vector<TControl*>(FWinControls)) static_cast<TWinControl*>(c)->UpdateShowing();
  }
}

void TWinControl::ShowingChanged() { Perform(CM_SHOWINGCHANGED); }

void TWinControl::CMShowingChanged(TMessage&) {
  if (!FHandle) return;
  ::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::SetParentBackground(bool v) {
  if (v == ParentBackground()) return;
  FControlStyle.Set(csParentBackground, v);
  Invalidate();
}

void TWinControl::UpdateControlState() { UpdateShowing(); }

// --- Focus -------------------------------------------------------------------------------

bool TWinControl::CanFocus() {
  for (TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() { return FHandle && ::GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  TCustomForm* form = tk::GetParentForm(this);
  if (form && form != this) form->SetActiveControl(this);
  ::SetFocus(Handle());
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::WMSetFocus(TMessage& m) {
  DefaultHandler(m);
  if (TCustomForm* form = tk::GetParentForm(this)) form->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage& m) { DefaultHandler(m); }

// --- Keyboard ---------------------------------------------------------------------------

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(wchar_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::WMKey(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      uint16_t key = static_cast<uint16_t>(m.WParam);
      const TShiftState shift = KeyDataToShiftState(m.LParam);
      if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN)
        KeyDown(key, shift);
      else
        KeyUp(key, shift);
      if (key == 0) return;
      m.WParam = key;
      break;
    }
    case WM_CHAR: {
      wchar_t ch = static_cast<wchar_t>(m.WParam);
      KeyPress(ch);
      if (ch == 0) return;
      m.WParam = ch;
      break;
    }
    default: break;
  }
  DefaultHandler(m);
}

bool TWinControl::IsMenuShortCut(TMessage& KeyMsg) {
  if (!PopupMenuHooks.IsShortCut) return false;
  for (TControl* c = this; c; c = c->Parent())
    if (c->PopupMenu() && PopupMenuHooks.IsShortCut(c->PopupMenu(), KeyMsg)) return true;
  return false;
}

void TWinControl::CNKeyDown(TMessage& m) {
  TMessage key = MakeMessage(m.Msg == CN_KEYDOWN ? WM_KEYDOWN : WM_SYSKEYDOWN, m.WParam, m.LParam);
  if (IsMenuShortCut(key)) m.Result = 1;
}

bool TWinControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  return handled;
}

void TWinControl::WMMouseWheel(TMessage& m) {
  m.Result = Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
  if (m.Result == 0) DefaultHandler(m);
}

// --- Painting ---------------------------------------------------------------------------

void TWinControl::PaintWindow(HDC DC) {
  // Windows built on a system class paint themselves into the DC.
  if (FDefWndProc && FDefWndProc != reinterpret_cast<void*>(::DefWindowProcW))
    ::CallWindowProcW(reinterpret_cast<WNDPROC>(FDefWndProc), FHandle, WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t start = 0;
  if (First) {
    int i = IndexOfControl(First);
    if (i < 0) return;
    start = static_cast<size_t>(i);
  }
  std::vector<TControl*> list(FControls.begin() + static_cast<std::ptrdiff_t>(start), FControls.end());
  for (TControl* c : list) {
    if (IsWinControl(c) || !c->Visible() || c->Width() <= 0 || c->Height() <= 0) continue;
    if (IndexOfControl(c) < 0) continue;
    RECT r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (!::RectVisible(DC, &r)) continue;
    TDCState state(DC);
    ::OffsetViewportOrgEx(DC, c->Left(), c->Top(), nullptr);
    ::IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(DC), 0);
  }
}

void TWinControl::PaintHandler(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc) {
    TPaintDC paint(FHandle);
    TMessage inner = Message;
    inner.WParam = reinterpret_cast<uintptr_t>(paint.Get());
    PaintHandler(inner);
    return;
  }
  {
    TDCState state(dc);
    // Opaque window-less children paint every pixel of their own.
    for (TControl* c : FControls)
      if (!IsWinControl(c) && c->Visible() && c->ControlStyle().Contains(csOpaque))
        ::ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
    PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
}

void TWinControl::WMPaint(TMessage& m) {
  detail::FreeControlCanvases(FHandle);
  const bool systemClass = FDefWndProc && FDefWndProc != reinterpret_cast<void*>(::DefWindowProcW);
  if (m.WParam == 0 && FDoubleBuffered && FHandle) {
    TPaintDC paint(FHandle);
    RECT rc{};
    ::GetClientRect(FHandle, &rc);
    TOwnedDC mem(::CreateCompatibleDC(paint.Get()));
    TBitmapHandle bmp(::CreateCompatibleBitmap(paint.Get(), std::max<LONG>(rc.right, 1), std::max<LONG>(rc.bottom, 1)));
    {
      TSelectObject sel(mem, bmp);
      Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(mem.Get()), reinterpret_cast<intptr_t>(mem.Get()));
      TMessage inner = m;
      inner.WParam = reinterpret_cast<uintptr_t>(mem.Get());
      PaintHandler(inner);
      ::BitBlt(paint.Get(), 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    }
    return;
  }
  if (systemClass && ControlCount() == 0 && !FControlState.Contains(csCustomPaint)) {
    DefaultHandler(m);
    return;
  }
  PaintHandler(m);
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  const bool systemClass = FDefWndProc && FDefWndProc != reinterpret_cast<void*>(::DefWindowProcW);
  if (systemClass && !(m.WParam != 0 && m.WParam == static_cast<uintptr_t>(m.LParam))) {
    DefaultHandler(m);
    return;
  }
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) return;
  const TRect c = ClientRect();
  RECT r{c.Left, c.Top, c.Right, c.Bottom};
  ::FillRect(dc, &r, FBrush.Handle());
  m.Result = 1;
}

void TWinControl::WMPrint(TMessage& m) {
  const bool systemClass = FDefWndProc && FDefWndProc != reinterpret_cast<void*>(::DefWindowProcW);
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!FHandle || !dc) return;
  const auto flags = static_cast<UINT>(m.LParam);
  if ((flags & PRF_CHECKVISIBLE) && !::IsWindowVisible(FHandle)) return;
  if (systemClass && ControlCount() == 0) {
    DefaultHandler(m);
    return;
  }
  if (flags & PRF_NONCLIENT)
    ::CallWindowProcW(reinterpret_cast<WNDPROC>(FDefWndProc), FHandle, WM_PRINT, m.WParam, PRF_NONCLIENT);
  if (!(flags & PRF_CLIENT)) return;
  RECT wr{}, cr{};
  ::GetWindowRect(FHandle, &wr);
  ::GetClientRect(FHandle, &cr);
  POINT origin{0, 0};
  ::ClientToScreen(FHandle, &origin);
  TDCState state(dc);
  ::OffsetViewportOrgEx(dc, origin.x - wr.left, origin.y - wr.top, nullptr);
  ::IntersectClipRect(dc, 0, 0, cr.right, cr.bottom);
  if (flags & PRF_ERASEBKGND)
    Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(dc), reinterpret_cast<intptr_t>(dc));
  Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0);
  if (!(flags & PRF_CHILDREN)) return;
  // Bottom-most child first, so the upper ones end on top.
  for (HWND child = ::GetWindow(::GetWindow(FHandle, GW_CHILD), GW_HWNDLAST); child;
       child = ::GetWindow(child, GW_HWNDPREV)) {
    if (!::IsWindowVisible(child)) continue;
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(HWND_DESKTOP, FHandle, reinterpret_cast<POINT*>(&r), 2);
    TDCState childState(dc);
    ::OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
    ::IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    ::SendMessageW(child, WM_PRINT, m.WParam, static_cast<LPARAM>(flags | PRF_NONCLIENT | PRF_CLIENT));
  }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  HandleNeeded();
  TDCState state(DC);
  ::OffsetViewportOrgEx(DC, X, Y, nullptr);
  Perform(WM_PRINT, reinterpret_cast<uintptr_t>(DC),
          PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
}

void TWinControl::Invalidate() {
  if (FHandle) ::InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Repaint() {
  if (!FHandle) return;
  ::RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinControl::Update() {
  if (FHandle) ::UpdateWindow(FHandle);
}

String TWinControl::GetText() {
  if (!FHandle) return FText;
  const int n = static_cast<int>(::SendMessageW(FHandle, WM_GETTEXTLENGTH, 0, 0));
  if (n <= 0) return String();
  String s(static_cast<size_t>(n) + 1, L'\0');
  const int got = static_cast<int>(::SendMessageW(FHandle, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data())));
  s.resize(static_cast<size_t>(std::clamp(got, 0, n)));
  return s;
}

// --- Mouse ------------------------------------------------------------------------------

namespace {

TControl* FindHotControl(POINT screen) {
  HWND w = ::WindowFromPoint(screen);
  TWinControl* c = nullptr;
  while (w && !(c = TWinControl::FindControl(w))) w = ::GetParent(w);
  if (!c) return nullptr;
  POINT pt = screen;
  ::ScreenToClient(c->Handle(), &pt);
  if (TControl* g = c->ControlAtPos(TPoint{pt.x, pt.y}, false)) return g;
  return c;
}

void SetMouseControl(TControl* hot) {
  if (hot == gMouseControl) return;
  TControl* old = gMouseControl;
  gMouseControl = hot;
  if (old) old->Perform(CM_MOUSELEAVE);
  if (hot && gMouseControl == hot) hot->Perform(CM_MOUSEENTER);
}

}  // namespace

void TWinControl::WMMouse(TMessage& m) {
  const POINT pt{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  if (m.Msg == WM_MOUSEMOVE) {
    POINT screen = pt;
    ::ClientToScreen(FHandle, &screen);
    SetMouseControl(FindHotControl(screen));
    if (!FTrackingLeave) {
      TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, FHandle, 0};
      FTrackingLeave = ::TrackMouseEvent(&tme) != FALSE;
    }
  }
  TControl* target = FCaptureControl;
  if (!target) target = ControlAtPos(TPoint{pt.x, pt.y}, false);
  if (target) {
    uint32_t msg = m.Msg;
    if ((msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK) &&
        !target->ControlStyle().Contains(csDoubleClicks))
      msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
    const bool released = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
    m.Result = target->Perform(msg, m.WParam, MAKELPARAM(pt.x - target->Left(), pt.y - target->Top()));
    if (released && !(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && FCaptureControl) {
      FCaptureControl = nullptr;
      if (::GetCapture() == FHandle) ::ReleaseCapture();
    }
    return;
  }
  TControl::WndProc(m);
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (reinterpret_cast<HWND>(m.WParam) == FHandle && LOWORD(m.LParam) == HTCLIENT) {
    TCursor cur = Screen ? Screen->Cursor() : crDefault;
    if (cur == crDefault) {
      POINT pt{};
      ::GetCursorPos(&pt);
      ::ScreenToClient(FHandle, &pt);
      TControl* c = FCaptureControl ? FCaptureControl : ControlAtPos(TPoint{pt.x, pt.y}, false);
      cur = c ? c->Cursor() : Cursor();
    }
    if (cur != crDefault) {
      ::SetCursor(CursorHandle(cur));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMContextMenu(TMessage& m) {
  if (m.LParam != -1) {
    POINT pt{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    ::ScreenToClient(FHandle, &pt);
    if (TControl* c = ControlAtPos(TPoint{pt.x, pt.y}, false)) {
      m.Result = c->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
      if (m.Result) return;
    }
  }
  TControl::Dispatch(m);
}

// --- Reflection -------------------------------------------------------------------------

void TWinControl::WMNotifyReflect(TMessage& m, uint32_t Reflected, HWND Child) {
  if (TWinControl* c = Child && Child != FHandle ? FindControl(Child) : nullptr) {
    m.Result = c->Perform(Reflected, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::WMCommand(TMessage& m) {
  if (m.LParam == 0) {
    DefaultHandler(m);  // menus and accelerators
    return;
  }
  WMNotifyReflect(m, CN_COMMAND, reinterpret_cast<HWND>(m.LParam));
}

void TWinControl::WMCtlColor(TMessage& m) {
  WMNotifyReflect(m, CN_BASE + m.Msg, reinterpret_cast<HWND>(m.LParam));
}

// --- Size and position ------------------------------------------------------------------

void TWinControl::WMWindowPosChanged(TMessage& m) {
  ReadBoundsFromWindow();
  DefaultHandler(m);
}

void TWinControl::WMSize(TMessage& m) {
  DefaultHandler(m);
  ReadBoundsFromWindow();
  Realign();
  Resize();
}

void TWinControl::WMMove(TMessage& m) {
  DefaultHandler(m);
  ReadBoundsFromWindow();
}

// --- The message path -------------------------------------------------------------------

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (FHandle) {
        WMMouse(Message);
        return;
      }
      break;
    default: break;
  }
  TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case WM_PRINTCLIENT:
      if (FDefWndProc == reinterpret_cast<void*>(::DefWindowProcW)) {
        TMessage p = MakeMessage(WM_PAINT, m.WParam, 0);
        PaintHandler(p);
        return;
      }
      break;
    case WM_PRINT: WMPrint(m); return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_SETCURSOR: WMSetCursor(m); return;
    case WM_CONTEXTMENU: WMContextMenu(m); return;
    case WM_COMMAND: WMCommand(m); return;
    case WM_NOTIFY:
      WMNotifyReflect(m, CN_NOTIFY, m.LParam ? reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom : nullptr);
      return;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (dis && dis->CtlType != ODT_MENU) {
        WMNotifyReflect(m, CN_DRAWITEM, dis->hwndItem);
        return;
      }
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (mis && mis->CtlType != ODT_MENU) {
        WMNotifyReflect(m, CN_MEASUREITEM, ::GetDlgItem(FHandle, static_cast<int>(mis->CtlID)));
        return;
      }
      break;
    }
    case WM_DELETEITEM: {
      auto* di = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam);
      if (di && di->CtlType != ODT_MENU) {
        WMNotifyReflect(m, CN_DELETEITEM, di->hwndItem);
        return;
      }
      break;
    }
    case WM_COMPAREITEM: {
      auto* ci = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam);
      if (ci) {
        WMNotifyReflect(m, CN_COMPAREITEM, ci->hwndItem);
        return;
      }
      break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (m.LParam) {
        WMNotifyReflect(m, CN_BASE + m.Msg, reinterpret_cast<HWND>(m.LParam));
        return;
      }
      break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: WMCtlColor(m); return;
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FFont.Color())));
      ::SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(FBrush.Color())));
      m.Result = reinterpret_cast<intptr_t>(FBrush.Handle());
      return;
    }
    case WM_SIZE: WMSize(m); return;
    case WM_MOVE: WMMove(m); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(m); return;
    case WM_SETFOCUS: WMSetFocus(m); return;
    case WM_KILLFOCUS: WMKillFocus(m); return;
    case WM_MOUSEWHEEL: WMMouseWheel(m); return;
    case CM_MOUSEWHEEL: {
      const auto delta = static_cast<int16_t>(HIWORD(m.WParam));
      const TPoint pos{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      if (DoMouseWheel(MouseShiftState(LOWORD(m.WParam)), delta, pos))
        m.Result = 1;
      else if (FParent)
        m.Result = FParent->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
      return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR: WMKey(m); return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(m); return;
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    case CM_FOCUSCHANGED: Broadcast(m); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); return;
    case CM_ENABLEDCHANGED: return;
    case WM_NCDESTROY: WMNCDestroy(m); return;
    case WM_MOUSELEAVE: {
      FTrackingLeave = false;
      POINT screen{};
      ::GetCursorPos(&screen);
      TControl* hot = FindHotControl(screen);
      // Moving into a child window or a window-less child is no leave.
      if (gMouseControl && (gMouseControl == this || gMouseControl->Parent() == this)) SetMouseControl(hot);
      DefaultHandler(m);
      return;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != FHandle) FCaptureControl = nullptr;
      DefaultHandler(m);
      return;
    case WM_CANCELMODE:
      if (FCaptureControl) {
        FCaptureControl = nullptr;
        if (::GetCapture() == FHandle) ::ReleaseCapture();
      }
      DefaultHandler(m);
      return;
    default: break;
  }
  TControl::Dispatch(m);
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) {
    TControl::DefaultHandler(Message);
    return;
  }
  // The toolkit's own numbers mean nothing to the window class.
  if (IsToolkitRange(Message.Msg)) return;
  Message.Result = ::CallWindowProcW(reinterpret_cast<WNDPROC>(FDefWndProc ? FDefWndProc : reinterpret_cast<void*>(::DefWindowProcW)),
                                     FHandle, Message.Msg, Message.WParam, Message.LParam);
}

// --- The window procedure of every toolkit window ----------------------------------------

struct TWinControlAccess {
  static void Attach(TWinControl* c, HWND h) { c->FHandle = h; }
  static void Detach(TWinControl* c, HWND h) {
    if (c->FHandle == h) c->FHandle = nullptr;
  }
};

namespace {

LRESULT CALLBACK StdWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* c = static_cast<TWinControl*>(::GetPropW(wnd, kControlProp));
  if (!c && gCreatingControl) {
    c = gCreatingControl;
    gCreatingControl = nullptr;
    ::SetPropW(wnd, kControlProp, c);
    TWinControlAccess::Attach(c, wnd);
  }
  if (!c) {
    // A window whose control went first: its class still cleans up.
    wchar_t name[256];
    if (::GetClassNameW(wnd, name, 256)) {
      auto it = ClassProcs().find(name);
      if (it != ClassProcs().end() && it->second != ::DefWindowProcW)
        return ::CallWindowProcW(it->second, wnd, msg, wp, lp);
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
  }
  TMessage m = MakeMessage(msg, wp, lp);
  try {
    c->WindowProc(m);
  } catch (...) {
    detail::HandleCallbackException(c);
  }
  if (msg == WM_NCDESTROY && ::GetPropW(wnd, kControlProp) == c) {
    ::RemovePropW(wnd, kControlProp);
    TWinControlAccess::Detach(c, wnd);
  }
  return m.Result;
}

}  // namespace

// --- TGraphicControl, TCustomControl ------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() { FCanvas.reset(); }

void TGraphicControl::WMPaint(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) return;
  FCanvas->FreeHandle();
  FCanvas->Lock();
  FCanvas->SetHandle(dc);
  FCanvas->UpdateTextFlags();
  try {
    Paint();
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}

void TGraphicControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT: WMPaint(Message); return;
    default: TControl::Dispatch(Message);
  }
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() { FCanvas.reset(); }

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->FreeHandle();
  FCanvas->Lock();
  FCanvas->SetHandle(DC);
  FCanvas->UpdateTextFlags();
  try {
    Paint();
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}

// --- Utility windows ------------------------------------------------------------------------

namespace {

LRESULT CALLBACK UtilWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* method = reinterpret_cast<TWndMethod*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!method || !*method) return ::DefWindowProcW(wnd, msg, wp, lp);
  TMessage m = MakeMessage(msg, wp, lp);
  try {
    (*method)(m);
  } catch (...) {
    detail::HandleCallbackException(nullptr);
  }
  return m.Result;
}

const wchar_t kUtilClass[] = L"TPUtilWindow";

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = UtilWndProc;
    wc.hInstance = detail::ProgramInstance();
    wc.lpszClassName = kUtilClass;
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) throw EOutOfResources(L"Cannot register window class TPUtilWindow");
  HWND h = ::CreateWindowExW(WS_EX_TOOLWINDOW, kUtilClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             detail::ProgramInstance(), nullptr);
  if (!h) throw EOutOfResources(L"Error creating window TPUtilWindow");
  ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(std::move(Method))));
  return h;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd) return;
  auto* method = reinterpret_cast<TWndMethod*>(::GetWindowLongPtrW(Wnd, GWLP_USERDATA));
  ::SetWindowLongPtrW(Wnd, GWLP_USERDATA, 0);
  ::DestroyWindow(Wnd);
  delete method;
}

// --- Object instances (thunks) ---------------------------------------------------------------

namespace {

// One executable slot per instance: it puts the instance's record where the
// window handle was (the first argument) and jumps to InstanceProc.
struct TInstanceRecord {
  TWndMethod Method;
};

LRESULT CALLBACK InstanceProc(HWND recordAsWnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* rec = reinterpret_cast<TInstanceRecord*>(recordAsWnd);
  TMessage m = MakeMessage(msg, wp, lp);
  try {
    rec->Method(m);
  } catch (...) {
    detail::HandleCallbackException(nullptr);
  }
  return m.Result;
}

constexpr size_t kSlotSize = 32;
constexpr size_t kBlockSize = 4096;

struct TThunkPool {
  std::mutex lock;
  std::vector<uint8_t*> free;
  uint8_t* Take() {
    std::lock_guard<std::mutex> g(lock);
    if (free.empty()) {
      auto* block = static_cast<uint8_t*>(
          ::VirtualAlloc(nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
      if (!block) throw EOutOfResources(L"Out of system resources");
      for (size_t off = kBlockSize; off >= kSlotSize; off -= kSlotSize) free.push_back(block + off - kSlotSize);
    }
    uint8_t* s = free.back();
    free.pop_back();
    return s;
  }
  void Give(uint8_t* s) {
    std::lock_guard<std::mutex> g(lock);
    free.push_back(s);
  }
};

TThunkPool& Pool() {
  static auto* p = new TThunkPool;
  return *p;
}

// Where the record pointer sits inside a slot (to find it again on free).
#if defined(_WIN64)
constexpr size_t kRecordOffset = 2;
#else
constexpr size_t kRecordOffset = 4;
#endif

}  // namespace

void* MakeObjectInstance(TWndMethod Method) {
  auto* rec = new TInstanceRecord{std::move(Method)};
  uint8_t* code;
  try {
    code = Pool().Take();
  } catch (...) {
    delete rec;
    throw;
  }
  uint8_t* p = code;
  const auto recAddr = reinterpret_cast<uintptr_t>(rec);
  const auto target = reinterpret_cast<uintptr_t>(&InstanceProc);
#if defined(_WIN64)
  *p++ = 0x48; *p++ = 0xB9;  // mov rcx, imm64 (first argument)
  std::memcpy(p, &recAddr, 8); p += 8;
  *p++ = 0x48; *p++ = 0xB8;  // mov rax, imm64
  std::memcpy(p, &target, 8); p += 8;
  *p++ = 0xFF; *p++ = 0xE0;  // jmp rax
#else
  *p++ = 0xC7; *p++ = 0x44; *p++ = 0x24; *p++ = 0x04;  // mov dword [esp+4], imm32
  std::memcpy(p, &recAddr, 4); p += 4;
  *p++ = 0xE9;  // jmp rel32
  const auto rel = static_cast<uint32_t>(target - (reinterpret_cast<uintptr_t>(p) + 4));
  std::memcpy(p, &rel, 4); p += 4;
#endif
  ::FlushInstructionCache(::GetCurrentProcess(), code, kSlotSize);
  return code;
}

void FreeObjectInstance(void* ObjectInstance) {
  if (!ObjectInstance) return;
  auto* code = static_cast<uint8_t*>(ObjectInstance);
  uintptr_t recAddr = 0;
  std::memcpy(&recAddr, code + kRecordOffset, sizeof(recAddr));
  delete reinterpret_cast<TInstanceRecord*>(recAddr);
  std::memset(code, 0xCC, kSlotSize);
  Pool().Give(code);
}

}  // namespace tk
