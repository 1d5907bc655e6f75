#include "skin/controls/kxEditWnd.h"

#include <windows.h>

#include <optional>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCacheToDevice.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sControlPaint.h"
#include "skin/paint/sAlphaGraph.h"
#include "toolkit/Controls.h"
#include "toolkit/Handles.h"

namespace kx {

namespace {

constexpr uint16_t kxStatePrinting = 0x200;

bool ClipEmpty(HDC dc) {
  RECT r{};
  return ::GetClipBox(dc, &r) == NULLREGION;
}

// The border mask shows focus and hover only when it has more than one state.
bool BorderHasStates(const TkxEditWnd& a) {
  TsSkinManager* m = a.SkinManager;
  if (!m || !m->Active() || !a.SkinData) return false;
  const int i = a.SkinData->BorderIndex;
  return i >= 0 && size_t(i) < m->ma().size() && m->ma()[size_t(i)].ImageCount > 1;
}

}  // namespace

TkxEditWnd::TkxEditWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* Manager,
                       TsCommonData* Data)
    : TkxScrollWnd(Handle, Repaint, SkinSection.empty() ? tk::String(L"EDIT") : SkinSection, Manager, Data) {
  // The base constructor could only run the base's (empty) SaveStdParams.
  SaveStdParams();
  ParamsChanged = false;
}

TkxEditWnd::~TkxEditWnd() {
  *FAlive = false;
  if (Destroyed) return;
  TkxScrollWnd* self = this;
  DetachScrollBars(CtrlHandle, false, true, self);
}

// --- Colours ------------------------------------------------------------------------------

void TkxEditWnd::SaveStdParams() {
  if (tk::TControl* c = SkinData ? SkinData->FOwnerControl : nullptr) {
    StdColor = c->Color();
    StdFontColor = c->Font()->Color();
  } else {
    StdColor = tk::TColor(::GetSysColor(COLOR_WINDOW));
    StdFontColor = tk::TColor(::GetSysColor(COLOR_WINDOWTEXT));
  }
  FocusColor = StdColor;  // the toolkit's controls publish no focus colour
}

void TkxEditWnd::RestoreStdParams() {
  if (::IsWindowVisible(CtrlHandle))
    ::SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
  tk::TControl* c = SkinData ? SkinData->FOwnerControl : nullptr;
  if (!c || c->IsDestroying()) return;
  const std::weak_ptr<bool> token = FAlive;
  if (c->Color() != StdColor) c->SetColor(StdColor);
  if (!token.lock() || !*FAlive) return;
  if (c->Font()->Color() != StdFontColor) c->Font()->SetColor(StdFontColor);
}

void TkxEditWnd::SetSkinParams() {
  if (FInSkinParams) return;
  TsCommonData* data = SkinData;
  if (!data) return;
  const bool ownData = OwnSkinData;
  const std::weak_ptr<bool> token = FAlive;
  FInSkinParams = true;
  const bool wasUpdating = data->UpdatingFlag();
  data->SetUpdating(true);
  // On an early stop only what outlives the adapter is put right.
  auto stopped = [&] {
    if (!ownData) data->SetUpdating(wasUpdating);
  };
  ParamsChanged = true;
  if (tk::TControl* c = data->FOwnerControl) {
    if (!data->CustomColor()) {
      const tk::TColor col = data->ControlColor(data->IsActive(), CtrlHandle);
      if (c->Color() != col) c->SetColor(col);
      if (!Alive(token)) return stopped();
    }
    if (!data->CustomFont()) {
      if (const TsGeneralData* s = data->Section(); s && s->HotFontColor[0] != c->Font()->Color()) {
        c->Font()->SetColor(s->HotFontColor[0]);
        if (!Alive(token)) return stopped();
      }
    }
  } else {
    const TsGeneralData* s = data->Section();
    Color = !DlgMode && s ? s->Color : tk::TColor(::GetSysColor(COLOR_WINDOW));
    FrameColor = 0;
  }
  data->BGChanged = true;
  data->SetUpdating(wasUpdating);
  FInSkinParams = false;
}

// --- Frame ----------------------------------------------------------------------------------

void TkxEditWnd::PaintFrameCache(bool Plain) {
  TsCommonData* d = SkinData;
  if (!d || !d->BGChanged) return;
  UpdateWindowGeometry(this);
  const TCacheInfo ci = GetWindowParentCache(CtrlHandle);
  if (!d->FCacheBmp) d->FCacheBmp = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf24bit);
  tk::TBitmap* bmp = d->FCacheBmp.get();
  if (bmp->PixelFormat() != tk::TPixelFormat::pf24bit) bmp->SetPixelFormat(tk::TPixelFormat::pf24bit);
  if (bmp->Width() != WndSize.cx) bmp->SetWidth(WndSize.cx);
  if (bmp->Height() != WndSize.cy) bmp->SetHeight(WndSize.cy);
  const tk::TRect all{0, 0, WndSize.cx, WndSize.cy};
  if (Plain) {
    tk::detail::FlushPixelStore();
    HDC dc = bmp->Canvas()->Handle();
    tk::TBrushHandle fill(::CreateSolidBrush(::GetSysColor(COLOR_WINDOW)));
    RECT r{0, 0, WndSize.cx, WndSize.cy};
    ::FillRect(dc, &r, fill.Get());
    tk::TBrushHandle frame(::CreateSolidBrush(COLORREF(FrameColor)));
    ::FrameRect(dc, &r, frame.Get());
  } else {
    if (!ParentWnd) return;  // stays stale until the window has a parent
    const int state = (d->FFocused || d->FMouseAbove || d->IsActive()) ? 1 : 0;
    PaintControlLook(*d, ci, true, false, bmp, WndPos, all, state);
  }
  if (tk::TControl* c = d->FOwnerControl; c && !c->Enabled()) {
    const TCacheInfo pc = d->GetParentCache();
    MakeDisabledLook(
        bmp, dkBlended, [d] { return d->ControlColor(); }, tk::TPoint{c->Left(), c->Top()}, pc);
  }
  d->BGChanged = false;
}

void TkxEditWnd::RefreshCorners() {
  if (DlgMode || !SkinData || !SkinData->FOwnerControl) return;
  UpdateCorners(*SkinData, (SkinData->FFocused || SkinData->FMouseAbove) ? 1 : 0);
}

void TkxEditWnd::BuildFrameCache() {
  UpdateWindowGeometry(this);
  PaintFrameCache(DlgMode);
  RefreshCorners();
}

void TkxEditWnd::CopyFrame(HDC DC) {
  const int e = cxLeftEdge;
  tk::TBitmap* bmp = SkinData ? SkinData->FCacheBmp.get() : nullptr;
  if (e <= 0 || !bmp) return;
  tk::detail::FlushPixelStore();
  HDC src = bmp->Canvas()->Handle();
  const int w = WndSize.cx, h = WndSize.cy;
  ::BitBlt(DC, 0, 0, w, e, src, 0, 0, SRCCOPY);
  ::BitBlt(DC, 0, h - e, w, e, src, 0, h - e, SRCCOPY);
  ::BitBlt(DC, 0, e, e, h - 2 * e, src, 0, e, SRCCOPY);
  ::BitBlt(DC, w - e, e, e, h - 2 * e, src, w - e, e, SRCCOPY);
}

// --- Messages ---------------------------------------------------------------------------------

void TkxEditWnd::kxWndProc(tk::TMessage& m) {
  TsSkinManager* manager = SkinManager;
  if (!SkinData || !manager || !manager->Active()) return TkxScrollWnd::kxWndProc(m);
  switch (m.Msg) {
    case WM_NCPAINT: return WMNCPaint(m);
    case WM_PAINT: return WMPaint(m);
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case WM_PRINT: return WMPrint(m);
    case SM_KESTRIXCMD: return EditCommand(m);
    case tk::CM_FONTCHANGED:
      if (!SkinData->IsUpdating()) ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
      break;
    case WM_SETCURSOR: {
      // Over the bars the arrow, not the edit's text cursor.
      if (LOWORD(m.LParam) == HTVSCROLL || LOWORD(m.LParam) == HTHSCROLL) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        m.Result = 1;
        return;
      }
      break;
    }
    case 0x2100: return;  // swallowed, as the system bar's notifications
    default: break;
  }
  const std::weak_ptr<bool> token = FAlive;
  TkxScrollWnd::kxWndProc(m);
  if (Alive(token)) AfterMessage(m);
}

void TkxEditWnd::AfterMessage(const tk::TMessage& m) {
  const bool visible = ::IsWindowVisible(CtrlHandle) != 0;
  switch (m.Msg) {
    case WM_SIZE:
      SkinData->BGChanged = true;
      if (!DontRepaint) RefreshBars(this, false);
      if (visible) ::SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
      break;
    case WM_ENABLE:
    case tk::CM_ENABLEDCHANGED:
      SkinData->BGChanged = true;
      if (visible) ::SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (BorderHasStates(*this)) {
        SkinData->BGChanged = true;
        SkinData->FFocused = m.Msg == WM_SETFOCUS;
        ::SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
      }
      break;
    case tk::CM_MOUSEENTER:
    case tk::CM_MOUSELEAVE:
      if (BorderHasStates(*this)) {
        SkinData->FMouseAbove = m.Msg == tk::CM_MOUSEENTER;
        SkinData->BGChanged = true;
        ::SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
      }
      break;
    case WM_KEYUP:
    case 0xBD00:  // the toolkit's reflected key-down and key-up
    case 0xBD01:
      if (!DontRepaint) RefreshBars(this, true);
      break;
    default: break;
  }
}

void TkxEditWnd::EditCommand(tk::TMessage& m) {
  const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == SkinManager;
  switch (m.WParamHi()) {
    case KX_SKINREFRESH:
      if (!own) break;
      {
        const std::weak_ptr<bool> token = FAlive;
        TkxMainWnd::kxWndProc(m);
        if (!Alive(token)) return;
        if (::IsWindowVisible(CtrlHandle)) ::SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
        if (Alive(token)) SetSkinParams();
      }
      return;
    case KX_QUERYHANDLED: m.Result = 1; return;
    case KX_QUERYSKININDEX:
      if (m.LParam) *reinterpret_cast<int*>(m.LParam) = SkinData->SkinIndex;
      m.Result = 1;
      return;
    case KX_BUILDCACHE: BuildFrameCache(); return;
    default: break;
  }
  // Straight to the common handling, which touches nothing of the adapter
  // once the owner has the command: the owner may free the adapter (the
  // skin removed, the window recreated) while handling it.
  TkxMainWnd::kxWndProc(m);
}

void TkxEditWnd::WMNCPaint(tk::TMessage& m) {
  m.Result = 0;
  if (!::IsWindowVisible(CtrlHandle) || bPreventStyleChange || AnimationFlag()) return;
  tk::TWindowDC dc(CtrlHandle, true);
  if (ClipEmpty(dc.Get()) && dc.Get() != Engine.PaintTarget) return;
  UpdateWindowGeometry(this);
  if (SkinData->IsUpdating()) return;
  if (SkinData->BGChanged) {
    if (!ParamsChanged) {
      const std::weak_ptr<bool> token = FAlive;
      SetSkinParams();
      if (!Alive(token)) return;
    }
    PaintFrameCache(DlgMode);
  }
  const int saved = ::SaveDC(dc.Get());
  CopyFrame(dc.Get());
  if (!DontRepaint) PaintBars(this, CtrlHandle, dc.Get());
  ::RestoreDC(dc.Get(), saved);
}

void TkxEditWnd::WMPaint(tk::TMessage& m) {
  if (!::IsWindowVisible(CtrlHandle)) return TkxScrollWnd::kxWndProc(m);
  const HDC given = reinterpret_cast<HDC>(m.WParam);
  if (given && ClipEmpty(given) && given != Engine.PaintTarget) {
    m.Result = 0;
    return;
  }
  if (SkinData->IsUpdating() || (AnimationFlag() && !Engine.PaintTarget)) {
    PAINTSTRUCT ps;
    ::BeginPaint(CtrlHandle, &ps);
    ::EndPaint(CtrlHandle, &ps);
    m.Result = 0;
    return;
  }
  if (!DontRepaint && !fThumbTracking) PaintBars(this, CtrlHandle, nullptr);
  if (!ParamsChanged) {
    const std::weak_ptr<bool> token = FAlive;
    SetSkinParams();
    if (!Alive(token)) return;
  }
  TkxScrollWnd::kxWndProc(m);
}

void TkxEditWnd::WMEraseBkgnd(tk::TMessage& m) {
  if (!::IsWindowVisible(CtrlHandle)) return TkxScrollWnd::kxWndProc(m);
  const HDC dc = reinterpret_cast<HDC>(m.WParam);
  if ((dc && ClipEmpty(dc) && dc != Engine.PaintTarget) || SkinData->IsUpdating()) {
    m.Result = 1;
    return;
  }
  if (!ParamsChanged) {
    const std::weak_ptr<bool> token = FAlive;
    SetSkinParams();
    if (!Alive(token)) return;
  }
  if (AnimationFlag() && dc != Engine.PaintTarget) {
    m.Result = 1;
    return;
  }
  TkxScrollWnd::kxWndProc(m);
}

void TkxEditWnd::WMPrint(tk::TMessage& m) {
  const HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) return CallPrevWndProc(m);
  SkinData->CtrlSkinState |= kxStatePrinting;
  UpdateWindowGeometry(this);
  SkinData->SetUpdating(false);
  SkinData->BGChanged = true;
  if (!ParamsChanged) {
    const std::weak_ptr<bool> token = FAlive;
    SetSkinParams();
    if (!Alive(token)) return;
  }
  PaintFrameCache(DlgMode);
  RefreshCorners();
  CopyFrame(dc);
  PaintBars(this, CtrlHandle, dc);
  const int saved = ::SaveDC(dc);
  const int e = cxLeftEdge;
  int w = WndSize.cx - 2 * e, h = WndSize.cy - 2 * e;
  if (sBarVert && sBarVert->fScrollVisible) w -= BarMetric(*sBarVert, 1, false);
  if (sBarHorz && sBarHorz->fScrollVisible) h -= BarMetric(*sBarHorz, 1, false);
  ::SetViewportOrgEx(dc, e, e, nullptr);
  ::IntersectClipRect(dc, 0, 0, w, h);
  ::SendMessageW(CtrlHandle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ::SendMessageW(CtrlHandle, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_OWNED);
  ::RestoreDC(dc, saved);
  SkinData->CtrlSkinState &= uint16_t(~kxStatePrinting);
  m.Result = 0;
}

}  // namespace kx
