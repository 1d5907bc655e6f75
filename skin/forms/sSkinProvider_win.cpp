#include "skin/forms/sSkinProvider.h"

#include <windows.h>

#include <algorithm>

#include "skin/controls/kxScrollWnd.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/kxSystemCaps.h"
#include "skin/framework/sMessages.h"
#include "toolkit/Menus.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

constexpr int kFormClassCode = 224;

tk::TCustomForm* FormOf(tk::TComponent* Owner) {
  auto* form = dynamic_cast<tk::TCustomForm*>(Owner);
  if (!form) throw tk::EAbort(L"TsSkinProvider component may be used with forms only!");
  return form;
}

// The provider already hooked into Form, asked through its window procedure
// (the form need not have a window yet).
TsSkinProvider* ProviderOf(tk::TCustomForm* Form) {
  tk::TMessage m = MakeCommand(KX_QUERYPROVIDER);
  Form->WindowProc(m);
  return reinterpret_cast<TsSkinProvider*>(m.Result);
}

}  // namespace

TkxAddedTitle::TkxAddedTitle() { Font.SetColor(tk::clNone); }

TsTitleButton* TsTitleButtons::Add() { return Items.emplace_back(std::make_unique<TsTitleButton>()).get(); }

// --- Life cycle ---------------------------------------------------------------------------

// The checks run before the component joins its owner, so a refused one
// leaves the form as it was.
TsSkinProvider::TsSkinProvider(tk::TComponent* AOwner)
    : tk::TComponent((FormOf(AOwner), AOwner)), FForm(static_cast<tk::TCustomForm*>(AOwner)) {
  if (TsSkinProvider* other = ProviderOf(FForm); other && other != this) {
    if (other->RTInit) delete other;
    else FRTEmpty = true;
  }
  ButtonMin.HitCode = kxHTMINBUTTON;
  ButtonMax.HitCode = kxHTMAXBUTTON;
  ButtonClose.HitCode = kxHTCLOSE;
  ButtonHelp.HitCode = kxHTHELP;
  FCommonData = std::make_unique<TsCommonData>(this, true);
  FCommonData->SetSkinSection(L"FORM");
  FCommonData->COC = kFormClassCode;
  if (!FForm->ControlState().Empty()) FCommonData->SetUpdating(true);
  if (FRTEmpty) return;
  FForm->SetDoubleBuffered(false);
  TempBmp = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf32bit);
  OldWndProc = FForm->WindowProc;
  FForm->WindowProc = tk::TWndMethod(this, &TsSkinProvider::NewWndProc);
  RegisterSkinnedForm(this);
  FFormActive = true;
}

TsSkinProvider* TsSkinProvider::CreateRT(tk::TComponent* AOwner, bool InitRT) {
  auto* p = tk::Create<TsSkinProvider>(AOwner);
  p->RTInit = InitRT && !p->FRTEmpty;
  return p;
}

// Everything the provider changed on the window goes back: its procedure,
// the system menu style, the region and the border window.
TsSkinProvider::~TsSkinProvider() {
  if (FRTEmpty) return;
  EndBorderDrag(false);
  FAdapter.reset();
  FBorderForm.reset();
  HideCaptionCover();
  UnregisterSkinnedForm(this);
  if (FForm->WindowProc == tk::TWndMethod(this, &TsSkinProvider::NewWndProc)) FForm->WindowProc = OldWndProc;
  if (FForm->HandleAllocated() && !FForm->ComponentState().Contains(tk::csDestroying)) {
    CheckSysMenu(false);
    ::SetWindowRgn(FForm->Handle(), nullptr, TRUE);
  }
}

void TsSkinProvider::Loaded() {
  tk::TComponent::Loaded();
  FCommonData->Loaded();
  if (FRTEmpty || RTInit) return;
  if (FCommonData->EffectiveManager() && FCommonData->Skinned()) LoadInit();
}

// --- Properties ---------------------------------------------------------------------------

const tk::String& TsSkinProvider::SkinSection() const { return FCommonData->SkinSection(); }
void TsSkinProvider::SetSkinSection(const tk::String& v) { FCommonData->SetSkinSection(v); }

bool TsSkinProvider::Prepared() const {
  return !FRTEmpty && !RTInit && FForm->HandleAllocated() && FCommonData->Skinned(true);
}

void TsSkinProvider::FrameChanged() {
  FCommonData->BGChanged = true;
  if (Prepared() && FForm->Showing()) RepaintNonClient();
}

void TsSkinProvider::SetAllowExtBorders(bool v) {
  if (FAllowExtBorders == v) return;
  FAllowExtBorders = v;
  if (FForm->IsLoading() || !Prepared()) return;
  TsSkinManager* m = FormSkinManager();
  SetExtBorders(m && m->ExtendedBorders());
  FrameChanged();
}

void TsSkinProvider::SetCaptionAlignment(tk::TAlignment v) {
  if (FCaptionAlignment == v) return;
  FCaptionAlignment = v;
  FrameChanged();
}

void TsSkinProvider::SetShowAppIcon(bool v) {
  if (FShowAppIcon == v) return;
  FShowAppIcon = v;
  FrameChanged();
}

void TsSkinProvider::SetTitleSkin(const tk::String& v) {
  if (FTitleSkin == v) return;
  FTitleSkin = v;
  FTitleSkinIndex = -1;
  TitleBG.reset();
  FrameChanged();
}

void TsSkinProvider::SetUseGlobalColor(bool v) {
  FUseGlobalColor = v;
  ApplyGlobalColor();
}

void TsSkinProvider::ApplyGlobalColor() {
  if (FCommonData->CustomColor() || FForm->IsLoading()) return;
  TsSkinManager* m = FormSkinManager();
  if (FUseGlobalColor && m && FCommonData->Skinned()) FForm->SetColor(m->GetGlobalColor());
  else FForm->SetColor(tk::clBtnFace);
}

// Off: the system draws the frame again, so every change the provider made
// to the window goes back.
void TsSkinProvider::SetDrawNonClientArea(bool v) {
  if (FDrawNonClientArea == v) return;
  FDrawNonClientArea = v;
  if (FRTEmpty || !FForm->HandleAllocated()) return;
  if (v) {
    CheckSysMenu(FCommonData->Skinned(true));
    if (FForm->Showing() && FCommonData->Skinned(true)) {
      FCommonData->BGChanged = true;
      TitleBG.reset();
      TsSkinManager* m = FormSkinManager();
      SetExtBorders(m && m->ExtendedBorders());
      ::RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
    }
  } else {
    SetExtBorders(false);
    CheckSysMenu(false);
    if (FForm->Showing()) RemoveRegion();
    ::RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }
}

// --- Geometry -----------------------------------------------------------------------------

TsSkinManager* TsSkinProvider::FormSkinManager() const { return FCommonData->EffectiveManager(); }

bool TsSkinProvider::HaveBorder() const { return FForm->BorderStyle() != tk::bsNone; }

bool TsSkinProvider::ExtBordersOn() const {
  TsSkinManager* m = FormSkinManager();
  return FBorderForm && m && m->ExtendedBorders();
}

tk::TRect TsSkinProvider::ShadowSize() const {
  TsSkinManager* m = FormSkinManager();
  return ExtBordersOn() ? m->FormShadowSize() : tk::TRect();
}

TkxFormFrame TsSkinProvider::Frame() const {
  TkxFormFrame f;
  f.Sys.CxFrame = ::GetSystemMetrics(SM_CXFRAME);
  f.Sys.CxDlgFrame = ::GetSystemMetrics(SM_CXDLGFRAME);
  f.Sys.CyCaption = ::GetSystemMetrics(SM_CYCAPTION);
  f.Sys.CySmCaption = ::GetSystemMetrics(SM_CYSMCAPTION);
  f.Sys.CyMenu = ::GetSystemMetrics(SM_CYMENU);
  f.Sys.CyHScroll = ::GetSystemMetrics(SM_CYHSCROLL);
  TsSkinManager* m = FormSkinManager();
  if (m) {
    const TsSkinData& d = m->SkinData();
    f.Skin.ExBorderWidth = d.ExBorderWidth;
    f.Skin.ExTitleHeight = d.ExTitleHeight;
    f.Skin.ExMaxHeight = d.ExMaxHeight;
    f.Skin.ExContentOffs = d.ExContentOffs;
    f.Skin.ExCenterOffs = d.ExCenterOffs;
    f.Skin.ExDrawMode = d.ExDrawMode;
    f.Skin.BILeft = d.BILeftMargin;
    f.Skin.BITop = d.BITopMargin;
    f.Skin.BIVAlign = d.BIVAlign;
    f.Skin.BIRight = d.BIRightMargin;
    f.Skin.BISpacing = d.BISpacing;
  }
  f.Skin.ExtBorders = ExtBordersOn();
  if (f.Skin.ExtBorders) f.Skin.Shadow = m->FormShadowSize();
  f.BorderStyle = static_cast<TkxBorderKind>(FForm->BorderStyle());
  f.HasFrame = HaveBorder();
  f.FormBorderWidth = FForm->BorderWidth();
  f.MaxConstraints = FForm->Constraints()->MaxWidth() > 0 || FForm->Constraints()->MaxHeight() > 0;
  f.SysExHeight = FSysExHeight;
  if (FForm->HandleAllocated()) {
    HWND h = FForm->Handle();
    const auto style = static_cast<DWORD>(::GetWindowLongW(h, GWL_STYLE));
    f.ThickFrame = (style & WS_THICKFRAME) != 0;
    f.Border = (style & WS_BORDER) != 0;
    f.Caption = (style & WS_CAPTION) == WS_CAPTION;
    f.Iconic = ::IsIconic(h) != 0;
    f.Zoomed = ::IsZoomed(h) != 0;
    RECT w{}, c{};
    ::GetWindowRect(h, &w);
    ::GetClientRect(h, &c);
    f.Window = {w.right - w.left, w.bottom - w.top};
    f.Client = {c.right, c.bottom};
  } else {
    const tk::TFormBorderStyle bs = FForm->BorderStyle();
    f.ThickFrame = bs == tk::bsSizeable || bs == tk::bsSizeToolWin;
    f.Border = bs != tk::bsNone;
    f.Caption = bs != tk::bsNone;
    f.Window = {FForm->Width(), FForm->Height()};
    f.Client = {FForm->ClientWidth(), FForm->ClientHeight()};
  }
  if (tk::TMainMenu* menu = FForm->Menu(); menu && menu->Items() && menu->Items()->Count() > 0 &&
                                           FForm->BorderStyle() != tk::bsDialog &&
                                           FForm->FormStyle() != tk::fsMDIChild) {
    f.OwnMenu = true;
    f.MenuRows = 1;
  }
  return f;
}

tk::TColor TsSkinProvider::FormColor() const {
  if (const TsGeneralData* sec = FCommonData->Section(); sec && !FCommonData->CustomColor())
    return FFormActive ? sec->HotColor : sec->Color;
  return tk::ColorToRGB(FForm->Color());
}

bool TsSkinProvider::IconShown() const {
  const tk::TFormBorderStyle bs = FForm->BorderStyle();
  return (bs == tk::bsSingle || bs == tk::bsSizeable) && FShowAppIcon &&
         (HaveSysMenu || FForm->BorderIcons().Contains(tk::biSystemMenu));
}

tk::TRect TsSkinProvider::IconRect() const {
  const TkxFormFrame f = Frame();
  return kx::IconRect(f, TitleIconSize(f, IconShown(), FTitleIcon.Width, FTitleIcon.Height));
}

bool TsSkinProvider::VisibleMax() const {
  const tk::TFormBorderStyle bs = FForm->BorderStyle();
  return HaveSysMenu && (IsIconicNow() || ((bs == tk::bsSingle || bs == tk::bsSizeable) &&
                                           FForm->BorderIcons().Contains(tk::biMaximize)));
}

bool TsSkinProvider::VisibleMin() const {
  const tk::TFormBorderStyle bs = FForm->BorderStyle();
  return HaveSysMenu && (IsIconicNow() || ((bs == tk::bsSingle || bs == tk::bsSizeable) &&
                                           FForm->BorderIcons().Contains(tk::biMinimize)));
}

bool TsSkinProvider::EnabledMax() const {
  const tk::TFormBorderStyle bs = FForm->BorderStyle();
  return FForm->BorderIcons().Contains(tk::biMaximize) && !IsZoomedNow() &&
         (bs == tk::bsSingle || bs == tk::bsSizeable);
}

bool TsSkinProvider::EnabledMin() const { return FForm->BorderIcons().Contains(tk::biMinimize) && !IsIconicNow(); }

bool TsSkinProvider::EnabledRestore() const {
  return (FForm->BorderIcons().Contains(tk::biMaximize) && (IsZoomedNow() || IsIconicNow())) || IsIconicNow();
}

bool TsSkinProvider::IsIconicNow() const { return FForm->HandleAllocated() && ::IsIconic(FForm->Handle()); }
bool TsSkinProvider::IsZoomedNow() const { return FForm->HandleAllocated() && ::IsZoomed(FForm->Handle()); }

TkxHitState TsSkinProvider::HitState() const {
  TkxHitState s;
  const TkxFormFrame f = Frame();
  s.Buttons = ButtonSet();
  // Where the buttons were painted; before the first paint, where they will be.
  if (ButtonClose.Rect.Width() > 0) {
    s.Rects.Close = ButtonClose.Rect;
    s.Rects.Max = s.Buttons.MaxVisible ? ButtonMax.Rect : tk::TRect();
    s.Rects.Min = s.Buttons.MinVisible ? ButtonMin.Rect : tk::TRect();
    s.Rects.Help = s.Buttons.Help ? ButtonHelp.Rect : tk::TRect();
    for (const auto& u : FTitleButtons.Items)
      if (u->Visible) s.Rects.User.push_back(u->BtnData.Rect);
  } else {
    s.Rects = LayoutTitleButtons(f, s.Buttons);
  }
  s.MaxEnabled = EnabledMax();
  s.MinEnabled = EnabledMin();
  s.RestoreEnabled = EnabledRestore();
  for (int i = 0; i < FTitleButtons.Count(); ++i) {
    if (!FTitleButtons.Items[i]->Visible) continue;
    s.UserEnabled.push_back(FTitleButtons.Items[i]->Enabled);
    s.UserIndex.push_back(i);
  }
  s.Icon = kx::IconRect(f, TitleIconSize(f, IconShown(), FTitleIcon.Width, FTitleIcon.Height));
  s.GripShown = GripMode == gmRightBottom && !f.Zoomed && f.ThickFrame;
  if (TsSkinManager* m = FormSkinManager(); s.GripShown && m) {
    const int grip = m->Content().GetMaskIndex(L"GLOBALINFO", L"GRIPIMAGE");
    if (m->IsValidImgIndex(grip)) s.GripSize = m->Content().MaskSize(grip);
  }
  s.ContextHelp = FForm->HandleAllocated() && (::GetWindowLongW(FForm->Handle(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
  return s;
}

TsCaptionButton* TsSkinProvider::ButtonFor(int HT) {
  switch (HT) {
    case kxHTMINBUTTON: return &ButtonMin;
    case kxHTMAXBUTTON: return &ButtonMax;
    case kxHTCLOSE: return &ButtonClose;
    case kxHTHELP: return &ButtonHelp;
    default: break;
  }
  const int i = HT - kxHTUserButton;
  if (i >= 0 && i < FTitleButtons.Count()) return &FTitleButtons.Items[i]->BtnData;
  return nullptr;
}

// --- Preparing ----------------------------------------------------------------------------

void TsSkinProvider::LoadInit() {
  SetDwmTransitions(false);
  PrepareForm();
  if (FPrepared) CreateAdapter();
  TsSkinManager* m = FormSkinManager();
  const int glyph = m ? m->Content().GetMaskIndex(L"GLOBALINFO", L"TITLEBUTTON") : -1;
  for (auto& u : FTitleButtons.Items) u->BtnData.ImageIndex = u->UseSkinData ? glyph : -1;
}

void TsSkinProvider::PrepareForm() {
  TsSkinManager* m = FormSkinManager();
  if (RTInit || FRTEmpty || !m || !FForm->HandleAllocated()) return;
  FCommonData->Loaded();
  CheckSysMenu(m->Active() && FCommonData->Skinned());
  FCommonData->UpdateIndexes();
  ResolveIndexes();
  InitButtons();
  if (!FForm->IsLoading() && !FForm->ControlState().Contains(tk::csCreating)) ApplyGlobalColor();
  InitMenuItems(true);
  UpdateMenu();
  FPrepared = true;
  if (!FForm->IsLoading() && FForm->Showing()) SetExtBorders(m->ExtendedBorders());
}

void TsSkinProvider::ResolveIndexes() {
  TsSkinManager* m = FormSkinManager();
  if (!m) return;
  FTitleSkinIndex = m->GetSkinIndex(FTitleSkin.empty() ? tk::String(L"FORMTITLE") : FTitleSkin);
  FCaptionSkinIndex = m->GetSkinIndex(L"CAPTION");
}

void TsSkinProvider::CreateAdapter() {
  if (!FCommonData->Skinned()) return;
  if (!FAdapter) FAdapter = std::make_unique<TkxCtrlAdapter>(this);
  FAdapter->AddAllItems(nullptr);
}

void TsSkinProvider::AdaptAll(tk::TWinControl* Below) {
  if (FAdapter) FAdapter->AddAllItems(Below);
  else CreateAdapter();
}

namespace {
bool gUpdatingMenu = false;  // one re-announcement at a time, for every form
}

// The toolkit rebuilds a menu bar when its menu says it changed.
bool TsSkinProvider::UpdateMenu() {
  tk::TMainMenu* menu = FForm->Menu();
  if (gUpdatingMenu || !menu || !menu->Items() || menu->Items()->Count() == 0) return false;
  TkxFlagScope updating(gUpdatingMenu);
  menu->Items()->Items(0)->MenuChanged();
  return true;
}

// Menus are drawn by the system: without the engine's skinned menus there
// is nothing to hook.
void TsSkinProvider::InitMenuItems(bool) {}

void TsSkinProvider::RepaintMenu() {
  FCommonData->BGChanged = true;
  if (FForm->HandleAllocated()) ::SendMessageW(FForm->Handle(), WM_NCPAINT, 1, 0);
}

void TsSkinProvider::KillAnimations() {}

void TsSkinProvider::DropTitleImage() {
  TitleBG.reset();
  FGlow1.reset();
  FGlow2.reset();
}

void TsSkinProvider::SetSkinChanging(bool Changing) { SkinChanging = Changing; }

void TsSkinProvider::RebuildFrame() {
  FCommonData->BGChanged = true;
  if (FBorderForm) FBorderForm->UpdateExBordersPos(true);
  else RepaintNonClient();
}

// --- Styles, DWM and the border window -----------------------------------------------------

void TsSkinProvider::CheckSysMenu(bool Skinned) {
  if (!FForm->HandleAllocated()) return;
  HWND h = FForm->Handle();
  const auto style = static_cast<DWORD>(::GetWindowLongW(h, GWL_STYLE));
  if (Skinned && ((style & WS_SYSMENU) || HaveSysMenu)) {
    if (FDrawNonClientArea) {
      if (style & WS_SYSMENU) SetStyleBits(style & ~WS_SYSMENU);
    } else if (!(style & WS_SYSMENU)) {
      SetStyleBits(style | WS_SYSMENU);
    }
    HaveSysMenu = true;
  } else if (!Skinned && HaveSysMenu) {
    if (!(style & WS_SYSMENU)) SetStyleBits(style | WS_SYSMENU);
    HaveSysMenu = false;
  }
}

// The style changes without a frame change: the skin paints the frame, and
// the system would otherwise repaint its own buttons over it.
void TsSkinProvider::SetStyleBits(uint32_t Style) {
  FSettingStyle = true;
  ::SetWindowLongW(FForm->Handle(), GWL_STYLE, static_cast<LONG>(Style));
  FSettingStyle = false;
}

void TsSkinProvider::SetDwmTransitions(bool Enabled) {
  if (!FForm->HandleAllocated() || !DesktopComposition()) return;
  using TDwmSetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  if (auto f = reinterpret_cast<TDwmSetWindowAttribute>(SystemCaps().DwmSetWindowAttribute)) {
    const BOOL disabled = Enabled ? FALSE : TRUE;
    f(FForm->Handle(), 3 /* DWMWA_TRANSITIONS_FORCEDISABLED */, &disabled, sizeof disabled);
  }
}

void TsSkinProvider::SetExtBorders(bool Show) {
  const bool can = Show && HaveBorder() && FDrawNonClientArea && !FForm->Parent() &&
                   FForm->FormStyle() != tk::fsMDIChild && FAllowExtBorders && !FRTEmpty;
  if (can) {
    if (!FBorderForm) {
      FBorderForm = std::make_unique<TkxBorderForm>(this);
      FCommonData->BGChanged = true;
      RgnChanged = true;
    }
    SetCachePixelFormat(tk::TPixelFormat::pf32bit);
    FBorderForm->UpdateExBordersPos(true);
  } else {
    if (FBorderForm) {
      FBorderForm.reset();
      FCommonData->BGChanged = true;
      RgnChanged = true;
    }
    SetCachePixelFormat(tk::TPixelFormat::pf24bit);
  }
}

void TsSkinProvider::SetCachePixelFormat(tk::TPixelFormat Format) {
  auto& cache = FCommonData->FCacheBmp;
  if (!cache) cache = std::make_unique<tk::TBitmap>(0, 0, Format);
  if (cache->PixelFormat() != Format) {
    cache->SetPixelFormat(Format);
    FCommonData->BGChanged = true;
  }
}

void TsSkinProvider::RemoveRegion() {
  if (!FForm->HandleAllocated()) return;
  TkxFlagScope changing(RgnChanging);
  ::SetWindowRgn(FForm->Handle(), nullptr, TRUE);
  FLastRegion.clear();
  RgnChanged = true;
}

void TsSkinProvider::PlaceBorders(bool Redraw) {
  if (FBorderForm) FBorderForm->UpdateExBordersPos(Redraw);
}

void TsSkinProvider::RepaintNonClient() {
  if (!FForm->HandleAllocated()) return;
  if (FBorderForm) {
    FBorderForm->UpdateExBordersPos(true);
    return;
  }
  if (FCommonData->FCacheBmp && FCommonData->FCacheBmp->Empty()) FCommonData->BGChanged = true;
  PaintNonClient();
}

// --- The caption cover ---------------------------------------------------------------------

namespace {

// A window that paints nothing: it keeps showing what the screen held under it.
LRESULT CALLBACK CoverProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: ::ValidateRect(Wnd, nullptr); return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    default: return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
  }
}

const wchar_t* CoverClass() {
  static const wchar_t* name = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CoverProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TkxCaptionCover";
    ::RegisterClassW(&wc);
    return L"TkxCaptionCover";
  }();
  return name;
}

}  // namespace

void TsSkinProvider::ShowCaptionCover() {
  if (!FDrawNonClientArea || FInAnimation || LockCount > 0 || !FForm->HandleAllocated()) return;
  HWND h = FForm->Handle();
  RECT w{};
  ::GetWindowRect(h, &w);
  const TkxFormFrame f = Frame();
  tk::TRect r = tk::TRect{w.left, w.top, w.right, w.top + HeaderHeight(f)};
  if (FBorderForm) {
    const int frame = kx::SysBorderWidth(f, false);
    const int rows = f.OwnMenu ? f.MenuRows : 0;
    const int menu = rows * kx::MenuHeight(f);
    const int top = w.top + kx::OffsetY(f) - menu - f.Skin.Shadow.Top - kx::DiffTitle(f);
    r = tk::TRect{w.left + frame, top, w.right - frame, top + menu + (menu ? 1 : 0)};
  }
  if (r.Width() <= 0 || r.Height() <= 0) return;
  if (!CaptForm) {
    CaptForm = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, CoverClass(), L"", WS_POPUP, 0, 0, 0, 0,
                                 tk::Application ? tk::Application->Handle() : nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!CaptForm) return;
  }
  const bool topmost = ::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST;
  ::SetWindowPos(CaptForm, topmost ? HWND_TOPMOST : ::GetWindow(h, GW_HWNDPREV), r.Left, r.Top, r.Width(), r.Height(),
                 SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
}

void TsSkinProvider::HideCaptionCover() {
  if (!CaptForm) return;
  ::DestroyWindow(CaptForm);
  CaptForm = nullptr;
}

// --- Hot and pressed title buttons ----------------------------------------------------------

namespace {
// A title button was pressed and the hot button has not changed since: only
// then does a release act.
bool gButtonPressed = false;
}  // namespace

void TsSkinProvider::SetHotHT(int HT, bool Repaint) {
  if (!FDrawNonClientArea) return;
  if (HT == CurrentHT || (CurrentHT == -1 && HT == 0)) return;
  if (CurrentHT > 0) {
    if (TsCaptionButton* b = ButtonFor(CurrentHT)) {
      if (b->State > 0) b->State = 0;
      if (Repaint) RepaintButton(CurrentHT);
    }
  }
  CurrentHT = HT;
  gButtonPressed = false;
  if (TsCaptionButton* b = ButtonFor(HT)) {
    if (b->State >= 0) b->State = 1;
    if (Repaint) RepaintButton(HT);
  }
}

void TsSkinProvider::SetPressedHT(int HT) {
  if (CurrentHT != HT && CurrentHT > 0) {
    if (TsCaptionButton* b = ButtonFor(CurrentHT)) {
      if (b->State > 0) b->State = 0;
      RepaintButton(CurrentHT);
    }
  }
  if (HT == kxHTMAXBUTTON && !EnabledMax() && !(IsZoomedNow() && EnabledRestore())) {
    CurrentHT = 0;
    return;
  }
  CurrentHT = HT;
  if (TsCaptionButton* b = ButtonFor(HT); b && b->State >= 0) b->State = 2;
  gButtonPressed = true;
  RepaintButton(HT);
}

// --- The window procedure ----------------------------------------------------------------

void TsSkinProvider::CallOld(tk::TMessage& m) {
  if (OldWndProc) OldWndProc(m);
}

void TsSkinProvider::NewWndProc(tk::TMessage& m) {
  if (m.Msg == SM_KESTRIXCMD && SkinCommandAnyState(m)) return;
  if (FForm->IsDestroying() || !FCommonData->Skinned(true)) {
    UnskinnedWndProc(m);
    return;
  }
  if (m.Msg == SM_KESTRIXCMD) {
    SkinCommand(m);
    return;
  }
  SkinnedWndProc(m);
}

// Stage A: answered in any state. True when the message is done.
bool TsSkinProvider::SkinCommandAnyState(tk::TMessage& m) {
  TsSkinManager* own = FormSkinManager();
  const bool fromOwn = reinterpret_cast<TsSkinManager*>(m.LParam) == own && own;
  switch (CommandOf(m)) {
    case KX_SKINLOADED:
      if (!FForm->IsDestroying() && fromOwn && !FPrepared) PrepareForm();
      return false;
    case KX_SKINREMOVED:
      if (fromOwn) SkinRemoved();
      else BroadcastToChildren(FForm, m);
      return true;
    case KX_QUERYHANDLED: m.Result = 1; return true;
    case KX_UPDATEENDED:
      if (FCommonData->CtrlSkinState & kxStateMenuChanged) {
        FCommonData->CtrlSkinState &= static_cast<uint16_t>(~kxStateMenuChanged);
        FForm->Perform(tk::CM_MENUCHANGED);
      }
      return false;
    case KX_QUERYBACKGROUND:
      // Any program may send the number: only our own sender's address is
      // written through, and the answer is in the query, not the result.
      if (m.LParam && IsTrustedPointerCommand(m)) AnswerBackground(*reinterpret_cast<TBackgroundQuery*>(m.LParam));
      m.Result = 0;
      return true;
    case KX_QUERYSKINSTATE:
      if (m.LParam == 1) FCommonData->UpdateSkinState();
      m.Result = FCommonData->CtrlSkinState;
      return true;
    case KX_QUERYAPPLICATION: m.Result = reinterpret_cast<intptr_t>(tk::Application); return true;
    case KX_QUERYCLIENTOFFSET: {
      const TkxFormFrame f = Frame();
      m.Result = static_cast<intptr_t>(MAKELONG(kx::OffsetX(f), kx::OffsetY(f)));
      return true;
    }
    default: return false;
  }
}

void TsSkinProvider::AnswerBackground(TBackgroundQuery& q) {
  if (FCommonData->BGChanged && !FCommonData->IsUpdating()) PaintAll();
  const TkxFormFrame f = Frame();
  const int dx = kx::OffsetX(f), dy = kx::OffsetY(f);
  if (q.PaintNow) q.R = tk::TRect{q.R.Left + dx, q.R.Top + dy, q.R.Right + dx, q.R.Bottom + dy};
  FCommonData->AnswerBackgroundQuery(q, false, FForm->HandleAllocated() ? FForm->Handle() : nullptr);
  if (q.Kind == kxBGBitmap && !q.PaintNow && !q.Bmp) {
    PaintAll();
    q.Bmp = FCommonData->FCacheBmp.get();
  }
  q.X = dx;
  q.Y = dy;
}

// Everything the skin changed goes back: the system frame, its menu, the
// form's own colour.
void TsSkinProvider::SkinRemoved() {
  SetDwmTransitions(true);
  FCommonData->ForgetIndexes();
  FTitleSkinIndex = FCaptionSkinIndex = -1;
  tk::TMessage removed = MakeCommand(KX_SKINREMOVED, reinterpret_cast<intptr_t>(FormSkinManager()));
  // The adapted windows hear it from the adapter, before it lets them go,
  // and not a second time from the broadcast.
  if (FAdapter) {
    FAdapter->WndProc(removed);
    FAdapter.reset();
  }
  BroadcastToChildren(FForm, removed);
  if (!FForm->IsDestroying()) {
    InitMenuItems(false);
    CheckSysMenu(false);
    if (HaveBorder()) RemoveRegion();
    UpdateMenu();
    SetExtBorders(false);
    HideCaptionCover();
    if (FUseGlobalColor && !FCommonData->CustomColor()) FForm->SetColor(tk::clBtnFace);
    if (FForm->HandleAllocated())
      ::RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  if (FCommonData->FCacheBmp) FCommonData->FCacheBmp->SetSize(0, 0);
  FCommonData->BGChanged = true;
  FPrepared = false;
  CurrentHT = 0;
}

// Stage B: the provider is not skinned; the form behaves as without it.
void TsSkinProvider::UnskinnedWndProc(tk::TMessage& m) {
  switch (CommandOf(m)) {
    case KX_SKINLOADED:
      if (reinterpret_cast<TsSkinManager*>(m.LParam) == FormSkinManager() && !FForm->IsDestroying()) {
        SkinLoaded();
        return;
      }
      break;
    case KX_QUERYPROVIDER: m.Result = reinterpret_cast<intptr_t>(this); return;
    default: break;
  }
  CallOld(m);
}

void TsSkinProvider::SkinLoaded() {
  FCommonData->UpdateIndexes();
  ResolveIndexes();
  InitButtons();
  CheckSysMenu(true);
  FCommonData->BGChanged = true;
  RgnChanged = true;
  ApplyGlobalColor();
  SetDwmTransitions(false);
  AdaptAll(nullptr);
}

// Stage C's engine commands; none reaches the form's own procedure.
void TsSkinProvider::SkinCommand(tk::TMessage& m) {
  TsSkinManager* own = FormSkinManager();
  const bool fromOwn = reinterpret_cast<TsSkinManager*>(m.LParam) == own;
  switch (CommandOf(m)) {
    case KX_SKINLOADED:
      if (!fromOwn) break;
      SkinLoaded();
      CheckSysMenu(FDrawNonClientArea);
      if (FForm->HandleAllocated()) ::SendMessageW(FForm->Handle(), WM_NCPAINT, 1, 0);
      break;
    case KX_SKINREFRESH:
      if (!fromOwn) break;
      AdaptAll(nullptr);
      TitleBG.reset();
      if (!own->IsLoading()) {
        UpdateMenu();
        InitMenuItems(FCommonData->Skinned());
      }
      if (HaveBorder()) RgnChanged = true;
      if (FForm->Showing()) {
        FCommonData->BGChanged = true;
        SetExtBorders(own->ExtendedBorders());
        if (!SkinChanging && FForm->HandleAllocated())
          ::RedrawWindow(FForm->Handle(), nullptr, nullptr,
                         RDW_FRAME | RDW_UPDATENOW | RDW_NOCHILDREN | RDW_ERASE | RDW_INVALIDATE);
      }
      ApplyGlobalColor();
      FCommonData->SetUpdating(false);
      if (FAdapter) FAdapter->WndProc(m);
      PlaceBorders(true);
      break;
    case KX_CONTROLADDED:
      // A control named by address only from our own sender: any program
      // can send the number.
      if (FForm->IsLoading() || (m.LParam && !IsTrustedPointerCommand(m))) break;
      AdaptAll(m.LParam ? reinterpret_cast<tk::TWinControl*>(m.LParam) : nullptr);
      break;
    case KX_QUERYPROVIDER: m.Result = reinterpret_cast<intptr_t>(this); break;
    case KX_SETUPDATING:
      FCommonData->SetUpdating(m.WParamLo() == 1);
      if (m.WParamLo() == 1) FCommonData->BGChanged = true;
      break;
    case KX_SETURGENT:
      FCommonData->UrgentPainting = m.WParamLo() == 1;
      if (FCommonData->UrgentPainting) PaintAll();
      break;
    case KX_QUERYUPDATING:
      m.Result = !AnimationFlag() && FCommonData->UsesCache() && FCommonData->IsUpdating() ? 1 : 0;
      break;
    case KX_REPAINTNOW:
      if (FBorderForm && FForm->FormState().Contains(tk::fsModal)) PlaceBorders(false);
      break;
    case KX_QUERYVARYINGBG:
      if (const TsGeneralData* sec = FCommonData->Section(); sec && sec->GradientPercent + sec->ImagePercent > 0)
        m.Result = m.LParam = 1;
      break;
    case KX_QUERYCOLOR: m.Result = static_cast<intptr_t>(FormColor()); break;
    case KX_BORDERSMOVED: PlaceBorders(false); break;
    case KX_SCROLLSTART:
      if (FCommonData->RepaintIfMoved() && FForm->HandleAllocated())
        ::SendMessageW(FForm->Handle(), WM_SETREDRAW, FALSE, 0);
      break;
    case KX_SCROLLDONE:
      if (FCommonData->RepaintIfMoved() && FForm->HandleAllocated()) {
        ::SendMessageW(FForm->Handle(), WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(FForm->Handle(), nullptr, nullptr,
                       RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
      }
      break;
    default: break;
  }
}

// Stage C: skinned. One line per message; unlisted ones pass on.
void TsSkinProvider::SkinnedWndProc(tk::TMessage& m) {
  switch (m.Msg) {
    case WM_CREATE:
    case WM_NCCREATE:
      TitleBG.reset();
      CallOld(m);
      PrepareForm();
      return;
    case WM_SIZE: return WMSize(m);
    case WM_MOVE: KillAnimations(); break;
    case WM_SETREDRAW: LockCount = m.WParam ? std::max(0, LockCount - 1) : LockCount + 1; break;
    case WM_SETTEXT: return WMSetText(m);
    case WM_PAINT: return WMPaint(m);
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case WM_PRINT: return WMPrint(m);
    case WM_QUERYENDSESSION: return WMQueryEndSession(m);
    case WM_SETTINGCHANGE:
      FCommonData->BGChanged = true;
      TitleBG.reset();
      break;
    case WM_MOUSEMOVE:
      if (BorderDragging()) TrackBorderDrag();
      break;
    case WM_CAPTURECHANGED:
      // Taken away (another window, a switch of programs): the window stays.
      if (BorderDragging()) EndBorderDrag(false);
      break;
    case WM_SYSCOLORCHANGE:
    case WM_CHILDACTIVATE:
      CallOld(m);
      UpdateMenu();
      return;
    case WM_GETMINMAXINFO: return WMGetMinMaxInfo(m);
    case WM_WINDOWPOSCHANGING:
      if (RgnChanging) return;
      WMWindowPosChanging(m);
      break;
    case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(m);
    case WM_STYLECHANGED: return WMStyleChanged(m);
    case WM_SETICON:
      CallOld(m);
      FCommonData->BGChanged = true;
      RepaintNonClient();
      return;
    case WM_NCHITTEST: return WMNCHitTest(m);
    case WM_NCPAINT: return WMNCPaint(m);
    case WM_NCACTIVATE: return WMNCActivate(m);
    case WM_NCLBUTTONDOWN: return WMNCLButtonDown(m);
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP: return WMButtonUp(m);
    case WM_NCLBUTTONDBLCLK: return WMNCLButtonDblClk(m);
    case WM_NCRBUTTONDOWN:
      if (m.WParam == HTCAPTION || m.WParam == HTSYSMENU) return;
      break;
    case WM_NCRBUTTONUP: return WMNCRButtonUp(m);
    case 0x0313:  // the system menu asked for from the task bar
      DropSysMenuAtCursor();
      return;
    case WM_MOUSELEAVE:
    case tk::CM_MOUSELEAVE: SetHotHT(0, true); break;
    case WM_SYSCOMMAND: return WMSysCommand(m);
    case WM_PARENTNOTIFY:
      CallOld(m);
      // Children made while the form is hidden (its own at its first show)
      // are adapted together when it is shown, not one walk per window.
      if (LOWORD(m.WParam) == WM_CREATE && !FForm->IsLoading() && !IsLoading() && ::IsWindowVisible(FForm->Handle()))
        AdaptAll(nullptr);
      return;
    case WM_NOTIFY:
      CallOld(m);
      // A tab control changed its page: the page's controls are new to us.
      if (m.LParam && reinterpret_cast<const NMHDR*>(m.LParam)->code == static_cast<UINT>(-551) && FAdapter)
        FAdapter->AddAllItems(nullptr);
      return;
    case tk::CM_CONTROLLISTCHANGE:
      CallOld(m);
      // Only a child of the form's own is taken by its address: the number
      // can come from anywhere.
      if (const int i = FForm->IndexOfControl(reinterpret_cast<const tk::TControl*>(m.WParam));
          i >= 0 && m.LParam && FAdapter)
        if (auto* w = dynamic_cast<tk::TWinControl*>(FForm->Controls(i)); w && FAdapter->IsControlSupported(w))
          FAdapter->AddNewItem(w);
      return;
    case WM_INITMENUPOPUP:
      if (m.LParamHi()) ::EnableMenuItem(reinterpret_cast<HMENU>(m.WParam), SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
      break;
    case WM_ENTERIDLE:
    case 0x0093: m.Result = 0; return;
    case WM_PRINTCLIENT: return;
    case WM_SIZING:
      CallOld(m);
      PlaceBorders(false);
      return;
    case WM_EXITSIZEMOVE:
      CallOld(m);
      if (FBorderForm) PlaceBorders(false);
      return;
    case tk::CM_VISIBLECHANGED: return CMVisibleChanged(m);
    case tk::CM_SHOWINGCHANGED: return CMShowingChanged(m);
    case tk::CM_ENABLEDCHANGED:
      CallOld(m);
      if (FDrawNonClientArea) {
        FCommonData->BGChanged = true;
        RepaintNonClient();
      }
      return;
    case tk::CM_MENUCHANGED:
      if (FCommonData->CtrlSkinState & kxStateUpdating) {
        FCommonData->CtrlSkinState |= kxStateMenuChanged;
        return;
      }
      FCommonData->BGChanged = true;
      break;
    default: break;
  }
  CallOld(m);
}

// --- Client painting ------------------------------------------------------------------------

bool TsSkinProvider::CachedBackground() const { return FCommonData->UsesCache(); }

void TsSkinProvider::WMPaint(tk::TMessage& m) {
  if (FForm->ControlState().Contains(tk::csPaintCopy)) return CallOld(m);
  if (FBorderForm && !FInAnimation && FForm->Showing() && !::IsWindowVisible(FBorderForm->Handle()))
    PlaceBorders(false);
  if (!FForm->Showing()) return CallOld(m);
  HWND h = FForm->Handle();
  PAINTSTRUCT ps{};
  HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : ::BeginPaint(h, &ps);
  PaintClientBackground(dc);
  if (!m.WParam) ::EndPaint(h, &ps);
  m.Result = 0;
  if (!FInAnimation && FForm->OnPaint) FForm->OnPaint(FForm);
}

void TsSkinProvider::WMEraseBkgnd(tk::TMessage& m) {
  if (!FForm->Showing()) return CallOld(m);
  m.Result = 1;
  if (FCommonData->CtrlSkinState & kxStateUpdating) return;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (dc) PaintClientBackground(dc);
}

void TsSkinProvider::WMPrint(tk::TMessage& m) {
  if (FForm->IsLoading() || FForm->IsDestroying() || !FForm->HandleAllocated()) return CallOld(m);
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) return;
  FCommonData->SetUpdating(false);
  if (FCommonData->BGChanged) PaintAll();
  const TkxFormFrame f = Frame();
  if (FBorderForm && FCommonData->FCacheBmp) {
    tk::TBitmap* cache = FCommonData->FCacheBmp.get();
    HDC src = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(src, cache->Handle());
    ::BitBlt(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, SRCCOPY);
    ::SelectObject(src, old);
    ::DeleteDC(src);
  }
  const int saved = ::SaveDC(dc);
  ::SetViewportOrgEx(dc, kx::OffsetX(f), kx::OffsetY(f), nullptr);
  ::IntersectClipRect(dc, 0, 0, f.Client.cx, f.Client.cy);
  PaintClientBackground(dc);
  ::RestoreDC(dc, saved);
  m.Result = 0;
}

// A session that ends waits for running fades, but never for long: a fade
// that cannot finish (a stopped timer) must not hold the log-off.
void TsSkinProvider::WMQueryEndSession(tk::TMessage& m) {
  const DWORD until = ::GetTickCount() + 1000;
  while (FadesRunning && FadesRunning() && static_cast<int>(until - ::GetTickCount()) > 0) {
    if (tk::Application) tk::Application->ProcessMessages();
    ::Sleep(10);
  }
  CallOld(m);
}

// --- Non-client messages -------------------------------------------------------------------

void TsSkinProvider::ResolveRT() {
  if (!RTInit) return;
  RTInit = false;
  LoadInit();
}

void TsSkinProvider::WMNCHitTest(tk::TMessage& m) {
  ResolveRT();
  const TkxFormFrame f = Frame();
  if (kx::CaptionHeight(f, true) == 0 || !FDrawNonClientArea) return CallOld(m);
  RECT w{};
  ::GetWindowRect(FForm->Handle(), &w);
  const tk::TPoint p{static_cast<short>(m.LParamLo()) - w.left, static_cast<short>(m.LParamHi()) - w.top};
  const int ht = HTProcess(f, HitState(), p);
  if (ht == kxHTNOWHERE || ht == kxHTCLIENT || ht == kxHTCAPTION || ht == kxHTMENU) {
    CallOld(m);
    SetHotHT(0, true);
    return;
  }
  if (ButtonFor(ht)) SetHotHT(ht, true);
  else SetHotHT(-1, true);
  m.Result = ht;
}

void TsSkinProvider::WMNCPaint(tk::TMessage& m) {
  if (FCommonData->CtrlSkinState & (kxStateUpdating | kxStateMenuChanged)) return;
  ResolveRT();
  if (!FDrawNonClientArea) return CallOld(m);
  // With desktop composition the screen cannot show an inverted outline.
  if (ResizeMode == rmBorder && DesktopComposition()) ResizeMode = rmStandard;
  if (IsIconicNow()) FCommonData->BGChanged = true;
  if (fAnimating || !FForm->Showing() || FForm->IsLoading() || FForm->ControlState().Contains(tk::csDestroyingHandle) ||
      !FPrepared)
    return;
  if (FBorderForm && (!FCommonData->FCacheBmp || FCommonData->FCacheBmp->Empty())) PlaceBorders(true);
  PaintNonClient();
  m.Result = 0;
}

void TsSkinProvider::WMNCActivate(tk::TMessage& m) {
  FFormActive = m.WParam != 0;
  if (ShowAction == saMaximize && m.WParam == 0) {
    ShowAction = saIgnore;
  } else {
    FCommonData->BGChanged = true;
    FCommonData->SetUpdating(false);
  }
  const bool cover = FForm->Showing() && !DesktopComposition() && !FBorderForm && !FForm->OnPaint;
  if (FForm->Showing() && DesktopComposition()) {
    WithoutVisibleStyle([&] { CallOld(m); });
  } else {
    if (cover) ShowCaptionCover();
    CallOld(m);
    if (cover) HideCaptionCover();
  }
  // The system answers TRUE; the frame is ours to repaint.
  FCommonData->BGChanged = true;
  if (FForm->Showing() && FForm->HandleAllocated()) {
    if (FBorderForm) PlaceBorders(true);
    else ::SendMessageW(FForm->Handle(), WM_NCPAINT, 1, 0);
  }
}

// The system draws its caption while it handles the message; hiding the
// window's visible bit for that time keeps it from drawing at all.
void TsSkinProvider::WithoutVisibleStyle(const std::function<void()>& Pass) {
  HWND h = FForm->Handle();
  const auto style = static_cast<DWORD>(::GetWindowLongW(h, GWL_STYLE));
  if (style & WS_VISIBLE) SetStyleBits(style & ~WS_VISIBLE);
  try {
    Pass();
  } catch (...) {
    if (style & WS_VISIBLE) SetStyleBits(static_cast<DWORD>(::GetWindowLongW(h, GWL_STYLE)) | WS_VISIBLE);
    throw;
  }
  if (style & WS_VISIBLE) SetStyleBits(static_cast<DWORD>(::GetWindowLongW(h, GWL_STYLE)) | WS_VISIBLE);
}

void TsSkinProvider::WMSetText(tk::TMessage& m) {
  if (!FForm->Showing() || !FDrawNonClientArea || FForm->ControlState().Contains(tk::csCreating)) return CallOld(m);
  DropTitleImage();
  FCommonData->BGChanged = true;
  if (DesktopComposition()) {
    WithoutVisibleStyle([&] { CallOld(m); });
    RepaintNonClient();
  } else {
    ShowCaptionCover();
    CallOld(m);
    HideCaptionCover();
    if (!FBorderForm) ::SendMessageW(FForm->Handle(), WM_NCPAINT, 1, 0);
  }
  PlaceBorders(true);
}

// --- Size and position ---------------------------------------------------------------------

void TsSkinProvider::WMSize(tk::TMessage& m) {
  RECT c{};
  ::GetClientRect(FForm->Handle(), &c);
  LastClientRect = tk::TRect{c.left, c.top, c.right, c.bottom};
  FGlow1.reset();
  FGlow2.reset();
  // The region and the image follow the window's size (and with it its
  // state); nothing else of a size message changes them. Asked before the
  // message goes on: the children it realigns may rebuild the image.
  const tk::TSize size = Frame().Window;
  const bool resized = size.cx != FRgnSize.cx || size.cy != FRgnSize.cy;
  if (resized) {
    FRgnSize = size;
    RgnChanged = true;
    FCommonData->BGChanged = true;
  }
  CallOld(m);
  if (SkinChanging || !FForm->Showing()) return;
  if (resized && FDrawNonClientArea) ::SendMessageW(FForm->Handle(), WM_NCPAINT, 1, 0);
  PlaceBorders(true);
}

void TsSkinProvider::WMGetMinMaxInfo(tk::TMessage& m) {
  CallOld(m);
  auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
  if (!mmi || !FDrawNonClientArea || !HaveBorder() || FForm->Parent() || FForm->FormStyle() == tk::fsMDIChild) return;
  const tk::TRect work = tk::Screen ? tk::Screen->MonitorWorkAreaOf(FForm->Handle()) : tk::TRect();
  TkxFormFrame f = Frame();
  const TkxMaxPlacement p = MaximizedPlacement(f, {work.Width(), work.Height()});
  mmi->ptMaxPosition = {p.Position.X, p.Position.Y};
  mmi->ptMaxSize = {p.Size.cx, p.Size.cy};
  m.Result = 0;
}

// The drawn frame reaches past the form's window; a form placed inside the
// work area (the default place at its corner, say) would show its title cut
// off. Applied to the bounds of the hidden form, which are its normal ones.
void TsSkinProvider::KeepFrameInWorkArea() {
  if (!FBorderForm || !tk::Screen || !FForm->HandleAllocated() || FForm->Parent()) return;
  HWND h = FForm->Handle();
  if (::IsWindowVisible(h) && (::IsZoomed(h) || ::IsIconic(h))) return;
  RECT r{};
  if (!::GetWindowRect(h, &r)) return;
  const tk::TRect window{r.left, r.top, r.right, r.bottom};
  tk::TRect frame = DrawnFrameRect(Frame());
  frame.Offset(window.Left, window.Top);
  const tk::TPoint shift = FrameShiftIntoArea(window, frame, tk::Screen->MonitorWorkAreaOf(h));
  if (shift.X || shift.Y)
    FForm->SetBounds(window.Left + shift.X, window.Top + shift.Y, window.Width(), window.Height());
}

void TsSkinProvider::WMWindowPosChanging(tk::TMessage& m) {
  auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
  if (!wp || !ScreenSnap || IsZoomedNow() || (wp->flags & SWP_NOMOVE) || (wp->x == 0 && wp->y == 0)) return;
  const tk::TRect work = tk::Screen->MonitorWorkAreaOf(FForm->Handle());
  const tk::TPoint p = SnapToWorkArea(Frame(), {wp->x, wp->y}, work, SnapBuffer);
  wp->x = p.X;
  wp->y = p.Y;
}

// The window has its new place and state already; the title's height rule
// is settled before the size message (sent while this one goes on) paints.
void TsSkinProvider::WMWindowPosChanged(tk::TMessage& m) {
  const auto* wp = reinterpret_cast<const WINDOWPOS*>(m.LParam);
  if (FormSkinManager()) {
    const bool was = FSysExHeight;
    FSysExHeight = false;
    FSysExHeight = SysExHeightFor(Frame());
    if (was != FSysExHeight) {
      RgnChanged = true;
      FCommonData->BGChanged = true;
    }
  }
  CallOld(m);
  if (!wp || !FormSkinManager()) return;
  // A new size was placed by the size message already.
  const bool placed = !(wp->flags & SWP_NOSIZE) && FRgnSize.cx == wp->cx && FRgnSize.cy == wp->cy;
  if (!placed && !(wp->flags & (SWP_NOREDRAW | SWP_FRAMECHANGED))) PlaceBorders(false);
  if ((wp->flags & SWP_HIDEWINDOW) && FBorderForm) FBorderForm->Hide();
}

void TsSkinProvider::WMStyleChanged(tk::TMessage& m) {
  CallOld(m);
  if (FSettingStyle) return;
  // The styles decide the frame's shape: the region and the image are due.
  RgnChanged = true;
  FCommonData->BGChanged = true;
  const auto* ss = reinterpret_cast<const STYLESTRUCT*>(m.LParam);
  if (m.WParam == static_cast<WPARAM>(GWL_EXSTYLE) && ss && ((ss->styleOld ^ ss->styleNew) & WS_EX_LAYERED))
    PlaceBorders(true);
}

void TsSkinProvider::CMVisibleChanged(tk::TMessage& m) {
  if (m.WParam && RTInit) {
    ResolveRT();
    TsSkinManager* mgr = FormSkinManager();
    SetExtBorders(mgr && mgr->ExtendedBorders());
  }
  CallOld(m);
  PlaceBorders(false);
  if (!m.WParam) {
    if (FCommonData->FCacheBmp) FCommonData->FCacheBmp->SetSize(0, 0);
    FCommonData->BGChanged = true;
    KillAnimations();
    if (FBorderForm) FBorderForm->Hide();
  }
}

void TsSkinProvider::CMShowingChanged(tk::TMessage& m) {
  TsSkinManager* mgr = FormSkinManager();
  if (FDrawNonClientArea && FPrepared) {
    FCommonData->SetUpdating(false);
    SetExtBorders(mgr && mgr->ExtendedBorders());
    if (FForm->Showing()) {
      KeepFrameInWorkArea();
      // Set on the hidden window: on a shown one the region repaints the
      // whole frame at once, a second time with the first paint.
      RegionIfDue(false);
    }
  }
  CallOld(m);
  if (FForm->Showing()) {
    if (FPrepared && FCommonData->Skinned()) AdaptAll(nullptr);
    PlaceBorders(true);
  }
}

// --- System commands -------------------------------------------------------------------

void TsSkinProvider::WMSysCommand(tk::TMessage& m) {
  const unsigned cmd = static_cast<unsigned>(m.WParam) & 0xFFF0;
  if ((m.WParam & 0xFFFF) == 0xF012) ::UpdateWindow(FForm->Handle());
  if (ResizeMode == rmBorder && !BorderDragging() && !IsZoomedNow() && !IsIconicNow() &&
      (cmd == SC_MOVE || cmd == SC_SIZE)) {
    // The low bits of a size command name the edge (as WMSZ_ values).
    const int edge = static_cast<int>(m.WParam & 0xF);
    StartBorderDrag(cmd == SC_MOVE, cmd == SC_SIZE && edge ? kxHTLEFT + edge - 1 : 0);
    m.Result = 0;
    return;
  }
  if (cmd == SC_KEYMENU && m.LParam == 32 && HaveSysMenu && HaveBorder()) {
    const tk::TRect icon = IconRect();
    RECT w{};
    ::GetWindowRect(FForm->Handle(), &w);
    const TkxFormFrame f = Frame();
    DropSysMenu(w.left + kx::SysBorderWidth(f, false), w.top + icon.Bottom - f.Skin.Shadow.Top);
    return;
  }
  CallOld(m);
  switch (cmd) {
    case SC_MINIMIZE:
      if (FCommonData->FCacheBmp) FCommonData->FCacheBmp->SetSize(0, 0);
      FCommonData->BGChanged = true;
      break;
    case SC_MAXIMIZE:
    case SC_RESTORE:
      if (VisibleMax()) CurrentHT = kxHTMAXBUTTON;
      SetHotHT(0, true);
      if (cmd == SC_RESTORE) {
        FCommonData->BGChanged = true;
        RgnChanged = true;
        if (HaveBorder()) {
          ::RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        } else {
          RemoveRegion();
        }
      }
      break;
    default: break;
  }
}

// The system's own menu, with its items enabled as the form allows; the
// command chosen comes back as a system command.
void TsSkinProvider::DropSysMenu(int X, int Y) {
  HWND h = FForm->Handle();
  HMENU menu = ::GetSystemMenu(h, FALSE);
  if (!menu) return;
  const auto style = static_cast<DWORD>(::GetWindowLongW(h, GWL_STYLE));
  const bool iconic = IsIconicNow(), zoomed = IsZoomedNow();
  const tk::TFormBorderStyle bs = FForm->BorderStyle();
  auto set = [menu](UINT cmd, bool on) { ::EnableMenuItem(menu, cmd, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  SetStyleBits(style & ~WS_VISIBLE);
  set(SC_RESTORE, HaveSysMenu && (bs == tk::bsSingle || bs == tk::bsSizeable) && EnabledRestore());
  set(SC_MOVE, !zoomed && !iconic);
  set(SC_SIZE, bs != tk::bsSingle && !iconic && !zoomed && (style & WS_THICKFRAME));
  set(SC_MINIMIZE, VisibleMin() && EnabledMin());
  set(SC_MAXIMIZE, VisibleMax() && EnabledMax());
  set(SC_CLOSE, HaveSysMenu);
  SetStyleBits(static_cast<DWORD>(::GetWindowLongW(h, GWL_STYLE)) | (style & WS_VISIBLE));
  const int cmd = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, X, Y, 0, h, nullptr);
  if (cmd) ::PostMessageW(h, WM_SYSCOMMAND, static_cast<WPARAM>(cmd), 0);
}

void TsSkinProvider::DropSysMenuAtCursor() {
  POINT p{};
  ::GetCursorPos(&p);
  DropSysMenu(p.x, p.y);
}

// --- Title-button mouse table ---------------------------------------------------------------

// A click forwarded from the border window carries -1: the border window's
// own hit test names what lies under the point, and that code replaces -1
// before the system's move and size loops see the message.
int TsSkinProvider::HitCodeOf(tk::TMessage& m) {
  if (static_cast<intptr_t>(m.WParam) == -1 && FBorderForm) {
    const tk::TPoint p{static_cast<short>(m.LParamLo()), static_cast<short>(m.LParamHi())};
    m.WParam = static_cast<uintptr_t>(FBorderForm->Ex_WMNCHitTest(p));
  }
  return static_cast<int>(static_cast<intptr_t>(m.WParam));
}

void TsSkinProvider::WMNCLButtonDown(tk::TMessage& m) {
  if (!FDrawNonClientArea) return CallOld(m);
  const int ht = HitCodeOf(m);
  if (ht == -1) return;
  if (ht == kxHTBORDER && FBorderForm) return CallOld(m);
  if (ht == kxHTSYSMENU) {
    SetHotHT(0, true);
    RECT w{};
    ::GetWindowRect(FForm->Handle(), &w);
    const TkxFormFrame f = Frame();
    const tk::TRect icon = IconRect();
    DropSysMenu(w.left + kx::SysBorderWidth(f, false),
                w.top + kx::BorderHeight(f, true) + icon.Height() + kx::SysBorderHeight(f, false));
    return;
  }
  if (ht == kxHTMENU) return CallOld(m);
  if (ht == kxHTCLOSE || ht == kxHTMAXBUTTON || ht == kxHTMINBUTTON || ht == kxHTHELP) {
    SetPressedHT(ht);
    return;
  }
  if (ht >= kxHTUserButton && ht - kxHTUserButton < FTitleButtons.Count()) {
    SetPressedHT(ht);
    if (auto& e = FTitleButtons.Items[ht - kxHTUserButton]->OnMouseDown) e(this);
    return;
  }
  if (IsIconicNow()) {
    ::SendMessageW(FForm->Handle(), WM_SYSCOMMAND, 0xF012, 0);
    return;
  }
  SetHotHT(0, true);
  HWND h = FForm->Handle();
  // The border window is never activated, so the form takes the activation
  // now; where the foreground is refused it is still this thread's active
  // window.
  if (::GetActiveWindow() != h) {
    ::SetForegroundWindow(h);
    if (::GetActiveWindow() != h) ::SetActiveWindow(h);
  }
  if (IsZoomedNow()) {
    RECT w{};
    ::GetWindowRect(h, &w);
    const TkxFormFrame f = Frame();
    const int y = static_cast<short>(m.LParamHi()) - w.top;
    if (ht == kxHTCAPTION && y <= kx::SysBorderHeight(f, true) + kx::CaptionHeight(f, true)) {
      if (::GetForegroundWindow() != h) ::SetForegroundWindow(h);
      return;
    }
  }
  const bool sizing = ht >= kxHTLEFT && ht <= kxHTBOTTOMRIGHT;
  if (ht == kxHTCAPTION || sizing || ResizeMode == rmBorder) {
    // The move and size commands are sent here, not left to the default
    // handling, which starts its loops only once the activation has taken:
    // a click on the frame moves or sizes the window however that went.
    // An outline takes the commands over in its own mode.
    m.Result = 0;
    const WPARAM cmd = sizing ? SC_SIZE + (ht - kxHTLEFT + 1) : SC_MOVE + (ht == kxHTCAPTION ? kxHTCAPTION : 0);
    ::SendMessageW(h, WM_SYSCOMMAND, cmd, m.LParam);
    return;
  }
  CallOld(m);
}

// --- Moving and sizing by an outline -------------------------------------------------------

void TsSkinProvider::StartBorderDrag(bool Moving, int HT) {
  if (BorderDragging() || !FForm->HandleAllocated()) return;
  HWND h = FForm->Handle();
  RECT w{};
  POINT c{};
  if (!::GetWindowRect(h, &w) || !::GetCursorPos(&c)) return;
  FDrag.DC = ::GetDCEx(nullptr, nullptr, DCX_WINDOW | DCX_CACHE);
  if (!FDrag.DC) return;
  FDrag.Saved = ::SaveDC(FDrag.DC);
  ::SetROP2(FDrag.DC, R2_NOT);
  ::SelectObject(FDrag.DC, ::GetStockObject(BLACK_PEN));
  FDrag.Moving = Moving;
  FDrag.HT = HT;
  FDrag.Outline = tk::TRect{w.left, w.top, w.right, w.bottom};
  FDrag.Last = tk::TPoint{c.x, c.y};
  FDrag.MinWidth = FForm->Constraints()->MinWidth();
  FDrag.MinHeight = FForm->Constraints()->MinHeight();
  ::SetCapture(h);
  DrawOutline();
}

// Drawn inverted: the same outline drawn twice leaves the screen as it was.
void TsSkinProvider::DrawOutline() {
  const tk::TRect& r = FDrag.Outline;
  const POINT p[5] = {
      {r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}, {r.Left, r.Top}};
  ::Polyline(FDrag.DC, p, 5);
}

void TsSkinProvider::TrackBorderDrag() {
  POINT c{};
  if (!BorderDragging() || !::GetCursorPos(&c)) return;
  const tk::TPoint now{c.x, c.y};
  DrawOutline();
  if (FDrag.Moving) FDrag.Outline.Offset(now.X - FDrag.Last.X, now.Y - FDrag.Last.Y);
  else FDrag.Outline = SizedOutline(FDrag.Outline, FDrag.HT, now, FDrag.MinWidth, FDrag.MinHeight);
  FDrag.Last = now;
  DrawOutline();
}

void TsSkinProvider::EndBorderDrag(bool Apply) {
  if (!BorderDragging()) return;
  DrawOutline();
  ::RestoreDC(FDrag.DC, FDrag.Saved);
  ::ReleaseDC(nullptr, FDrag.DC);
  FDrag.DC = nullptr;
  // Cleared first: the capture's end comes back here.
  if (FForm->HandleAllocated() && ::GetCapture() == FForm->Handle()) ::ReleaseCapture();
  if (!Apply || !FForm->HandleAllocated()) return;
  const tk::TRect r = FDrag.Outline;
  ::MoveWindow(FForm->Handle(), r.Left, r.Top, r.Width(), r.Height(), TRUE);
}

bool TsSkinProvider::PointInButton(const tk::TMessage& m, const TsCaptionButton& b) {
  RECT w{};
  ::GetWindowRect(FForm->Handle(), &w);
  const TkxFormFrame f = Frame();
  // Button rectangles are image coordinates; the image starts at the
  // border window's place.
  const tk::TPoint off = FBorderForm ? BorderWindowOffset(f) : tk::TPoint{f.Skin.Shadow.Left, f.Skin.Shadow.Top};
  const int x = static_cast<short>(m.LParamLo()) - w.left + off.X;
  const int y = static_cast<short>(m.LParamHi()) - w.top + off.Y;
  return x >= b.Rect.Left && x < b.Rect.Right && y >= b.Rect.Top && y < b.Rect.Bottom;
}

void TsSkinProvider::WMButtonUp(tk::TMessage& m) {
  if (BorderDragging()) {
    EndBorderDrag(true);
    return;
  }
  if (!FDrawNonClientArea) return CallOld(m);
  if (m.Msg == WM_LBUTTONUP) {
    // A release over the client after pressing a title button elsewhere:
    // the press is cancelled.
    if (gButtonPressed) SetHotHT(0, true);
    return CallOld(m);
  }
  const int ht = HitCodeOf(m);
  const bool pressed = gButtonPressed && CurrentHT == ht;
  HWND h = FForm->Handle();
  switch (ht) {
    case kxHTMINBUTTON:
      if (pressed && PointInButton(m, ButtonMin)) {
        SetHotHT(0, true);
        FCommonData->BGChanged = true;
        if (tk::Application && tk::Application->MainForm() == FForm) SkipAnimation = true;
        ::SendMessageW(h, WM_SYSCOMMAND, IsIconicNow() ? SC_RESTORE : SC_MINIMIZE, 0);
        SkipAnimation = false;
      } else if (!pressed) {
        SetHotHT(0, true);
      }
      return;
    case kxHTMAXBUTTON:
      if (!EnabledMax() && !(IsZoomedNow() && EnabledRestore())) return;
      SetHotHT(0, true);
      if (pressed) {
        if (IsZoomedNow()) {
          ::SendMessageW(h, WM_SYSCOMMAND, SC_RESTORE, 0);
        } else {
          ::SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        }
      }
      return;
    case kxHTCLOSE:
      if (pressed) {
        ButtonClose.State = 0;
        SetHotHT(0, false);
        ::SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        SetHotHT(0, true);
      }
      return;
    case kxHTHELP:
      SetHotHT(0, true);
      if (pressed) ::SendMessageW(h, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
      return;
    default: break;
  }
  if (ht >= kxHTUserButton && ht - kxHTUserButton < FTitleButtons.Count()) {
    if (pressed)
      if (auto& e = FTitleButtons.Items[ht - kxHTUserButton]->OnMouseUp) e(this);
    SetHotHT(0, true);
    return;
  }
  if (gButtonPressed) SetHotHT(0, true);
  if (ht != -1) CallOld(m);
}

void TsSkinProvider::WMNCLButtonDblClk(tk::TMessage& m) {
  EndBorderDrag(true);
  const int ht = HitCodeOf(m);
  m.WParam = 0;
  OwnerDoubleClick(ht);
}

void TsSkinProvider::OwnerDoubleClick(int HT) {
  HWND h = FForm->Handle();
  if (HT == kxHTCAPTION) {
    if (HaveSysMenu && (EnabledMax() || EnabledRestore())) {
      ::SendMessageW(h, WM_SYSCOMMAND, IsZoomedNow() || IsIconicNow() ? SC_RESTORE : SC_MAXIMIZE, 0);
    } else if (IsIconicNow()) {
      ::SendMessageW(h, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
  } else if (HT == kxHTSYSMENU) {
    FCommonData->SetUpdating(true);
    ::PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
}

void TsSkinProvider::WMNCRButtonUp(tk::TMessage& m) {
  if (!HaveBorder()) return CallOld(m);
  const int ht = HitCodeOf(m);
  if (ht == kxHTCAPTION || ht == kxHTSYSMENU) {
    SetHotHT(0, true);
    DropSysMenu(static_cast<short>(m.LParamLo()), static_cast<short>(m.LParamHi()));
    return;
  }
  if (ht != -1) CallOld(m);
}

// --- The border window's questions -----------------------------------------------------------

HWND TsSkinProvider::OwnerHandle() const { return FForm->HandleAllocated() ? FForm->Handle() : nullptr; }

bool TsSkinProvider::OwnerCanPlaceBorders() const {
  return FDrawNonClientArea && !FForm->FormState().Contains(tk::fsShowing) &&
         !(FCommonData->CtrlSkinState & kxStateUpdating) && !FInAnimation && !FCommonData->UpdatingFlag() && !FRTEmpty;
}

int TsSkinProvider::OwnerExtHitTest(tk::TMessage& Message) {
  if (!OnExtHitTest) return 0;
  Message.Result = 0;
  OnExtHitTest(Message);
  return static_cast<int>(Message.Result);
}

tk::TBitmap* TsSkinProvider::OwnerTemplate() const {
  TsSkinManager* m = FormSkinManager();
  if (!m) return nullptr;
  return FFormActive ? m->ShdaTemplate() : m->ShdiTemplate();
}

uint8_t TsSkinProvider::OwnerAlpha() const { return FForm->AlphaBlend() ? FForm->AlphaBlendValue() : 255; }

}  // namespace kx
