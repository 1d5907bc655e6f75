// The pictures of a skin: masks (rectangles of the master bitmap or pictures
// of their own) and JPEG patterns, as the options file's value notations
// describe them. Entries live in the skin data's arrays `ma` and `pa` and are
// addressed by position; -1 means none. Owned by the skin data (TkxSkinContent)
// that loaded them; painting code only reads them.
#pragma once

#include <cstdint>
#include <memory>

#include "skin/data/kxJpegReader.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

using tk::String;

class TkxSkinContent;

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

}  // namespace kx
