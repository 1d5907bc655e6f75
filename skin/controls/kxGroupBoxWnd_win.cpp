#include "skin/controls/kxGroupBoxWnd.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "skin/controls/kxStdWndPaint.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCacheToDevice.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sGraphicChildren.h"
#include "skin/framework/sMessages.h"
#include "skin/framework/sSkinText.h"
#include "toolkit/Handles.h"

namespace kx {

TkxGroupBoxWnd::TkxGroupBoxWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* Manager,
                               TsCommonData* Data)
    : TkxMainWnd(Handle, Repaint, SkinSection.empty() ? tk::String(L"GROUPBOX") : SkinSection, Manager, Data) {}

tk::TRect TkxGroupBoxWnd::CaptionRect() {
  tk::TRect m{0, 0, 0, 0};
  if (SkinData->FCacheBmp)
    DrawTextUnicode(SkinData->FCacheBmp->Canvas()->Handle(), Caption, m, DT_CALCRECT | DT_CENTER);
  const int tw = m.Width(), th = m.Height(), W = WndSize.cx;
  tk::TRect r;
  r.Left = (::GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? W - tw - 14 : 6;
  r.Top = 0;
  r.Bottom = std::max(4, th) + 2;
  r.Right = r.Left + tw + 8;
  if (r.Right > W) r.Right = W - 1;
  return r;
}

void TkxGroupBoxWnd::WriteText(const tk::TRect& R, const TBackgroundQuery& Q, tk::TPoint At) {
  tk::TBitmap* cache = SkinData->FCacheBmp.get();
  HDC dc = cache->Canvas()->Handle();
  // The frame may have been painted under the caption: the parent shows there.
  if (Q.Kind == kxBGBitmap && Q.Bmp && !Q.Bmp->Empty()) {
    tk::detail::FlushPixelStore();
    ::BitBlt(dc, R.Left, R.Top, R.Width(), R.Height(), Q.Bmp->Canvas()->Handle(), At.X + R.Left + Q.X,
             At.Y + R.Top + Q.Y, SRCCOPY);
  } else {
    tk::TBrushHandle b(::CreateSolidBrush(tk::ColorToRGB(Q.Color)));
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    ::FillRect(dc, &r, b.Get());
  }
  tk::TCanvas* c = cache->Canvas();
  c->Brush()->SetStyle(tk::bsClear);
  if (tk::TControl* owner = SkinData->FOwnerControl) c->Font()->Assign(owner->Font());
  else TakeWindowFont(c, CtrlHandle);
  WriteSkinText(c, Caption, true, false, *SkinData, DT_CENTER | DT_VCENTER | DT_SINGLELINE, R);
}

void TkxGroupBoxWnd::PrepareCache() {
  TsCommonData& d = *SkinData;
  if (!d.IndexesCurrent()) d.UpdateIndexes();
  UpdateWindowGeometry(this);
  tk::TBitmap* cache = SizedCache(d, WndSize);
  if (cache->Empty() || !ParentWnd) return;
  tk::TCanvas* c = cache->Canvas();
  if (tk::TControl* owner = d.FOwnerControl) c->Font()->Assign(owner->Font());
  else TakeWindowFont(c, CtrlHandle);
  const tk::TRect cr = CaptionRect();
  const int W = WndSize.cx, H = WndSize.cy, ch = cr.Height();
  TBackgroundQuery q;
  QueryWindowBackground(q, ParentWnd, false);
  RECT wr{};
  ::GetWindowRect(CtrlHandle, &wr);
  POINT p{wr.left, wr.top};
  // A window that cannot be placed in its parent keeps its old picture.
  if (!::ScreenToClient(ParentWnd, &p)) return;
  const tk::TPoint at{p.x, p.y};
  HDC dc = c->Handle();
  if (q.Kind == kxBGBitmap && q.Bmp && !q.Bmp->Empty()) {
    tk::detail::FlushPixelStore();
    ::BitBlt(dc, 0, 0, W, ch, q.Bmp->Canvas()->Handle(), at.X + q.X, at.Y + q.Y, SRCCOPY);
  } else {
    tk::TBrushHandle b(::CreateSolidBrush(tk::ColorToRGB(q.Color)));
    RECT band{0, 0, W, cr.Bottom};
    ::FillRect(dc, &band, b.Get());
  }
  PaintControlLook(d, ToCacheInfo(q), true, true, cache, tk::TPoint{at.X, at.Y + ch / 2}, tk::TRect{0, ch / 2, W, H},
                   0);
  if (!Caption.empty()) WriteText(cr, q, at);
  d.BGChanged = false;
}

void TkxGroupBoxWnd::KX_WMPaint(HDC Given) {
  UpdateWindowGeometry(this);
  // A paint validates the window whether it draws now or not; printing
  // into a given DC leaves what the screen still needs.
  std::optional<tk::TPaintDC> paint;
  if (!Given) paint.emplace(CtrlHandle);
  if (!SkinData->IsUpdating()) {
    std::optional<tk::TWindowDC> own;
    HDC dc = Given;
    if (!dc) dc = own.emplace(CtrlHandle, true).Get();
    if (dc) {
      PrepareCache();
      tk::TDCState saved(dc);
      if (DlgMode && SkinManager->IsValidImgIndex(SkinData->BorderIndex)) {
        // The inside belongs to the dialog's own painting.
        const TsMaskData& m = SkinManager->ma()[size_t(SkinData->BorderIndex)];
        ::ExcludeClipRect(dc, m.WL, CaptionRect().Height(), WndSize.cx - m.WR, WndSize.cy - m.WB);
      }
      CopyCacheToDevice(*SkinData, tk::TRect{0, 0, WndSize.cx, WndSize.cy}, dc, tk::TPoint{0, 0}, false, 0,
                        SkinData->FOwnerControl ? nullptr : CtrlHandle);
      if (auto* wc = dynamic_cast<tk::TWinControl*>(SkinData->FOwnerControl))
        PaintGraphicChildren(dc, wc, tk::TPoint{0, 0});
    }
    tk::TMessage done = MakeCommand(KX_PARENTUPDATED);
    BroadcastToChildWindows(CtrlHandle, done);
  }
}

void TkxGroupBoxWnd::WMEraseBkgnd(tk::TMessage& m) {
  m.Result = 1;
  // Only the engine's own request to paint into a DC (WParam = LParam).
  if (m.WParam != static_cast<uintptr_t>(m.LParam) || !m.WParam) return;
  const HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (SkinData->BGChanged) PrepareCache();
  tk::TBitmap* cache = SkinData->FCacheBmp.get();
  if (SkinData->UsesCache() && cache && !cache->Empty()) return CopyWholeCache(*SkinData, dc, WndSize);
  const tk::TColor colour = WindowColor(CtrlHandle, SkinData->ControlColor(false, CtrlHandle));
  tk::TBrushHandle b(::CreateSolidBrush(tk::ColorToRGB(colour)));
  RECT r{0, 0, WndSize.cx, WndSize.cy};
  ::FillRect(dc, &r, b.Get());
}

void TkxGroupBoxWnd::kxWndProc(tk::TMessage& m) {
  TsSkinManager* manager = SkinManager;
  if (!SkinData || !manager || !manager->Active()) return TkxMainWnd::kxWndProc(m);
  const std::weak_ptr<bool> token = FAlive;
  switch (m.Msg) {
    case SM_KESTRIXCMD:
      if (m.WParamHi() == KX_QUERYEXTRA) {
        UpdateWindowGeometry(this);
        if (SkinData->FCacheBmp) TakeWindowFont(SkinData->FCacheBmp->Canvas(), CtrlHandle);
        m.Result = CaptionRect().Height();
        return;
      }
      if (m.WParamHi() == KX_SKINREMOVED && SkinData->FOwnerControl) {
        tk::TControlStyle s = SkinData->FOwnerControl->ControlStyle();
        s.Exclude(tk::csOpaque);
        SkinData->FOwnerControl->SetControlStyle(s);
      }
      break;
    case WM_SETTEXT:
      TkxMainWnd::kxWndProc(m);
      if (!Alive(token)) return;
      SkinData->BGChanged = true;
      ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
      return;
    case WM_PAINT:
      if (DlgMode) break;
      KX_WMPaint(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      if (DlgMode) break;
      return WMEraseBkgnd(m);
    case WM_NCPAINT:
      if (!DlgMode) break;
      KX_WMPaint(nullptr);
      m.Result = 1;
      return;
    case WM_PRINT:
      SkinData->BGChanged = true;
      KX_WMPaint(reinterpret_cast<HDC>(m.WParam));
      return;
    case WM_PARENTNOTIFY:
      TkxMainWnd::kxWndProc(m);
      if (Alive(token) && LOWORD(m.WParam) == WM_CREATE && ParentWnd)
        SendCommand(::GetAncestor(CtrlHandle, GA_ROOT), KX_CONTROLADDED, m.LParam);
      return;
    default: break;
  }
  TkxMainWnd::kxWndProc(m);
}

}  // namespace kx
