// The options file of a skin ("Options.dat") and the records built from it:
// the skin-wide TsSkinData of "GLOBALINFO", one TsGeneralData per section and
// the frequently used indexes of TConstantSkinData.
//
// The options file itself is the toolkit's in-memory INI object (TMemIniFile),
// whose rules are the options file's syntax.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "skin/paint/sGradient.h"
#include "skin/data/sSectionValues.h"
#include "toolkit/Types.h"

namespace tk {
class TMemIniFile;
class TStream;
}  // namespace tk

namespace kx {

using tk::String;
using tk::TColor;

// Lines of the manager's CommonSections property: sections added to every
// skin. Blanks and tabs are removed from every line that does not begin with ";".
std::vector<String> PrepareCommonSections(const std::vector<String>& Lines);

// The common section lines split into sections (empty and ";" lines skipped,
// lines before the first section dropped, a repeated key left out); look-ups
// ignore case.
struct TkxCommonSection {
  struct TKey {
    String Name;
    String Value;
  };
  String Name;
  std::vector<TKey> Keys;
  const TKey* Find(const String& Key) const;
};
std::vector<TkxCommonSection> SplitCommonSections(const std::vector<String>& Lines);

// Largest options file we read: real ones have some tens of kilobytes, and
// the text is held several times over while it is parsed.
constexpr int64_t kxMaxOptionsSize = int64_t(16) << 20;

// The options text of a stream (from its beginning; byte-order marks honoured,
// else ANSI) or of a file; a text above kxMaxOptionsSize raises EkxSkinError.
std::unique_ptr<tk::TMemIniFile> ReadOptions(tk::TStream* Stream);
std::unique_ptr<tk::TMemIniFile> ReadOptionsFile(const String& FileName);

// Every section name of Ini in file order, duplicates included, and the
// key/value pairs of a section in file order (keys without a value left out).
std::vector<String> SectionNames(const tk::TMemIniFile& Ini);
// A key listed twice in a section appears twice, each with its own value;
// look-ups still find the first.
std::vector<TkxCommonSection::TKey> SectionKeys(const tk::TMemIniFile& Ini, const String& Section);

// Every section of Ini (file order, duplicates) with its keys in file order,
// a repeated key only once (its first occurrence, names ignoring case), read
// once for the several passes of a load. Names and values point into
// Ini, which must outlive this; Value is null for a key without a value.
struct TkxOptionKeys {
  struct TEntry {
    const String* Name;
    const String* Value;
  };
  std::vector<String> Names;
  std::vector<std::vector<TEntry>> Keys;  // per entry of Names
};
TkxOptionKeys ReadAllKeys(const tk::TMemIniFile& Ini);

// Skin-wide values of "GLOBALINFO".
struct TsSkinData {
  String SkinPath;
  bool Active = false;
  double Version = 0;
  String Author;
  String Description;
  TColor Shadow1Color = 0;
  int16_t Shadow1Offset = 0;
  int16_t Shadow1Blur = -1;
  int16_t Shadow1Transparency = 0;
  int16_t ExBorderWidth = 4;
  int16_t ExTitleHeight = 30;
  int16_t ExMaxHeight = 0;
  int16_t ExContentOffs = 8;
  int16_t ExCenterOffs = 0;
  int16_t ExDrawMode = 0;
  TColor FXColor = 0;
  TColor BorderColor = 0;
  int16_t BISpacing = 0;
  int16_t BIVAlign = 0;
  int16_t BIRightMargin = 0;
  int16_t BILeftMargin = 0;
  int16_t BITopMargin = 0;
  int16_t BIKeepHUE = 0;
  int16_t BICloseGlow = 0;
  int16_t BICloseGlowMargin = 0;
  int16_t BIMaxGlow = 0;
  int16_t BIMaxGlowMargin = 0;
  int16_t BIMinGlow = 0;
  int16_t BIMinGlowMargin = 0;
};

using TsFontColors = std::array<TColor, 5>;
constexpr TsFontColors kxDefaultFontColors = {0, -1, -1, -1, -1};

// One section's values (a value type, copied by assignment).
struct TsGeneralData : TsSectionValues {
  String ClassName;
  TsFontColors FontColor = kxDefaultFontColors;
  TsFontColors HotFontColor = kxDefaultFontColors;
  String GradientData = L" ";
  TsGradArray GradientArray;
  TsGradArray HotGradientArray;
  uint8_t HotGlowSize = 0;
  uint8_t GlowSize = 0;
  int BorderIndex = 0;
  int ImgTL = -1;
  int ImgTR = -1;
  int ImgBL = -1;
  int ImgBR = -1;
};

// A PARENTCLASS chain longer than this is taken as a cycle: the look-up stops
// and the caller's default (or -1) is the answer.
constexpr int kxMaxInheritDepth = 32;

// Indexes looked up once per skin load; -1 means not present.
struct TConstantSkinData {
  int16_t IndexGLobalInfo = -1;
  int16_t ExBorder = -1;
  int16_t IndexTabTop = -1, IndexTabBottom = -1, IndexTabLeft = -1, IndexTabRight = -1;
  int16_t MaskTabTop = -1, MaskTabBottom = -1, MaskTabLeft = -1, MaskTabRight = -1;
  int16_t IndexScrollTop = -1, IndexScrollBottom = -1, IndexScrollLeft = -1, IndexScrollRight = -1;
  int16_t MaskScrollTop = -1, MaskScrollBottom = -1, MaskScrollLeft = -1, MaskScrollRight = -1;
  int16_t IndexBGScrollTop = -1, IndexBGScrollBottom = -1, IndexBGScrollLeft = -1, IndexBGScrollRight = -1;
  int16_t IndexBGHotScrollTop = -1, IndexBGHotScrollBottom = -1, IndexBGHotScrollLeft = -1, IndexBGHotScrollRight = -1;
  int16_t MaskArrowTop = -1, MaskArrowBottom = -1, MaskArrowLeft = -1, MaskArrowRight = -1;
  int16_t IndexSliderVert = -1, IndexSliderHorz = -1;
  int16_t MaskSliderVert = -1, MaskSliderHorz = -1;
  int16_t MaskSliderGlyphVert = -1, MaskSliderGlyphHorz = -1;
  int16_t ScrollSliderBGHorz = -1, ScrollSliderBGHotHorz = -1;
  int16_t ScrollSliderBGVert = -1, ScrollSliderBGHotVert = -1;
  int16_t IndexScrollBar1H = -1, IndexScrollBar1V = -1, IndexScrollBar2H = -1, IndexScrollBar2V = -1;
  int16_t MaskScrollBar1H = -1, MaskScrollBar1V = -1, MaskScrollBar2H = -1, MaskScrollBar2V = -1;
  int16_t BGScrollBar1H = -1, BGScrollBar1V = -1, BGScrollBar2H = -1, BGScrollBar2V = -1;
  int16_t BGHotScrollBar1H = -1, BGHotScrollBar1V = -1, BGHotScrollBar2H = -1, BGHotScrollBar2V = -1;
  int16_t CheckBoxChecked = -1, CheckBoxUnChecked = -1, CheckBoxGrayed = -1;
  int16_t RadioButtonChecked = -1, RadioButtonUnChecked = -1, RadioButtonGrayed = -1;
  int16_t SmallCheckBoxChecked = -1, SmallCheckBoxUnChecked = -1, SmallCheckBoxGrayed = -1;
  int32_t ComboBtnIndex = -1;
  int32_t ComboBtnBorder = -1;
  int32_t ComboBtnBG = -1, ComboBtnBGHot = -1;
  int32_t ComboGlyph = -1;
};

// The version notice shown (through the notifier) for skins newer than the engine.
extern const wchar_t* const kxNewerSkinMessage;

}  // namespace kx
