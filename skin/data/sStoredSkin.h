// A skin stored inside the program (an internal skin): either packed (Data
// holds a packed skin file byte for byte) or stored item by item (section
// records, pictures and patterns). Plain values owned by the skin manager's
// internal skin list; the skin data reads them while loading and copies what
// it keeps.
#pragma once

#include <memory>
#include <vector>

#include "skin/data/kxJpegReader.h"
#include "skin/data/sSectionValues.h"
#include "skin/framework/kxColors.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Streams.h"
#include "toolkit/Types.h"

namespace tk {
class TMemIniFile;
}

namespace kx {

using tk::String;
using tk::TColor;

// One section, with the meaning of the options file's keys.
struct TsSkinGeneral : TsSectionValues {
  String SectionName;
  String GradientData;
  int HotGlowSize = 0;
  int GlowSize = 0;
  // Five integers separated by blanks, in the order of the keys FONTCOLOR,
  // TCLEFT, TCTOP, TCRIGHT, TCBOTTOM (and their HOT forms).
  String FontColor;
  String HotFontColor;
};

// One picture: its own Image when Name is not empty, else a rectangle of the
// stored skin's master bitmap.
struct TsSkinImage {
  String Name;
  String SectionName;
  String PropertyName;
  std::shared_ptr<tk::TBitmap> Image;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int ImageCount = 1;
  int MaskType = 0;
  int BorderWidth = 0;
  int StretchMode = 0;
  int ImgType = 0;
  int WL = 0, WT = 0, WR = 0, WB = 0;
};

struct TsSkinPattern {
  String Name;
  String SectionName;
  String PropertyName;
  std::shared_ptr<TkxJpegImage> Image;  // may be shared with another item of the same Name
};

struct TsStoredSkin {
  String Name;
  std::vector<TsSkinGeneral> GeneralData;
  std::vector<TsSkinImage> Images;
  std::vector<TsSkinPattern> Patterns;
  std::shared_ptr<tk::TBitmap> MasterBitmap;
  TColor Shadow1Color = 0;
  int Shadow1Offset = 0;
  int Shadow1Blur = -1;
  int Shadow1Transparency = 0;
  TColor BorderColor = kxKeyColor;
  double Version = 0;
  String Author;
  String Description;
  // The binary property "Data": a packed skin file, empty for an item-by-item skin.
  std::shared_ptr<tk::TMemoryStream> PackedData;

  bool IsPacked() const { return PackedData && PackedData->Size() > 0; }
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
