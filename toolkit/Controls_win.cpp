// Windows half of the controls: the message path, window creation,
// painting of window-less children, mouse routing, focus and alignment.
#include "toolkit/Controls.h"

#include <climits>

#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <unordered_map>

#include "toolkit/Handles.h"
#include "toolkit/WinSupport.h"
#include "toolkit/WorkArea.h"

namespace tk {

namespace {

// The control of each toolkit window, read on every message. Kept here, not
// as a window property: under Wine every property read is a round trip to
// the window server, which costs more than most messages' own work.
class TControlRegistry {
 public:
  TWinControl* Find(HWND Wnd) {
    std::lock_guard<std::mutex> lock(FLock);
    auto it = FControls.find(Wnd);
    return it == FControls.end() ? nullptr : it->second;
  }
  void Attach(HWND Wnd, TWinControl* Control) {
    std::lock_guard<std::mutex> lock(FLock);
    FControls[Wnd] = Control;
  }
  // Only the control attached: a handle reused by a newer window stays.
  void Detach(HWND Wnd, const TWinControl* Control) {
    std::lock_guard<std::mutex> lock(FLock);
    auto it = FControls.find(Wnd);
    if (it != FControls.end() && it->second == Control) FControls.erase(it);
  }

 private:
  std::mutex FLock;
  std::unordered_map<HWND, TWinControl*> FControls;
};

// Never freed: windows may still be destroyed during the program's exit.
TControlRegistry& Registry() {
  static auto* r = new TControlRegistry;
  return *r;
}

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

// Moves and button presses, releases and double clicks of the three buttons.
bool IsMouseMessage(uint32_t msg) { return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK; }
bool IsCtlColor(uint32_t msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

// Parameter crackers for the routers.
TPoint PointOf(intptr_t LParam) { return TPoint{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)}; }
HWND WndOf(intptr_t v) { return reinterpret_cast<HWND>(v); }
HDC DCOf(uintptr_t v) { return reinterpret_cast<HDC>(v); }
template <class T>
const T* StructOf(intptr_t LParam) {
  return reinterpret_cast<const T*>(LParam);
}

// The child window a notification or an owner-drawn item comes from; null
// for menus (they stay with the window that owns them).
HWND NotifyingWindow(const NMHDR* n) { return n ? n->hwndFrom : nullptr; }
HWND ItemWindow(const DRAWITEMSTRUCT* s) { return s && s->CtlType != ODT_MENU ? s->hwndItem : nullptr; }
HWND ItemWindow(const DELETEITEMSTRUCT* s) { return s && s->CtlType != ODT_MENU ? s->hwndItem : nullptr; }
HWND ItemWindow(const COMPAREITEMSTRUCT* s) { return s ? s->hwndItem : nullptr; }
// Measuring comes before the item has a window handle in the message: by its identifier.
HWND ItemWindow(HWND Parent, const MEASUREITEMSTRUCT* s) {
  return s && s->CtlType != ODT_MENU ? ::GetDlgItem(Parent, static_cast<int>(s->CtlID)) : nullptr;
}

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

void TControl::Dispatch(TMessage& Message) {
  if (IsMouseMessage(Message.Msg)) return DispatchMouse(Message);
  switch (Message.Msg) {
    case WM_CONTEXTMENU: return WMContextMenu(Message, PointOf(Message.LParam));
    case CM_MOUSEENTER: return CMMouseEnterLeave(Message);
    case CM_MOUSELEAVE: return CMMouseEnterLeave(Message);
    case CM_HITTEST: Message.Result = 1; return;
    case CM_PARENTFONTCHANGED: return ParentFontChanged();
    case CM_PARENTCOLORCHANGED: return ParentColorChanged();
    default: return DefaultHandler(Message);
  }
}

void TControl::WMContextMenu(TMessage& Message, TPoint ScreenPos) {
  if (!FPopupMenu || !PopupMenuHooks.Popup) return DefaultHandler(Message);
  // From the keyboard (-1): at the control's top-left corner.
  if (Message.LParam == -1) ScreenPos = ClientToScreen(TPoint{0, 0});
  PopupMenuHooks.Popup(FPopupMenu, this, ScreenPos.X, ScreenPos.Y);
  Message.Result = 1;
}

void TControl::CMMouseEnterLeave(TMessage& Message) {
  // The parents hear of it too, told which control it was.
  if (FParent) FParent->Perform(Message.Msg, 0, Message.LParam ? Message.LParam : reinterpret_cast<intptr_t>(this));
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

void TControl::ParentColorChanged() {
  if (!FParentColor || !FParent) return;
  SetColor(FParent->Color());
  FParentColor = true;
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

void TControl::SetText(const String& v) {
  if (GetText() == v) return;
  FText = v;
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    ::SendMessageW(w->FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(v.c_str()));
  TextChanged();
  Perform(CM_TEXTCHANGED);
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

bool TControl::MouseCapture() const {
  if (auto* w = dynamic_cast<const TWinControl*>(this)) return w->FHandle && ::GetCapture() == w->FHandle;
  return FParent && FParent->FCaptureControl == this && FParent->FHandle && ::GetCapture() == FParent->FHandle;
}

void TControl::SetMouseCapture(bool v) {
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (v) ::SetCapture(w->Handle());
    else if (w->FHandle && ::GetCapture() == w->FHandle) ::ReleaseCapture();
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
    Registry().Detach(h, this);
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
  return Registry().Find(Wnd);
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
    Registry().Attach(h, this);
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
  } catch (...) { detail::HandleCallbackException(this); }
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
    Registry().Detach(h, this);
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
  if (FParent) show = show && FParent->FShowing;
  else show = show && (FParentWindow != nullptr || dynamic_cast<TCustomForm*>(this) != nullptr);
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

void TWinControl::CMShowingChanged() {
  if (!FHandle) return;
  ::SetWindowPos(
      FHandle, nullptr, 0, 0, 0, 0,
      SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::UpdateControlState() { UpdateShowing(); }

// --- Focus -------------------------------------------------------------------------------

bool TWinControl::Focused() { return FHandle && ::GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  TCustomForm* form = tk::GetParentForm(this);
  if (form && form != this) form->SetActiveControl(this);
  ::SetFocus(Handle());
}

void TWinControl::WMSetFocus(TMessage& m) {
  DefaultHandler(m);
  if (TCustomForm* form = tk::GetParentForm(this)) form->SetFocusedControl(this);
}

// --- Keyboard ---------------------------------------------------------------------------

void TWinControl::WMKeyDown(TMessage& m, uint16_t Key, TShiftState Shift) {
  KeyDown(Key, Shift);
  if (Key == 0) return;  // taken by the handler
  m.WParam = Key;
  DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m, uint16_t Key, TShiftState Shift) {
  KeyUp(Key, Shift);
  if (Key == 0) return;
  m.WParam = Key;
  DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m, wchar_t Key) {
  KeyPress(Key);
  if (Key == 0) return;
  m.WParam = Key;
  DefaultHandler(m);
}

namespace {

void CollectTabOrder(TWinControl* Parent, std::vector<TWinControl*>& List) {
  std::vector<TWinControl*> children;
  for (int i = 0; i < Parent->ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(Parent->Controls(i))) children.push_back(w);
  std::stable_sort(children.begin(), children.end(), [](TWinControl* a, TWinControl* b) {
    auto key = [](TWinControl* c) { return c->TabOrder() < 0 ? INT_MAX : c->TabOrder(); };
    return key(a) < key(b);
  });
  for (TWinControl* c : children) {
    List.push_back(c);
    CollectTabOrder(c, List);
  }
}

}  // namespace

TWinControl* TWinControl::FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop) {
  std::vector<TWinControl*> list;
  CollectTabOrder(this, list);
  const auto n = static_cast<std::ptrdiff_t>(list.size());
  if (n == 0) return nullptr;
  const auto at = std::find(list.begin(), list.end(), Current);
  std::ptrdiff_t i = at == list.end() ? (GoForward ? -1 : n) : at - list.begin();
  for (std::ptrdiff_t step = 0; step < n; ++step) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[static_cast<size_t>(i)];
    if (c == Current) break;
    if ((!CheckTabStop || c->TabStop()) && c->CanFocus()) return c;
  }
  return nullptr;
}

bool TWinControl::WantsTab() {
  // Asked without the key message: with one, the system's edit control
  // switches to dialog mode and from then on turns Tab into dialog moves.
  return HandleAllocated() && (::SendMessageW(FHandle, WM_GETDLGCODE, VK_TAB, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS));
}

void TWinControl::CNKeyDown(TMessage& m, uint32_t KeyMsg) {
  TMessage key = MakeMessage(KeyMsg, m.WParam, m.LParam);
  if (IsMenuShortCut(key)) {
    m.Result = 1;
    return;
  }
  // Tab and Shift+Tab move the focus through the form, unless the control
  // takes the key itself (a memo that accepts tabs).
  if (KeyMsg != WM_KEYDOWN || m.WParam != VK_TAB || ::GetKeyState(VK_CONTROL) < 0 || WantsTab()) return;
  TCustomForm* form = tk::GetParentForm(this);
  TWinControl* root = form ? static_cast<TWinControl*>(form) : this;
  if (TWinControl* next = root->FindNextControl(this, ::GetKeyState(VK_SHIFT) >= 0, true)) {
    next->SetFocus();
    m.Result = 1;
  }
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
    const TPaintCopyScope copy(c, FControlState.Contains(csPaintCopy));
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

void TWinControl::WMEraseBkgnd(TMessage& m, HDC dc) {
  const bool systemClass = FDefWndProc && FDefWndProc != reinterpret_cast<void*>(::DefWindowProcW);
  // The DC in both parameters is the toolkit's own request (double buffering, printing).
  if (systemClass && !(m.WParam != 0 && m.WParam == static_cast<uintptr_t>(m.LParam))) {
    DefaultHandler(m);
    return;
  }
  if (!dc) return;
  const TRect c = ClientRect();
  RECT r{c.Left, c.Top, c.Right, c.Bottom};
  ::FillRect(dc, &r, FBrush.Handle());
  m.Result = 1;
}

void TWinControl::WMPrint(TMessage& m, HDC dc, uint32_t flags) {
  const bool systemClass = FDefWndProc && FDefWndProc != reinterpret_cast<void*>(::DefWindowProcW);
  if (!FHandle || !dc) return;
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
  if (flags & PRF_ERASEBKGND) Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(dc), reinterpret_cast<intptr_t>(dc));
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
    const TPaintCopyScope copy(FindControl(child), FControlState.Contains(csPaintCopy));
    ::SendMessageW(child, WM_PRINT, m.WParam, static_cast<LPARAM>(flags | PRF_NONCLIENT | PRF_CLIENT));
  }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  HandleNeeded();
  TDCState state(DC);
  ::OffsetViewportOrgEx(DC, X, Y, nullptr);
  const TPaintCopyScope copy(this, true);
  Perform(WM_PRINT, reinterpret_cast<uintptr_t>(DC), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
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
    // Armed at every move, not once: under Wine one tracked window per
    // thread, and a late move handled by another window ends this window's
    // tracking without a leave while the pointer is over it.
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, FHandle, 0};
    FTrackingLeave = ::TrackMouseEvent(&tme) != FALSE;
    // A move handled after the pointer went on: Windows posts the leave at
    // once, Wine tracks nothing and never posts it, and the control made
    // hot above would stay hot.
    POINT now{};
    if (FTrackingLeave && ::GetCursorPos(&now) && ::WindowFromPoint(now) != FHandle)
      ::PostMessageW(FHandle, WM_MOUSELEAVE, 0, 0);
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

void TWinControl::WMSetCursor(TMessage& m, HWND Wnd, uint32_t HitTest) {
  if (Wnd == FHandle && HitTest == HTCLIENT) {
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

void TWinControl::WMContextMenu(TMessage& m, TPoint ScreenPos) {
  if (m.LParam != -1) {
    POINT pt{ScreenPos.X, ScreenPos.Y};
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
  // A window routes the mouse to its window-less children first.
  if (FHandle && IsMouseMessage(Message.Msg)) return WMMouse(Message);
  TControl::WndProc(Message);
}
void TWinControl::Dispatch(TMessage& m) {
  if (IsCtlColor(m.Msg)) return WMNotifyReflect(m, CN_BASE + m.Msg, WndOf(m.LParam));
  if (IsCtlColor(m.Msg - CN_BASE)) return CNCtlColor(m, DCOf(m.WParam));
  switch (m.Msg) {
    case WM_PAINT: return WMPaint(m);
    case WM_PRINTCLIENT: return WMPrintClient(m, DCOf(m.WParam));
    case WM_PRINT: return WMPrint(m, DCOf(m.WParam), static_cast<uint32_t>(m.LParam));
    case WM_ERASEBKGND: return WMEraseBkgnd(m, DCOf(m.WParam));
    case WM_SETCURSOR: return WMSetCursor(m, WndOf(static_cast<intptr_t>(m.WParam)), LOWORD(m.LParam));
    case WM_CONTEXTMENU: return WMContextMenu(m, PointOf(m.LParam));
    case WM_COMMAND: return WMNotifyReflect(m, CN_COMMAND, WndOf(m.LParam));  // no window: menus, accelerators
    case WM_NOTIFY: return WMNotifyReflect(m, CN_NOTIFY, NotifyingWindow(StructOf<NMHDR>(m.LParam)));
    case WM_DRAWITEM: return WMNotifyReflect(m, CN_DRAWITEM, ItemWindow(StructOf<DRAWITEMSTRUCT>(m.LParam)));
    case WM_MEASUREITEM:
      return WMNotifyReflect(m, CN_MEASUREITEM, ItemWindow(FHandle, StructOf<MEASUREITEMSTRUCT>(m.LParam)));
    case WM_DELETEITEM: return WMNotifyReflect(m, CN_DELETEITEM, ItemWindow(StructOf<DELETEITEMSTRUCT>(m.LParam)));
    case WM_COMPAREITEM: return WMNotifyReflect(m, CN_COMPAREITEM, ItemWindow(StructOf<COMPAREITEMSTRUCT>(m.LParam)));
    case WM_HSCROLL: return WMNotifyReflect(m, CN_HSCROLL, WndOf(m.LParam));
    case WM_VSCROLL: return WMNotifyReflect(m, CN_VSCROLL, WndOf(m.LParam));
    case WM_SIZE: return WMSize(m);
    case WM_MOVE: return WMMove(m);
    case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(m);
    case WM_SETFOCUS: return WMSetFocus(m);
    case WM_KILLFOCUS: return DefaultHandler(m);
    case WM_MOUSEWHEEL: return WMMouseWheel(m);
    case CM_MOUSEWHEEL:
      return CMMouseWheel(m, MouseShiftState(LOWORD(m.WParam)), GET_WHEEL_DELTA_WPARAM(m.WParam), PointOf(m.LParam));
    case WM_KEYDOWN: return WMKeyDown(m, static_cast<uint16_t>(m.WParam), KeyDataToShiftState(m.LParam));
    case WM_SYSKEYDOWN: return WMKeyDown(m, static_cast<uint16_t>(m.WParam), KeyDataToShiftState(m.LParam));
    case WM_KEYUP: return WMKeyUp(m, static_cast<uint16_t>(m.WParam), KeyDataToShiftState(m.LParam));
    case WM_SYSKEYUP: return WMKeyUp(m, static_cast<uint16_t>(m.WParam), KeyDataToShiftState(m.LParam));
    case WM_CHAR: return WMChar(m, static_cast<wchar_t>(m.WParam));
    case CN_KEYDOWN: return CNKeyDown(m, WM_KEYDOWN);
    case CN_SYSKEYDOWN: return CNKeyDown(m, WM_SYSKEYDOWN);
    case CM_ENTER: return DoEnter();
    case CM_EXIT: return DoExit();
    case CM_FOCUSCHANGED: return Broadcast(m);
    case CM_SHOWINGCHANGED: return CMShowingChanged();
    case CM_ENABLEDCHANGED: return;  // the window was enabled or disabled already
    case WM_NCDESTROY: return DefaultHandler(m);
    case WM_MOUSELEAVE: return WMMouseLeave(m);
    case WM_CAPTURECHANGED: return WMCaptureChanged(m, WndOf(m.LParam));
    case WM_CANCELMODE: return WMCancelMode(m);
    default: return TControl::Dispatch(m);
  }
}

void TWinControl::WMPrintClient(TMessage& m, HDC DC) {
  // Our own classes paint through the toolkit; system classes print themselves.
  if (FDefWndProc != reinterpret_cast<void*>(::DefWindowProcW)) return TControl::Dispatch(m);
  TMessage p = MakeMessage(WM_PAINT, reinterpret_cast<uintptr_t>(DC), 0);
  PaintHandler(p);
}

void TWinControl::CNCtlColor(TMessage& m, HDC DC) {
  ::SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(FFont.Color())));
  ::SetBkColor(DC, static_cast<COLORREF>(ColorToRGB(FBrush.Color())));
  m.Result = reinterpret_cast<intptr_t>(FBrush.Handle());
}

void TWinControl::CMMouseWheel(TMessage& m, TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (DoMouseWheel(Shift, WheelDelta, MousePos)) m.Result = 1;
  else if (FParent) m.Result = FParent->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
}

void TWinControl::WMMouseLeave(TMessage& m) {
  FTrackingLeave = false;
  POINT screen{};
  ::GetCursorPos(&screen);
  TControl* hot = FindHotControl(screen);
  // Moving into a child window or a window-less child is no leave.
  if (gMouseControl && (gMouseControl == this || gMouseControl->Parent() == this)) SetMouseControl(hot);
  DefaultHandler(m);
}

void TWinControl::WMCaptureChanged(TMessage& m, HWND NewCapture) {
  if (NewCapture != FHandle) FCaptureControl = nullptr;
  DefaultHandler(m);
}

void TWinControl::WMCancelMode(TMessage& m) {
  if (FCaptureControl) {
    FCaptureControl = nullptr;
    if (::GetCapture() == FHandle) ::ReleaseCapture();
  }
  DefaultHandler(m);
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) {
    TControl::DefaultHandler(Message);
    return;
  }
  // The toolkit's own numbers mean nothing to the window class.
  if (IsToolkitRange(Message.Msg)) return;
  Message.Result = ::CallWindowProcW(
      reinterpret_cast<WNDPROC>(FDefWndProc ? FDefWndProc : reinterpret_cast<void*>(::DefWindowProcW)), FHandle,
      Message.Msg, Message.WParam, Message.LParam);
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
  TWinControl* c = Registry().Find(wnd);
  if (!c && gCreatingControl) {
    c = gCreatingControl;
    gCreatingControl = nullptr;
    Registry().Attach(wnd, c);
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
  } catch (...) { detail::HandleCallbackException(c); }
  if (msg == WM_NCDESTROY && Registry().Find(wnd) == c) {
    Registry().Detach(wnd, c);
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

}  // namespace tk
