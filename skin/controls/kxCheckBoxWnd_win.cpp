#include "skin/controls/kxCheckBoxWnd.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "skin/controls/kxStdWndPaint.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sMessages.h"
#include "skin/framework/sSkinText.h"
#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/Handles.h"
#include "toolkit/Messages.h"

namespace kx {

namespace {

bool IsRadio(uint32_t Style) {
  const uint32_t t = Style & BS_TYPEMASK;
  return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

}  // namespace

TkxCheckBoxWnd::TkxCheckBoxWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* Manager,
                               TsCommonData* Data)
    : TkxMainWnd(Handle, Repaint, SkinSection.empty() ? tk::String(L"CHECKBOX") : SkinSection, Manager, Data) {}

int TkxCheckBoxWnd::State() {
  const LRESULT s = ::SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
  if (s & BST_INDETERMINATE) return 2;
  return (s & BST_CHECKED) ? 1 : 0;
}

int TkxCheckBoxWnd::CtlState() {
  const LRESULT s = ::SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
  if (s & BST_PUSHED) return 2;
  if (s & BST_FOCUS) return 1;
  TsSkinManager* d = DefaultManager();
  return d && d->ActiveWindow() == CtrlHandle ? 1 : 0;
}

int TkxCheckBoxWnd::GlyphMaskIndex(int State, uint32_t Style) {
  if (!SkinManager || !SkinManager->Active()) return -1;
  const TConstantSkinData& c = SkinManager->ConstData();
  if (State == 2) return c.CheckBoxGrayed;
  if (IsRadio(Style)) return State == 1 ? c.RadioButtonChecked : c.RadioButtonUnChecked;
  return State == 1 ? c.CheckBoxChecked : c.CheckBoxUnChecked;
}

int TkxCheckBoxWnd::SkinGlyphWidth(int i) {
  const TsMaskData& m = SkinManager->ma()[size_t(i)];
  if (m.Bmp) return m.Bmp->Width() / 3;
  return m.R.Width() / std::max<int>(m.ImageCount, 1);
}

int TkxCheckBoxWnd::SkinGlyphHeight(int i) {
  const TsMaskData& m = SkinManager->ma()[size_t(i)];
  if (m.Bmp) return m.Bmp->Height() / 2;
  return m.R.Height() / (m.MaskType + 1);
}

tk::TRect TkxCheckBoxWnd::SkinCheckRect(int i, uint32_t Style) {
  if (i < 0 || !SkinManager || !SkinManager->IsValidImgIndex(i)) return {};
  const int gw = SkinGlyphWidth(i), gh = SkinGlyphHeight(i);
  const int top = (WndSize.cy - gh) / 2;
  if (Style & BS_LEFTTEXT) return tk::TRect{WndSize.cx - gw, top, WndSize.cx, top + gh};
  return tk::TRect{0, top, gw, top + gh};
}

tk::TRect TkxCheckBoxWnd::CheckRect(uint32_t Style) {
  const int i = GlyphMaskIndex(1, Style);
  if (SkinManager && SkinManager->IsValidImgIndex(i)) return SkinCheckRect(i, Style);
  return tk::TRect{0, 0, 16, 16};
}

void TkxCheckBoxWnd::DrawCheckText(uint32_t Style) {
  if (Caption.empty()) return;
  tk::TCanvas* c = SkinData->FCacheBmp->Canvas();
  if (tk::TControl* owner = SkinData->FOwnerControl) c->Font()->Assign(owner->Font());
  const int W = WndSize.cx, H = WndSize.cy;
  const int limit = W - CheckRect(Style).Width() - 2;
  const bool multi = (Style & BS_MULTILINE) != 0;
  tk::TRect m{0, 0, limit, 0};
  DrawTextUnicode(c->Handle(), Caption, m, DT_CALCRECT | (multi ? DT_WORDBREAK : DT_SINGLELINE));
  const int tw = m.Width(), th = m.Height();
  const int e = std::max((H - th) / 2, 0);
  tk::TRect r;
  if (Style & BS_LEFTTEXT) {
    r = tk::TRect{2, e, tw + 2, H - e};
  } else {
    const int left = W - limit + 2;
    r = tk::TRect{left, e, left + tw, H - e};
    r.Offset(multi ? -1 : 0, -1);
  }
  WriteSkinText(c, Caption, true, SkinData->IsActive(), *SkinData, multi ? (DT_CENTER | DT_WORDBREAK) : DT_SINGLELINE,
                r);
  if (::SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS)
    DrawDottedFocus(c, tk::TRect{r.Left - 1, r.Top, r.Right + 1, r.Bottom});
}

void TkxCheckBoxWnd::DrawSkinGlyph(int i, uint32_t Style) {
  tk::TBitmap* cache = SkinData->FCacheBmp.get();
  if (!cache || cache->Width() < 1 || i < 0 || !SkinManager->IsValidImgIndex(i)) return;
  const tk::TRect r = SkinCheckRect(i, Style);
  DrawMaskImage(cache, tk::TPoint{r.Left, r.Top}, CtlState(), MakeCacheInfo(cache), SkinManager->ma()[size_t(i)], 0);
}

void TkxCheckBoxWnd::PrepareCache(uint32_t Style) {
  TsCommonData& d = *SkinData;
  if (!d.IndexesCurrent()) d.UpdateIndexes();
  tk::TBitmap* cache = SizedCache(d, WndSize);
  if (cache->Empty()) return;
  TakeWindowFont(cache->Canvas(), CtrlHandle);
  const TCacheInfo ci = GetWindowParentCache(CtrlHandle);
  PaintControlLook(d, ci, true, true, cache, WndPos, tk::TRect{0, 0, WndSize.cx, WndSize.cy}, d.IsActive() ? 1 : 0);
  DrawCheckText(Style);
  DrawSkinGlyph(GlyphMaskIndex(State(), Style), Style);
  if (!::IsWindowEnabled(CtrlHandle)) FadeDisabled(cache, ci, WndPos, d.ControlColor(false, CtrlHandle));
  d.BGChanged = false;
}

void TkxCheckBoxWnd::KX_WMPaint(HDC Given) {
  UpdateWindowGeometry(this);
  // A paint validates the window whether it draws now or not; printing
  // into a given DC leaves what the screen still needs.
  std::optional<tk::TPaintDC> paint;
  if (!Given) paint.emplace(CtrlHandle);
  if (!SkinData->IsUpdating()) {
    const auto style = static_cast<uint32_t>(::GetWindowLongPtrW(CtrlHandle, GWL_STYLE));
    UpdateWindowGeometry(this);
    if (ParentWnd) SendCommand(ParentWnd, KX_PARENTPAINT);
    if (::IsWindowVisible(CtrlHandle) || Given) {
      std::optional<tk::TWindowDC> own;
      HDC dc = Given;
      if (!dc) dc = own.emplace(CtrlHandle).Get();
      PrepareCache(style);
      CopyWholeCache(*SkinData, dc, WndSize);
    }
  }
}

void TkxCheckBoxWnd::RepaintNow() { ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0); }

void TkxCheckBoxWnd::kxWndProc(tk::TMessage& m) {
  TsSkinManager* manager = SkinManager;
  if (!SkinData || !manager || !manager->Active()) return TkxMainWnd::kxWndProc(m);
  const std::weak_ptr<bool> token = FAlive;
  switch (m.Msg) {
    case WM_ENABLE:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case tk::CM_TEXTCHANGED:
      if (!::IsWindowVisible(CtrlHandle)) break;
      ::SendMessageW(CtrlHandle, WM_SETREDRAW, 0, 0);
      TkxMainWnd::kxWndProc(m);
      if (!Alive(token)) return;
      ::SendMessageW(CtrlHandle, WM_SETREDRAW, 1, 0);
      RepaintNow();
      return;
    case WM_PAINT: return KX_WMPaint(reinterpret_cast<HDC>(m.WParam));
    case WM_PRINT: return KX_WMPaint(reinterpret_cast<HDC>(m.WParam));
    case WM_ERASEBKGND:
    case WM_NCPAINT: m.Result = 1; return;
    case SM_KESTRIXCMD:
      if (m.WParamHi() == KX_MOUSEIN || m.WParamHi() == KX_MOUSEOUT) {
        SkinData->SetUpdating(false);
        RepaintNow();
      }
      break;
    default: break;
  }
  TkxMainWnd::kxWndProc(m);
  if (!Alive(token)) return;
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: RepaintNow(); break;
    case WM_KEYDOWN:
      if (m.WParam == VK_SPACE) RepaintNow();
      break;
    case WM_NCHITTEST:
      if (::IsWindowEnabled(CtrlHandle)) {
        TsSkinManager* d = DefaultManager();
        if (d && d->ActiveWindow() != CtrlHandle) d->TrackActiveWindow(CtrlHandle);
      }
      break;
    default: break;
  }
}

}  // namespace kx
