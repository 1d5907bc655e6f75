#include <windows.h>

#include <climits>
#include <cstring>
#include <utility>
#include <vector>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxGlow.h"
#include "skin/framework/kxLayeredSurface.h"
#include "skin/framework/kxSystemCaps.h"
#include "skin/framework/sCacheInfo.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sMessages.h"
#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"

namespace kx {

namespace {

constexpr wchar_t kGlowClass[] = L"TkxGlowWnd";
// Posted to a glow window that is to go once the messages before it are done.
constexpr UINT kReleaseGlow = WM_USER + 1;

// GWLP_USERDATA of a glow window points at its effect's FWnd, so that a
// window destroyed from outside (with its owner) is forgotten there.
LRESULT CALLBACK GlowWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  try {
    switch (Msg) {
      // The glow lies over the control and around it: the mouse must reach
      // whatever is below.
      case WM_NCHITTEST: return HTTRANSPARENT;
      case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
      case kReleaseGlow: ::DestroyWindow(Wnd); return 0;
      case WM_NCDESTROY:
        if (auto* owner = reinterpret_cast<HWND*>(::GetWindowLongPtrW(Wnd, GWLP_USERDATA))) *owner = nullptr;
        break;
      case SM_KESTRIXCMD:
        // Handles itself: no adoption, adapter or broadcast reaches into it.
        if (HIWORD(WParam) == KX_QUERYHANDLED) return 1;
        return 0;
    }
  } catch (...) {
    if (tk::Application) tk::Application->HandleException(nullptr);
  }
  return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
}

bool RegisterGlowClass() {
  static bool done = false;
  if (done) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = GlowWndProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kGlowClass;
  done = ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return done;
}

// The glows shown, by id - Base. Freed glows leave an empty slot; once no
// glow is left the slots go and Base moves on, so ids are never given twice
// and the list does not grow with every hover.
struct TGlowList {
  std::vector<std::unique_ptr<TkxGlowEffect>> Items;
  int Base = 0;
  int Shown = 0;

  ~TGlowList() {
    for (auto& g : Items)
      if (g) g->AtOnce = true;
  }
  TkxGlowEffect* At(int Id) const {
    if (Id < Base || Id - Base >= int(Items.size())) return nullptr;
    return Items[size_t(Id - Base)].get();
  }
  // Empties the list; the glows taken out go with the result.
  std::vector<std::unique_ptr<TkxGlowEffect>> Restart() {
    Base = Base > INT_MAX / 2 ? 0 : Base + int(Items.size());
    Shown = 0;
    return std::exchange(Items, {});
  }
};

TGlowList& Glows() {
  static TGlowList list;
  return list;
}

tk::TRect ScreenRectOf(HWND Wnd) {
  RECT r{};
  ::GetWindowRect(Wnd, &r);
  return tk::TRect{r.left, r.top, r.right, r.bottom};
}

// The part of a window not clipped away, in window coordinates.
tk::TRect VisiblePartOf(HWND Wnd) {
  tk::TWindowDC dc(Wnd, true);
  RECT r{};
  if (!dc || ::GetClipBox(dc, &r) == NULLREGION) return tk::TRect{};
  return tk::TRect{r.left, r.top, r.right, r.bottom};
}

// A window-less control: the part inside its parent's clip box, in the
// control's coordinates.
tk::TRect VisiblePartOf(tk::TControl* Control, HWND Parent) {
  tk::TWindowDC dc(Parent);
  RECT c{};
  if (!dc || ::GetClipBox(dc, &c) == NULLREGION) return tk::TRect{};
  const int l = Control->Left(), t = Control->Top(), w = Control->Width(), h = Control->Height();
  return tk::TRect{l < c.left ? c.left - l : 0, t < c.top ? c.top - t : 0, l + w > c.right ? c.right - l : w,
                   t + h > c.bottom ? c.bottom - t : h};
}

// The window a control's glow belongs with: its form's parent control or
// the form, for an MDI child the MDI parent form.
HWND HostOf(tk::TControl* Control) {
  tk::TCustomForm* form = tk::GetParentForm(Control);
  if (!form) return nullptr;
  if (form->FormStyle() == tk::fsMDIChild && tk::Application && tk::Application->MainForm())
    form = tk::Application->MainForm();
  if (tk::TWinControl* p = form->Parent(); p && p->HandleAllocated()) return p->Handle();
  return form->HandleAllocated() ? form->Handle() : nullptr;
}

}  // namespace

// --- The glow ----------------------------------------------------------------------

TkxGlowEffect::TkxGlowEffect(TsSkinManager* Manager) : SkinManager(Manager ? Manager : DefaultManager()) {}

TkxGlowEffect::~TkxGlowEffect() {
  FSurface.reset();
  if (!FWnd) return;
  ::SetWindowLongPtrW(FWnd, GWLP_USERDATA, 0);
  // A glow may be hidden from inside the messages of the control it
  // surrounds, so its window goes after them; the manager's end takes it now.
  const bool now = AtOnce || (SkinManager && SkinManager->IsDestroying());
  ::ShowWindow(FWnd, SW_HIDE);
  if (now || !::PostMessageW(FWnd, kReleaseGlow, 0, 0)) ::DestroyWindow(FWnd);
  FWnd = nullptr;
}

bool TkxGlowEffect::Show(const tk::TRect& R, const tk::TRect& V, HWND Host, uint8_t Alpha) {
  if (FWnd) return true;
  if (!SkinManager || !SkinManager->IsValidImgIndex(MaskIndex) || !RegisterGlowClass()) return false;
  const TkxSkinContent& skin = SkinManager->Content();
  const TkxGlowPlace p =
      GlowPlacement(TkxGlowFrame{R, V, skin.MaskWidthLeft(MaskIndex), skin.MaskWidthTop(MaskIndex),
                                 skin.MaskWidthRight(MaskIndex), skin.MaskWidthBottom(MaskIndex), Margin});
  if (p.Empty()) return false;

  HWND root = Host ? ::GetAncestor(Host, GA_ROOT) : nullptr;
  const bool topmost = root && (::GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // Owned by the host's top-level window, so that it stays above it when the
  // host comes to the front and never gets a taskbar button.
  HWND wnd =
      ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | (topmost ? WS_EX_TOPMOST : 0), kGlowClass,
                        L"", WS_POPUP, p.X, p.Y, p.W, p.H, root, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!wnd) return false;
  FWnd = wnd;
  ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&FWnd));
  FSurface = std::make_unique<TkxLayeredSurface>(wnd);

  // The whole frame, centre clear, then the part that is seen. The skin's
  // glow pictures hold premultiplied alpha, which the frame keeps.
  const TsMaskData& mask = skin.ma[size_t(MaskIndex)];
  FSurface->SetSize(p.W, p.H);
  if (p.W == p.FullW && p.H == p.FullH) {
    DrawBorderFromMask(FSurface->Image(), tk::TRect{0, 0, p.W, p.H}, false, false, 0, mask, EmptyCacheInfo());
  } else {
    tk::TBitmap full(p.FullW, p.FullH, tk::TPixelFormat::pf32bit);
    const tk::TPixelView f = full.View();
    for (int y = 0; y < f.height; ++y) std::memset(f.Row(y), 0, size_t(f.width) * 4);
    DrawBorderFromMask(&full, tk::TRect{0, 0, p.FullW, p.FullH}, false, false, 0, mask, EmptyCacheInfo());
    const tk::TPixelView d = FSurface->Pixels();
    for (int y = 0; y < p.H; ++y) std::memcpy(d.Row(y), f.Row(p.CutTop + y) + size_t(p.CutLeft) * 4, size_t(p.W) * 4);
  }

  if (!FSurface->Update(tk::TPoint{p.X, p.Y}, Alpha, TkxAlphaKind::akPremultiplied)) {
    AtOnce = true;
    return false;
  }
  ::ShowWindow(wnd, SW_SHOWNOACTIVATE);
  return true;
}

// --- The list --------------------------------------------------------------------------

bool GlowingAllowed(const TsSkinManager* Manager) {
  if (!Manager) Manager = DefaultManager();
  const TkxSystemCaps& caps = SystemCaps();
  return Manager && Manager->AllowGlowing() && caps.UpdateLayeredWindow && !(caps.Wow64 && !DesktopComposition());
}

int ShowGlow(const tk::TRect& R, const tk::TRect& V, const tk::String& Section, TsSkinManager* Manager, HWND Host,
             uint8_t Alpha, int Margin, const tk::String& GlowName) {
  if (!SystemCaps().UpdateLayeredWindow) return -1;
  auto glow = std::make_unique<TkxGlowEffect>(Manager);
  TsSkinManager* m = glow->SkinManager;
  if (!m) return -1;
  const int mask = m->Content().GetMaskIndex(m->GetSkinIndex(Section), Section, GlowName + L"0");
  if (!m->IsValidImgIndex(mask)) return -1;
  glow->MaskIndex = mask;
  glow->Margin = Margin;
  if (!glow->Show(R, V, Host, Alpha)) return -1;
  TGlowList& list = Glows();
  list.Items.push_back(std::move(glow));
  ++list.Shown;
  return list.Base + int(list.Items.size()) - 1;
}

void HideGlow(int Id) {
  TGlowList& list = Glows();
  TkxGlowEffect* g = list.At(Id);
  if (!g) return;
  // Taken out of its slot first: the window going may run other code.
  std::unique_ptr<TkxGlowEffect> gone = std::move(list.Items[size_t(Id - list.Base)]);
  if (--list.Shown == 0) list.Restart();
}

void HideAllGlows(bool AtOnce) {
  TGlowList& list = Glows();
  std::vector<std::unique_ptr<TkxGlowEffect>> gone = list.Restart();
  for (auto& g : gone)
    if (g) g->AtOnce = AtOnce;
}

const TkxGlowEffect* GlowOf(int Id) { return Glows().At(Id); }

int GlowCount() { return Glows().Shown; }

void UpdateControlGlow(TsCommonData& Data, bool Pressed, HWND Wnd) {
  TsSkinManager* m = Data.EffectiveManager();
  const TsGeneralData* section = Data.Section();
  if (!GlowingAllowed(m) || !section || section->GlowCount < 1) return;
  auto hide = [&Data] {
    HideGlow(Data.GlowID);
    Data.GlowID = -1;
  };
  tk::TRect R, V;
  HWND host = nullptr;
  if (tk::TControl* c = Data.FOwnerControl) {
    if (!Data.FMouseAbove || c->ControlState().Contains(tk::csLButtonDown) || (Pressed && GlowOf(Data.GlowID)))
      return hide();
    host = HostOf(c);
    if (auto* wc = dynamic_cast<tk::TWinControl*>(c)) {
      if (!wc->HandleAllocated()) return hide();
      R = ScreenRectOf(wc->Handle());
      V = VisiblePartOf(wc->Handle());
    } else {
      tk::TWinControl* parent = c->Parent();
      if (!parent || !parent->HandleAllocated()) return hide();
      const tk::TPoint o = c->ClientToScreen(tk::TPoint{0, 0});
      R = tk::Bounds(o.X, o.Y, c->Width(), c->Height());
      V = VisiblePartOf(c, parent->Handle());
    }
  } else if (Wnd) {
    R = ScreenRectOf(Wnd);
    V = VisiblePartOf(Wnd);
    host = ::GetAncestor(Wnd, GA_ROOT);
  } else {
    return;
  }
  // A control shows one glow: an earlier one would stay behind for good.
  hide();
  Data.GlowID = ShowGlow(R, V, Data.SkinSection(), m, host, 255, section->GlowMargin, L"GLOW");
}

void InstallGlowHooks() {
  GlowHooks.Hide = &HideGlow;
  GlowHooks.HideAll = [] { HideAllGlows(); };
  GlowHooks.Update = &UpdateControlGlow;
}

}  // namespace kx
