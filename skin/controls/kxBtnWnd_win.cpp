#include "skin/controls/kxBtnWnd.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "skin/controls/kxStdWndPaint.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/kxGlow.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sMessages.h"
#include "skin/framework/sSkinText.h"
#include "skin/paint/sGlyphs.h"
#include "toolkit/Handles.h"

namespace kx {

void DrawBitBtnGlyph(tk::TBitmap* Target, tk::TBitmap* Glyph, int NumGlyphs, tk::TPoint At, bool Down, int CurrentState,
                     bool Enabled) {
  if (!Target || !Glyph || Glyph->Empty()) return;
  const int frames = std::max(NumGlyphs, 1);
  const int w = Glyph->Width(), h = Glyph->Height();
  if (frames == 1 && Glyph->PixelFormat() == tk::TPixelFormat::pf32bit) {
    DrawAlphaImage(tk::TRect{At.X, At.Y, At.X + w, At.Y + h}, tk::TRect{0, 0, w, h}, Target, false, 0, tk::clNone,
                   false, EmptyCacheInfo(), Glyph);
    return;
  }
  // The strip's frames follow the button's state, not the painting state:
  // a hot button is drawn up, and only a button that stays down takes the
  // fourth frame.
  const int kind = !Enabled ? gkDisabled : (CurrentState == 2 || Down) ? gkDown : gkUp;
  const tk::TRect r{At.X, At.Y, At.X + w / frames, At.Y + h};
  DrawGlyphStrip(Glyph, Target, r, Down ? 1 : 0, 0, kind, dgBlended, Enabled, frames);
}

}  // namespace kx

// --- TkxBtnWnd ------------------------------------------------------------------------------

namespace kx {

namespace {

bool CursorOver(HWND Wnd) {
  POINT p;
  RECT r;
  return ::GetCursorPos(&p) && ::GetWindowRect(Wnd, &r) && ::PtInRect(&r, p);
}

}  // namespace

TkxBtnWnd::TkxBtnWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* Manager,
                     TsCommonData* Data)
    : TkxMainWnd(Handle, Repaint, SkinSection.empty() ? tk::String(L"BUTTON") : SkinSection, Manager, Data) {}

bool TkxBtnWnd::Down() { return (::SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

int TkxBtnWnd::CurrentState() {
  if (Down()) {
    HideAllGlows();
    return 2;
  }
  if (!::IsWindowEnabled(CtrlHandle)) return 0;
  TsSkinManager* d = DefaultManager();
  if (::GetFocus() == CtrlHandle || (d && d->ActiveWindow() == CtrlHandle)) return 1;
  const LONG_PTR style = ::GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
  if (SkinData && SkinData->FOwnerControl) return (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? 1 : 0;
  return (style & 1) ? 1 : 0;
}

uint32_t TkxBtnWnd::TextFormat() const {
  const LONG_PTR style = ::GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
  return DT_CENTER | DT_EXPANDTABS | ((style & BS_MULTILINE) ? DT_WORDBREAK : 0u);
}

TkxBtnWndMeasures TkxBtnWnd::BaseMeasures() {
  TkxBtnWndMeasures m;
  m.W = WndSize.cx;
  m.H = WndSize.cy;
  const tk::TSize g = GlyphSize();
  m.GW = g.cx;
  m.GH = g.cy;
  m.HasCaption = !Caption.empty();
  m.Down = Down();
  return m;
}

TkxBtnWndMeasures TkxBtnWnd::Measures() {
  TkxBtnWndMeasures m = BaseMeasures();
  const tk::TSize t = TextRectSize();
  m.TW = t.cx;
  m.TH = t.cy;
  return m;
}

int TkxBtnWnd::MaxCaptionWidth() { return BtnWndCaptionLimit(BaseMeasures()); }

tk::TSize TkxBtnWnd::TextRectSize() {
  if (Caption.empty() || !SkinData || !SkinData->FCacheBmp) return {};
  tk::TRect r{0, 0, MaxCaptionWidth(), 0};
  DrawTextUnicode(SkinData->FCacheBmp->Canvas()->Handle(), Caption, r, DT_CALCRECT | DT_NOPREFIX | TextFormat());
  return tk::TSize{r.Width(), r.Height()};
}

tk::TRect TkxBtnWnd::CaptionRect() { return BtnWndCaptionRect(Measures()); }

void TkxBtnWnd::DoDrawText(const tk::TRect& R, uint32_t Format) {
  tk::TCanvas* c = SkinData->FCacheBmp->Canvas();
  c->Brush()->SetStyle(tk::bsClear);
  WriteSkinText(c, Caption, true, CurrentState() != 0, *SkinData, Format, R);
}

void TkxBtnWnd::DrawCaption() {
  tk::TCanvas* c = SkinData->FCacheBmp->Canvas();
  if (tk::TControl* owner = SkinData->FOwnerControl) c->Font()->Assign(owner->Font());
  else TakeWindowFont(c, CtrlHandle);
  const tk::TRect r = CaptionRect();
  DoDrawText(r, TextFormat());
  const TsGeneralData* s = SkinData->Section();
  const bool focusCue = (::SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS) != 0;
  if (::IsWindowEnabled(CtrlHandle) && focusCue && !Caption.empty() && s && s->ShowFocus)
    DrawDottedFocus(c, tk::TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1});
}

void TkxBtnWnd::PrepareCache() {
  TsCommonData& d = *SkinData;
  if (!d.IndexesCurrent()) d.UpdateIndexes();
  UpdateWindowGeometry(this);
  const TCacheInfo ci = GetWindowParentCache(CtrlHandle);
  tk::TBitmap* cache = SizedCache(d, WndSize);
  if (cache->Empty()) return;
  const int state = CurrentState();
  PaintControlLook(d, ci, true, true, cache, WndPos, tk::TRect{0, 0, WndSize.cx, WndSize.cy}, state);
  DrawCaption();
  DrawGlyph();
  if (!::IsWindowEnabled(CtrlHandle)) FadeDisabled(cache, ci, WndPos, d.ControlColor(false, CtrlHandle));
  d.BGChanged = false;
}

void TkxBtnWnd::KX_WMPaint(HDC Given) {
  UpdateWindowGeometry(this);
  // A paint validates the window whether it draws now or not; printing
  // into a given DC leaves what the screen still needs.
  std::optional<tk::TPaintDC> paint;
  if (!Given) paint.emplace(CtrlHandle);
  if (!(AnimationFlag() && !Engine.PaintTarget) && !(SkinData->IsUpdating() && !AnimationFlag())) {
    std::optional<tk::TWindowDC> own;
    HDC dc = Given;
    if (!dc) dc = own.emplace(CtrlHandle).Get();
    SkinData->BGChanged = true;
    PrepareCache();
    CopyWholeCache(*SkinData, dc, WndSize);
  }
}

void TkxBtnWnd::Repaint() {
  SkinData->BGChanged = true;
  ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
}

void TkxBtnWnd::Quietly(tk::TMessage& m, bool Common) {
  if (!::IsWindowVisible(CtrlHandle)) return TkxMainWnd::kxWndProc(m);
  const std::weak_ptr<bool> token = FAlive;
  ::SendMessageW(CtrlHandle, WM_SETREDRAW, 0, 0);
  if (Common) TkxMainWnd::kxWndProc(m);
  else CallPrevWndProc(m);
  if (!Alive(token)) return;
  ::SendMessageW(CtrlHandle, WM_SETREDRAW, 1, 0);
  Repaint();
}

void TkxBtnWnd::FocusChanged(tk::TMessage& m, bool Gained) {
  if (!::IsWindowEnabled(CtrlHandle)) {
    if (!Gained) TkxMainWnd::kxWndProc(m);
    return;
  }
  const std::weak_ptr<bool> token = FAlive;
  ::SendMessageW(CtrlHandle, WM_SETREDRAW, 0, 0);
  TkxMainWnd::kxWndProc(m);
  if (!Alive(token)) return;
  ::SendMessageW(CtrlHandle, WM_SETREDRAW, 1, 0);
  SkinData->FFocused = Gained;
  Repaint();
}

void TkxBtnWnd::SkinCommandOf(tk::TMessage& m) {
  TsCommonData& d = *SkinData;
  switch (m.WParamHi()) {
    case KX_PARENTUPDATED:
      if (!d.UpdatingFlag()) break;
      d.SetUpdating(false);
      if (!d.IsUpdating())
        ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
      return;
    case KX_MOUSEIN: {
      TsSkinManager* dm = DefaultManager();
      if (!d.FMouseAbove && dm && dm->ActiveWindow() == CtrlHandle) {
        // A move that ended elsewhere before the command came.
        if (!CursorOver(CtrlHandle)) return;
        d.FMouseAbove = true;
        d.BGChanged = true;
        d.SetUpdating(false);
        ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
        d.UpdateGlow(false, CtrlHandle);
      }
      break;
    }
    case KX_MOUSEOUT:
      if (d.FMouseAbove) {
        HideAllGlows();
        d.FMouseAbove = false;
        d.SetUpdating(false);
        Repaint();
      }
      break;
    default: break;
  }
  TkxMainWnd::kxWndProc(m);
}

void TkxBtnWnd::kxWndProc(tk::TMessage& m) {
  TsSkinManager* manager = SkinManager;
  if (!SkinData || !manager || !manager->Active()) return TkxMainWnd::kxWndProc(m);
  switch (m.Msg) {
    case SM_KESTRIXCMD: return SkinCommandOf(m);
    case WM_MOVE: {
      const TsGeneralData* s = SkinData->Section();
      if (s && (s->Transparency > 0 || (s->HotTransparency > 0 && SkinData->IsActive()))) Repaint();
      break;
    }
    case WM_SETFOCUS: return FocusChanged(m, true);
    case WM_KILLFOCUS: return FocusChanged(m, false);
    case WM_ENABLE:
    case WM_SETTEXT: return Quietly(m, true);
    case BM_SETSTATE: return Quietly(m, false);
    case WM_PAINT:
      if (!ParamsChanged) SetSkinParams();
      return KX_WMPaint(reinterpret_cast<HDC>(m.WParam));
    case WM_PRINT: return KX_WMPaint(reinterpret_cast<HDC>(m.WParam));
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE: m.Result = 1; return;
    default: break;
  }
  const std::weak_ptr<bool> token = FAlive;
  TkxMainWnd::kxWndProc(m);
  if (!Alive(token) || m.Msg != WM_MOUSEMOVE) return;
  // The mouse left while the window had it captured.
  TsSkinManager* dm = DefaultManager();
  if (dm && ::IsWindowEnabled(CtrlHandle) && dm->ActiveWindow() == CtrlHandle && !CursorOver(CtrlHandle))
    dm->TrackActiveWindow(nullptr);
}

// --- TkxBitBtnWnd ---------------------------------------------------------------------------

IkxBitBtn* TkxBitBtnWnd::BitBtn() const {
  return SkinData ? dynamic_cast<IkxBitBtn*>(SkinData->FOwnerControl) : nullptr;
}

tk::TSize TkxBitBtnWnd::GlyphSize() {
  if (SkinData && SkinData->FOwnerControl) {
    IkxBitBtn* b = BitBtn();
    tk::TBitmap* g = b ? b->BitBtnGlyph() : nullptr;
    if (!g || g->Empty()) return {};
    return tk::TSize{g->Width() / std::max(b->BitBtnNumGlyphs(), 1), g->Height()};
  }
  // The picture's own size: a bitmap's "dimension" is only what someone set.
  auto bmp = reinterpret_cast<HBITMAP>(::SendMessageW(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP info{};
  if (!bmp || !::GetObjectW(bmp, sizeof(info), &info)) return {};
  return tk::TSize{info.bmWidth, std::abs(info.bmHeight)};
}

TkxBtnWndMeasures TkxBitBtnWnd::BaseMeasures() {
  TkxBtnWndMeasures m = TkxBtnWnd::BaseMeasures();
  if (IkxBitBtn* b = BitBtn()) {
    m.OwnLayout = true;
    m.Layout = b->BitBtnLayout();
    m.Margin = b->BitBtnMargin();
    m.Spacing = b->BitBtnSpacing();
  }
  return m;
}

tk::TRect TkxBitBtnWnd::GlyphRect() { return BtnWndGlyphRect(Measures()); }

void TkxBitBtnWnd::DrawGlyph() {
  if (!SkinData->FCacheBmp) return;
  tk::TBitmap* glyph = nullptr;
  int frames = 1;
  if (IkxBitBtn* b = BitBtn()) {
    glyph = b->BitBtnGlyph();
    frames = b->BitBtnNumGlyphs();
  } else if (!SkinData->FOwnerControl) {
    // The picture the window holds, where GlyphSize made room for it.
    void* source = reinterpret_cast<void*>(::SendMessageW(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!FImage || source != FImageSource) {
      FImage = CopyOfBitmap(static_cast<HBITMAP>(source));
      FImageSource = source;
    }
    glyph = FImage.get();
  }
  if (!glyph) return;
  const tk::TRect r = GlyphRect();
  // A system button has no state of staying down: pressed is CurrentState 2.
  DrawBitBtnGlyph(SkinData->FCacheBmp.get(), glyph, frames, tk::TPoint{r.Left, r.Top}, false, CurrentState(),
                  ::IsWindowEnabled(CtrlHandle) != 0);
}

}  // namespace kx
