// TsCommonData: the skin state that every skinned control, window adapter
// and form provider owns - the section it is painted from, the indexes of
// the skin's pictures it uses, its cache bitmap with the BGChanged dirty
// mark and the key it was built for. Messages reach it through the common
// handler (sCommonHandler.h); it answers its children's background queries
// (sBackgroundQuery.h), and its cache is shown through sCacheToDevice.h.
//
// The owner creates the object, sets COC and calls Loaded from its own
// Loaded; the object owns its cache bitmap, never its owner or manager.
// Nothing here raises: a missing manager, section, owner or parent gives
// the neutral answer (-1 indexes, false, the owner's own colour).
//
// The class runs on Windows only (sCommonData_win.cpp); the rules at the
// end (sCommonData.cpp) are pure and build natively. UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "skin/data/sSkinOptions.h"
#include "skin/framework/kxControlClass.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCacheInfo.h"
#include "toolkit/Controls.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace tk {
class TCustomForm;
}

namespace kx {

class TsSkinManager;

// CtrlSkinState bits.
constexpr uint16_t kxStateContainer = 0x0001;    // flat container, children paint over its colour
constexpr uint16_t kxStateMenuChanged = 0x0400;  // consumed by the form provider on KX_UPDATEENDED
constexpr uint16_t kxStateUpdating = 0x0800;     // between BeginUpdate and EndUpdate

// BGType bits.
constexpr uint16_t kxBGHorizontal = 1;
constexpr uint16_t kxBGVertical = 2;
constexpr uint16_t kxBGTexture = 4;

// clBtnFace as a system colour: what an unskinned control without a colour shows.
constexpr tk::TColor kxSysBtnFace = static_cast<tk::TColor>(0xFF00000F);

// What a cache bitmap was built for; it is shown only while all of it still
// holds (and BGChanged is clear).
struct TkxCacheKey {
  int Width = -1, Height = -1;
  int State = -1;
  uint32_t Generation = 0;  // TsSkinManager::SkinGeneration
  bool operator==(const TkxCacheKey&) const = default;
};

// What TsCommonData needs from a form provider that owns one (a provider is
// no control, so it is reached through this instead).
class IkxCommonDataProvider {
 public:
  virtual tk::TCustomForm* ProviderForm() const = 0;
  // Delivers Message through the provider's own window procedure.
  virtual void ProviderWndProc(tk::TMessage& Message) = 0;
  // The cached title picture no longer fits the section.
  virtual void DropTitleImage() {}
  virtual bool FormIsMDIParent() const { return false; }

 protected:
  ~IkxCommonDataProvider() = default;
};

class TsCommonData;

// The glow effect installs these when the first skin manager is made; until
// then (or where glows cannot be shown) controls simply get no glow.
struct TkxGlowHooks {
  // Frees the glow window GlowID.
  void (*Hide)(int GlowID) = nullptr;
  // Frees every glow window.
  void (*HideAll)() = nullptr;
  // Shows or hides Data's glow after a hover or state change and keeps
  // Data.GlowID; Wnd is the window of an adapter without owner control.
  void (*Update)(TsCommonData& Data, bool Pressed, HWND Wnd) = nullptr;
};
// One definition (in the skin state's unit): an inline variable here was laid
// out with different padding by different units, which the linker warns of.
extern TkxGlowHooks GlowHooks;

class TsCommonData : public tk::TPersistent {
 public:
  TK_CLASS_NAME(TsCommonData)
  // The owner is a control, or a provider implementing IkxCommonDataProvider.
  TsCommonData(tk::TObject* AOwner, bool CreateCacheBmp);
  ~TsCommonData() override;
  TsCommonData(const TsCommonData&) = delete;
  TsCommonData& operator=(const TsCommonData&) = delete;

  // --- Published -------------------------------------------------------------
  const tk::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const tk::String& Value);
  // The manager chosen for this control; null = the default manager.
  TsSkinManager* SkinManager() const { return FSkinManager; }
  void SetSkinManager(TsSkinManager* Value);
  bool ManagerStored() const { return FSkinManager != nullptr; }
  // Manager is going away: a control that chose it falls back to the default.
  void ForgetManager(const TsSkinManager* Manager) {
    if (FSkinManager == Manager) FSkinManager = nullptr;
  }
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool Value);
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool Value);
  // Unless custom, the owner's colour and font colour become Back and Text.
  void TakeColours(tk::TColor Back, tk::TColor Text);

  // --- State -------------------------------------------------------------------
  TsSkinManager* EffectiveManager() const;
  bool Skinned(bool CheckActive = false) const;
  // The section record of SkinIndex, or null.
  const TsGeneralData* Section() const;
  void Loaded();
  void UpdateIndexes();
  void BeginUpdate();
  void EndUpdate(bool Repaint = false);
  bool IsUpdating() const;
  // Writes FUpdating only (KX_SETUPDATING).
  void SetUpdating(bool Value) { FUpdating = Value; }
  bool UpdatingFlag() const { return FUpdating; }
  bool UsesCache() const;
  bool IsActive() const;
  void InitCacheBmp();
  // The effective manager's skin generation, 0 without a manager.
  uint32_t SkinGeneration() const;
  // False once the skin the indexes were resolved in has been replaced or
  // removed: they may point at another skin's sections; UpdateIndexes.
  bool IndexesCurrent() const { return FIndexGeneration == SkinGeneration(); }
  // Indexes -1 for a removed skin (they are current for it).
  void ForgetIndexes();
  // The cache shows State for the owner's present size and skin.
  bool CacheFits(int State) const;
  // Called when the cache has been painted for State: records the key and
  // clears BGChanged.
  void CacheBuilt(int State);
  void Invalidate();
  // Releases the glow shown for this control, if any.
  void HideGlow();
  // Through GlowHooks; nothing while no glow effect is installed.
  void UpdateGlow(bool Pressed, HWND Wnd = nullptr);
  bool RepaintIfMoved() const;
  bool ParentTextured() const;
  // The solid colour the control shows in the normal (or hot) state.
  tk::TColor ControlColor(bool Hot = false, HWND Wnd = nullptr) const;
  // The owner control's Color, a provider's form colour, else button face.
  tk::TColor OwnerColor() const;

  // The container bit (kxStateContainer): recomputed, and with Spread asked
  // of every child too (KX_QUERYSKINSTATE with LParam 1).
  void UpdateSkinState(bool Spread = false);
  bool NeedsOwnCache() const;

  // What lies behind the owner, asked of its parent, and the answer to
  // KX_QUERYBACKGROUND (sBackgroundQuery.h).
  TCacheInfo GetParentCache() const { return kx::GetParentCache(*this); }
  void AnswerBackgroundQuery(TBackgroundQuery& Query, bool Hot = false, HWND Wnd = nullptr) const {
    kx::AnswerBackgroundQuery(*this, Query, Hot, Wnd);
  }

  IkxCommonDataProvider* Provider() const { return FProvider; }

  // --- Fields --------------------------------------------------------------------
  int GlowID = -1;
  int BorderIndex = -1;
  int SkinIndex = -1;
  int Texture = -1;
  int HotTexture = -1;
  void* GraphControl = nullptr;
  bool UrgentPainting = false;
  bool BGChanged = true;
  bool HalfVisible = true;
  tk::TControl* FOwnerControl = nullptr;
  tk::TObject* FOwnerObject = nullptr;
  std::unique_ptr<tk::TBitmap> FCacheBmp;
  HRGN FRegion = nullptr;
  int COC = cocNone;  // TkxControlClass
  bool FFocused = false;
  bool FMouseAbove = false;
  uint16_t CtrlSkinState = 0;
  uint16_t BGType = 0;

 private:
  bool OwnerQuiet() const;  // loading, reading or being destroyed
  void Notify(uint16_t Command, intptr_t LParam);
  void SendToOwner(uint16_t Command);
  tk::TColor ParentColor(HWND Wnd) const;
  // The control whose size the cache takes: the owner, or a provider's form.
  tk::TControl* SizedControl() const;
  TkxCacheKey KeyFor(int State) const;

  tk::String FSkinSection;
  bool FCustomFont = false;
  bool FCustomColor = false;
  bool FUpdating = false;
  TsSkinManager* FSkinManager = nullptr;
  IkxCommonDataProvider* FProvider = nullptr;
  uint32_t FIndexGeneration = 0;
  TkxCacheKey FCacheKey;
};

// --- Pure rules (sCommonData.cpp) -------------------------------------------------

// BGType of a section: how its background varies.
uint16_t BGTypeOf(const TsGeneralData& Section);

// NeedsOwnCache for a valid section: the border mask's widths (0 without a
// mask), and whether the parent keeps no cache of its own (asked only for a
// fully see-through section; null = no owner or parent).
struct TkxCacheNeed {
  int WL = 0, WT = 0, WR = 0, WB = 0;
};
bool NeedsOwnCacheRule(const TsGeneralData& Section, const TkxCacheNeed& Border, const bool* ParentIsFlatContainer);

}  // namespace kx
