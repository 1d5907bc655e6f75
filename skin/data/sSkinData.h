// TkxSkinContent: everything of one loaded skin that painting code reads -
// the skin-wide record, the section records `gd`, the constant indexes, the
// masks `ma`, the patterns `pa` and the master bitmap - with the load and
// query operations on them.
//
// The skin manager owns one content object for as long as a skin is applied
// and forwards its queries to it. A load always builds a new object (Load*
// below) and the caller swaps it in only when the load succeeded, so a failed
// load never leaves a half-built skin behind. Between loads the object is only
// read; queries never raise: an invalid index gives the neutral answer. UI
// thread only.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "skin/data/kxSkinPack.h"
#include "skin/data/sSkinImages.h"
#include "skin/data/sSkinOptions.h"
#include "skin/data/sStoredSkin.h"
#include "toolkit/Bitmap.h"

namespace kx {

// A PARENTCLASS chain longer than this is taken as a cycle: the look-up stops
// and the caller's default (or -1) is the answer.
constexpr int kxMaxInheritDepth = 32;
// All pictures one load may decode, in pixels (a picture named by many keys
// counts each time): a small file must not make the load take gigabytes.
constexpr int64_t kxMaxSkinPixels = int64_t(96) * 1024 * 1024;

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

// Something a load noticed that does not stop it (for the skin tool's check).
struct TkxLoadProblem {
  String Section;
  String Key;
  String Text;
};

class TkxSkinContent {
 public:
  TkxSkinContent() = default;
  TkxSkinContent(const TkxSkinContent&) = delete;
  TkxSkinContent& operator=(const TkxSkinContent&) = delete;

  TsSkinData SkinData;
  std::vector<TsGeneralData> gd;
  TConstantSkinData ConstData;
  std::vector<TsMaskData> ma;
  std::vector<TsPatternData> pa;
  std::unique_ptr<tk::TBitmap> MasterBitmap;
  bool SkinIsPacked = false;
  // Which skin this is: the manager gives every content it puts in place
  // (or empties) a new number, so indexes and caches made from an earlier
  // skin can be told apart. 0 = never put in place.
  uint32_t Generation = 0;
  // Optional sink for the problems a load notices; not owned.
  std::vector<TkxLoadProblem>* Problems = nullptr;

  // --- Whole loads: a new object, or an exception and nothing ----------------
  // Options with pictures from Packed (a packed skin) or else from
  // Settings.SkinPath (a folder skin).
  static std::unique_ptr<TkxSkinContent> Load(const tk::TMemIniFile& Options, const TkxSkinConvertor* Packed,
                                              const TkxLoadSettings& Settings,
                                              std::vector<TkxLoadProblem>* Problems = nullptr);
  // A packed skin file held in Data (for example an internal skin's stream,
  // which is only read). Raises when it holds no options entry.
  static std::unique_ptr<TkxSkinContent> LoadPacked(tk::TStream* Data, const TkxLoadSettings& Settings,
                                                    std::vector<TkxLoadProblem>* Problems = nullptr);
  // A folder skin: Settings.SkinPath + "Options.dat" and its pictures.
  static std::unique_ptr<TkxSkinContent> LoadFolder(const TkxLoadSettings& Settings,
                                                    std::vector<TkxLoadProblem>* Problems = nullptr);
  // An internal skin: packed data when it has some, else its stored items.
  static std::unique_ptr<TkxSkinContent> LoadStored(const TsStoredSkin& Skin, const TkxLoadSettings& Settings,
                                                    std::vector<TkxLoadProblem>* Problems = nullptr);

  // --- The steps of a load, in the order a load runs them --------------------
  void LoadAllMasks(const tk::TMemIniFile& Options, const TkxSkinConvertor* Packed, const TkxLoadSettings& Settings);
  void LoadAllMasks(const TsStoredSkin& Skin);
  void LoadAllPatterns(const tk::TMemIniFile& Options, const TkxSkinConvertor* Packed, const TkxLoadSettings& Settings);
  void LoadAllPatterns(const TsStoredSkin& Skin);
  // Skin-wide record, version notice, sections, common sections, mask
  // indexes of the sections, then the hue and saturation of the settings.
  void LoadAllGeneralData(const tk::TMemIniFile& Options, const TkxLoadSettings& Settings);
  void LoadAllGeneralData(const TsStoredSkin& Skin, const TkxLoadSettings& Settings);
  void InitMaskIndexes();
  // ConstData by name, then InitMaskIndexes. (The manager's CheckShadows follows.)
  void InitConstantIndexes();
  void CheckVersion() const;
  // Hue first, then saturation; each only when not 0.
  void ApplyColorAdjustment(int HueOffset, int Saturation);

  // Releases everything: no sections, masks or patterns, all indexes -1.
  void Clear();

  // --- Queries -------------------------------------------------------------
  int GetSkinIndex(const String& SectionName) const;
  bool IsValidSkinIndex(int Index) const { return Index >= 0 && Index < static_cast<int>(gd.size()); }
  std::vector<String> GetSkinSections() const;

  int GetMaskIndex(int SkinIndex, const String& SectionName, const String& PropertyName) const;
  int GetMaskIndex(const String& SectionName, const String& PropertyName) const;
  int GetTextureIndex(int SkinIndex, const String& SectionName, const String& PropertyName) const;
  int GetPatternIndex(int SkinIndex, const String& SectionName, const String& PropertyName) const noexcept;
  bool IsValidImgIndex(int Index) const { return Index >= 0 && Index < static_cast<int>(ma.size()); }
  tk::TSize MaskSize(int MaskIndex) const;
  int MaskWidthLeft(int MaskIndex) const;
  int MaskWidthTop(int MaskIndex) const;
  int MaskWidthRight(int MaskIndex) const;
  int MaskWidthBottom(int MaskIndex) const;

 private:
  friend class TkxMaskBuilder;
  template <class Match>
  int SearchWithParents(int SkinIndex, const String& SectionName, const String& PropertyName, Match match) const;
  void Problem(const String& Section, const String& Key, const String& Text) const;
  void MergeCommonSections(const TkxLoadSettings& Settings);
  void FinishGeneralData(const TkxLoadSettings& Settings);

  // The options' keys while Load runs, shared by its passes.
  const TkxOptionKeys* FKeys = nullptr;
  // Set while a whole load runs: its InitConstantIndexes sets the section
  // mask indexes right after LoadAllGeneralData would, to the same values.
  bool FWholeLoad = false;
  // Look-up indexes, rebuilt when their array changed size (ma and gd are
  // only changed by loads). Hashed, because a skin's sections and keys come
  // from its author: linear searches per section would make a load of a
  // large options file quadratic.
  // GetMaskIndex: section name -> key name -> first mask of that name.
  mutable std::unordered_map<String, std::unordered_map<String, int>> FMaskIndex;
  mutable size_t FMaskIndexCount = size_t(-1);
  // GetSkinIndex: section name -> first section of that name.
  mutable std::unordered_map<String, int> FSkinIndex;
  mutable const TsGeneralData* FSkinIndexData = nullptr;
  mutable size_t FSkinIndexCount = size_t(-1);
  // Pixels decoded by the load so far; see kxMaxSkinPixels.
  int64_t FDecodedPixels = 0;
};

// Writes the section items of an internal skin into Ini (the caller saves it);
// the second form takes the skin by its index, an invalid one writes nothing.
void SaveToIni(const TsStoredSkin& Skin, tk::TMemIniFile& Ini);
void SaveToIni(const std::vector<TsStoredSkin>& Skins, int Index, tk::TMemIniFile& Ini);

// Writes an internal skin's packed data to Dir + its name + " extracted.kxz",
// creating Dir when needed; problems go to the notifier, nothing is raised.
void ExtractByIndex(const std::vector<TsStoredSkin>& Skins, int Index, const String& Dir);
// Every internal skin named Name (exact) is extracted to Dir.
void ExtractInternalSkin(const std::vector<TsStoredSkin>& Skins, const String& Name, const String& Dir);

}  // namespace kx
