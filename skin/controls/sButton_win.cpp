// Our headers before <windows.h>: the colour helpers of Types.h share their
// names with the system's GetRValue/GetGValue/GetBValue macros.
#include "skin/controls/sButton.h"

#include <windows.h>

#include <optional>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/kxGlow.h"
#include "skin/framework/sCacheToDevice.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sMessages.h"
#include "skin/framework/sSkinText.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/Handles.h"

namespace kx {

// The common handler, with the button's own cache: a fade asks for it with
// KX_BUILDCACHE.
class TsButton::THandler : public TkxCommonHandler {
 public:
  THandler(TsButton& Button, TsCommonData& Data) : TkxCommonHandler(Data), FButton(Button) {}
  void PrepareCache() override { FButton.PrepareCache(); }

 private:
  TsButton& FButton;
};

TsButton::TsButton(tk::TComponent* AOwner)
    : tk::TButton(AOwner),
      FCommonData(std::make_unique<TsCommonData>(this, true)),
      FHandler(std::make_unique<THandler>(*this, *FCommonData)) {
  FCommonData->COC = cocButton;
  SetControlStyle(ControlStyle() - tk::csOpaque - tk::csDoubleClicks);
  SetWordWrap(true);
}

TsButton::~TsButton() { StopFade(FFadeTimer, *FCommonData); }

void TsButton::AfterConstruction() {
  tk::TButton::AfterConstruction();
  FCommonData->Loaded();
}

void TsButton::Loaded() {
  tk::TButton::Loaded();
  FCommonData->Loaded();
}

bool TsButton::Skinned() const {
  if (!FCommonData->Skinned()) return false;
  TsSkinManager* m = FCommonData->EffectiveManager();
  return m && m->SkinData().Active;
}

bool TsButton::Ready() const {
  return Parent() && !ControlState().Contains(tk::csCreating) && !ComponentState().Contains(tk::csReading) &&
         !IsLoading() && !IsDestroying();
}

int TsButton::CurrentState() const {
  auto* self = const_cast<TsButton*>(this);
  if (FDown) return 2;
  if (HandleAllocated()) {
    const bool pushed = (::SendMessageW(self->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    if (pushed || FForcePressed) {
      POINT p;
      ::GetCursorPos(&p);
      const bool over = ::WindowFromPoint(p) == self->Handle();
      if (over || !ControlState().Contains(tk::csLButtonDown)) return 2;
    }
    if ((::GetWindowLongPtrW(self->Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return 1;
  }
  if (IsFocused || FCommonData->IsActive()) return 1;
  return 0;
}

// --- Properties ----------------------------------------------------------------------------

void TsButton::SetDown(bool v) {
  if (FDown == v) return;
  FDown = v;
  if (!IsLoading()) FCommonData->Invalidate();
}

void TsButton::SetDisabledKind(TsDisabledKinds v) {
  if (FDisabledKind == v) return;
  FDisabledKind = v;
  if (!IsLoading()) FCommonData->Invalidate();
}

void TsButton::SetShowFocus(bool v) {
  if (FShowFocus == v) return;
  FShowFocus = v;
  FCommonData->Invalidate();
}

void TsButton::SetImageAlignment(TkxImageAlignment v) {
  if (FImageAlignment == v) return;
  FImageAlignment = v;
  FCommonData->Invalidate();
}

void TsButton::CreateParams(tk::TCreateParams& Params) {
  tk::TButton::CreateParams(Params);
  if (Skinned()) Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TsButton::SetButtonStyle(bool ADefault) {
  tk::TButton::SetButtonStyle(ADefault);
  IsFocused = ADefault;
  FCommonData->Invalidate();
}

void TsButton::CNMeasureItem(tk::TMessage& Message) {
  if (auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) {
    mis->itemWidth = Width();
    mis->itemHeight = Height();
  }
}

void TsButton::SetOwnerDraw(bool On) {
  if (!HandleAllocated()) return;
  const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE) & ~LONG_PTR(BS_TYPEMASK);
  const LONG_PTR type = On ? BS_OWNERDRAW : (Active() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  ::SendMessageW(Handle(), BM_SETSTYLE, WPARAM(style | type), TRUE);
}

// --- Layout ------------------------------------------------------------------------------

TkxPushButtonMeasures TsButton::Measures() {
  TkxPushButtonMeasures m;
  m.W = Width();
  m.H = Height();
  m.Alignment = FImageAlignment;
  m.Pressed = CurrentState() == 2;
  const tk::String caption = Caption();
  if (const int limit = PushButtonTextLimit(m.W, !caption.empty()); limit != 0 && FCommonData->FCacheBmp) {
    tk::TCanvas* c = FCommonData->FCacheBmp->Canvas();
    c->Font()->Assign(Font());
    tk::TRect r{0, 0, limit, 0};
    DrawTextUnicode(c->Handle(), caption, r,
                    DT_CALCRECT | DT_EXPANDTABS | DT_CENTER | (WordWrap() ? DT_WORDBREAK : DT_SINGLELINE));
    m.TW = r.Width();
    m.TH = r.Height();
  }
  return m;
}

tk::TRect TsButton::CaptionRect() { return PushButtonCaptionRect(Measures()); }

// --- Painting ----------------------------------------------------------------------------

void TsButton::PrepareCache() {
  TsCommonData& d = *FCommonData;
  if (!d.IndexesCurrent()) d.UpdateIndexes();
  d.InitCacheBmp();
  const int W = Width(), H = Height();
  if (W < 1 || H < 1 || !Parent() || !d.Section()) return;
  tk::TBitmap* cache = d.FCacheBmp.get();
  cache->Canvas()->Font()->Assign(Font());
  TBackgroundQuery q;
  QueryControlBackground(q, Parent(), false);
  const TCacheInfo ci = ToCacheInfo(q);
  const int state = CurrentState();
  const tk::TPoint at{Left(), Top()};
  PaintControlBackground(d, ci, state, cache, at, tk::TRect{0, 0, W, H});
  if (TsSkinManager* m = d.EffectiveManager(); m && m->IsValidImgIndex(d.BorderIndex)) {
    const TsMaskData& mask = m->ma()[d.BorderIndex];
    if (state != 0 || !(mask.DrawMode & bdmNoNormalBorder))
      DrawBorderFromMask(cache, tk::TRect{0, 0, W, H}, false, true, state, mask, ci);
  }
  DrawCaption();
  if (!Enabled())
    MakeDisabledLook(
        cache, FDisabledKind, [this] { return FCommonData->OwnerColor(); }, at, ci);
  d.CacheBuilt(state);
}

void TsButton::DrawCaption() {
  tk::TBitmap* cache = FCommonData->FCacheBmp.get();
  tk::TCanvas* c = cache->Canvas();
  c->Font()->Assign(Font());
  const tk::String caption = Caption();
  tk::TRect r = CaptionRect();
  const uint32_t flags = DT_EXPANDTABS | DT_CENTER | (WordWrap() ? DT_WORDBREAK : 0u);
  WriteSkinText(c, caption, true, CurrentState() != 0, *FCommonData, flags, r);
  const TsGeneralData* s = FCommonData->Section();
  if (Enabled() && HandleAllocated() && Focused() && !caption.empty() && s && s->ShowFocus && FShowFocus) {
    r = tk::TRect{r.Left - FFocusMargin, r.Top - FFocusMargin, r.Right + FFocusMargin, r.Bottom + FFocusMargin};
    DrawDottedFocus(c, r);
  }
}

// The window region: the whole button less the see-through pixels of the
// border's corner pieces for the state shown. Cut again only when the size,
// the skin or the corner look changed; a region the window took is the
// window's, one it refused is deleted here.
void TsButton::UpdateRegion() {
  TsCommonData& d = *FCommonData;
  TsSkinManager* m = d.EffectiveManager();
  const bool masked = m && m->IsValidImgIndex(d.BorderIndex);
  const int W = Width(), H = Height();
  TkxRegionKey key{W, H, d.SkinGeneration(), masked ? d.BorderIndex : -1, 0};
  if (masked) key.Frame = MaskFrameFor(CurrentState(), m->ma()[d.BorderIndex].ImageCount);
  if (key == FRegionKey) return;
  const bool first = FRegionKey.W < 0;
  const tk::TRect old = LastRect;
  FRegionKey = key;
  LastRect = BoundsRect();
  if (!masked) {
    if (!first) ::SetWindowRgn(Handle(), nullptr, TRUE);
    return;
  }
  const TsMaskData& mask = m->ma()[d.BorderIndex];
  TAOR runs;
  AddTransparentCornerRects(runs, W, mask, false, 0, key.Frame);
  AddTransparentCornerRects(runs, W, mask, true, H - mask.WB, key.Frame);
  tk::TRegionHandle region(::CreateRectRgn(0, 0, W, H));
  for (const tk::TRect& r : runs) {
    tk::TRegionHandle cut(::CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
    ::CombineRgn(region, region, cut, RGN_DIFF);
  }
  if (::SetWindowRgn(Handle(), region, first)) {
    region.Release();
    ++FRegionsApplied;
  }
  if (!first) ClearStaleCorners(old);
}

// A button that shrank leaves its old corners on a parent that keeps no
// picture of its own: the parent paints them again.
void TsButton::ClearStaleCorners(const tk::TRect& Old) {
  if (Old.Width() <= Width() && Old.Height() <= Height()) return;
  if (FCommonData->GetParentCache().Ready || !Parent() || !Parent()->HandleAllocated()) return;
  TsSkinManager* m = FCommonData->EffectiveManager();
  const TsMaskData& mask = m->ma()[FCommonData->BorderIndex];
  const RECT corners[] = {
      {Old.Right - mask.WR, Old.Top, Old.Right, Old.Top + mask.WT},
      {Old.Right - mask.WR, Old.Bottom - mask.WB, Old.Right, Old.Bottom},
      {Old.Left, Old.Bottom - mask.WB, Old.Left + mask.WL, Old.Bottom},
  };
  for (const RECT& r : corners) ::InvalidateRect(Parent()->Handle(), &r, TRUE);
}

void TsButton::PaintWithRegion(HDC Given) {
  std::optional<tk::TPaintDC> paint;
  HDC dc = Given;
  if (!dc) dc = paint.emplace(Handle()).Get();
  TsCommonData& d = *FCommonData;
  // The fade timer shows its frames itself.
  if (FFadeTimer || !dc) return;
  const tk::TRect b = BoundsRect();
  const tk::TRect client = Parent()->ClientRect();
  d.HalfVisible = b.Left < client.Left || b.Top < client.Top || b.Right > client.Right || b.Bottom > client.Bottom;
  if (d.HalfVisible || SendControlCommand(Parent(), KX_QUERYHALFVISIBLE) == 1) d.BGChanged = true;
  if (d.BGChanged || !d.CacheFits(CurrentState())) PrepareCache();
  if (!Given && !Designing()) UpdateRegion();
  tk::TBitmap* cache = d.FCacheBmp.get();
  if (cache && !cache->Empty()) ::BitBlt(dc, 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// --- State changes -----------------------------------------------------------------------

void TsButton::StateChanged(bool Pressed, TacAnimEvent Event) {
  TsCommonData& d = *FCommonData;
  d.BGChanged = false;
  ChangeStateFaded(FFadeTimer, d, Pressed, fdUp, FadeAllowed(Event, FAnimatEvents, d.SkinManager()));
}

void TsButton::MouseDown(tk::TMouseButton Button, tk::TShiftState Shift, int X, int Y) {
  if (Skinned() && Enabled() && !Designing()) {
    FCommonData->SetUpdating(false);
    FMouseClicked = true;
    if (Button == tk::mbLeft && !FDown) StateChanged(true, aeMouseDown);
  }
  tk::TButton::MouseDown(Button, Shift, X, Y);
}

void TsButton::MouseUp(tk::TMouseButton Button, tk::TShiftState Shift, int X, int Y) {
  if (Skinned() && Enabled() && !Designing()) {
    if (!FMouseClicked || IsDestroying()) return;
    FMouseClicked = false;
    if (Button == tk::mbLeft) {
      TsCommonData& d = *FCommonData;
      if (FFadeTimer && FFadeTimer->FadeLevel < FFadeTimer->Iterations) {
        // Released before the press had faded in: the pressed look is shown
        // for a moment so that the click is seen.
        StopFade(FFadeTimer, d);
        d.BGChanged = true;
        FForcePressed = true;
        ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        FForcePressed = false;
        ::Sleep(30);
      }
      d.SetUpdating(false);
      StateChanged(true, aeMouseUp);
    }
  }
  tk::TButton::MouseUp(Button, Shift, X, Y);
}

void TsButton::FocusMoved(tk::TMessage& Message, bool Gained) {
  TsCommonData& d = *FCommonData;
  if (!Enabled() || IsDestroying() || FInFocusChange) {
    tk::TButton::WndProc(Message);
    return;
  }
  if (!Gained) StopFade(FFadeTimer, d);
  FInFocusChange = true;
  struct TLeave {
    bool& Flag;
    ~TLeave() { Flag = false; }
  } leave{FInFocusChange};
  FHandler->HandleSkinMessage(Message);
  tk::TButton::WndProc(Message);
  if (Gained) {
    if (FFadeTimer) FFadeTimer->Change();
    else d.Invalidate();
  } else if (Skinned()) {
    d.FFocused = false;
    d.Invalidate();
    d.HideGlow();
  }
}

// --- Messages ----------------------------------------------------------------------------

bool TsButton::SkinCommand(tk::TMessage& m) {
  TsCommonData& d = *FCommonData;
  const bool own =
      m.LParam == 0 ? d.SkinManager() == nullptr : reinterpret_cast<TsSkinManager*>(m.LParam) == d.EffectiveManager();
  switch (CommandOf(m)) {
    case KX_SKINLOADED:
      if (!own) return false;
      StopFade(FFadeTimer, d);
      FHandler->HandleSkinMessage(m);
      FRegionKey = TkxRegionKey{};
      if (Skinned()) SetOwnerDraw(true);
      return true;
    case KX_SKINREMOVED:
      if (!own || IsDestroying()) return false;
      StopFade(FFadeTimer, d);
      FHandler->HandleSkinMessage(m);
      SetOwnerDraw(false);
      FRegionKey = TkxRegionKey{};
      if (HandleAllocated()) ::SetWindowRgn(Handle(), nullptr, TRUE);
      Repaint();
      return true;
    case KX_SKINREFRESH:
      if (!own) return false;
      StopFade(FFadeTimer, d);
      FHandler->HandleSkinMessage(m);
      Repaint();
      return true;
    case KX_STOPFADE:
      StopFade(FFadeTimer, d);
      if (HandleAllocated()) UpdateRegion();
      return true;
    case KX_FADEFRAME: m.Result = 0; return true;
    default: return false;
  }
}

// A message to the skinned button: true when it is answered here.
bool TsButton::SkinnedMessage(tk::TMessage& m) {
  TsCommonData& d = *FCommonData;
  switch (m.Msg) {
    case SM_KESTRIXCMD:
      if (CommandOf(m) == KX_PARENTUPDATED && d.UpdatingFlag()) {
        d.SetUpdating(false);
        Repaint();
        return true;
      }
      return false;
    case WM_SIZE: HideAllGlows(); return false;
    case WM_SETFOCUS:
    case tk::CM_ENTER:
      if (!Visible() || Designing()) return false;
      FocusMoved(m, true);
      return true;
    case WM_KILLFOCUS:
    case tk::CM_EXIT:
      if (!Visible() || Designing()) return false;
      FocusMoved(m, false);
      return true;
    case WM_ENABLE: return true;
    case WM_PAINT:
      if (!Visible() || !Parent()) return false;
      PaintWithRegion(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_PRINT:
      d.SetUpdating(false);
      PaintWithRegion(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_ERASEBKGND:
    case WM_UPDATEUISTATE:
      if (!Visible()) return false;
      m.Result = 1;
      return true;
    case tk::CM_DIALOGCHAR:
      if (m.WParam == VK_SPACE && Enabled() && Focused()) {
        StopFade(FFadeTimer, d);
        d.BGChanged = true;
        d.HideGlow();
        Repaint();
      }
      return false;
    case tk::CM_TEXTCHANGED:
      if (IsDestroying()) return false;
      d.Invalidate();
      return true;
    case tk::CM_MOUSEENTER:
    case tk::CM_MOUSELEAVE: {
      const bool enter = m.Msg == tk::CM_MOUSEENTER;
      if (!Enabled() || Designing() || (enter && d.FMouseAbove)) return false;
      FHandler->HandleSkinMessage(m);
      if (tk::TNotifyEvent& e = enter ? OnMouseEnter : OnMouseLeave; e) e(this);
      d.FMouseAbove = enter;
      StateChanged(false, enter ? aeMouseEnter : aeMouseLeave);
      tk::TButton::WndProc(m);
      return true;
    }
    case tk::CN_DRAWITEM:
      m.WParam = 0;
      m.LParam = 0;
      m.Result = 1;
      return true;
    default: return false;
  }
}

void TsButton::WndProc(tk::TMessage& m) {
  if (m.Msg == WM_KILLFOCUS && IsDestroying()) return;
  if (m.Msg == SM_KESTRIXCMD && SkinCommand(m)) return;
  if (!Ready() || !Skinned()) {
    if ((m.Msg == tk::CM_MOUSEENTER || m.Msg == tk::CM_MOUSELEAVE) && Enabled() && !Designing()) {
      tk::TNotifyEvent& e = m.Msg == tk::CM_MOUSEENTER ? OnMouseEnter : OnMouseLeave;
      if (e) e(this);
    }
    if (!FHandler->HandleSkinMessage(m)) tk::TButton::WndProc(m);
    return;
  }
  if (SkinnedMessage(m)) return;
  if (FHandler->HandleSkinMessage(m)) return;
  tk::TButton::WndProc(m);
  TsCommonData& d = *FCommonData;
  switch (m.Msg) {
    case WM_KEYUP:
      if (m.WParam == VK_SPACE) {
        d.BGChanged = true;
        Repaint();
      }
      break;
    case WM_SETFONT:
    case tk::CM_ENABLEDCHANGED:
      if (IsDestroying()) break;
      d.SetUpdating(false);
      d.Invalidate();
      break;
    case tk::CM_CANCELMODE: d.HideGlow(); break;
    case tk::CM_VISIBLECHANGED:
      if (IsDestroying()) break;
      d.BGChanged = true;
      d.SetUpdating(false);
      if (Visible()) Repaint();
      break;
    default: break;
  }
}

}  // namespace kx
