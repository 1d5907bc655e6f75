// The skin manager component: life cycle, skin selection and loading,
// announcing, hooks and the engine's start-up.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

#include "skin/data/kxNotifier.h"
#include "skin/data/kxPngReader.h"
#include "skin/data/kxSkinError.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxAdoption.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/kxFormRegistry.h"
#include "skin/framework/kxGlow.h"
#include "skin/framework/kxSystemCaps.h"
#include "skin/framework/sMessages.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

// The system's class atoms of popup menus ("#32768") and dialogs ("#32770").
constexpr WORD kMenuClassAtom = 0x8000;
constexpr WORD kDialogClassAtom = 0x8002;

TsSkinManager* gDefaultManager = nullptr;
std::unique_ptr<tk::TBitmap> gShadowActive, gShadowInactive;
HHOOK gHook = nullptr;
int gHookCount = 0;

// Where the skin data's notices go in the program: a message box.
class TkxBoxNotifier : public IkxNotifier {
 public:
  void Notify(const String& Text) override {
    if (tk::Application) tk::Application->ShowMessageBox(Text, String(), MB_OK | MB_ICONINFORMATION);
    else ::MessageBoxW(nullptr, Text.c_str(), L"", MB_OK | MB_ICONINFORMATION);
  }
};
TkxBoxNotifier gBoxNotifier;

std::unique_ptr<tk::TBitmap> ReadShadowResource(const wchar_t* Name) {
  HRSRC r = ::FindResourceW(nullptr, Name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!r) return nullptr;
  HGLOBAL g = ::LoadResource(nullptr, r);
  const void* data = g ? ::LockResource(g) : nullptr;
  if (!data) return nullptr;
  try {
    auto b = ReadPng(static_cast<const uint8_t*>(data), ::SizeofResource(nullptr, r));
    if (b && b->PixelFormat() == tk::TPixelFormat::pf32bit) return b;
  } catch (const tk::Exception&) {
    // A damaged built-in picture only costs the built-in shadow.
  }
  return nullptr;
}

bool VersionSwitchGiven() {
  int n = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &n);
  if (!args) return false;
  bool found = false;
  for (int i = 1; i < n && !found; ++i) found = tk::LowerCaseAscii(args[i]) == L"/kxver";
  ::LocalFree(args);
  return found;
}

String ProgramDir() {
  if (tk::Application) return tk::ExtractFilePath(tk::Application->ExeName());
  wchar_t buf[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
  return tk::ExtractFilePath(buf);
}

// ThirdParty entry text -> its class names, blank lines dropped.
std::vector<String> LinesOf(const String& Text) {
  std::vector<String> out;
  size_t start = 0;
  while (start <= Text.size()) {
    size_t end = Text.find_first_of(L"\r\n", start);
    if (end == String::npos) end = Text.size();
    String line = tk::Trim(Text.substr(start, end - start));
    if (!line.empty()) out.push_back(line);
    if (end < Text.size() && Text[end] == L'\r' && end + 1 < Text.size() && Text[end + 1] == L'\n') ++end;
    start = end + 1;
  }
  return out;
}

void Broadcast(uint16_t Command, intptr_t LParam = 0) {
  tk::TMessage m = MakeCommand(Command, LParam);
  BroadcastToForms(m);
}

bool ApplicationMinimized() { return tk::Application && tk::Application->Minimized(); }

LRESULT CALLBACK CbtProc(int Code, WPARAM WParam, LPARAM LParam) {
  const LRESULT next = ::CallNextHookEx(gHook, Code, WParam, LParam);
  if (Code < 0 || !tk::Application || tk::Application->IsDestroying()) return next;
  try {
    HWND wnd = reinterpret_cast<HWND>(WParam);
    switch (Code) {
      case HCBT_CREATEWND: {
        const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(LParam)->lpcs;
        if (IS_INTRESOURCE(cs->lpszClass)) {
          const WORD atom = LOWORD(reinterpret_cast<uintptr_t>(cs->lpszClass));
          if (atom == kMenuClassAtom) {
            TsSkinManager* m = DefaultManager();
            if (m && m->SkinnedPopups() && !DesktopComposition() && !IsCommandHandled(wnd))
              AdoptPopupMenuWindow(wnd, m);
          } else if (atom == kDialogClassAtom) {
            AdoptWindow(wnd);
          }
        } else if (String(cs->lpszClass) != L"TPUtilWindow" && cs->style != 0 && cs->dwExStyle != 0) {
          tk::TCustomForm* main = tk::Application->MainForm();
          if (main && (!main->HandleAllocated() || main->Handle() == wnd)) break;
          if (!cs->hwndParent) AdoptWindow(wnd);
        }
        break;
      }
      case HCBT_ACTIVATE: AdoptWindow(wnd); break;
      case HCBT_DESTROYWND: ReleaseDestroyedAdapters(wnd); break;
    }
  } catch (...) { tk::Application->HandleException(nullptr); }
  return next;
}

}  // namespace

// --- Engine start-up --------------------------------------------------------------

void InitializeEngine() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterCommandMessage();
  SystemCaps();
  if (!GetNotifier()) SetNotifier(&gBoxNotifier);
  gShadowActive = ReadShadowResource(L"kxSHDA");
  gShadowInactive = ReadShadowResource(L"kxSHDI");
  if (VersionSwitchGiven()) Notify(L"Kestrix v6.65");
}

const tk::TBitmap* BuiltinShadow(bool ActiveWindow) {
  return ActiveWindow ? gShadowActive.get() : gShadowInactive.get();
}

int InstalledWindowHooks() { return gHookCount; }

TsSkinManager* DefaultManager() { return gDefaultManager; }

// --- Life cycle ---------------------------------------------------------------------

TsSkinManager::TsSkinManager(tk::TComponent* AOwner) : tk::TComponent(AOwner) {
  InitializeEngine();
  InstallGlowHooks();
  FAnimEffects.Buttons.Manager = this;
  if (!gDefaultManager) {
    gDefaultManager = this;
    if (SystemCaps().NTFamily) HookApplication();
  }
}

TsSkinManager::~TsSkinManager() {
  // The glows may use this manager's pictures: they go now, not later.
  HideAllGlows(true);
  // Nothing may leave a destructor: a failing switch-off costs only itself.
  try {
    SetActive(false);
  } catch (...) {}
  FExtendedBorders = false;
  FFormShadowSize = tk::TRect();
  if (FGlobalHookInstalled) UnInstallHook();
  if (gDefaultManager == this) {
    UnhookApplication();
    gDefaultManager = nullptr;
  }
  for (int i = 0; i < kxThirdPartyCount; ++i) {
    String text;
    for (const String& l : FThirdLists[i]) text += (text.empty() ? L"" : L"\r\n") + l;
    FThirdParty[i] = text.empty() ? String(L" ") : text;
  }
}

void TsSkinManager::DefaultSkinDirectory() {
  if (FSkinDirectory.empty()) FSkinDirectory = L"c:\\Skins";
}

void TsSkinManager::FillThirdParty() {
  const TkxThirdPartyList defaults = DefaultThirdParty();
  for (int i = 0; i < kxThirdPartyCount; ++i) {
    if (FThirdParty[i].empty()) FThirdParty[i] = defaults[i];
    FThirdLists[i] = LinesOf(FThirdParty[i]);
  }
}

void TsSkinManager::AfterConstruction() {
  tk::TComponent::AfterConstruction();
  FillThirdParty();
  DefaultSkinDirectory();
}

void TsSkinManager::Loaded() {
  tk::TComponent::Loaded();
  DefaultSkinDirectory();
  if (FMenuSupport.IcoLineSkin.empty()) FMenuSupport.IcoLineSkin = L"ICOLINE";
  FillThirdParty();
  if (FActive && !FSkinName.empty()) ApplySkin(false);
  UpdateDialogRule();
}

bool TsSkinManager::IsDefault() const { return gDefaultManager == this; }

void TsSkinManager::SetIsDefault(bool Value) {
  if (!Value && gDefaultManager) return;  // stays true only for the default itself
  if (gDefaultManager != this) {
    if (TsSkinManager* old = gDefaultManager) {
      if (old->FGlobalHookInstalled) old->UnInstallHook();
      old->UnhookApplication();
    }
    gDefaultManager = this;
    if (SystemCaps().NTFamily) HookApplication();
  }
  if (IsLoading()) return;
  if (!FActive) {
    RemoveSkin();
  } else {
    ApplySkin(true);
    RepaintForms();
  }
}

// --- Skin selection ---------------------------------------------------------------------

TkxLoadSettings TsSkinManager::LoadSettings(const String& SkinPath) const {
  TkxLoadSettings s;
  s.HueOffset = FHueOffset;
  s.Saturation = FSaturation;
  s.CommonSections = FCommonSections;
  s.SkinPath = SkinPath;
  return s;
}

namespace {

// Process-wide, so that no two contents of any managers share a number.
uint32_t NextSkinGeneration() {
  static uint32_t last = 0;
  return ++last;
}

}  // namespace

void TsSkinManager::Swap(std::unique_ptr<TkxSkinContent> Loaded) {
  Loaded->SkinData.Active = false;
  Loaded->Generation = NextSkinGeneration();
  FContent = std::move(Loaded);
  FSkinLoaded = true;
  DefaultSkinDirectory();
  CheckShadows();
}

bool TsSkinManager::PackedFileExists() const {
  return !FSkinName.empty() && tk::FileExists(tk::IncludeTrailingPathDelimiter(FSkinDirectory) + FSkinName + L".kxz");
}

void TsSkinManager::Reload() {
  if (PackedFileExists()) ReloadPackedSkin();
  else ReloadSkin();
}

void TsSkinManager::SetSkinName(const String& Value) {
  const String before = FSkinName;
  FSkinName = Value;
  if (!FActive) {
    UpdateDialogRule();
    return;
  }
  OnBeforeChange(this);
  {
    TkxFlagScope loading(Engine.SkinLoading);
    const bool wasApplied = SkinData().Active;
    SkinData().Active = false;
    try {
      Reload();
    } catch (...) {
      // The skin applied before was never touched: it stays, with its name.
      FSkinName = before;
      SkinData().Active = wasApplied;
      throw;
    }
    if (!FActive) RemoveSkin();
    else if (!Engine.UpdateLocked) ApplySkin(true);
  }
  OnAfterChange(this);
  UpdateDialogRule();
}

void TsSkinManager::ReloadSkin() {
  if (!FActive) return;
  TkxFlagScope loading(Engine.SkinLoading);
  const String folder = GetFullSkinDirectory() + FSkinName + L"\\";
  const TsStoredSkin* skin = FInternalSkins.Find(FSkinName);
  if (!FSkinName.empty() && tk::FileExists(folder + L"Options.dat")) {
    // A folder wins over the internal skin of its name, but a damaged one
    // must not cost the program the skin it carries: said, then passed by.
    try {
      Swap(TkxSkinLoad(LoadSettings(folder)).FromFolder());
      return;
    } catch (const tk::Exception& e) {
      if (!skin) throw;
      kx::Notify(L"The skin folder \"" + EscapeSkinText(folder) + L"\" can't be used: " + e.Message() +
                 L"\r\nThe internal skin \"" + FSkinName + L"\" is used instead.");
    }
  }
  if (!skin) {
    if (FInternalSkins.Count() == 0) {
      FActive = false;
      return;
    }
    skin = &FInternalSkins.Items(0);
    FSkinName = skin->Name;
  }
  Swap(TkxSkinLoad(LoadSettings(String())).FromStored(*skin));
}

void TsSkinManager::ReloadPackedSkin() {
  if (!FActive) return;
  TkxFlagScope loading(Engine.SkinLoading);
  tk::TMemoryStream data;
  LoadSkinFile(tk::IncludeTrailingPathDelimiter(FSkinDirectory) + FSkinName + L".kxz", data, kxMaxSkinSize);
  Swap(TkxSkinLoad(LoadSettings(GetFullSkinDirectory())).FromPacked(&data));
}

void TsSkinManager::SetActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  if (Value) {
    try {
      SetSkinName(FSkinName);
    } catch (...) {
      FActive = false;
      throw;
    }
    return;
  }
  if (!IsLoading()) RemoveSkin();
  InitConstantIndexes();
  UpdateDialogRule();
}

void TsSkinManager::SetSkinDirectory(const String& Value) {
  FSkinDirectory = Value;
  SkinData().SkinPath = GetFullSkinDirectory();
}

void TsSkinManager::SetCommonSections(const std::vector<String>& Value) {
  FCommonSections = PrepareCommonSections(Value);
  if (FActive && !FSkinName.empty()) SetSkinName(FSkinName);
}

void TsSkinManager::SetSkinningRules(TacSkinningRules Value) {
  FSkinningRules = Value;
  UpdateDialogRule();
}

void TsSkinManager::SetSkinnedPopups(bool Value) {
  // Re-hooking the menus when this turns on belongs to the menu engine.
  FSkinnedPopups = Value;
}

void TsSkinManager::UpdateDialogRule() {
  if (IsDefault()) Engine.SkinDialogs = FSkinningRules.Contains(srStdDialogs) && FActive;
}

// Hue, saturation and extended borders reload the current skin in place; a
// failure gives the old value back and leaves the skin as it was. A skin that
// is loaded but not yet applied (inside BeginUpdate, or while the window
// description is read) is reloaded too, and applied later as it is.
template <class T>
void TsSkinManager::ReloadFor(T& Field, T Value, bool Borders) {
  if (Field == Value) return;
  const T before = Field;
  Field = Value;
  if (!FActive || !FSkinLoaded) {
    if (Borders) CheckShadows();
    return;
  }
  const bool applied = SkinData().Active;
  {
    TkxFlagScope loading(Engine.SkinLoading);
    if (Borders) CheckShadows();
    try {
      Reload();
    } catch (...) {
      Field = before;
      if (Borders) CheckShadows();
      throw;
    }
    SkinData().Active = applied;
  }
  if (applied && !IsLoading()) RepaintForms();
}

void TsSkinManager::SetHueOffset(int Value) { ReloadFor(FHueOffset, Value, false); }

void TsSkinManager::SetSaturation(int Value) { ReloadFor(FSaturation, Value, false); }

void TsSkinManager::SetExtendedBorders(bool Value) { ReloadFor(FExtendedBorders, Value, true); }

// --- Announcing --------------------------------------------------------------------------

void TsSkinManager::ApplySkin(bool Repaint) {
  if (IsLoading()) return;
  HideAllGlows();
  if (Repaint) BeginSkinChange();
  try {
    ResetMenuBorderWidth();
    SkinData().Active = false;
    {
      TkxFlagScope announcing(Engine.Announcing);
      InitConstantIndexes();
      Broadcast(KX_SKINLOADED, reinterpret_cast<intptr_t>(this));
    }
    SkinData().Active = true;
    if (IsDefault() && !FGlobalHookInstalled) InstallHook();
    if (Repaint) RepaintForms();
  } catch (...) {
    EndSkinChange();
    throw;
  }
  // RepaintForms released the forms; without it they must not stay frozen.
  if (Repaint) EndSkinChange();
}

void TsSkinManager::RepaintForms() {
  Broadcast(KX_STOPFADE);
  if (!IsLoading()) BeginSkinChange();
  try {
    Broadcast(KX_SKINREFRESH, reinterpret_cast<intptr_t>(this));
  } catch (...) {
    EndSkinChange();
    throw;
  }
  if (!IsLoading()) EndSkinChange();
  for (HWND wnd : SubclassedWindows())
    if (::IsWindow(wnd) && ::IsWindowVisible(wnd))
      ::RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_INVALIDATE);
}

void TsSkinManager::RemoveSkin() {
  TkxFlagScope removing(Engine.RemovingSkin);
  HideAllGlows();
  UnInstallHook();
  SkinData().Active = false;
  Broadcast(KX_SKINREMOVED, reinterpret_cast<intptr_t>(this));
  FContent->Clear();
  FContent->Generation = NextSkinGeneration();
  FSkinLoaded = false;
  InitConstantIndexes();
}

void TsSkinManager::UpdateSkin(bool Repaint) {
  if (FActive) ApplySkin(Repaint);
}

void TsSkinManager::BeginUpdate() { Engine.UpdateLocked = true; }

void TsSkinManager::EndUpdate(bool Repaint) {
  Engine.UpdateLocked = false;
  UpdateSkin(true);
  if (Repaint) RepaintForms();
}

void TsSkinManager::UpdateSkinSection(const String& SectionName) {
  Engine.ChangedSection = tk::UpperCaseAscii(SectionName);
  Broadcast(KX_SECTIONCHANGED);
}

void TsSkinManager::BeginSkinChange() {
  if (ApplicationMinimized()) return;
  if (IsDefault() && FAnimEffects.SkinChanging.Active) Engine.SkinChangeAnimating = true;
  for (IkxSkinnedForm* entry : SkinnedForms()) {
    tk::TCustomForm* form = entry->SkinnedForm();
    if (!form || entry->FormSkinManager() != this || !form->HandleAllocated()) continue;
    if (form->Parent() || form->FormStyle() == tk::fsMDIChild) continue;
    if (!::IsWindowVisible(form->Handle()) || ::IsIconic(form->Handle())) continue;
    if (std::find(FFrozen.begin(), FFrozen.end(), entry) != FFrozen.end()) continue;
    FFrozen.push_back(entry);
    entry->SetSkinChanging(true);
    entry->FreezeShadow();
    ::SendMessageW(form->Handle(), WM_SETREDRAW, FALSE, 0);
  }
}

void TsSkinManager::EndSkinChange() {
  Engine.SkinChangeAnimating = false;
  std::vector<IkxSkinnedForm*> frozen;
  frozen.swap(FFrozen);
  const std::vector<IkxSkinnedForm*> live = SkinnedForms();
  for (IkxSkinnedForm* entry : frozen) {
    // A form freed while frozen has left the registry.
    if (std::find(live.begin(), live.end(), entry) == live.end()) continue;
    tk::TCustomForm* form = entry->SkinnedForm();
    if (form && form->HandleAllocated()) {
      ::SendMessageW(form->Handle(), WM_SETREDRAW, TRUE, 0);
      // Redrawing was off: nothing painted meanwhile, so the whole window is due.
      ::RedrawWindow(form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_INVALIDATE);
    }
    entry->SetSkinChanging(false);
    entry->RebuildFrame();
  }
}

// --- Shadows and indexes --------------------------------------------------------------------

void TsSkinManager::InitConstantIndexes() {
  FContent->InitConstantIndexes();
  CheckShadows();
}

void TsSkinManager::CheckShadows() {
  if (!FActive || !FExtendedBorders || !SystemCaps().UpdateLayeredWindow) {
    FFormShadowSize = tk::TRect();
    return;
  }
  TkxShadows s = BuildShadows(*FContent, BuiltinShadow(true), BuiltinShadow(false), DesktopComposition());
  FFormShadowSize = s.Size;
  FShdaTemplate = std::move(s.Active);
  FShdiTemplate = std::move(s.Inactive);
}

// --- Hooks ----------------------------------------------------------------------------------

void TsSkinManager::InstallHook() {
  if (!IsDefault() || FGlobalHookInstalled || gHook) return;
  gHook = ::SetWindowsHookExW(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
  if (gHook) ++gHookCount;
  FGlobalHookInstalled = gHook != nullptr;
}

void TsSkinManager::UnInstallHook() {
  ReleaseMenuWindowAdapters();
  if (FGlobalHookInstalled && gHook) {
    ::UnhookWindowsHookEx(gHook);
    gHook = nullptr;
    --gHookCount;
  }
  ReleaseAdaptedWindows();
  FGlobalHookInstalled = false;
}

void TsSkinManager::HookApplication() {
  if (FAppHooked || !tk::Application) return;
  tk::Application->HookMainWindow(tk::TWindowHook(this, &TsSkinManager::AppWindowHook));
  FAppHooked = true;
}

void TsSkinManager::UnhookApplication() {
  if (!FAppHooked) return;
  if (tk::Application) tk::Application->UnhookMainWindow(tk::TWindowHook(this, &TsSkinManager::AppWindowHook));
  FAppHooked = false;
}

void TsSkinManager::AppWindowHook(tk::TMessage& Message, bool& Handled) {
  if (!FSkinnedPopups) return;
  switch (Message.Msg) {
    case WM_SYSCOMMAND:
      switch (Message.WParam & 0xFFF0) {
        case SC_MINIMIZE: FShowState = saMinimize; break;
        case SC_RESTORE: FShowState = saRestore; break;
        default: FShowState = saIgnore; break;
      }
      break;
    case WM_THEMECHANGED:
      Message.Result = 0;
      Handled = true;
      break;
    case tk::CM_ACTIVATE:
      if (tk::Screen)
        for (int i = tk::Screen->FormCount() - 1; i >= 0; --i) {
          if (i >= tk::Screen->FormCount()) continue;
          tk::TCustomForm* f = tk::Screen->Forms(i);
          if (f->HandleAllocated() && !f->IsDestroying()) SendCommand(f->Handle(), KX_REPAINTNOW);
        }
      break;
    case SM_PAINTMENUITEMBORDER:
      PaintMenuBorderOfItem(Message.LParam);
      Message.Result = 1;
      Handled = true;
      break;
    case SM_PAINTMENUBORDER:
      PaintMenuBorder(reinterpret_cast<HWND>(Message.LParam));
      Message.Result = 1;
      Handled = true;
      break;
  }
}

void TsSkinManager::TrackActiveWindow(HWND Wnd) {
  if (Wnd == FActiveWindow) return;
  HWND previous = FActiveWindow;
  FActiveWindow = Wnd;
  SendCommand(previous, KX_MOUSEOUT, reinterpret_cast<intptr_t>(this));
  SendCommand(Wnd, KX_MOUSEIN, reinterpret_cast<intptr_t>(this));
}

// --- Queries ---------------------------------------------------------------------------------

String TsSkinManager::SkinInfo() const {
  return FContent->SkinData.Active ? tk::FloatToStrDot(FContent->SkinData.Version) : String(L"N/A");
}

std::vector<String> TsSkinManager::GetSkinSections() const {
  return FContent->SkinData.Active ? FContent->GetSkinSections() : std::vector<String>();
}

String TsSkinManager::GetFullSkinDirectory() const { return FullSkinDirectory(FSkinDirectory, ProgramDir()); }

namespace {

String FillSorted(tk::TStrings* List, std::vector<String> Names) {
  const String first = Names.empty() ? String() : Names.front();
  if (List) {
    List->BeginUpdate();
    List->Clear();
    for (const String& n : Names) List->Add(n);
    if (auto* sl = dynamic_cast<tk::TStringList*>(List)) sl->Sort();
    List->EndUpdate();
  }
  return first;
}

}  // namespace

String TsSkinManager::GetSkinNames(tk::TStrings* List, TacSkinTypes SkinType) const {
  std::vector<String> names;
  for (const TsStoredSkin& s : FInternalSkins.List()) names.push_back(s.Name);
  AddExternalSkinNames(GetFullSkinDirectory(), SkinType, names);
  return FillSorted(List, std::move(names));
}

String TsSkinManager::GetExternalSkinNames(tk::TStrings* List, TacSkinTypes SkinType) const {
  std::vector<String> names;
  AddExternalSkinNames(GetFullSkinDirectory(), SkinType, names);
  return FillSorted(List, std::move(names));
}

String TsSkinManager::GetRandomSkin() const {
  tk::TStringList list;
  GetSkinNames(&list, stAllSkins);
  if (list.Count() == 0) return String();
  return list[std::rand() % list.Count()];
}

tk::TColor TsSkinManager::GetGlobalColor() const { return GlobalColorOf(*FContent); }
tk::TColor TsSkinManager::GetGlobalFontColor() const { return GlobalFontColorOf(*FContent); }
tk::TColor TsSkinManager::GetActiveEditColor() const { return ActiveEditColorOf(*FContent); }
tk::TColor TsSkinManager::GetActiveEditFontColor() const { return ActiveEditFontColorOf(*FContent); }
tk::TColor TsSkinManager::GetHighLightColor() const { return HighLightColorOf(*FContent); }
tk::TColor TsSkinManager::GetHighLightFontColor() const { return HighLightFontColorOf(*FContent); }

}  // namespace kx
