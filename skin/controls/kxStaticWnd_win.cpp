#include "skin/controls/kxStaticWnd.h"

#include <windows.h>

#include <cwctype>
#include <optional>

#include "skin/controls/kxStdWndPaint.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sSkinText.h"
#include "toolkit/Handles.h"

namespace kx {

namespace {

LONG_PTR StyleOf(HWND Wnd) { return ::GetWindowLongPtrW(Wnd, GWL_STYLE); }
LONG_PTR ExStyleOf(HWND Wnd) { return ::GetWindowLongPtrW(Wnd, GWL_EXSTYLE); }

}  // namespace

// --- TkxStaticWnd -------------------------------------------------------------------------

bool TkxStaticWnd::LeftAlone() {
  return (StyleOf(CtrlHandle) & WS_TABSTOP) || (ExStyleOf(CtrlHandle) & WS_EX_STATICEDGE);
}

void TkxStaticWnd::Redraw() {
  ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void TkxStaticWnd::kxWndProc(tk::TMessage& m) {
  TsSkinManager* manager = SkinManager;
  if (!SkinData || !manager || !manager->Active() || LeftAlone()) return TkxMainWnd::kxWndProc(m);
  const std::weak_ptr<bool> token = FAlive;
  switch (m.Msg) {
    case WM_MOVE:
    case WM_ENABLE:
    case WM_SETTEXT:
      SkinData->BGChanged = true;
      // The common handling passes the text on and reads it back.
      if (m.Msg == WM_SETTEXT) TkxMainWnd::kxWndProc(m);
      else CallPrevWndProc(m);
      if (!Alive(token)) return;
      SkinData->BGChanged = true;
      Redraw();
      return;
    case WM_PAINT: {
      // Everything is drawn at erase time; a part invalidated without
      // erasing is drawn here instead.
      FErased = false;
      tk::TPaintDC dc(CtrlHandle);
      if (!FErased && ::IsWindowVisible(CtrlHandle)) KX_WMPaint(dc.Get());
      m.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      if (!::IsWindowVisible(CtrlHandle)) break;
      FErased = true;
      KX_WMPaint(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_NCPAINT: m.Result = 0; return;
    case WM_PRINT: KX_WMPaint(reinterpret_cast<HDC>(m.WParam)); return;
    default: break;
  }
  TkxMainWnd::kxWndProc(m);
}

void TkxStaticWnd::KX_WMPaint(HDC Given) {
  TsCommonData& d = *SkinData;
  if (!d.IndexesCurrent()) d.UpdateIndexes();
  UpdateWindowGeometry(this);
  std::optional<tk::TWindowDC> own;
  HDC dc = Given;
  if (!dc) dc = own.emplace(CtrlHandle).Get();
  if (!dc) return;
  tk::TDCState saved(dc);
  d.BGChanged = true;
  tk::TBitmap* cache = SizedCache(d, WndSize);
  if (cache->Empty()) return;
  const TCacheInfo ci = GetWindowParentCache(CtrlHandle);
  const int state = d.FFocused || d.FMouseAbove ? 1 : 0;
  PaintControlLook(d, ci, true, true, cache, WndPos, tk::TRect{0, 0, WndSize.cx, WndSize.cy}, state);
  PaintText();
  d.BGChanged = false;
  CopyWholeCache(d, dc, WndSize);
}

void TkxStaticWnd::PaintText() {
  tk::TCanvas* c = SkinData->FCacheBmp->Canvas();
  c->Brush()->SetStyle(tk::bsClear);
  TakeWindowFont(c, CtrlHandle);
  const LONG_PTR style = StyleOf(CtrlHandle);
  uint32_t format = DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP;
  // The static's own alignment, and the right-aligned extended style.
  const LONG_PTR type = style & SS_TYPEMASK;
  if (type == SS_CENTER) format |= DT_CENTER;
  else if (type == SS_RIGHT || (ExStyleOf(CtrlHandle) & WS_EX_RIGHT)) format |= DT_RIGHT;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  WriteSkinText(c, Caption, ::IsWindowEnabled(CtrlHandle) != 0, false, *SkinData, format,
                tk::TRect{0, 0, WndSize.cx, WndSize.cy});
}

// --- TkxIconWnd -------------------------------------------------------------------------------

TkxIconWnd::TkxIconWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* Manager,
                       TsCommonData* Data)
    : TkxStaticWnd(Handle, Repaint, SkinSection, Manager, Data),
      IsBmp((::GetWindowLongPtrW(Handle, GWL_STYLE) & SS_ICON) != SS_ICON) {}

void TkxIconWnd::PaintText() {
  tk::TBitmap* cache = SkinData->FCacheBmp.get();
  HDC dc = cache->Canvas()->Handle();
  if (!IsBmp) {
    if (auto icon = reinterpret_cast<HICON>(::SendMessageW(CtrlHandle, STM_GETICON, 0, 0)))
      ::DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    return;
  }
  auto source = reinterpret_cast<HBITMAP>(::SendMessageW(CtrlHandle, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (!source) return;
  if (!FBmp || source != FBmpSource) {
    FBmp = CopyOfBitmap(source);
    FBmpSource = source;
  }
  if (!FBmp) return;
  tk::detail::FlushPixelStore();
  ::BitBlt(dc, 0, 0, FBmp->Width(), FBmp->Height(), FBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// --- TkxLinkWnd -------------------------------------------------------------------------------

tk::String LinkTextOf(const tk::String& Markup) {
  tk::String out;
  out.reserve(Markup.size());
  size_t i = 0;
  while (i < Markup.size()) {
    if (Markup[i] == L'<') {
      size_t j = i + 1;
      if (j < Markup.size() && Markup[j] == L'/') ++j;
      const bool anchor = j < Markup.size() && std::towlower(Markup[j]) == L'a' && j + 1 < Markup.size() &&
                          (Markup[j + 1] == L'>' || std::iswspace(Markup[j + 1]));
      const size_t end = anchor ? Markup.find(L'>', j) : tk::String::npos;
      if (end != tk::String::npos) {
        i = end + 1;
        continue;
      }
    }
    out += Markup[i++];
  }
  return out;
}

bool TkxLinkWnd::LeftAlone() { return (::GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_STATICEDGE) != 0; }

void TkxLinkWnd::PaintText() {
  tk::TCanvas* c = SkinData->FCacheBmp->Canvas();
  c->Brush()->SetStyle(tk::bsClear);
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
    tk::TFontHandle font(::CreateFontIndirectW(&ncm.lfMessageFont));
    c->Font()->SetHandle(font.Get());
  } else {
    TakeWindowFont(c, CtrlHandle);
  }
  tk::TFontStyles style = c->Font()->Style();
  style.Include(tk::fsUnderline);
  c->Font()->SetStyle(style);
  WriteSkinText(c, LinkTextOf(Caption), true, false, *SkinData, DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP,
                tk::TRect{0, 0, WndSize.cx + 4, WndSize.cy});
}

}  // namespace kx
