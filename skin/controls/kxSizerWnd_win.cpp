#include "skin/controls/kxSizerWnd.h"

#include <windows.h>

#include <algorithm>

#include "skin/controls/kxPanelWnd.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCacheToDevice.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/Handles.h"

namespace kx {

// --- Transparent container ----------------------------------------------------------------

void TkxTransPanelWnd::BuildFrameCache() { PaintWindowLookCache(*this); }

void TkxTransPanelWnd::KX_WMPaint() {
  RECT r{};
  ::GetWindowRect(CtrlHandle, &r);
  WndRect = tk::TRect{r.left, r.top, r.right, r.bottom};
  WndSize = tk::TSize{r.right - r.left, r.bottom - r.top};
  const tk::TPaintDC paint(CtrlHandle);
  const tk::TWindowDC dc(CtrlHandle, true);
  SkinData->BGChanged = true;
  SendCommand(CtrlHandle, KX_BUILDCACHE, reinterpret_cast<intptr_t>(SkinManager));
  CopyCacheToDevice(*SkinData, tk::TRect{0, 0, WndSize.cx, WndSize.cy}, dc.Get(), tk::TPoint{0, 0}, false, 0,
                    CtrlHandle);
}

void TkxTransPanelWnd::kxWndProc(tk::TMessage& m) {
  TsSkinManager* manager = SkinManager;
  if (SkinData && manager && manager->Active()) {
    switch (m.Msg) {
      case WM_ERASEBKGND:
        KX_WMPaint();
        m.Result = 1;
        return;
      case WM_NCPAINT: m.Result = 0; return;
      default: break;
    }
  }
  TkxMainWnd::kxWndProc(m);
}

// --- Size grip ----------------------------------------------------------------------------

void TkxSizerWnd::KX_WMPaint() {
  UpdateWindowGeometry(this);
  const tk::TPaintDC paint(CtrlHandle);
  const tk::TWindowDC dc(CtrlHandle);
  const int w = WndSize.cx, h = WndSize.cy;
  TsSkinManager* m = SkinManager;
  if (!m || w <= 0 || h <= 0) return;
  const int grip = m->Content().GetMaskIndex(L"GLOBALINFO", L"GRIPIMAGE");
  if (!m->IsValidImgIndex(grip)) return;
  const TsMaskData& mask = m->ma()[size_t(grip)];
  tk::TBitmap bmp(w, h, tk::TPixelFormat::pf24bit);
  tk::detail::FlushPixelStore();
  TBackgroundQuery q;
  q.PaintNow = 1;
  q.DC = bmp.Canvas()->Handle();
  q.R = tk::TRect{0, 0, w, h};
  q.X = WndPos.X;
  q.Y = WndPos.Y;
  QueryWindowBackground(q, ParentWnd, true);
  const int fw = mask.R.Width() / std::max<int>(mask.ImageCount, 1);
  const int fh = mask.R.Height() / (mask.MaskType + 1);
  DrawMaskImage(&bmp, tk::TPoint{std::max(w - fw, 0), std::max(h - fh, 0)}, 0, MakeCacheInfo(&bmp), mask, mimOpaque);
  tk::detail::FlushPixelStore();
  ::BitBlt(dc.Get(), 0, 0, w, h, bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TkxSizerWnd::kxWndProc(tk::TMessage& m) {
  TsSkinManager* manager = SkinManager;
  if (!SkinData || !manager || !manager->Active()) return TkxMainWnd::kxWndProc(m);
  switch (m.Msg) {
    case WM_PAINT:
      KX_WMPaint();
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT: m.Result = 0; return;
    default: break;
  }
  const std::weak_ptr<bool> token = FAlive;
  TkxMainWnd::kxWndProc(m);
  if (m.Msg != WM_NCHITTEST || !Alive(token)) return;
  // Wherever the grip is taken, it sizes the dialog from its corner.
  m.Result = HTBOTTOMRIGHT;
  if (::IsWindowEnabled(CtrlHandle))
    if (TsSkinManager* d = DefaultManager(); d && d->ActiveWindow()) d->TrackActiveWindow(nullptr);
}

}  // namespace kx
