#include <windows.h>

#include <algorithm>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sControlPaint.h"
#include "skin/paint/sAlphaGraph.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace kx {

namespace {

tk::String Normalised(const tk::String& Value) { return Value.empty() ? L"UNKNOWN" : tk::UpperCaseAscii(Value); }

// What a control answers to KX_QUERYCOLOR, or 0 when it does not know.
intptr_t QueryColor(tk::TControl* Control) { return SendControlCommand(Control, KX_QUERYCOLOR, kxUnknownColor); }

tk::TColor GlobalColor() {
  TsSkinManager* m = DefaultManager();
  return m ? m->GetGlobalColor() : kxSysBtnFace;
}

void FillDC(HDC DC, const tk::TRect& R, tk::TColor Color) {
  if (!DC || R.IsEmpty()) return;
  HBRUSH b = ::CreateSolidBrush(static_cast<COLORREF>(tk::ColorToRGB(Color)));
  const RECT r{R.Left, R.Top, R.Right, R.Bottom};
  ::FillRect(DC, &r, b);
  ::DeleteObject(b);
}

// A control that does not answer is asked to paint itself into the query's
// DC, moved so that its origin lands at (-X, -Y) of the target.
template <class Deliver>
void PaintInto(TBackgroundQuery& Q, Deliver deliver) {
  const int saved = ::SaveDC(Q.DC);
  ::OffsetViewportOrgEx(Q.DC, -Q.X, -Q.Y, nullptr);
  tk::TRect r = Q.R;
  r.Offset(Q.X, Q.Y);
  ::IntersectClipRect(Q.DC, r.Left, r.Top, r.Right, r.Bottom);
  deliver(WM_ERASEBKGND);
  deliver(WM_PAINT);
  ::RestoreDC(Q.DC, saved);
}

TCacheInfo ToCacheInfo(const TBackgroundQuery& q) {
  if (q.Kind == kxBGBitmap) {
    if (q.Bmp && !q.Bmp->Empty()) return TCacheInfo{q.Bmp, q.X, q.Y, kxUnknownColor, true};
    // A picture of nothing tells nothing: the asker paints its own look.
    return TCacheInfo{nullptr, q.X, q.Y, kxUnknownColor, false};
  }
  return TCacheInfo{nullptr, q.X, q.Y, tk::ColorToRGB(q.Color), false};
}

}  // namespace

// --- Life cycle -----------------------------------------------------------------

TsCommonData::TsCommonData(tk::TObject* AOwner, bool CreateCacheBmp)
    : FOwnerControl(dynamic_cast<tk::TControl*>(AOwner)),
      FOwnerObject(AOwner),
      FProvider(dynamic_cast<IkxCommonDataProvider*>(AOwner)) {
  if (CreateCacheBmp) FCacheBmp = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf24bit);
}

TsCommonData::~TsCommonData() {
  if (GlowID >= 0 && HideGlowHook) HideGlowHook(GlowID);
  GlowID = SkinIndex = BorderIndex = Texture = HotTexture = -1;
  FOwnerControl = nullptr;
  FOwnerObject = nullptr;
  FProvider = nullptr;
  FSkinManager = nullptr;
}

TsSkinManager* TsCommonData::EffectiveManager() const { return FSkinManager ? FSkinManager : DefaultManager(); }

bool TsCommonData::Skinned(bool CheckActive) const {
  TsSkinManager* m = EffectiveManager();
  if (!m || m->IsDestroying() || !m->IsValidSkinIndex(SkinIndex)) return false;
  if (auto* c = dynamic_cast<tk::TComponent*>(FOwnerObject); c && c->IsDestroying()) return false;
  return !CheckActive || m->SkinData().Active;
}

const TsGeneralData* TsCommonData::Section() const {
  TsSkinManager* m = EffectiveManager();
  return m && m->IsValidSkinIndex(SkinIndex) ? &m->gd()[SkinIndex] : nullptr;
}

bool TsCommonData::OwnerQuiet() const {
  return FOwnerControl->IsLoading() || FOwnerControl->ComponentState().Contains(tk::csReading) ||
         FOwnerControl->IsDestroying();
}

// --- Properties --------------------------------------------------------------------

void TsCommonData::Notify(uint16_t Command, intptr_t LParam) {
  tk::TMessage m = MakeCommand(Command, LParam);
  if (FProvider) {
    FProvider->ProviderWndProc(m);
  } else if (FOwnerControl && FOwnerControl->Parent() && !FOwnerControl->IsDestroying()) {
    // Perform, not SendMessage: a control without a window yet is told too,
    // and asking must not create one.
    FOwnerControl->Perform(m.Msg, m.WParam, m.LParam);
  }
}

void TsCommonData::SetSkinSection(const tk::String& Value) {
  const tk::String v = Normalised(Value);
  if (v == FSkinSection) return;
  FSkinSection = v;
  TsSkinManager* m = EffectiveManager();
  const bool hasSections = m && !m->gd().empty();
  if (hasSections)
    UpdateIndexes();
  else
    SkinIndex = -1;
  if (FOwnerControl) {
    if (OwnerQuiet() || !FOwnerControl->Parent()) return;
    const bool valid = hasSections && m->IsValidSkinIndex(SkinIndex);
    Notify(valid ? KX_SKINREFRESH : KX_SKINREMOVED, reinterpret_cast<intptr_t>(m));
  } else if (FProvider) {
    BGChanged = true;
    FProvider->DropTitleImage();
  }
}

void TsCommonData::SetSkinManager(TsSkinManager* Value) {
  if (Value == FSkinManager) return;
  FSkinManager = Value == DefaultManager() ? nullptr : Value;
  if (FOwnerControl && FOwnerControl->IsLoading()) return;
  // Null means the default manager, so that is the one to resolve against.
  TsSkinManager* m = EffectiveManager();
  if (m && !m->gd().empty())
    UpdateIndexes();
  else
    SkinIndex = -1;
  const bool valid = m && m->IsValidSkinIndex(SkinIndex);
  Notify(valid ? KX_SKINREFRESH : KX_SKINREMOVED, reinterpret_cast<intptr_t>(Value));
}

void TsCommonData::SetCustomColor(bool Value) {
  FCustomColor = Value;
  auto* edit = dynamic_cast<tk::TCustomEdit*>(FOwnerControl);
  if (edit && !edit->IsLoading() && Skinned()) {
    const TsGeneralData* s = Section();
    if (!FCustomColor) edit->SetColor(s->Color);
    if (!FCustomFont) edit->Font()->SetColor(s->FontColor[0]);
  }
  Invalidate();
}

void TsCommonData::SetCustomFont(bool Value) {
  FCustomFont = Value;
  Invalidate();
}

// --- Indexes -----------------------------------------------------------------------

void TsCommonData::UpdateIndexes() {
  BGChanged = true;
  TsSkinManager* m = EffectiveManager();
  SkinIndex = m ? m->GetSkinIndex(FSkinSection) : -1;
  const TsGeneralData* s = Section();
  BGType = s ? BGTypeOf(*s) : 0;
  CtrlSkinState = 0;
  if (s) {
    BorderIndex = s->BorderIndex;
    Texture = m->Content().GetTextureIndex(SkinIndex, FSkinSection, L"PATTERN");
    HotTexture = m->Content().GetTextureIndex(SkinIndex, FSkinSection, L"HOTPATTERN");
    UpdateSkinState(false);
  } else {
    Texture = HotTexture = -1;
  }
}

void TsCommonData::Loaded() {
  if (FSkinSection.empty())
    SetSkinSection(DefaultSectionOf(COC, FOwnerObject ? FOwnerObject->ClassName() : tk::String()));
  else
    UpdateIndexes();
  if (!FOwnerControl || !FOwnerControl->Parent() || FOwnerControl->IsLoading() || !Skinned()) return;
  if (dynamic_cast<tk::TWinControl*>(FOwnerControl))
    if (tk::TCustomForm* form = tk::GetParentForm(FOwnerControl))
      SendControlCommand(form, KX_CONTROLADDED, reinterpret_cast<intptr_t>(FOwnerControl));
  if (dynamic_cast<tk::TCustomEdit*>(FOwnerControl) || COC == 97) {
    const TsGeneralData* s = Section();
    if (!FCustomColor) FOwnerControl->SetColor(s->Color);
    if (!FCustomFont) FOwnerControl->Font()->SetColor(s->FontColor[0]);
  }
}

// --- Updating ----------------------------------------------------------------------

void TsCommonData::SendToOwner(uint16_t Command) {
  if (FOwnerControl) {
    SendControlCommand(FOwnerControl, Command);
  } else if (FProvider) {
    tk::TCustomForm* form = FProvider->ProviderForm();
    if (form && form->HandleAllocated()) SendCommand(form->Handle(), Command);
  }
}

void TsCommonData::BeginUpdate() {
  FUpdating = true;
  CtrlSkinState |= kxStateUpdating;
  SendToOwner(KX_UPDATEBEGUN);
}

void TsCommonData::EndUpdate(bool Repaint) {
  FUpdating = false;
  CtrlSkinState &= static_cast<uint16_t>(~kxStateUpdating);
  SendToOwner(KX_UPDATEENDED);
  if (Repaint) Invalidate();
}

bool TsCommonData::IsUpdating() const {
  if (!EffectiveManager()) return false;
  if (!UsesCache()) return FUpdating;
  if (!FOwnerControl || FOwnerControl->IsDestroying()) return FUpdating;
  // A control that is not placed yet does not paint.
  if (FUpdating || !FOwnerControl->Parent()) return true;
  return SendControlCommand(FOwnerControl->Parent(), KX_QUERYUPDATING) != 0;
}

bool TsCommonData::UsesCache() const {
  return AnimationFlag() || !(CtrlSkinState & kxStateContainer) || IsActive();
}

bool TsCommonData::IsActive() const {
  if (!FOwnerControl || FOwnerControl->IsDestroying() || !FOwnerControl->Enabled()) return false;
  if (FFocused) return true;
  if (auto* wc = dynamic_cast<tk::TWinControl*>(FOwnerControl); wc && wc->HandleAllocated() && wc->Focused())
    return true;
  return FMouseAbove && !IsContainerCOC(COC);
}

// --- Cache and repainting ------------------------------------------------------------

void TsCommonData::InitCacheBmp() {
  if (!FCacheBmp) FCacheBmp = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf24bit);
  if (FCacheBmp->PixelFormat() != tk::TPixelFormat::pf24bit) FCacheBmp->SetPixelFormat(tk::TPixelFormat::pf24bit);
  tk::TControl* sized = FOwnerControl;
  if (!sized && FProvider) sized = FProvider->ProviderForm();
  if (!sized) return;
  if (FCacheBmp->Width() != sized->Width()) FCacheBmp->SetWidth(sized->Width());
  if (FCacheBmp->Height() != sized->Height()) FCacheBmp->SetHeight(sized->Height());
}

void TsCommonData::Invalidate() {
  if (FOwnerControl) {
    if (FOwnerControl->IsDestroying() || FOwnerControl->IsLoading()) return;
    BGChanged = true;
    auto* wc = dynamic_cast<tk::TWinControl*>(FOwnerControl);
    if (FOwnerControl->Parent() && (!wc || wc->HandleAllocated())) FOwnerControl->Invalidate();
  } else if (FProvider) {
    BGChanged = true;
    tk::TCustomForm* form = FProvider->ProviderForm();
    if (form && form->HandleAllocated())
      ::RedrawWindow(form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  } else {
    BGChanged = true;
  }
}

bool TsCommonData::RepaintIfMoved() const {
  if (UrgentPainting || !Skinned() || !FOwnerControl || FOwnerControl->ControlState().Contains(tk::csCreating) ||
      !FOwnerControl->Visible())
    return true;
  const TsGeneralData* s = Section();
  if (!s) return false;
  // A disabled control is faded into its parent, so it shows what is behind.
  const bool d = !FOwnerControl->Enabled() || s->Transparency > 0;
  tk::TWinControl* p = FOwnerControl->Parent();
  if (d && p && p->HandleAllocated()) return SendCommand(p->Handle(), KX_QUERYVARYINGBG) != 0;
  return d;
}

bool TsCommonData::ParentTextured() const {
  tk::TWinControl* p = FOwnerControl ? FOwnerControl->Parent() : nullptr;
  return p && p->HandleAllocated() && SendCommand(p->Handle(), KX_QUERYVARYINGBG) != 0;
}

// --- Colours ---------------------------------------------------------------------------

tk::TColor TsCommonData::ParentColor(HWND Wnd) const {
  if (FOwnerControl) {
    tk::TWinControl* p = FOwnerControl->Parent();
    if (!p) return kxSysBtnFace;
    const intptr_t c = QueryColor(p);
    return c ? static_cast<tk::TColor>(c) : tk::ColorToRGB(p->Color());
  }
  if (Wnd)
    if (HWND pw = ::GetParent(Wnd))
      if (const intptr_t c = SendCommand(pw, KX_QUERYCOLOR, kxUnknownColor)) return static_cast<tk::TColor>(c);
  return kxSysBtnFace;
}

tk::TColor TsCommonData::ControlColor(bool Hot, HWND Wnd) const {
  if (Skinned()) {
    const TsGeneralData* s = Section();
    const int t = Hot ? s->HotTransparency : s->Transparency;
    tk::TColor c = Hot ? s->HotColor : s->Color;
    if (FCustomColor && FOwnerControl) c = FOwnerControl->Color();
    if (t <= 0) return c;
    if (t >= 100) return ParentColor(Wnd);
    if (!FOwnerControl) return 0;
    // The parent keeps weight T%, as the painted background gives it.
    return MixColors(ParentColor(Wnd), c, t / 100.0);
  }
  return OwnerColor();
}

tk::TColor TsCommonData::OwnerColor() const {
  if (FOwnerControl) return FOwnerControl->Color();
  if (FProvider && FProvider->ProviderForm()) return FProvider->ProviderForm()->Color();
  return kxSysBtnFace;
}

// --- Container bit ------------------------------------------------------------------------

bool TsCommonData::NeedsOwnCache() const {
  const TsGeneralData* s = Section();
  if (!s) return false;
  TsSkinManager* m = EffectiveManager();
  TkxCacheNeed border;
  if (m->IsValidImgIndex(BorderIndex)) {
    const TsMaskData& mask = m->ma()[BorderIndex];
    border = {mask.WL, mask.WT, mask.WR, mask.WB};
  }
  bool parentFlat = false;
  const bool* parent = nullptr;
  // Only a fully see-through control asks its parent.
  if (s->Transparency == 100 && FOwnerControl && FOwnerControl->Parent()) {
    parentFlat = SendControlCommand(FOwnerControl->Parent(), KX_QUERYSKINSTATE, 0) & kxStateContainer;
    parent = &parentFlat;
  }
  return NeedsOwnCacheRule(*s, border, parent);
}

void TsCommonData::UpdateSkinState(bool Spread) {
  CtrlSkinState &= static_cast<uint16_t>(~kxStateContainer);
  if (FOwnerControl) {
    const bool container = dynamic_cast<tk::TCustomPanel*>(FOwnerControl) ||
                           dynamic_cast<tk::TScrollingWinControl*>(FOwnerControl);
    if (container && !NeedsOwnCache()) CtrlSkinState |= kxStateContainer;
    if (Spread)
      if (auto* wc = dynamic_cast<tk::TWinControl*>(FOwnerControl))
        for (int i = 0; i < wc->ControlCount(); ++i) SendControlCommand(wc->Controls(i), KX_QUERYSKINSTATE, 1);
  } else if (FProvider) {
    if (!NeedsOwnCache() && !FProvider->FormIsMDIParent()) CtrlSkinState |= kxStateContainer;
  }
}

// --- Background query -----------------------------------------------------------------------

TCacheInfo TsCommonData::GetParentCache() const {
  if (Skinned() && FOwnerControl && FOwnerControl->Parent()) {
    TBackgroundQuery q;
    QueryControlBackground(q, FOwnerControl->Parent(), false);
    return ToCacheInfo(q);
  }
  return TCacheInfo{nullptr, 0, 0, ControlColor(false), false};
}

void TsCommonData::AnswerWithCache(TBackgroundQuery& Q) const {
  Q.Kind = kxBGBitmap;
  if (Q.PaintNow) {
    if (Q.DC && !Q.R.IsEmpty())
      ::BitBlt(Q.DC, Q.R.Left, Q.R.Top, Q.R.Width(), Q.R.Height(), FCacheBmp->Canvas()->Handle(), Q.X, Q.Y,
               SRCCOPY);
  } else {
    Q.Bmp = FCacheBmp.get();
    Q.X = 0;
    Q.Y = 0;
  }
}

void TsCommonData::AnswerBackgroundQuery(TBackgroundQuery& Q, bool Hot, HWND Wnd) const {
  if (!Skinned() || FCustomColor) {
    // The owner's own colour: a custom colour is painted opaque, whatever
    // the section's transparency.
    Q.Kind = kxBGColor;
    Q.Color = OwnerColor();
    return;
  }
  const TsGeneralData* s = Section();
  TsSkinManager* m = EffectiveManager();
  const int t = Hot ? s->HotTransparency : s->Transparency;
  const int gp = Hot ? s->HotGradientPercent : s->GradientPercent;
  const int ip = Hot ? s->HotImagePercent : s->ImagePercent;
  // A cache that was never sized holds nothing to show yet.
  const bool hasCache = FCacheBmp && !FCacheBmp->Empty();
  tk::TControl* parent = FOwnerControl ? FOwnerControl->Parent() : nullptr;
  if (!parent && FProvider && FProvider->ProviderForm()) parent = FProvider->ProviderForm()->Parent();
  tk::TControl* placed = FOwnerControl ? FOwnerControl : (FProvider ? FProvider->ProviderForm() : nullptr);

  if (t >= 100) {
    bool thin = true;
    if (m->IsValidImgIndex(BorderIndex)) {
      const TsMaskData& mask = m->ma()[BorderIndex];
      thin = mask.WL + mask.WR <= 24 && mask.WT + mask.WB < 25;
    }
    if (thin) {
      if (parent && placed) {
        QueryControlBackground(Q, parent, Q.PaintNow);
        if (Q.Kind == kxBGBitmap) {
          Q.X += placed->Left();
          Q.Y += placed->Top();
        }
      } else if (HWND pw = Wnd ? ::GetParent(Wnd) : nullptr) {
        QueryWindowBackground(Q, pw, false);
        if (Q.Kind == kxBGBitmap) {
          RECT r;
          ::GetWindowRect(Wnd, &r);
          POINT p{r.left, r.top};
          ::ScreenToClient(pw, &p);
          Q.X += p.x;
          Q.Y += p.y;
        }
      } else {
        Q.Kind = kxBGColor;
        Q.Color = GlobalColor();
      }
      return;
    }
    if (!hasCache) {
      Q.Kind = kxBGColor;
      if (parent) {
        const intptr_t c = QueryColor(parent);
        Q.Color = c ? static_cast<tk::TColor>(c) : tk::ColorToRGB(parent->Color());
      } else {
        Q.Color = GlobalColor();
      }
      return;
    }
    AnswerWithCache(Q);
  } else if (t > 0) {
    if (!hasCache) {
      // Unknown: the asker paints its own look opaque.
      Q.Kind = kxBGColor;
      Q.Color = kxUnknownColor;
      return;
    }
    AnswerWithCache(Q);
  } else if (gp > 0 || ip > 0) {
    Q.Color = GlobalColor();
    if (hasCache) {
      AnswerWithCache(Q);
    } else {
      Q.Kind = kxBGColor;
      Q.Color = kxUnknownColor;
    }
  } else {
    Q.Kind = kxBGColor;
    Q.Bmp = FCacheBmp.get();
    Q.Color = ControlColor(Hot, Wnd);
    if (Q.PaintNow) FillDC(Q.DC, Q.R, Q.Color);
  }
}

// --- Showing the cache ----------------------------------------------------------------------

namespace {

// r of dst := what ci shows there (dst pixel (x, y) is ci.Bmp's (ci.X + x, ci.Y + y)).
void FillFromParent(tk::TBitmap& dst, tk::TRect r, const TCacheInfo& ci) {
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, dst.Width());
  r.Bottom = std::min(r.Bottom, dst.Height());
  if (r.IsEmpty()) return;
  tk::TBitmap* src = ci.Ready ? ci.Bmp : nullptr;
  const int bpp = tk::BytesPerPixel(dst.PixelFormat());
  if (!src || src->PixelFormat() != dst.PixelFormat() || bpp == 0) {
    FillBitmapRect(&dst, r, ci.FillColor);
    return;
  }
  for (int y = r.Top; y < r.Bottom; ++y) {
    const int sy = ci.Y + y;
    const int x0 = std::max(r.Left, -ci.X), x1 = std::min(r.Right, src->Width() - ci.X);
    if (sy < 0 || sy >= src->Height() || x0 >= x1) continue;
    std::copy_n(src->ScanLine(sy) + (ci.X + x0) * bpp, (x1 - x0) * bpp, dst.ScanLine(y) + x0 * bpp);
  }
}

}  // namespace

void TsCommonData::UpdateCorners(int State, int CornerSet) {
  TsSkinManager* m = EffectiveManager();
  if (!m || !m->IsValidImgIndex(BorderIndex) || !FCacheBmp || !FOwnerControl) return;
  const int w = FOwnerControl->Width(), h = FOwnerControl->Height();
  if (w <= 1 || h <= 1 || FCacheBmp->Width() != w || FCacheBmp->Height() != h) return;
  const TsMaskData& mask = m->ma()[BorderIndex];
  TCacheInfo ci{nullptr, 0, 0, ControlColor(), false};
  if (tk::TWinControl* parent = FOwnerControl->Parent()) {
    TBackgroundQuery q;
    QueryControlBackground(q, parent, false);
    ci = ToCacheInfo(q);
    ci.X += FOwnerControl->Left();
    ci.Y += FOwnerControl->Top();
  }
  const int l = std::min<int>(mask.WL, w), r = std::min<int>(mask.WR, w);
  const int t = std::min<int>(mask.WT, h), b = std::min<int>(mask.WB, h);
  const tk::TRect corners[4] = {{0, 0, l, t}, {0, h - b, l, h}, {w - r, 0, w, t}, {w - r, h - b, w, h}};
  // The border is drawn whole into a copy whose corners hold the parent's
  // pixels; only the corners go back, so the rest of the cache is untouched.
  tk::TBitmap work;
  work.Assign(FCacheBmp.get());
  for (int i = 0; i < 4; ++i)
    if (CornerSet & (1 << i)) FillFromParent(work, corners[i], ci);
  DrawBorderFromMask(&work, tk::TRect{0, 0, w, h}, false, true, State, mask, ci);
  const int bpp = tk::BytesPerPixel(work.PixelFormat());
  for (int i = 0; i < 4; ++i) {
    if (!(CornerSet & (1 << i)) || corners[i].IsEmpty()) continue;
    for (int y = corners[i].Top; y < corners[i].Bottom; ++y)
      std::copy_n(work.ScanLine(y) + corners[i].Left * bpp, corners[i].Width() * bpp,
                  FCacheBmp->ScanLine(y) + corners[i].Left * bpp);
  }
}

void TsCommonData::CopyCacheToDevice(const tk::TRect& Src, HDC DC, tk::TPoint Dst, bool Corners, int State,
                                     HWND Wnd) {
  if (!DC || !FCacheBmp || FCacheBmp->Empty() || Src.IsEmpty()) return;
  if (Corners) UpdateCorners(State, 15);
  const int dx = Dst.X - Src.Left, dy = Dst.Y - Src.Top;
  const int saved = ::SaveDC(DC);
  ::IntersectClipRect(DC, Dst.X, Dst.Y, Dst.X + Src.Width(), Dst.Y + Src.Height());
  auto exclude = [&](tk::TRect r) {
    r.Offset(dx, dy);
    ::ExcludeClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
  };
  auto inside = [&](const tk::TRect& r) {
    return r.Left < Src.Right && r.Right > Src.Left && r.Top < Src.Bottom && r.Bottom > Src.Top;
  };
  if (auto* wc = dynamic_cast<tk::TWinControl*>(FOwnerControl)) {
    for (int i = 0; i < wc->ControlCount(); ++i) {
      tk::TControl* c = wc->Controls(i);
      if (!c->Visible() || !inside(c->BoundsRect())) continue;
      if (!dynamic_cast<tk::TWinControl*>(c) || c->ControlStyle().Contains(tk::csOpaque)) exclude(c->BoundsRect());
    }
  } else if (!FOwnerControl && Wnd) {
    for (HWND child = ::GetWindow(Wnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (!::IsWindowVisible(child)) continue;
      RECT wr;
      ::GetWindowRect(child, &wr);
      ::MapWindowPoints(nullptr, Wnd, reinterpret_cast<POINT*>(&wr), 2);
      const tk::TRect r{wr.left, wr.top, wr.right, wr.bottom};
      if (!inside(r)) continue;
      wchar_t cls[16] = {};
      ::GetClassNameW(child, cls, 16);
      const bool groupBox = ::lstrcmpiW(cls, L"BUTTON") == 0 && (::GetWindowLongW(child, GWL_STYLE) & 0x0F) == 7;
      if (!groupBox) {
        exclude(r);
        continue;
      }
      // A group box paints only its frame; its inside shows the cache.
      const int caption = static_cast<int>(SendCommand(child, KX_QUERYEXTRA));
      int wl = 0, wr2 = 0, wb = 0;
      if (TsSkinManager* m = EffectiveManager()) {
        const int mi = m->Content().GetMaskIndex(L"GROUPBOX", L"BORDERSMASK");
        if (m->IsValidImgIndex(mi)) {
          wl = m->ma()[mi].WL;
          wr2 = m->ma()[mi].WR;
          wb = m->ma()[mi].WB;
        }
      }
      exclude({r.Left, r.Top, r.Right, r.Top + caption});
      exclude({r.Left, r.Top, r.Left + wl, r.Bottom});
      exclude({r.Right - wr2, r.Top, r.Right, r.Bottom});
      exclude({r.Left, r.Bottom - wb, r.Right, r.Bottom});
    }
  }
  ::BitBlt(DC, Dst.X, Dst.Y, Src.Width(), Src.Height(), FCacheBmp->Canvas()->Handle(), Src.Left, Src.Top, SRCCOPY);
  ::RestoreDC(DC, saved);
}

void QueryControlBackground(TBackgroundQuery& Q, tk::TControl* Control, bool PaintNow) {
  const bool asked = Q.PaintNow != 0;
  Q.Kind = kxBGNone;
  Q.PaintNow = PaintNow ? 1 : 0;
  if (!Control) return;
  const tk::TMessage m = MakeCommand(KX_QUERYBACKGROUND, reinterpret_cast<intptr_t>(&Q));
  auto* wc = dynamic_cast<tk::TWinControl*>(Control);
  auto deliver = [&](uint32_t Msg, uintptr_t WParam, intptr_t LParam) {
    if (wc && wc->HandleAllocated())
      ::SendMessageW(wc->Handle(), Msg, WParam, LParam);
    else
      Control->Perform(Msg, WParam, LParam);
  };
  deliver(m.Msg, m.WParam, m.LParam);
  if (Q.Kind != kxBGNone) return;
  if (asked && Q.DC) {
    PaintInto(Q, [&](uint32_t Msg) { Control->Perform(Msg, reinterpret_cast<uintptr_t>(Q.DC), 0); });
    return;
  }
  Q.Kind = kxBGColor;
  const intptr_t c = QueryColor(Control);
  Q.Color = c ? static_cast<tk::TColor>(c) : tk::ColorToRGB(Control->Color());
  if (Q.PaintNow) FillDC(Q.DC, Q.R, Q.Color);
}

void QueryWindowBackground(TBackgroundQuery& Q, HWND Wnd, bool PaintNow) {
  const bool asked = Q.PaintNow != 0;
  Q.Kind = kxBGNone;
  Q.PaintNow = PaintNow ? 1 : 0;
  if (!Wnd) return;
  SendCommand(Wnd, KX_QUERYBACKGROUND, reinterpret_cast<intptr_t>(&Q));
  if (Q.Kind != kxBGNone) return;
  if (asked && Q.DC) {
    PaintInto(Q, [&](uint32_t Msg) { ::SendMessageW(Wnd, Msg, reinterpret_cast<WPARAM>(Q.DC), 0); });
    return;
  }
  Q.Kind = kxBGColor;
  const intptr_t c = SendCommand(Wnd, KX_QUERYCOLOR, kxUnknownColor);
  Q.Color = c ? static_cast<tk::TColor>(c) : GlobalColor();
  if (Q.PaintNow) FillDC(Q.DC, Q.R, Q.Color);
}

TCacheInfo GetWindowParentCache(HWND Wnd) {
  HWND parent = Wnd ? ::GetParent(Wnd) : nullptr;
  if (!parent) return EmptyCacheInfo();
  TBackgroundQuery q;
  QueryWindowBackground(q, parent, false);
  return ToCacheInfo(q);
}

// --- TsBoundLabel ---------------------------------------------------------------------------

TsBoundLabel::TsBoundLabel(tk::TControl* AOwner, TsCommonData* CommonData)
    : FOwner(AOwner), FCommonData(CommonData) {}

TsBoundLabel::~TsBoundLabel() {
  // While its owner goes, the label is freed with the owner's components.
  if (FTheLabel && FOwner && !FOwner->IsDestroying()) tk::FreeAndNil(FTheLabel);
}

namespace {

tk::TAlignment AlignmentOf(TsCaptionLayout Layout) {
  switch (Layout) {
    case sclTopLeft: return tk::taLeftJustify;
    case sclTopCenter: return tk::taCenter;
    case sclLeft:
    case sclTopRight: return tk::taRightJustify;
  }
  return tk::taLeftJustify;
}

}  // namespace

void TsBoundLabel::SetActive(bool Value) {
  if (!Value) {
    FActive = false;
    tk::FreeAndNil(FTheLabel);
    return;
  }
  FActive = true;
  if (FTheLabel) return;
  FTheLabel = tk::Create<tk::TLabel>(FOwner);
  FTheLabel->SetVisible(false);
  FTheLabel->SetParent(FOwner->Parent());
  FTheLabel->SetFocusControl(dynamic_cast<tk::TWinControl*>(FOwner));
  FTheLabel->SetAlignment(AlignmentOf(FLayout));
  FTheLabel->SetName(FOwner->Name() + L"Label");
  FTheLabel->Font()->Assign(&FFont);
  if (FText.empty()) FText = FOwner->Name();
  FTheLabel->SetCaption(FText);
  FTheLabel->SetVisible(FOwner->Visible());
  FTheLabel->SetEnabled(FOwner->Enabled());
  AlignLabel();
}

void TsBoundLabel::SetCaption(const tk::String& Value) {
  FText = Value;
  if (FTheLabel) FTheLabel->SetCaption(Value);
  AlignLabel();
}

void TsBoundLabel::SetIndent(int Value) {
  FIndent = Value;
  AlignLabel();
}

tk::TFont* TsBoundLabel::Font() { return FTheLabel ? FTheLabel->Font() : &FFont; }

void TsBoundLabel::SetFont(const tk::TFont* Value) {
  FFont.Assign(Value);
  if (FTheLabel) FTheLabel->Font()->Assign(Value);
  AlignLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout Value) {
  FLayout = Value;
  if (FTheLabel) FTheLabel->SetAlignment(AlignmentOf(Value));
  AlignLabel();
}

void TsBoundLabel::SetMaxWidth(int Value) {
  FMaxWidth = Value;
  AlignLabel();
}

bool TsBoundLabel::UseSkinColor() const { return FUseSkinColor; }

void TsBoundLabel::SetUseSkinColor(bool Value) {
  FUseSkinColor = Value;
  if (FTheLabel) FTheLabel->Invalidate();
}

void TsBoundLabel::AlignLabel() {
  if (!FActive || !FTheLabel || !FTheLabel->Visible() || FOwner->IsDestroying()) return;
  FTheLabel->SetParent(FOwner->Parent());
  FTheLabel->SetAutoSize(true);
  // Sized before it is placed: a left label's place depends on its width.
  if (FMaxWidth != 0) {
    FTheLabel->SetAutoSize(false);
    FTheLabel->SetWidth(FMaxWidth);
    FTheLabel->SetWordWrap(true);
    FTheLabel->SetHeight(std::max(FTheLabel->Height(), FOwner->Height()));
  }
  const tk::TPoint p =
      BoundLabelPosition(FLayout, FOwner->BoundsRect(), FTheLabel->Width(), FTheLabel->Height(), FIndent);
  FTheLabel->SetBounds(p.X, p.Y, FTheLabel->Width(), FTheLabel->Height());
}

}  // namespace kx
