#include "skin/controls/kxPanelWnd.h"

#include <windows.h>

#include <algorithm>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxAdapterSections.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCacheToDevice.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sGraphicChildren.h"
#include "skin/framework/sSkinText.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"

namespace kx {

namespace {

tk::String PanelSection(const tk::String& Given, const TsCommonData* Data) {
  if (!Given.empty()) return Given;
  auto* p = Data ? dynamic_cast<tk::TCustomPanel*>(Data->FOwnerControl) : nullptr;
  if (!p) return Given;
  return PanelSectionFor(p->BevelOuter(), p->BevelInner(), p->BorderStyle() != tk::bsNone);
}

tk::String DlgPanelSection(const tk::String& Given, const tk::TWinControl* Panel) {
  if (!Given.empty()) return Given;
  return Panel && Panel->ClassName() == L"TPanel" ? L"CHECKBOX" : L"GROUPBOX";
}

int HalfBorder(HWND Wnd) {
  RECT w{}, c{};
  ::GetWindowRect(Wnd, &w);
  ::GetClientRect(Wnd, &c);
  return ((w.right - w.left) - (c.right - c.left)) / 2;
}

// The four strips E pixels wide along the edges of a W x H picture.
void CopyBorderStrips(HDC DC, tk::TBitmap* Bmp, int W, int H, int E) {
  if (E <= 0 || !Bmp || Bmp->Empty()) return;
  tk::detail::FlushPixelStore();
  HDC src = Bmp->Canvas()->Handle();
  ::BitBlt(DC, 0, 0, W, E, src, 0, 0, SRCCOPY);
  ::BitBlt(DC, 0, H - E, W, E, src, 0, H - E, SRCCOPY);
  ::BitBlt(DC, 0, E, E, H - 2 * E, src, 0, E, SRCCOPY);
  ::BitBlt(DC, W - E, E, E, H - 2 * E, src, W - E, E, SRCCOPY);
}

// The DC given by a message, or the whole window's for the length of a scope.
class TTargetDC {
 public:
  TTargetDC(HWND Wnd, HDC Given) : FOwn(Given ? nullptr : std::make_unique<tk::TWindowDC>(Wnd, true)) {
    FDC = Given ? Given : FOwn->Get();
  }
  HDC Get() const { return FDC; }

 private:
  std::unique_ptr<tk::TWindowDC> FOwn;
  HDC FDC;
};

bool Updating(TsCommonData& d) {
  d.SetUpdating(d.IsUpdating());
  return d.UpdatingFlag();
}

void SendRedraw(HWND Wnd, bool On) { ::SendMessageW(Wnd, WM_SETREDRAW, On ? TRUE : FALSE, 0); }

bool ChildCreatedOrDestroyed(const tk::TMessage& m) {
  const uint16_t e = m.WParamLo();
  return e == WM_CREATE || e == WM_DESTROY;
}

void ControlAdded(HWND Wnd, tk::TControl* Owner) {
  if (tk::TCustomForm* form = Owner ? tk::GetParentForm(Owner) : nullptr) {
    SendControlCommand(form, KX_CONTROLADDED);
    return;
  }
  if (HWND top = ::GetAncestor(Wnd, GA_ROOT); top && top != Wnd) SendCommand(top, KX_CONTROLADDED);
}

tk::TWinControl* FindIn(tk::TComponent* Owner, HWND Wnd) {
  for (int i = 0; i < Owner->ComponentCount(); ++i) {
    tk::TComponent* c = Owner->Components(i);
    if (auto* w = dynamic_cast<tk::TWinControl*>(c); w && w->HandleAllocated() && w->Handle() == Wnd) return w;
    if (tk::TWinControl* found = FindIn(c, Wnd)) return found;
  }
  return nullptr;
}

}  // namespace

void PaintWindowLookCache(TkxMainWnd& a) {
  TsCommonData* d = a.SkinData;
  if (!d) return;
  UpdateWindowGeometry(&a);
  if (!d->FCacheBmp) d->FCacheBmp = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf24bit);
  tk::TBitmap* bmp = d->FCacheBmp.get();
  if (bmp->PixelFormat() != tk::TPixelFormat::pf24bit) bmp->SetPixelFormat(tk::TPixelFormat::pf24bit);
  if (bmp->Width() != a.WndSize.cx) bmp->SetWidth(a.WndSize.cx);
  if (bmp->Height() != a.WndSize.cy) bmp->SetHeight(a.WndSize.cy);
  const TCacheInfo ci = GetWindowParentCache(a.CtrlHandle);
  PaintControlLook(*d, ci, true, true, bmp, a.WndPos, tk::TRect{0, 0, a.WndSize.cx, a.WndSize.cy}, 0);
  d->BGChanged = false;
}

tk::TWinControl* FindWindowComponent(HWND Wnd) {
  return Wnd && tk::Application ? FindIn(tk::Application, Wnd) : nullptr;
}

// --- Panel ------------------------------------------------------------------------------

TkxPanelWnd::TkxPanelWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* Manager,
                         TsCommonData* Data)
    : TkxMainWnd(Handle, Repaint, PanelSection(SkinSection, Data), Manager, Data) {}

tk::TWinControl* TkxPanelWnd::Container() const {
  auto* w = SkinData ? dynamic_cast<tk::TWinControl*>(SkinData->FOwnerControl) : nullptr;
  return w && w->ControlStyle().Contains(tk::csAcceptsControls) ? w : nullptr;
}

int TkxPanelWnd::BorderWidth() const { return HalfBorder(CtrlHandle); }

void TkxPanelWnd::PrepareCache() {
  tk::TWinControl* p = Container();
  if (!p) return;
  TsCommonData& d = *SkinData;
  d.InitCacheBmp();
  tk::TBitmap* cache = d.FCacheBmp.get();
  PaintControlLook(d, d.GetParentCache(), true, true, cache, tk::TPoint{p->Left(), p->Top()},
                   tk::TRect{0, 0, p->Width(), p->Height()}, 0);
  // The client rectangle inside the bevels, in the cache's (window) coordinates.
  tk::TRect r = p->ClientRect();
  const auto* panel = dynamic_cast<tk::TCustomPanel*>(p);
  const int inset = panel ? panel->BevelInset() : p->BorderWidth();
  r.Inflate(-inset, -inset);
  const int a = BorderWidth();
  r.Offset(a, a);
  WriteText(r, cache->Canvas());
  d.BGChanged = false;
}

void TkxPanelWnd::WriteText(tk::TRect R, tk::TCanvas* Canvas) {
  if (Caption.empty() || !Canvas) return;
  tk::TControl* owner = SkinData->FOwnerControl;
  if (owner) Canvas->Font()->Assign(owner->Font());
  Canvas->Brush()->SetStyle(tk::bsClear);
  const int h = Canvas->TextHeight(L"W");
  R.Top = (R.Top + R.Bottom - h) / 2;
  R.Bottom = R.Top + h;
  WriteSkinText(Canvas, Caption, owner ? owner->Enabled() : true, false, *SkinData, DT_CENTER | DT_VCENTER, R);
}

void TkxPanelWnd::KX_WMPaint(HDC Given) {
  tk::TWinControl* p = Container();
  if (!p || p->IsDestroying()) return;
  if (tk::TWinControl* parent = p->Parent(); parent && parent->ControlState().Contains(tk::csCreating)) return;
  TsCommonData& d = *SkinData;
  const TTargetDC dc(CtrlHandle, Given);
  const tk::TDCState state(dc.Get());
  if (Updating(d)) return;
  const bool rebuild = d.HalfVisible || d.BGChanged;
  if (d.RepaintIfMoved()) {
    RECT clip{};
    ::GetClipBox(dc.Get(), &clip);
    d.HalfVisible = clip.right - clip.left != p->Width() || clip.bottom - clip.top != p->Height();
  } else {
    d.HalfVisible = false;
  }
  if (rebuild) PrepareCache();
  const int a = BorderWidth();
  CopyCacheToDevice(d, tk::TRect{a, a, p->Width() - a, p->Height() - a}, dc.Get(), tk::TPoint{a, a});
  PaintGraphicChildren(dc.Get(), p, tk::TPoint{a, a});
  tk::TMessage done = MakeCommand(KX_PARENTUPDATED);
  BroadcastToChildren(p, done);
}

void TkxPanelWnd::KX_WMNCPaint(HDC Given) {
  tk::TWinControl* p = Container();
  if (!p) return;
  UpdateWindowGeometry(this);
  const TTargetDC dc(CtrlHandle, Given);
  // The cache may not have been built yet when the frame is painted first:
  // the border would be left unpainted.
  if (SkinData->BGChanged && !Updating(*SkinData)) PrepareCache();
  CopyBorderStrips(dc.Get(), SkinData->FCacheBmp.get(), WndSize.cx, WndSize.cy, BorderWidth());
}

void TkxPanelWnd::kxWndProc(tk::TMessage& m) {
  TsSkinManager* manager = SkinManager;
  if (!Container() || !manager || !manager->Active()) return TkxMainWnd::kxWndProc(m);
  const bool visible = ::IsWindowVisible(CtrlHandle) != 0;
  switch (m.Msg) {
    case SM_KESTRIXCMD: return PanelCommand(m);
    case WM_SETTEXT:
      if (!visible) break;
      SendRedraw(CtrlHandle, false);
      TkxMainWnd::kxWndProc(m);
      SendRedraw(CtrlHandle, true);
      SkinData->BGChanged = true;
      ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
      return;
    case WM_PAINT: return WMPaint(m);
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case WM_UPDATEUISTATE: m.Result = 1; return;
    case WM_NCPAINT:
      KX_WMNCPaint(nullptr);
      m.Result = 0;
      return;
    case WM_PARENTNOTIFY:
      if (!ChildCreatedOrDestroyed(m)) break;
      TkxMainWnd::kxWndProc(m);
      if (m.WParamLo() == WM_CREATE) ControlAdded(CtrlHandle, SkinData->FOwnerControl);
      return;
    case WM_PRINT: {
      const HDC dc = reinterpret_cast<HDC>(m.WParam);
      SkinData->BGChanged = true;
      KX_WMPaint(dc);
      KX_WMNCPaint(dc);
      m.Result = 0;
      return;
    }
    default: break;
  }
  const std::weak_ptr<bool> token = FAlive;
  TkxMainWnd::kxWndProc(m);
  if (m.Msg == WM_WINDOWPOSCHANGING && Alive(token)) ::SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
}

void TkxPanelWnd::PanelCommand(tk::TMessage& m) {
  const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == SkinManager;
  switch (m.WParamHi()) {
    case KX_SKINREFRESH: {
      // The common handling passes a loaded skin on to the children itself.
      const std::weak_ptr<bool> token = FAlive;
      TkxMainWnd::kxWndProc(m);
      if (own && Alive(token))
        if (tk::TWinControl* p = Container()) BroadcastToChildren(p, m);
      return;
    }
    case KX_SKINREMOVED:
      if (own) {
        SkinData->SkinIndex = -1;
        if (tk::TWinControl* p = Container()) p->SetControlStyle(p->ControlStyle() - tk::csOpaque);
      }
      break;
    case KX_PARENTUPDATED:
      SkinData->SetUpdating(false);
      ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
      return;
    case KX_QUERYHANDLED: m.Result = 1; return;
    case KX_BUILDCACHE: m.Result = 0; return;
    case KX_QUERYAPPLICATION: m.Result = reinterpret_cast<intptr_t>(tk::Application); return;
    default: break;
  }
  TkxMainWnd::kxWndProc(m);
}

void TkxPanelWnd::WMPaint(tk::TMessage& m) {
  // The erase that BeginPaint sends paints the whole panel.
  ::InvalidateRect(CtrlHandle, nullptr, TRUE);
  PAINTSTRUCT ps;
  ::BeginPaint(CtrlHandle, &ps);
  ::EndPaint(CtrlHandle, &ps);
  m.Result = 0;
}

void TkxPanelWnd::WMEraseBkgnd(tk::TMessage& m) {
  const HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (dc) {
    // The erase DC has the client origin; the cache is the whole window's.
    const tk::TDCState state(dc);
    const int a = BorderWidth();
    ::OffsetViewportOrgEx(dc, -a, -a, nullptr);
    KX_WMPaint(dc);
  }
  m.Result = 1;
}

// --- Dialog panel ---------------------------------------------------------------------------

TkxDlgPanelWnd::TkxDlgPanelWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* Manager,
                               TsCommonData* Data)
    : TkxMainWnd(Handle, Repaint, DlgPanelSection(SkinSection, FindWindowComponent(Handle)), Manager, Data),
      Panel(FindWindowComponent(Handle)) {
  if (Panel && Panel->ClassName() == L"TPanel" && SkinManager) PanelColour(SkinManager->GetGlobalColor());
}

void TkxDlgPanelWnd::PanelColour(tk::TColor Colour) {
  if (Panel && Panel->Color() != Colour) Panel->SetColor(Colour);
}

void TkxDlgPanelWnd::SetSkinParams() {
  TkxMainWnd::SetSkinParams();
  if (SkinManager) PanelColour(SkinManager->GetGlobalColor());
}

void TkxDlgPanelWnd::PrepareCache() { PaintWindowLookCache(*this); }

void TkxDlgPanelWnd::KX_WMPaint(HDC Given) {
  if (!SkinData->Skinned()) return;
  const TTargetDC dc(CtrlHandle, Given);
  const tk::TDCState state(dc.Get());
  if (Updating(*SkinData)) return;
  PrepareCache();
  const int x = HalfBorder(CtrlHandle);
  tk::detail::FlushPixelStore();
  ::BitBlt(dc.Get(), x, x, WndSize.cx - 2 * x, WndSize.cy - 2 * x, SkinData->FCacheBmp->Canvas()->Handle(), x, x,
           SRCCOPY);
}

void TkxDlgPanelWnd::KX_WMNCPaint(HDC Given) {
  const int a = HalfBorder(CtrlHandle);
  if (a < -5) return;
  SkinData->BGChanged = true;
  PrepareCache();
  const TTargetDC dc(CtrlHandle, Given);
  // Six pixels more than the border: the panel's own bevels lie there.
  CopyBorderStrips(dc.Get(), SkinData->FCacheBmp.get(), WndSize.cx, WndSize.cy, a + 6);
}

void TkxDlgPanelWnd::kxWndProc(tk::TMessage& m) {
  TsSkinManager* manager = SkinManager;
  if (!SkinData || !manager || !manager->Active()) return TkxMainWnd::kxWndProc(m);
  const tk::TColor global = manager->GetGlobalColor();
  switch (m.Msg) {
    case WM_SETTEXT:
      if (::IsWindowVisible(CtrlHandle)) SkinData->BGChanged = true;
      break;
    case WM_PAINT: {
      PanelColour(global);
      PAINTSTRUCT ps;
      ::BeginPaint(CtrlHandle, &ps);
      ::EndPaint(CtrlHandle, &ps);
      m.Result = 0;
      return;
    }
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case WM_NCPAINT:
      KX_WMNCPaint(nullptr);
      m.Result = 1;
      return;
    case WM_UPDATEUISTATE: m.Result = 1; return;
    case WM_PARENTNOTIFY:
      if (!ChildCreatedOrDestroyed(m)) break;
      {
        const std::weak_ptr<bool> token = FAlive;
        TkxMainWnd::kxWndProc(m);
        if (!Alive(token)) return;
        PanelColour(global);
        if (m.WParamLo() == WM_CREATE) ControlAdded(CtrlHandle, Panel);
      }
      return;
    case WM_PRINT: {
      const HDC dc = reinterpret_cast<HDC>(m.WParam);
      KX_WMPaint(dc);
      KX_WMNCPaint(dc);
      m.Result = 0;
      return;
    }
    case WM_THEMECHANGED: PanelColour(kxSysBtnFace); break;
    default: break;
  }
  TkxMainWnd::kxWndProc(m);
}

void TkxDlgPanelWnd::WMEraseBkgnd(tk::TMessage& m) {
  const HDC dc = reinterpret_cast<HDC>(m.WParam);
  m.Result = 1;
  if (!dc) return;
  const tk::TDCState state(dc);
  const int a = HalfBorder(CtrlHandle);
  {
    const tk::TDCState inner(dc);
    ::OffsetViewportOrgEx(dc, -a, -a, nullptr);
    KX_WMPaint(dc);
  }
  // The panel draws its own face (in the skin's colour) inside the skin's edge.
  RECT c{};
  ::GetClientRect(CtrlHandle, &c);
  ::IntersectClipRect(dc, 6, 6, c.right - 6, c.bottom - 6);
  intptr_t lp = 0;
  CallPrevWndProc(CtrlHandle, WM_PAINT, reinterpret_cast<uintptr_t>(dc), lp);
}

}  // namespace kx
