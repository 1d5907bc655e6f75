#include "skin/forms/kxBorderForm.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "skin/framework/kxSystemCaps.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sMessages.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"

namespace kx {

namespace {

constexpr wchar_t kBorderClass[] = L"TkxBorderWnd";

bool ApplicationEnding() {
  return tk::Application && (tk::Application->IsDestroying() || tk::Application->Terminated());
}

bool IsButtonCode(int HT) {
  return HT == kxHTMINBUTTON || HT == kxHTMAXBUTTON || HT == kxHTCLOSE || HT == kxHTHELP || HT >= kxHTUserButton;
}

tk::TPoint PointOf(LPARAM LParam) {
  return tk::TPoint{static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
}

LPARAM LParamOf(tk::TPoint P) { return MAKELPARAM(static_cast<short>(P.X), static_cast<short>(P.Y)); }

// The client mouse messages: their LParam is in client coordinates.
bool IsClientMouseMessage(uint32_t Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSEFIRST + 9; }

HRGN MakeRegion(const TkxBorderRegion& R) {
  HRGN rgn = ::CreateRectRgn(R.Keep.Left, R.Keep.Top, R.Keep.Right, R.Keep.Bottom);
  if (rgn && !R.Hole.IsEmpty()) {
    tk::TRegionHandle hole(::CreateRectRgn(R.Hole.Left, R.Hole.Top, R.Hole.Right, R.Hole.Bottom));
    if (hole) ::CombineRgn(rgn, rgn, hole, RGN_XOR);
  }
  return rgn;
}

}  // namespace

// The window, its procedure, and what the border window remembers of the
// last picture and region it handed to the system.
struct TkxBorderForm::TWindow {
  HWND Wnd = nullptr;
  TkxBorderRegion LastRegion;
  bool RegionSet = false;  // LastRegion is the window's region now

  static bool Register() {
    static bool done = false;
    if (done) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kBorderClass;
    done = ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return done;
  }

  static LRESULT CALLBACK Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    // The skin manager's creation hook asks before the window knows its
    // border form: it skins itself, so no adapter or broadcast reaches in.
    if (Msg == SM_KESTRIXCMD) return HIWORD(WParam) == KX_QUERYHANDLED ? 1 : 0;
    auto* form = reinterpret_cast<TkxBorderForm*>(::GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
    tk::TMessage m = tk::MakeMessage(Msg, WParam, LParam);
    try {
      form->BorderProc(m);
    } catch (...) {
      if (tk::Application) tk::Application->HandleException(nullptr);
    }
    return m.Result;
  }

  void Default(tk::TMessage& M) const { M.Result = ::DefWindowProcW(Wnd, M.Msg, M.WParam, M.LParam); }

  tk::TSize Size() const {
    RECT r{};
    ::GetWindowRect(Wnd, &r);
    return tk::TSize{r.right - r.left, r.bottom - r.top};
  }

  void SetRegion(const TkxBorderRegion& R) {
    if (RegionSet && R.Keep == LastRegion.Keep && R.Hole == LastRegion.Hole) return;
    if (HRGN rgn = MakeRegion(R)) {
      ::SetWindowRgn(Wnd, rgn, FALSE);  // the system owns it now
      LastRegion = R;
      RegionSet = true;
    }
  }

  // The region with one pixel taken out at P (window coordinates), so that
  // the window below is found under the cursor.
  void HoleAt(const TkxBorderRegion& R, tk::TPoint P) {
    HRGN rgn = MakeRegion(R);
    if (!rgn) return;
    tk::TRegionHandle pixel(::CreateRectRgn(P.X, P.Y, P.X + 1, P.Y + 1));
    if (pixel) ::CombineRgn(rgn, rgn, pixel, RGN_XOR);
    ::SetWindowRgn(Wnd, rgn, FALSE);
    RegionSet = false;
  }
};

TkxBorderForm::TkxBorderForm(IkxBorderOwner* Owner) : FOwner(Owner), FWindow(std::make_unique<TWindow>()) {
  if (!TWindow::Register()) return;
  // No owner window: an owned window would be kept above its owner, and the
  // border must lie behind it.
  HWND wnd = ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kBorderClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!wnd) return;
  FWindow->Wnd = wnd;
  ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  FSurface = std::make_unique<TkxLayeredSurface>(wnd);
}

TkxBorderForm::~TkxBorderForm() {
  FSurface.reset();
  if (HWND wnd = FWindow->Wnd) {
    // Destroying sends hiding and position messages; the owner may be half
    // gone by now, so they no longer reach this object.
    ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    ::DestroyWindow(wnd);
    FWindow->Wnd = nullptr;
  }
}

HWND TkxBorderForm::Handle() const { return FWindow->Wnd; }

void TkxBorderForm::Hide() {
  HWND wnd = FWindow->Wnd;
  if (!wnd || !::IsWindowVisible(wnd)) return;
  ::SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOOWNERZORDER);
}

void TkxBorderForm::UpdateExBordersPos(bool Redraw, uint8_t Blend) {
  HWND wnd = FWindow->Wnd;
  if (!wnd || !FSurface || ExBorderShowing || ApplicationEnding()) return;
  HWND owner = FOwner->OwnerHandle();
  RECT r{};
  if (!owner || !::GetWindowRect(owner, &r)) return;
  // A border without its form would float on the screen alone, whatever
  // else keeps the owner from placing it now.
  if (!::IsWindowVisible(owner)) {
    Hide();
    return;
  }
  if (!FOwner->OwnerCanPlaceBorders()) return;
  TsCommonData* data = FOwner->OwnerSkinData();
  if (!data) return;

  struct TGuard {
    bool& Flag;
    explicit TGuard(bool& F) : Flag(F) { Flag = true; }
    ~TGuard() { Flag = false; }
  } guard(ExBorderShowing);

  if (data->BGChanged || FOwner->OwnerIsProvider()) {
    FOwner->PaintAll();  // rebuilds only what is dirty
    Redraw = true;
  }
  tk::TBitmap* image = data->FCacheBmp.get();
  if (!image || image->Empty() || image->PixelFormat() != tk::TPixelFormat::pf32bit) {
    Hide();
    return;
  }

  const TkxFormFrame F = FOwner->OwnerFrame();
  const tk::TPoint off = BorderWindowOffset(F);
  const int x = r.left - off.X, y = r.top - off.Y, w = image->Width();
  int h = image->Height();
  const TkxBorderRegion region = BorderRegion(F, tk::TSize{w, h}, FOwner->OwnerIsProvider());
  // Maximised, the frame's lower part and the shadow below it are off the
  // screen's work area; the window stops where the form does.
  if (F.Zoomed && FOwner->OwnerIsProvider()) h = std::max(0, h - F.Skin.Shadow.Bottom - SysBorderWidth(F, true));

  // Directly behind the owner; a minimised owner keeps its place, so the
  // border goes behind the window above it.
  HWND anchor = owner;
  if (::IsIconic(owner)) {
    anchor = ::GetWindow(owner, GW_HWNDPREV);
    if (!anchor) anchor = HWND_TOP;
  }
  const bool ownerTopmost = (::GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  const bool borderTopmost = (::GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  const UINT place = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
  if (ownerTopmost != borderTopmost)
    ::SetWindowPos(wnd, ownerTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, place | SWP_NOMOVE | SWP_NOSIZE);

  const tk::TSize now = FWindow->Size();
  const bool visible = ::IsWindowVisible(wnd) != FALSE;
  const bool layered = SystemCaps().UpdateLayeredWindow != nullptr;
  if (!layered || kxInMouseMsg || !(Redraw || !visible || now.cx != w || now.cy != h)) {
    ::SetWindowPos(wnd, anchor, x, y, 0, 0, place | SWP_NOSIZE | (Redraw ? 0 : SWP_NOREDRAW));
    return;
  }

  const LONG_PTR ex = ::GetWindowLongPtrW(wnd, GWL_EXSTYLE);
  if ((ex & (WS_EX_NOACTIVATE | WS_EX_LAYERED)) != (WS_EX_NOACTIVATE | WS_EX_LAYERED))
    ::SetWindowLongPtrW(wnd, GWL_EXSTYLE, ex | WS_EX_NOACTIVATE | WS_EX_LAYERED);
  ::SetWindowPos(wnd, anchor, x, y, w, h, place | SWP_NOREDRAW);
  FWindow->SetRegion(region);

  FSurface->SetSize(w, h);
  const tk::TPixelView src = image->View(), dst = FSurface->Pixels();
  for (int row = 0; row < dst.height; ++row) std::memcpy(dst.Row(row), src.Row(row), size_t(dst.width) * 4);
  // Where the owner shows, the picture is see-through as well as cut from
  // the region: Wine shapes a layered window by its alpha, not its region,
  // and the border would cover the owner wherever it stands above it.
  const tk::TRect hole{std::max(region.Hole.Left, 0), std::max(region.Hole.Top, 0),
                       std::min(region.Hole.Right, dst.width), std::min(region.Hole.Bottom, dst.height)};
  for (int row = hole.Top; row < hole.Bottom && hole.Left < hole.Right; ++row)
    std::memset(dst.Row(row) + size_t(hole.Left) * 4, 0, size_t(hole.Right - hole.Left) * 4);
  const uint8_t alpha = FOwner->OwnerAlpha() != 255 ? FOwner->OwnerAlpha() : Blend;
  if (!FSurface->Update(tk::TPoint{x, y}, alpha)) return;

  if (!visible) {
    // A window shown fully transparent must not let the owner flash up
    // before the first frame of its fade.
    const LONG_PTR style = ::GetWindowLongPtrW(owner, GWL_STYLE);
    const bool hideOwner = Blend == 0 && (style & WS_VISIBLE);
    if (hideOwner) ::SetWindowLongPtrW(owner, GWL_STYLE, style & ~WS_VISIBLE);
    ::SetWindowPos(wnd, anchor, 0, 0, 0, 0, place | SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (hideOwner) ::SetWindowLongPtrW(owner, GWL_STYLE, ::GetWindowLongPtrW(owner, GWL_STYLE) | WS_VISIBLE);
  }
}

bool TkxBorderForm::MouseAboveTheShadow(const tk::TMessage& Message) {
  HWND wnd = FWindow->Wnd;
  if (!wnd || ApplicationEnding() || !FOwner->OwnerSkinData()) return false;
  const TkxFormFrame F = FOwner->OwnerFrame();
  if (F.Zoomed) return false;
  // Client mouse messages carry client coordinates, which for this
  // frameless window are its window coordinates; the others a screen point.
  tk::TPoint p = PointOf(Message.LParam);
  if (!IsClientMouseMessage(Message.Msg)) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    p = tk::TPoint{p.X - r.left, p.Y - r.top};
  }
  if (!OverShadow(F, FWindow->Size(), p)) return false;
  FOwner->SetHotHT(-1, true);
  return true;
}

int TkxBorderForm::Ex_WMNCHitTest(tk::TPoint Screen) {
  HWND wnd = FWindow->Wnd;
  if (!wnd) return -1;
  if (FOwner->OwnerIsProvider()) {
    tk::TMessage m = tk::MakeMessage(WM_NCHITTEST, 0, LParamOf(Screen));
    if (const int ht = FOwner->OwnerExtHitTest(m)) return ht;
  }
  HWND owner = FOwner->OwnerHandle();
  RECT r{};
  ::GetWindowRect(wnd, &r);
  const tk::TPoint p{Screen.X - r.left, Screen.Y - r.top};
  const int ht = BorderHitTest(FOwner->OwnerFrame(), FOwner->OwnerHitState(), FWindow->Size(), p,
                               owner && !::IsWindowEnabled(owner));
  if (IsButtonCode(ht)) FOwner->SetHotHT(ht, true);
  else FOwner->SetHotHT(ht == -1 ? 0 : -1, true);
  return ht;
}

bool TkxBorderForm::Ex_WMSetCursor() {
  HWND wnd = FWindow->Wnd;
  POINT c{};
  if (!wnd || !::GetCursorPos(&c)) return false;
  RECT r{};
  ::GetWindowRect(wnd, &r);
  if (OverShadow(FOwner->OwnerFrame(), FWindow->Size(), tk::TPoint{c.x - r.left, c.y - r.top})) return false;
  LPCWSTR cursor = nullptr;
  switch (Ex_WMNCHitTest(tk::TPoint{c.x, c.y})) {
    case kxHTCAPTION:
    case kxHTMENU: cursor = IDC_ARROW; break;
    case kxHTLEFT:
    case kxHTRIGHT: cursor = IDC_SIZEWE; break;
    case kxHTTOP:
    case kxHTBOTTOM: cursor = IDC_SIZENS; break;
    case kxHTTOPLEFT:
    case kxHTBOTTOMRIGHT: cursor = IDC_SIZENWSE; break;
    case kxHTTOPRIGHT:
    case kxHTBOTTOMLEFT: cursor = IDC_SIZENESW; break;
    default: return false;
  }
  ::SetCursor(::LoadCursorW(nullptr, cursor));
  return true;
}

void TkxBorderForm::BorderProc(tk::TMessage& Message) {
  TWindow& w = *FWindow;
  HWND owner = FOwner->OwnerHandle();
  if (IsClientMouseMessage(Message.Msg) && MouseAboveTheShadow(Message)) {
    // The shadow is see-through: the window under the cursor gets the
    // message at its own client coordinates. The pixel under the cursor is
    // taken out of the region first, so that the window is found there and
    // the following messages go to it directly.
    kxInMouseMsg = true;
    const tk::TPoint p = PointOf(Message.LParam);
    POINT s{p.X, p.Y};
    ::ClientToScreen(w.Wnd, &s);
    w.HoleAt(BorderRegion(FOwner->OwnerFrame(), w.Size(), FOwner->OwnerIsProvider()), p);
    HWND below = ::WindowFromPoint(s);
    if (below && below != w.Wnd && below != owner) {
      POINT c = s;
      ::ScreenToClient(below, &c);
      // Another program's window that hangs must not hang this one: only a
      // window of this thread gets the message sent, others have it posted.
      const LPARAM at = MAKELPARAM(c.x, c.y);
      if (::GetWindowThreadProcessId(below, nullptr) == ::GetCurrentThreadId())
        Message.Result = ::SendMessageW(below, Message.Msg, Message.WParam, at);
      else ::PostMessageW(below, Message.Msg, Message.WParam, at);
    }
    kxInMouseMsg = false;
    return;
  }

  switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_SETCURSOR:
      if (Ex_WMSetCursor()) Message.Result = 1;
      else w.Default(Message);
      return;
    case WM_MOUSEACTIVATE:
      // A click on the frame is the owner's; one on the shadow is meant for
      // the window below and must not bring the owner forward.
      Message.Result = MA_NOACTIVATE;
      if (owner && LOWORD(Message.LParam) == HTBORDER) ::SetForegroundWindow(owner);
      return;
    case WM_WINDOWPOSCHANGED:
      FOwner->KillAnimations();
      w.Default(Message);
      if (!kxInMouseMsg) UpdateExBordersPos(false, 255);
      return;
    case WM_NCHITTEST:
      // Over the shadow the default answer (client area) brings the mouse
      // messages here, to be passed to the window below: a see-through
      // answer would reach only windows of this thread, and not every
      // system passes it on to the windows behind a top-level window.
      if (MouseAboveTheShadow(Message)) w.Default(Message);
      else Message.Result = HTBORDER;
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP:
      // The owner asks the border's hit test for the real code (-1).
      if (MouseAboveTheShadow(Message)) Message.Result = 0;
      else if (owner) Message.Result = ::SendMessageW(owner, Message.Msg, WPARAM(-1), Message.LParam);
      return;
    case WM_NCRBUTTONDOWN:
      if (MouseAboveTheShadow(Message)) Message.Result = 0;
      else if (owner)
        Message.Result =
            ::SendMessageW(owner, Message.Msg, WPARAM(Ex_WMNCHitTest(PointOf(Message.LParam))), Message.LParam);
      return;
    case WM_NCDESTROY:
      // Destroyed from outside (its thread ending): nothing is placed or
      // pushed through a dead handle afterwards.
      w.Default(Message);
      w.Wnd = nullptr;
      return;
    case WM_NCLBUTTONDBLCLK: {
      const int ht = Ex_WMNCHitTest(PointOf(Message.LParam));
      if (ht == kxHTCAPTION || ht == kxHTSYSMENU) FOwner->OwnerDoubleClick(ht);
      Message.Result = 0;
      return;
    }
    default: w.Default(Message);
  }
}

}  // namespace kx
