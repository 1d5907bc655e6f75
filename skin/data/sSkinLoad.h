// TkxSkinLoad: one skin load. It reads a skin (options with a packed skin's
// pictures or a folder's, a packed skin file, or an internal skin) into a new
// TkxSkinContent and hands it over finished: pictures, skin-wide record,
// sections, common sections, colour adjustment and constant indexes. What
// only matters while loading (the settings, the options' keys, the pixels
// decoded, where problems go) lives here and ends with the load, so the
// content carries no loading state. A load that raises hands nothing over.
// Made for one load (TkxSkinLoad(settings).FromPacked(data)); one thread.
#pragma once

#include <memory>
#include <vector>

#include "skin/data/kxSkinPack.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sStoredSkin.h"

namespace kx {

// What a load needs besides the skin itself (the manager's properties).
struct TkxLoadSettings {
  int HueOffset = 0;
  int Saturation = 0;
  std::vector<String> CommonSections;  // as PrepareCommonSections left them
  // Folder of an unpacked skin with a trailing separator; pictures of a folder
  // skin are read from here. Empty for internal skins.
  String SkinPath;
  // Pixels all pictures of the load may have together.
  int64_t MaxPicturePixels = kxMaxSkinPixels;
};

class TkxSkinLoad {
 public:
  // Problems, when given, collects what the load noticed without stopping.
  explicit TkxSkinLoad(TkxLoadSettings Settings = {}, std::vector<TkxLoadProblem>* Problems = nullptr);
  TkxSkinLoad(const TkxSkinLoad&) = delete;
  TkxSkinLoad& operator=(const TkxSkinLoad&) = delete;

  // Each returns a finished content, or raises and returns nothing.
  // Options with pictures from Packed (a packed skin) or else from
  // Settings.SkinPath (a folder skin).
  std::unique_ptr<TkxSkinContent> FromOptions(const tk::TMemIniFile& Options, const TkxSkinConvertor* Packed);
  // A packed skin file held in Data (for example an internal skin's stream,
  // which is only read). Raises when it holds no options entry.
  std::unique_ptr<TkxSkinContent> FromPacked(tk::TStream* Data);
  // A folder skin: Settings.SkinPath + "Options.dat" and its pictures.
  std::unique_ptr<TkxSkinContent> FromFolder();
  // An internal skin: packed data when it has some (pictures never from a
  // folder), else its stored items.
  std::unique_ptr<TkxSkinContent> FromStored(const TsStoredSkin& Skin);

 private:
  void ReadSkinWide(const tk::TMemIniFile& Options);
  void ReadSkinWide(const TsStoredSkin& Skin);
  // Common sections, colour adjustment, constant indexes; hands the content over.
  std::unique_ptr<TkxSkinContent> Finish();
  void MergeCommonSections();

  TkxLoadSettings FSettings;
  std::vector<TkxLoadProblem>* FProblems;
  std::vector<TkxCommonSection> FCommon;     // the settings' common sections, split once
  std::unique_ptr<TkxSkinContent> FContent;  // the content being built
};

}  // namespace kx
