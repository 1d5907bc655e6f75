// The pictures of a skin: masks (rectangles of the master bitmap or pictures
// of their own) and JPEG patterns, as the options file's value notations
// describe them, and the load passes that read them. Entries live in the skin
// data's arrays `ma` and `pa` and are addressed by position; -1 means none.
// Owned by the skin data (TkxSkinContent) that loaded them; painting code only
// reads them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "skin/data/kxJpegReader.h"
#include "skin/data/sSkinOptions.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

using tk::String;

class TkxSkinContent;
class TkxSkinConvertor;
struct TsStoredSkin;

enum TkxImgType : uint8_t { itisaBorder = 0, itisaTexture = 1, itisaGlyph = 2, itisaGlow = 3, itisaPngGlyph = 4 };

struct TsMaskData {
  std::unique_ptr<tk::TBitmap> Bmp;  // own picture; null for a rectangle of MasterBitmap
  String ClassName;
  String PropertyName;
  tk::TRect R;  // inside MasterBitmap, or (0, 0, width, height) of Bmp
  int16_t ImageCount = 0;
  int16_t MaskType = 0;
  int16_t BorderWidth = 0;
  int16_t DrawMode = 0;
  TkxImgType ImgType = itisaBorder;
  // The skin data that owns the entry; MasterBitmap is reached through it.
  const TkxSkinContent* Manager = nullptr;
  int16_t WL = 0, WT = 0, WR = 0, WB = 0;
};

// TsMaskData::DrawMode of a border, bits: its side pieces stretched instead
// of tiled, no border in the normal state, the centre piece filled too.
enum : int16_t { bdmStretch = 1, bdmNoNormalBorder = 2, bdmFillCentre = 4 };
// TsMaskData::DrawMode of a texture: the whole rectangle tiled or stretched,
// a strip tiled or stretched along one edge (the rest left to the caller),
// or only whole tiles. Any other value tiles a strip along the right edge.
enum : int16_t {
  tdmTile = 0,
  tdmStretch = 1,
  tdmTileTop = 2,
  tdmTileLeft = 3,
  tdmStretchTop = 4,
  tdmStretchLeft = 5,
  tdmTileBottom = 6,
  tdmWholeTiles = 10,
};

// The size of one state picture of a mask: width(R) div ImageCount, height(R)
// div (MaskType + 1); 0 x 0 when either count could not divide.
tk::TSize MaskFrameSize(const TsMaskData& Mask);

struct TsPatternData {
  std::unique_ptr<TkxJpegImage> Img;
  String ClassName;     // upper-cased
  String PropertyName;  // upper-cased
};

// All pictures one load may decode, in pixels (a picture named by many keys
// counts each time): a small file must not make the load take gigabytes.
constexpr int64_t kxMaxSkinPixels = int64_t(96) * 1024 * 1024;

// Something a load noticed that does not stop it (for the skin tool's check).
struct TkxLoadProblem {
  String Section;
  String Key;
  String Text;
};

// What the picture passes of one load share: where pictures come from (the
// image entries of Packed, or else files under SkinPath, which ends with a
// separator), the pixels decoded so far and where problems go (not owned).
struct TkxPictureLoad {
  const TkxSkinConvertor* Packed = nullptr;
  String SkinPath;
  int64_t MaxPixels = kxMaxSkinPixels;
  int64_t DecodedPixels = 0;
  std::vector<TkxLoadProblem>* Problems = nullptr;

  void Problem(const String& Section, const String& Key, const String& Text) const;
};

// The passes fill Content's MasterBitmap and ma, or pa, from the start. From
// options: every key of Keys (a damaged picture or a bad number raises), then
// the older notations of the common sections.
void LoadAllMasks(TkxSkinContent& Content, TkxPictureLoad& Load, const tk::TMemIniFile& Options,
                  const TkxOptionKeys& Keys, const std::vector<TkxCommonSection>& Common);
void LoadAllPatterns(TkxSkinContent& Content, TkxPictureLoad& Load, const TkxOptionKeys& Keys,
                     const std::vector<TkxCommonSection>& Common);
// From an internal skin's stored items.
void LoadAllMasks(TkxSkinContent& Content, const TsStoredSkin& Skin);
void LoadAllPatterns(TkxSkinContent& Content, const TsStoredSkin& Skin);

}  // namespace kx
