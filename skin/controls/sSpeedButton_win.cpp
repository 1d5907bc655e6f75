// Our headers before <windows.h>: the colour helpers of Types.h share their
// names with the system's GetRValue/GetGValue/GetBValue macros.
#include "skin/controls/sSpeedButton.h"

#include <windows.h>

#include <algorithm>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sMessages.h"
#include "skin/framework/sSkinText.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"

namespace kx {

namespace {

constexpr int kArrowWidth = 16;

// Shared by every speed button: a press switches hints off until its
// release, and only one drop-down menu is open at a time.
struct TSpeedButtonShared {
  bool HintsSaved = false;
  bool SavedShowHint = true;
  bool DropDownOpen = false;
  TsSpeedButton* DropDownButton = nullptr;
} Shared;

}  // namespace

TsSpeedButton::TsSpeedButton(tk::TComponent* AOwner)
    : tk::TSpeedButton(AOwner),
      FCommonData(std::make_unique<TsCommonData>(this, true)),
      FHandler(std::make_unique<TkxCommonHandler>(*FCommonData)) {
  FCommonData->COC = cocSpeedButton;
}

TsSpeedButton::~TsSpeedButton() {
  StopFade(FFadeTimer);
  if (Shared.DropDownButton == this) Shared.DropDownButton = nullptr;
}

void TsSpeedButton::AfterConstruction() {
  tk::TSpeedButton::AfterConstruction();
  FCommonData->Loaded();
  if (Skinned()) SetControlStyle(ControlStyle() + tk::csOpaque);
}

void TsSpeedButton::Loaded() {
  tk::TSpeedButton::Loaded();
  FCommonData->Loaded();
  if (Skinned()) SetControlStyle(ControlStyle() + tk::csOpaque);
}

bool TsSpeedButton::Ready() const {
  return Parent() && !ControlState().Contains(tk::csCreating) && !ComponentState().Contains(tk::csReading) &&
         !IsLoading() && !IsDestroying();
}

int TsSpeedButton::CurrentState() const {
  if (State() == tk::bsDown || State() == tk::bsExclusive) return 2;
  return FCommonData->IsActive() ? 1 : 0;
}

// --- Properties --------------------------------------------------------------------------

void TsSpeedButton::LookChanged() {
  if (!Visible() && !Designing()) return;
  FCommonData->BGChanged = true;
  GraphRepaint();
}

void TsSpeedButton::SetAlignment(tk::TAlignment v) {
  if (FAlignment == v) return;
  FAlignment = v;
  LookChanged();
}

void TsSpeedButton::SetTextAlignment(tk::TAlignment v) {
  if (FTextAlignment == v) return;
  FTextAlignment = v;
  Repaint();
}

void TsSpeedButton::SetBlend(int v) {
  v = std::clamp(v, 0, 100);
  if (FBlend == v) return;
  FBlend = v;
  if (!FCommonData->IsUpdating()) LookChanged();
}

void TsSpeedButton::SetGrayed(bool v) {
  if (FGrayed == v) return;
  FGrayed = v;
  if (!FCommonData->IsUpdating()) LookChanged();
}

void TsSpeedButton::SetButtonStyle(TToolButtonStyle v) {
  if (FButtonStyle == v) return;
  if (!IsLoading()) {
    if (v == tbsDropDown) SetWidth(Width() + kArrowWidth);
    else if (FButtonStyle == tbsDropDown) SetWidth(Width() - kArrowWidth);
  }
  FButtonStyle = v;
  LookChanged();
}

void TsSpeedButton::SetDisabledKind(TsDisabledKinds v) {
  if (FDisabledKind == v) return;
  FDisabledKind = v;
  LookChanged();
}

void TsSpeedButton::SetDisabledGlyphKind(TsDisabledGlyphKinds v) {
  if (FDisabledGlyphKind == v) return;
  FDisabledGlyphKind = v;
  LookChanged();
}

void TsSpeedButton::SetDropdownMenu(tk::TPopupMenu* v) {
  if (FDropdownMenu == v) return;
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = v;
  if (v) v->FreeNotification(this);
  LookChanged();
}

void TsSpeedButton::SetReflected(bool v) {
  if (FReflected == v) return;
  FReflected = v;
  FCommonData->BGChanged = true;
  GraphRepaint();
}

void TsSpeedButton::SetShowCaption(bool v) {
  if (FShowCaption == v) return;
  FShowCaption = v;
  UpdateCaption();
  LookChanged();
}

void TsSpeedButton::SetDrawOverBorder(bool v) {
  if (FDrawOverBorder == v) return;
  FDrawOverBorder = v;
  LookChanged();
}

void TsSpeedButton::SetTextOffset(int v) {
  if (FOffset == v) return;
  FOffset = v;
  LookChanged();
}

void TsSpeedButton::UpdateCaption() {
  tk::String c = Caption();
  if (!c.empty()) FOldCaption = c;
  SetCaption(FShowCaption ? FOldCaption : tk::String());
}

void TsSpeedButton::GlyphChanged(tk::TObject* Sender) {
  if (IsLoading() || IsDestroying() || ControlState().Contains(tk::csCreating)) {
    tk::TSpeedButton::GlyphChanged(Sender);
    return;
  }
  FCommonData->Invalidate();
}

void TsSpeedButton::Notification(tk::TComponent* AComponent, tk::TOperation Operation) {
  tk::TSpeedButton::Notification(AComponent, Operation);
  if (Operation == tk::opRemove && FDropdownMenu && AComponent == FDropdownMenu) FDropdownMenu = nullptr;
}

void TsSpeedButton::Invalidate() {
  if (Layout() != FOldLayout) {
    FOldLayout = Layout();
    FCommonData->BGChanged = true;
  }
  tk::TSpeedButton::Invalidate();
}

// --- Layout ------------------------------------------------------------------------------

TkxButtonMeasures TsSpeedButton::Measures() {
  TkxButtonMeasures m;
  m.W = Width();
  m.H = Height();
  m.ArrowWidth = FButtonStyle == tbsDropDown ? kArrowWidth : 0;
  m.Margin = Margin();
  m.Spacing = Spacing();
  m.GW = GlyphWidth();
  m.GH = GlyphHeight();
  const tk::String caption = Caption();
  m.HasCaption = !caption.empty();
  m.ShowCaption = FShowCaption;
  m.Layout = Layout();
  m.Alignment = FAlignment;
  m.TextOffset = FOffset;
  m.Pressed = CurrentState() == 2;
  m.Reflected = FReflected;
  if (const int limit = CaptionWidthLimit(m); limit != 0 && FCommonData->FCacheBmp) {
    tk::TCanvas* c = FCommonData->FCacheBmp->Canvas();
    c->Font()->Assign(Font());
    tk::TRect r{0, 0, limit, 0};
    // Through the canvas, so that its font is selected into the DC first.
    c->TextDraw(caption, r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    m.TW = r.Width();
    m.TH = r.Height();
  }
  return m;
}

tk::TRect TsSpeedButton::CaptionRect() { return kx::CaptionRect(Measures()); }
tk::TRect TsSpeedButton::ImgRect() { return kx::ImgRect(Measures()); }

// --- Painting ----------------------------------------------------------------------------

void TsSpeedButton::CopyToCanvas(tk::TBitmap* Source) {
  HDC dc = Canvas()->Handle();
  if (!dc || !Source || Source->Empty()) return;
  ::BitBlt(dc, 0, 0, Width(), Height(), Source->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSpeedButton::Paint() {
  TsCommonData& d = *FCommonData;
  if (TsSkinManager* m = d.EffectiveManager(); m && m->SkinData().Active && d.SkinIndex < 1) d.UpdateIndexes();
  if (!Skinned()) {
    tk::TSpeedButton::Paint();
    return;
  }
  if (Width() < 1 || Height() < 1) return;
  if (FFadeTimer && FFadeTimer->TmpBmp->Width() == Width()) {
    CopyToCanvas(FFadeTimer->TmpBmp.get());
    return;
  }
  d.BGChanged = CurrentState() > 0 || FStoredDown != Down() || d.BGChanged || d.HalfVisible;
  FStoredDown = Down();
  d.HalfVisible = d.RepaintIfMoved();
  if (d.BGChanged) {
    FOldNumGlyphs = NumGlyphs();
    FOldSpacing = Spacing();
  } else if (FOldNumGlyphs != NumGlyphs()) {
    d.BGChanged = true;
    FOldNumGlyphs = NumGlyphs();
  } else if (FOldSpacing != Spacing()) {
    d.BGChanged = true;
    FOldSpacing = Spacing();
  }
  if (d.BGChanged && !d.UrgentPainting) PrepareCache();
  CopyToCanvas(d.FCacheBmp.get());
}

void TsSpeedButton::GraphRepaint() {
  if (!Ready() || ControlState().Contains(tk::csCreating) || !Visible() || !Parent()->HandleAllocated()) return;
  if (!Skinned() || Designing()) {
    Repaint();
    return;
  }
  TsCommonData& d = *FCommonData;
  if (d.BGChanged) {
    PrepareCache();
    if (!ControlState().Contains(tk::csPaintCopy)) PaintOverlappingSiblings(d.FCacheBmp->Canvas());
  }
  CopyToCanvas(FFadeTimer ? FFadeTimer->TmpBmp.get() : d.FCacheBmp.get());
  // The DC came from the parent window: give it back now, the next paint
  // brings its own.
  static_cast<tk::TControlCanvas*>(Canvas())->FreeHandle();
}

void TsSpeedButton::PaintOverlappingSiblings(tk::TCanvas* C) {
  tk::TWinControl* p = Parent();
  if (!p || !C) return;
  const tk::TRect me = BoundsRect();
  auto inside = [&](int x, int y) { return x >= me.Left && x < me.Right && y >= me.Top && y < me.Bottom; };
  for (int i = 0; i < p->ControlCount(); ++i) {
    tk::TControl* c = p->Controls(i);
    if (c == this || !c->Visible()) continue;
    if (!inside(c->Left(), c->Top()) && !inside(c->Left() + c->Width() - 1, c->Top() + c->Height() - 1)) continue;
    HDC dc = C->Handle();
    tk::TDCState state(dc);
    C->Lock();
    {
      tk::TPaintCopyScope copy(c, true);
      ::SetWindowOrgEx(dc, -(c->Left() - Left()), -(c->Top() - Top()), nullptr);
      ::IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
      c->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc));
    }
    C->Unlock();
  }
}

void TsSpeedButton::PrepareCache() {
  TsCommonData& d = *FCommonData;
  d.InitCacheBmp();
  tk::TBitmap* cache = d.FCacheBmp.get();
  const int W = Width(), H = Height();
  if (W < 1 || H < 1 || !Parent()) return;
  cache->Canvas()->Font()->Assign(Font());
  TBackgroundQuery q;
  QueryControlBackground(q, Parent(), false);
  const TCacheInfo ci = ToCacheInfo(q);
  if (q.Kind == kxBGBitmap && q.Bmp && q.Bmp->Width() == 0) return;
  TsSkinManager* manager = d.EffectiveManager();
  const tk::TPoint at{Left(), Top()};

  auto parentBackground = [&](int dx, int dy) {
    if (ci.Ready && ci.Bmp) {
      ::BitBlt(cache->Canvas()->Handle(), 0, 0, W, H, ci.Bmp->Canvas()->Handle(), ci.X + Left() + dx,
               ci.Y + Top() + dy, SRCCOPY);
    } else {
      FillBitmapRect(cache, tk::TRect{0, 0, W, H}, tk::ColorToRGB(ci.FillColor));
    }
  };

  const int state = CurrentState();
  if (FButtonStyle == tbsSeparator) {
    parentBackground(0, 0);
  } else if (FButtonStyle == tbsDivider) {
    parentBackground(0, 0);
    if (manager) {
      const int mi = manager->Content().GetMaskIndex(L"DIVIDER", L"BORDERSMASK");
      if (manager->IsValidImgIndex(mi)) {
        const TsMaskData& mask = manager->ma()[mi];
        const int mw = mask.ImageCount > 0 ? mask.R.Width() / mask.ImageCount : 0;
        DrawBorderFromMask(cache, tk::TRect{(W - mw) / 2, 0, (W + mw) / 2, H}, true, false, 0, mask, ci);
      }
    }
  } else {
    const int AW = FButtonStyle == tbsDropDown ? kArrowWidth : 0;
    const tk::TRect area{0, 0, W - AW, H};
    if (FDrawOverBorder) {
      PaintControlLook(d, ci, true, true, cache, at, area, state);
      DrawCaption();
      DrawGlyph();
    } else {
      PaintControlBackground(d, ci, state, cache, at, area);
      DrawCaption();
      DrawGlyph();
      if (manager && manager->IsValidImgIndex(d.BorderIndex))
        DrawBorderFromMask(cache, area, false, true, state, manager->ma()[d.BorderIndex], ci);
    }
    if (FButtonStyle == tbsDropDown) PaintArrowArea(ci, W, H, AW);
    if (!Enabled()) {
      const TCacheInfo behind = d.GetParentCache();
      MakeDisabledLook(cache, FDisabledKind, [this] { return FCommonData->OwnerColor(); }, at, behind);
    }
    if (OnPaint) OnPaint(this, cache);
  }
  d.CacheBuilt(state);
}

void TsSpeedButton::PaintArrowArea(const TCacheInfo& ci, int W, int H, int AW) {
  TsCommonData& d = *FCommonData;
  tk::TBitmap* cache = d.FCacheBmp.get();
  const bool pressed = (FDropdownMenu && FDroppedDown) || Down() || State() == tk::bsDown || State() == tk::bsExclusive;
  const int s = pressed ? 2 : d.IsActive() ? 1 : 0;
  const tk::TRect area{W - AW, 0, W, H};
  const tk::TPoint at{Left() + W - AW, Top()};
  TsSkinManager* manager = d.EffectiveManager();
  if (FDrawOverBorder) {
    PaintControlLook(d, ci, true, true, cache, at, area, s);
  } else {
    PaintControlBackground(d, ci, s, cache, at, area);
    if (manager && manager->IsValidImgIndex(d.BorderIndex))
      DrawBorderFromMask(cache, area, false, true, s, manager->ma()[d.BorderIndex], ci);
  }
  if (!manager) return;
  const int mi = manager->ConstData().MaskArrowBottom;
  if (!manager->IsValidImgIndex(mi)) return;
  const TsMaskData& mask = manager->ma()[mi];
  const int fw = mask.R.Width() / std::max<int>(mask.ImageCount, 1);
  const int fh = mask.R.Height() / (mask.MaskType + 1);
  DrawMaskImage(cache, tk::TPoint{(AW - fw) / 2 + W - AW + 1, (H - fh) / 2}, s, MakeCacheInfo(cache), mask, 0);
}

void TsSpeedButton::DrawCaption() {
  if (!FShowCaption) return;
  tk::TCanvas* c = FCommonData->FCacheBmp->Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(tk::bsClear);
  const tk::TRect r = CaptionRect();
  uint32_t flags = TextFormatFor(this, FTextAlignment) | DT_WORDBREAK | DT_EXPANDTABS;
  flags = DrawTextBiDiModeFlags(flags) & ~static_cast<uint32_t>(DT_SINGLELINE);
  // Enabled here: a disabled button gets its look from the cache as a whole.
  WriteSkinText(c, Caption(), true, CurrentState() != 0, *FCommonData, flags, r);
}

void TsSpeedButton::DrawGlyph() {
  tk::TBitmap* glyph = Glyph();
  if (glyph->Empty()) return;
  const int kind = !Enabled() ? gkDisabled : (CurrentState() == 2 || Down()) ? gkDown : gkUp;
  const int blend = CurrentState() == 0 ? FBlend : 0;
  DrawGlyphStrip(glyph, FCommonData->FCacheBmp.get(), ImgRect(), Down() ? 1 : 0, blend, kind, FDisabledGlyphKind,
                 Enabled(), NumGlyphs());
}

// --- Fading ------------------------------------------------------------------------------

void TsSpeedButton::StateChanged(bool HalfSpeed, bool Animate) {
  TsCommonData& d = *FCommonData;
  const TsGeneralData* s = Skinned() ? d.Section() : nullptr;
  if (Animate && !Engine.SkinLoading && s && s->FadingEnabled && !d.BGChanged) {
    d.BGChanged = true;
    StartFading(HalfSpeed);
  } else {
    d.BGChanged = true;
    StopFade(FFadeTimer);
    GraphRepaint();
  }
  d.UpdateGlow(HalfSpeed);
}

void TsSpeedButton::StartFading(bool HalfSpeed) {
  if (Designing()) return;
  TsCommonData& d = *FCommonData;
  int level = 1;
  if (FFadeTimer) {
    // The reverse fade goes on from where the running one had got to.
    level = std::max(1, FFadeTimer->Iterations - FFadeTimer->FadeLevel);
    StopFade(FFadeTimer);
  }
  const TsGeneralData* s = d.Section();
  if (!s || !s->FadingEnabled || !d.FCacheBmp || !Parent() || !Parent()->HandleAllocated()) return;
  auto* t = tk::Create<TsAnimTimer>();
  t->SetOwnerData(&d);
  if (HalfSpeed) t->Iterations /= 2;
  if (t->Iterations < 1) {
    // No step to show (a halved single step): a fade would never reach its end.
    t->Free();
    GraphRepaint();
    return;
  }
  t->FadeLevel = std::min(level, t->Iterations);
  PaintOverlappingSiblings(d.FCacheBmp->Canvas());
  t->BmpFrom->Assign(d.FCacheBmp.get());
  FFadeTimer = t;
  // Built whole over what the parent shows now, so its corners are current
  // already; drawing them again would lay the parent's pixels over the face
  // where the border's corner pieces are see-through.
  PrepareCache();
  PaintOverlappingSiblings(d.FCacheBmp->Canvas());
  t->SetEnabled(true);
  t->DoFade();
}

void TsSpeedButton::StopFading() {
  if (!FFadeTimer) return;
  const bool shown = FFadeTimer->FadeLevel != 0;
  StopFade(FFadeTimer);
  if (IsDestroying() || Designing()) return;
  if (shown) {
    FCommonData->BGChanged = true;
    Repaint();
  }
  // A mouse move that was queued before the pointer left (the system may
  // deliver it after the move into another window) lights the button with
  // no leave to follow: once the fade is over, a pointer elsewhere ends it.
  if (FCommonData->FMouseAbove && !PointerOver()) MouseLeaveHandler();
}

bool TsSpeedButton::PointerOver() {
  POINT p{};
  if (!::GetCursorPos(&p)) return true;
  const tk::TPoint c = ScreenToClient(tk::TPoint{p.x, p.y});
  return c.X >= 0 && c.Y >= 0 && c.X < Width() && c.Y < Height();
}

// --- Mouse -------------------------------------------------------------------------------

void TsSpeedButton::MouseEnterHandler() {
  if (OnMouseEnter) OnMouseEnter(this);
  if (FCommonData->FMouseAbove) return;
  FCommonData->FMouseAbove = true;
  StateChanged(false, FadeAllowed(aeMouseEnter, FAnimatEvents, FCommonData->SkinManager()));
}

void TsSpeedButton::MouseLeaveHandler() {
  if (!FCommonData->FMouseAbove) return;
  if (OnMouseLeave) OnMouseLeave(this);
  FCommonData->FMouseAbove = false;
  if (State() == tk::bsDown) SetState(tk::bsUp);
  if (Visible()) StateChanged(false, FadeAllowed(aeMouseLeave, FAnimatEvents, FCommonData->SkinManager()));
}

void TsSpeedButton::MouseDown(tk::TMouseButton Button, tk::TShiftState Shift, int X, int Y) {
  if (!Shared.HintsSaved && tk::Application) {
    Shared.HintsSaved = true;
    Shared.SavedShowHint = tk::Application->ShowHint();
    tk::Application->SetShowHint(false);
  }
  const bool dropDown = Button == tk::mbLeft && Enabled() && FButtonStyle == tbsDropDown && FDropdownMenu &&
                        (X >= Width() - kArrowWidth || !OnClick);
  if (!dropDown) {
    tk::TSpeedButton::MouseDown(Button, Shift, X, Y);
    return;
  }
  Shared.DropDownButton = this;
  StopFading();
  if (Shared.DropDownOpen) return;
  Shared.DropDownOpen = true;
  FDroppedDown = true;
  FCommonData->BGChanged = true;
  if (!OnClick) SetState(tk::bsDown);
  GraphRepaint();
  const tk::TPoint p = ClientToScreen(tk::TPoint{0, Height() + 1});
  FDropdownMenu->SetPopupComponent(this);
  FDropdownMenu->Popup(p.X, p.Y);
  FDroppedDown = false;
  Shared.DropDownOpen = false;
  Shared.DropDownButton = nullptr;
  POINT cur{};
  ::GetCursorPos(&cur);
  if (!(cur.x >= p.X && cur.x < p.X + Width() && cur.y >= p.Y - Height() - 1 && cur.y < p.Y - 1))
    Perform(tk::CM_MOUSELEAVE);
  if (!OnClick) SetState(tk::bsUp);
  FCommonData->BGChanged = true;
  if (!Skinned()) Repaint();
  else GraphRepaint();
}

void TsSpeedButton::MouseUp(tk::TMouseButton Button, tk::TShiftState Shift, int X, int Y) {
  if (Shared.HintsSaved && tk::Application) {
    Shared.HintsSaved = false;
    tk::Application->SetShowHint(Shared.SavedShowHint);
  }
  if (Button == tk::mbLeft && Enabled() && FButtonStyle == tbsDropDown) {
    FDroppedDown = false;
    Shared.DropDownButton = nullptr;
  }
  tk::TSpeedButton::MouseUp(Button, Shift, X, Y);
}

// --- Messages ----------------------------------------------------------------------------

void TsSpeedButton::WndProc(tk::TMessage& m) {
  TsCommonData& d = *FCommonData;
  if (m.Msg == SM_KESTRIXCMD) {
    switch (CommandOf(m)) {
      case KX_SKINLOADED:
        if (FHandler->HandleSkinMessage(m)) return;
        if (Skinned()) SetControlStyle(ControlStyle() + tk::csOpaque);
        return;
      case KX_SKINREMOVED:
        if (!IsDestroying()) {
          StopFade(FFadeTimer);
          FHandler->HandleSkinMessage(m);
          SetControlStyle(ControlStyle() - tk::csOpaque);
          if (Visible()) Repaint();
        }
        break;
      case KX_SKINREFRESH:
        FHandler->HandleSkinMessage(m);
        if (Visible()) Repaint();
        return;
      case KX_PARENTUPDATED:
        if (d.UpdatingFlag()) {
          d.SetUpdating(false);
          GraphRepaint();
          return;
        }
        break;
      case KX_QUERYHANDLED: m.Result = 1; return;
      case KX_REPAINTNOW:
        d.SetUpdating(false);
        // A fade's frame is shown as it is; the cache under it is current.
        if (!FFadeTimer) d.BGChanged = true;
        GraphRepaint();
        return;
      case KX_QUERYAPPLICATION: m.Result = reinterpret_cast<intptr_t>(tk::Application); return;
      default: break;
    }
  }
  if (!Ready() || !Skinned()) {
    if (m.Msg == tk::CM_MOUSEENTER && Enabled() && !Designing()) {
      d.FMouseAbove = true;
      if (OnMouseEnter) OnMouseEnter(this);
    } else if (m.Msg == tk::CM_MOUSELEAVE && Enabled() && !Designing()) {
      d.FMouseAbove = false;
      if (OnMouseLeave) OnMouseLeave(this);
      if (State() == tk::bsDown) SetState(tk::bsUp);
    }
    tk::TSpeedButton::WndProc(m);
    return;
  }
  if (m.Msg == SM_KESTRIXCMD) {
    switch (CommandOf(m)) {
      case KX_QUERYUPDATING: m.Result = d.UpdatingFlag(); return;
      case KX_SECTIONCHANGED: GraphRepaint(); return;
      case KX_STOPFADE: StopFading(); return;
      default: break;
    }
  }
  switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      if (Visible()) d.BGChanged = true;
      break;
    case WM_ERASEBKGND: return;
    case WM_LBUTTONUP:
      if (!Designing() && FFadeTimer && FFadeTimer->TmpBmp->Width() == Width()) {
        StopFading();
        PrepareCache();
        GraphRepaint();
      }
      break;
    case tk::CM_TEXTCHANGED:
      if (FShowCaption) {
        d.BGChanged = true;
        GraphRepaint();
      }
      return;
    case tk::CM_MOUSEENTER:
      if (Enabled() && !MouseInControl() && !Designing()) MouseEnterHandler();
      break;
    case tk::CM_MOUSELEAVE:
      if (Enabled()) MouseLeaveHandler();
      break;
    default: break;
  }
  if (FHandler->HandleSkinMessage(m)) return;
  tk::TSpeedButton::WndProc(m);
  switch (m.Msg) {
    case WM_MOVE:
      if (Designing() && !d.UpdatingFlag()) Repaint();
      break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      if (Designing() && !d.UpdatingFlag()) GraphRepaint();
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!Designing()) StateChanged(true, FadeAllowed(aeMouseDown, FAnimatEvents, d.SkinManager()));
      break;
    case WM_LBUTTONUP:
      if (Designing() || IsDestroying()) {
        m.Result = 1;
        return;
      }
      StateChanged(true, FadeAllowed(aeMouseUp, FAnimatEvents, d.SkinManager()));
      break;
    case tk::CM_VISIBLECHANGED: d.FMouseAbove = false; break;
    case tk::CM_ENABLEDCHANGED:
      if (Visible() || Designing()) {
        // A fade towards the old state must not outlive it: the new look shows at once.
        StopFade(FFadeTimer);
        d.BGChanged = true;
        if (!IsLoading()) GraphRepaint();
      }
      break;
    case tk::CM_BUTTONPRESSED:
      d.BGChanged = true;
      GraphRepaint();
      break;
    default: break;
  }
}

}  // namespace kx
