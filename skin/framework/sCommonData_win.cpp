#include <windows.h>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxColors.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sControlPaint.h"
#include "skin/paint/sAlphaGraph.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace kx {

TkxGlowHooks GlowHooks;

namespace {

tk::String Normalised(const tk::String& Value) { return Value.empty() ? L"UNKNOWN" : tk::UpperCaseAscii(Value); }

}  // namespace

// --- Life cycle -----------------------------------------------------------------

TsCommonData::TsCommonData(tk::TObject* AOwner, bool CreateCacheBmp)
    : FOwnerControl(dynamic_cast<tk::TControl*>(AOwner)),
      FOwnerObject(AOwner),
      FProvider(dynamic_cast<IkxCommonDataProvider*>(AOwner)) {
  if (CreateCacheBmp) FCacheBmp = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf24bit);
}

// The cache goes with the object; a glow shown for it must not outlive it.
TsCommonData::~TsCommonData() { HideGlow(); }

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
  if (hasSections) UpdateIndexes();
  else SkinIndex = -1;
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
  if (m && !m->gd().empty()) UpdateIndexes();
  else SkinIndex = -1;
  const bool valid = m && m->IsValidSkinIndex(SkinIndex);
  Notify(valid ? KX_SKINREFRESH : KX_SKINREMOVED, reinterpret_cast<intptr_t>(Value));
}

void TsCommonData::SetCustomColor(bool Value) {
  FCustomColor = Value;
  auto* edit = dynamic_cast<tk::TCustomEdit*>(FOwnerControl);
  if (edit && !edit->IsLoading() && Skinned()) TakeColours(Section()->Color, Section()->FontColor[0]);
  Invalidate();
}

void TsCommonData::TakeColours(tk::TColor Back, tk::TColor Text) {
  if (!FOwnerControl) return;
  if (!FCustomColor) FOwnerControl->SetColor(Back);
  if (!FCustomFont) FOwnerControl->Font()->SetColor(Text);
}

void TsCommonData::SetCustomFont(bool Value) {
  FCustomFont = Value;
  Invalidate();
}

// --- Indexes -----------------------------------------------------------------------

void TsCommonData::UpdateIndexes() {
  BGChanged = true;
  FIndexGeneration = SkinGeneration();
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
  else UpdateIndexes();
  if (!FOwnerControl || !FOwnerControl->Parent() || FOwnerControl->IsLoading() || !Skinned()) return;
  if (dynamic_cast<tk::TWinControl*>(FOwnerControl))
    if (tk::TCustomForm* form = tk::GetParentForm(FOwnerControl); form && form->HandleAllocated())
      SendTrustedCommand(form, KX_CONTROLADDED, FOwnerControl);
  if (dynamic_cast<tk::TCustomEdit*>(FOwnerControl) || COC == 97)
    TakeColours(Section()->Color, Section()->FontColor[0]);
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

bool TsCommonData::UsesCache() const { return AnimationFlag() || !(CtrlSkinState & kxStateContainer) || IsActive(); }

bool TsCommonData::IsActive() const {
  if (!FOwnerControl || FOwnerControl->IsDestroying() || !FOwnerControl->Enabled()) return false;
  if (FFocused) return true;
  if (auto* wc = dynamic_cast<tk::TWinControl*>(FOwnerControl); wc && wc->HandleAllocated() && wc->Focused())
    return true;
  return FMouseAbove && !IsContainerClass(COC);
}

// --- Cache and repainting ------------------------------------------------------------

tk::TControl* TsCommonData::SizedControl() const {
  if (FOwnerControl) return FOwnerControl;
  return FProvider ? FProvider->ProviderForm() : nullptr;
}

void TsCommonData::InitCacheBmp() {
  if (!FCacheBmp) FCacheBmp = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf24bit);
  if (FCacheBmp->PixelFormat() != tk::TPixelFormat::pf24bit) FCacheBmp->SetPixelFormat(tk::TPixelFormat::pf24bit);
  tk::TControl* sized = SizedControl();
  if (!sized) return;
  if (FCacheBmp->Width() != sized->Width()) FCacheBmp->SetWidth(sized->Width());
  if (FCacheBmp->Height() != sized->Height()) FCacheBmp->SetHeight(sized->Height());
}

uint32_t TsCommonData::SkinGeneration() const {
  TsSkinManager* m = EffectiveManager();
  return m ? m->SkinGeneration() : 0;
}

void TsCommonData::ForgetIndexes() {
  BorderIndex = SkinIndex = Texture = HotTexture = -1;
  FIndexGeneration = SkinGeneration();
}

TkxCacheKey TsCommonData::KeyFor(int State) const {
  const tk::TControl* sized = SizedControl();
  return TkxCacheKey{sized ? sized->Width() : 0, sized ? sized->Height() : 0, State, SkinGeneration()};
}

bool TsCommonData::CacheFits(int State) const {
  return FCacheBmp && !FCacheBmp->Empty() && !BGChanged && IndexesCurrent() && FCacheKey == KeyFor(State);
}

void TsCommonData::CacheBuilt(int State) {
  FCacheKey = KeyFor(State);
  BGChanged = false;
}

void TsCommonData::HideGlow() {
  if (GlowID >= 0 && GlowHooks.Hide) GlowHooks.Hide(GlowID);
  GlowID = -1;
}

void TsCommonData::UpdateGlow(bool Pressed, HWND Wnd) {
  if (GlowHooks.Update) GlowHooks.Update(*this, Pressed, Wnd);
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
    return ReportedColor(p);
  }
  HWND pw = Wnd ? ::GetParent(Wnd) : nullptr;
  return pw ? WindowColor(pw, kxSysBtnFace) : kxSysBtnFace;
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
    const bool container =
        dynamic_cast<tk::TCustomPanel*>(FOwnerControl) || dynamic_cast<tk::TScrollingWinControl*>(FOwnerControl);
    if (container && !NeedsOwnCache()) CtrlSkinState |= kxStateContainer;
    if (Spread)
      if (auto* wc = dynamic_cast<tk::TWinControl*>(FOwnerControl))
        for (int i = 0; i < wc->ControlCount(); ++i) SendControlCommand(wc->Controls(i), KX_QUERYSKINSTATE, 1);
  } else if (FProvider) {
    if (!NeedsOwnCache() && !FProvider->FormIsMDIParent()) CtrlSkinState |= kxStateContainer;
  }
}

}  // namespace kx
