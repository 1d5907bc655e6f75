// TkxSkinContent: everything of one loaded skin that painting code reads -
// the skin-wide record, the section records `gd`, the constant indexes, the
// masks `ma`, the patterns `pa` and the master bitmap - with the queries on
// them.
//
// The skin manager owns one content object for as long as a skin is applied
// and forwards its queries to it. A load (TkxSkinLoad, sSkinLoad.h) always
// builds a new object and the caller swaps it in only when the load
// succeeded, so a failed load never leaves a half-built skin behind. Between
// loads the object is only read; queries never raise: an invalid index gives
// the neutral answer. UI thread only.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "skin/data/sSkinImages.h"
#include "skin/data/sSkinOptions.h"
#include "skin/data/sStoredSkin.h"
#include "toolkit/Bitmap.h"

namespace kx {

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

  // Section mask indexes (BorderIndex and the corner images) of every section
  // but GLOBALINFO, from ma.
  void InitMaskIndexes();
  // ConstData by name, then InitMaskIndexes. (The manager's CheckShadows follows.)
  void InitConstantIndexes();

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
  template <class Match>
  int SearchWithParents(int SkinIndex, const String& SectionName, const String& PropertyName, Match match) const;

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
};

}  // namespace kx
