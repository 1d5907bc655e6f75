// TsSkinManager: the component that owns the application's skin. The first
// one created is the default manager, used by every control that names none.
// UI thread only.
#pragma once

#include "toolkit/Classes.h"

namespace kx {

class TsSkinManager : public tk::TComponent {
 public:
  TK_CLASS_NAME(TsSkinManager)
  explicit TsSkinManager(tk::TComponent* AOwner);
  ~TsSkinManager() override;
  void AfterConstruction() override;
  void Loaded() override;

  bool Active() const { return FActive; }
  void SetActive(bool v) { FActive = v; }
  const tk::String& SkinName() const { return FSkinName; }
  void SetSkinName(const tk::String& v) { FSkinName = v; }
  // Where external skins live; "c:\Skins" when left empty.
  const tk::String& SkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const tk::String& v) { FSkinDirectory = v; }
  bool ExtendedBorders() const { return FExtendedBorders; }
  void SetExtendedBorders(bool v) { FExtendedBorders = v; }
  bool SkinnedPopups() const { return FSkinnedPopups; }
  void SetSkinnedPopups(bool v) { FSkinnedPopups = v; }
  bool AllowGlowing() const { return FAllowGlowing; }
  void SetAllowGlowing(bool v) { FAllowGlowing = v; }
  bool IsDefault() const;

 private:
  void DefaultSkinDirectory();

  bool FActive = true;
  tk::String FSkinName;
  tk::String FSkinDirectory;
  bool FExtendedBorders = false;
  bool FSkinnedPopups = true;
  bool FAllowGlowing = true;
};

// The application's default skin manager (null while there is none).
TsSkinManager* DefaultManager();

}  // namespace kx
