// TsSkinManager: the component that owns the application's current skin. It
// decides which skin to load (internal, packed file or folder), loads it into
// a new TkxSkinContent and swaps that in only when the load is complete,
// announces it to every form and control with the engine command message,
// and answers skin-wide questions. The first manager created is the default
// manager, used by every skinned control that names none; it hooks the
// application window and, once a skin is applied, installs a thread-local
// window-creation hook.
//
// The class is Windows-only (sSkinManager_win.cpp); the pure helpers at the
// end of this header (sSkinManager.cpp) build natively. UI thread only.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "skin/data/sSkinLoad.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/Messages.h"
#include "toolkit/StringList.h"
#include "toolkit/WinTypes.h"

namespace kx {

class IkxSkinnedForm;

enum TacSkinTypes : uint8_t { stUnpacked, stPacked, stAllSkins };
enum TacSkinningRule : uint8_t { srStdForms, srStdDialogs, srThirdParty };
using TacSkinningRules = tk::TSet<TacSkinningRule>;
enum TacShowAction : uint8_t { saIgnore, saRestore, saMinimize, saMaximize };
enum TacAnimType : uint8_t { atFading, atAero };
enum TacAnimEvent : uint8_t { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp };
using TacAnimEvents = tk::TSet<TacAnimEvent>;

class TsSkinManager;

// The internal skins of a manager, in the order they were added.
class TsStoredSkins : public tk::TPersistent {
 public:
  TK_CLASS_NAME(TsStoredSkins)
  int Count() const { return static_cast<int>(FItems.size()); }
  TsStoredSkin& Items(int Index) { return FItems.at(Index); }
  const TsStoredSkin& Items(int Index) const { return FItems.at(Index); }
  TsStoredSkin& Add() { return FItems.emplace_back(); }
  void Clear() { FItems.clear(); }
  // The first skin named Name (exact), or null.
  const TsStoredSkin* Find(const String& Name) const;
  const std::vector<TsStoredSkin>& List() const { return FItems; }

 private:
  std::vector<TsStoredSkin> FItems;
};

// One entry of ThirdParty per kind of foreign control, each a list of class
// names one per line (index: 0 ThirdEdits ... 17 ThirdSpeedButton).
constexpr int kxThirdPartyCount = 18;
using TkxThirdPartyList = std::array<String, kxThirdPartyCount>;
// The defaults: "TButton" for the buttons, a single blank (an empty list that
// still counts as set) for every other entry.
TkxThirdPartyList DefaultThirdParty();

class TkxMenuSupport : public tk::TPersistent {
 public:
  TK_CLASS_NAME(TkxMenuSupport)
  String IcoLineSkin;
  bool UseExtraLine = false;
  int ExtraLineWidth = 32;
  tk::TFont ExtraLineFont;
};

struct TkxAnimSetting {
  bool Active = true;
  int Time = 0;
  TacAnimType Mode = atAero;
};

class TkxAnimEffects : public tk::TPersistent {
 public:
  TK_CLASS_NAME(TkxAnimEffects)
  struct {
    TacAnimEvents Events{aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp};
    TsSkinManager* Manager = nullptr;
  } Buttons;
  TkxAnimSetting DialogShow, FormShow, FormHide, DialogHide, PageChange;
  TkxAnimSetting SkinChanging{true, 100, atFading};
};

class TsSkinManager : public tk::TComponent {
 public:
  TK_CLASS_NAME(TsSkinManager)
  explicit TsSkinManager(tk::TComponent* AOwner);
  ~TsSkinManager() override;
  void AfterConstruction() override;
  void Loaded() override;

  // --- Published properties ------------------------------------------------
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  const String& SkinName() const { return FSkinName; }
  // The central sequence: load (packed file, folder or internal skin) and,
  // unless loading or inside BeginUpdate, apply. A load that fails raises to
  // the caller and leaves the skin applied before, and its name, in place.
  void SetSkinName(const String& Value);
  const String& SkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const String& Value);
  TsStoredSkins* InternalSkins() { return &FInternalSkins; }
  // The collection is filled by the window description or by adding items;
  // assigning another one changes nothing.
  void SetInternalSkins(const TsStoredSkins*) {}
  bool ExtendedBorders() const { return FExtendedBorders; }
  void SetExtendedBorders(bool Value);
  bool SkinnedPopups() const { return FSkinnedPopups; }
  void SetSkinnedPopups(bool Value);
  bool AllowGlowing() const { return FAllowGlowing; }
  void SetAllowGlowing(bool Value) { FAllowGlowing = Value; }
  bool IsDefault() const;
  void SetIsDefault(bool Value);
  int HueOffset() const { return FHueOffset; }
  void SetHueOffset(int Value);
  int Saturation() const { return FSaturation; }
  void SetSaturation(int Value);
  // The lines as stored: blanks and tabs removed outside ";" comment lines.
  const std::vector<String>& CommonSections() const { return FCommonSections; }
  void SetCommonSections(const std::vector<String>& Value);
  TacSkinningRules SkinningRules() const { return FSkinningRules; }
  void SetSkinningRules(TacSkinningRules Value);
  const TkxThirdPartyList& ThirdParty() const { return FThirdParty; }
  // Takes effect at once outside loading (Loaded reads them otherwise).
  void SetThirdParty(const TkxThirdPartyList& Value) {
    FThirdParty = Value;
    if (!IsLoading()) FillThirdParty();
  }
  TkxMenuSupport* MenuSupport() { return &FMenuSupport; }
  TkxAnimEffects* AnimEffects() { return &FAnimEffects; }
  // "N/A" while no skin is applied, else the skin's version with a ".".
  String SkinInfo() const;
  String Version() const { return L"6.65"; }

  tk::TNotifyEvent OnBeforeChange;
  tk::TNotifyEvent OnAfterChange;
  // (first item, var section, var has extra line, var glyph, var text)
  tk::TEvent<tk::TObject*, String&, bool&, tk::TBitmap*&, String&> OnGetMenuExtraLineData;

  // --- Public state ----------------------------------------------------------
  TkxSkinContent& Content() { return *FContent; }
  const TkxSkinContent& Content() const { return *FContent; }
  // Changes whenever a skin is swapped in or removed (Content().Generation).
  uint32_t SkinGeneration() const { return FContent->Generation; }
  TsSkinData& SkinData() { return FContent->SkinData; }
  std::vector<TsGeneralData>& gd() { return FContent->gd; }
  TConstantSkinData& ConstData() { return FContent->ConstData; }
  std::vector<TsMaskData>& ma() { return FContent->ma; }
  std::vector<TsPatternData>& pa() { return FContent->pa; }
  tk::TBitmap* MasterBitmap() { return FContent->MasterBitmap.get(); }
  bool SkinIsPacked() const { return FContent->SkinIsPacked; }
  tk::TBitmap* ShdaTemplate() { return FShdaTemplate.get(); }
  tk::TBitmap* ShdiTemplate() { return FShdiTemplate.get(); }
  tk::TRect FormShadowSize() const { return FFormShadowSize; }
  const std::array<std::vector<String>, kxThirdPartyCount>& ThirdLists() const { return FThirdLists; }
  bool GlobalHookInstalled() const { return FGlobalHookInstalled; }
  TacShowAction ShowState() const { return FShowState; }
  HWND ActiveWindow() const { return FActiveWindow; }

  // --- Operations -------------------------------------------------------------
  void ReloadSkin();
  void ReloadPackedSkin();
  void ApplySkin(bool Repaint = true);
  void RemoveSkin();
  void RepaintForms();
  void UpdateSkin(bool Repaint = true);
  void BeginUpdate();
  void EndUpdate(bool Repaint = false);
  void UpdateSkinSection(const String& SectionName);
  void InstallHook();
  void UnInstallHook();
  void CheckShadows();
  void InitConstantIndexes();
  void TrackActiveWindow(HWND Wnd);
  void BeginSkinChange();
  void EndSkinChange();

  // --- Queries ----------------------------------------------------------------
  int GetSkinIndex(const String& SectionName) const { return FContent->GetSkinIndex(SectionName); }
  bool IsValidSkinIndex(int Index) const { return FContent->IsValidSkinIndex(Index); }
  bool IsValidImgIndex(int Index) const { return FContent->IsValidImgIndex(Index); }
  // Every section name while a skin is applied, else nothing.
  std::vector<String> GetSkinSections() const;
  String GetFullSkinDirectory() const;
  // Fills List (sorted) and returns the first name found (empty: none).
  String GetSkinNames(tk::TStrings* List, TacSkinTypes SkinType = stAllSkins) const;
  String GetExternalSkinNames(tk::TStrings* List, TacSkinTypes SkinType = stAllSkins) const;
  String GetRandomSkin() const;
  tk::TColor GetGlobalColor() const;
  tk::TColor GetGlobalFontColor() const;
  tk::TColor GetActiveEditColor() const;
  tk::TColor GetActiveEditFontColor() const;
  tk::TColor GetHighLightColor() const;
  tk::TColor GetHighLightFontColor() const;

 private:
  TkxLoadSettings LoadSettings(const String& SkinPath) const;
  // Loads into a new content object and swaps it in when complete.
  void Swap(std::unique_ptr<TkxSkinContent> Loaded);
  bool PackedFileExists() const;
  void Reload();
  template <class T>
  void ReloadFor(T& Field, T Value, bool Borders);
  void UpdateDialogRule();
  void FillThirdParty();
  void HookApplication();
  void UnhookApplication();
  void AppWindowHook(tk::TMessage& Message, bool& Handled);
  void DefaultSkinDirectory();

  // Forms frozen by BeginSkinChange, released by EndSkinChange.
  std::vector<IkxSkinnedForm*> FFrozen;

  bool FActive = true;
  String FSkinName;
  String FSkinDirectory;
  TsStoredSkins FInternalSkins;
  bool FExtendedBorders = false;
  bool FSkinnedPopups = true;
  bool FAllowGlowing = true;
  int FHueOffset = 0;
  int FSaturation = 0;
  std::vector<String> FCommonSections;
  TacSkinningRules FSkinningRules{srStdForms, srStdDialogs, srThirdParty};
  TkxThirdPartyList FThirdParty;
  TkxMenuSupport FMenuSupport;
  TkxAnimEffects FAnimEffects;

  std::unique_ptr<TkxSkinContent> FContent = std::make_unique<TkxSkinContent>();
  // A load put FContent in place; RemoveSkin empties it again.
  bool FSkinLoaded = false;
  std::unique_ptr<tk::TBitmap> FShdaTemplate, FShdiTemplate;
  tk::TRect FFormShadowSize;
  std::array<std::vector<String>, kxThirdPartyCount> FThirdLists;
  bool FGlobalHookInstalled = false;
  bool FAppHooked = false;
  TacShowAction FShowState = saIgnore;
  HWND FActiveWindow = nullptr;
};

// The application's default skin manager (null while there is none).
TsSkinManager* DefaultManager();

// Engine start-up, once per process before any form is created (later calls
// do nothing): the command message, the system capabilities, the built-in
// shadow pictures from the resources "kxSHDA" and "kxSHDI", the message box
// notifier and, for a "/kxver" parameter in any case, the version box.
void InitializeEngine();
// The built-in shadow pictures (null when the resources were missing).
const tk::TBitmap* BuiltinShadow(bool ActiveWindow);
// Thread-local window hooks installed by managers now (0 or 1).
int InstalledWindowHooks();

// --- Pure helpers (sSkinManager.cpp) -----------------------------------------

// GetFullSkinDirectory's rules; ProgramDir ends with a separator.
String FullSkinDirectory(const String& SkinDirectory, const String& ProgramDir);
// Appends the skins found in Dir (unsorted, in the order of the directory):
// folders holding "Options.dat" and files with the extension ".kxz", the
// latter named by the part before the first ".".
void AddExternalSkinNames(const String& Dir, TacSkinTypes SkinType, std::vector<String>& Names);
// The packed skin name of a file name, or empty when it is no ".kxz".
String PackedSkinName(const String& FileName);

// CheckShadows for an applied skin: the shadow margins and the two templates,
// from the skin's "EXBORDER" mask or else from the built-in pictures.
struct TkxShadows {
  tk::TRect Size;
  std::unique_ptr<tk::TBitmap> Active, Inactive;
};
TkxShadows BuildShadows(const TkxSkinContent& Content, const tk::TBitmap* BuiltinActive,
                        const tk::TBitmap* BuiltinInactive, bool Composition);

// The colour queries of the manager, on a skin content.
tk::TColor GlobalColorOf(const TkxSkinContent& c);
tk::TColor GlobalFontColorOf(const TkxSkinContent& c);
tk::TColor ActiveEditColorOf(const TkxSkinContent& c);
tk::TColor ActiveEditFontColorOf(const TkxSkinContent& c);
tk::TColor HighLightColorOf(const TkxSkinContent& c);
tk::TColor HighLightFontColorOf(const TkxSkinContent& c);

}  // namespace kx
