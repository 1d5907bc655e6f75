// The keys of a section: one table saying, for every key an options file may
// give a section, which member of the live record (TsGeneralData) and of an
// internal skin's stored item (TsSkinGeneral) holds it, its default and how
// it is read. The options load, the stored-item load, the merge of common
// sections and SaveToIni all walk this table, so a key is added here alone.
//
// Both records stay: the stored item is what an internal skin keeps (its font
// colours as one text of five words, its glow sizes as plain integers, which
// SaveToIni writes back as they are), the live record what painting reads;
// the values they hold alike are declared once, in TsSectionValues.
// The table is constant; the functions below build or write records and are
// safe on any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <vector>

#include "skin/data/sSkinOptions.h"
#include "skin/data/sStoredSkin.h"

namespace tk {
class TMemIniFile;
}

namespace kx {

enum class TkxKeyKind : uint8_t { Parent, Number, Flag, Text, FontColor };

// "PARENTCLASS": read as written, never through the chain it defines.
struct TkxParentKey {
  static constexpr TkxKeyKind Kind = TkxKeyKind::Parent;
  const wchar_t* Name;
  String TsGeneralData::*Field;
  String TsSkinGeneral::*Item;
};

// An integer (or colour) read through the PARENTCLASS chain; -1 counts as absent.
template <class TField, class TItem>
struct TkxNumberKey {
  static constexpr TkxKeyKind Kind = TkxKeyKind::Number;
  const wchar_t* Name;
  TField TsGeneralData::*Field;
  TItem TsSkinGeneral::*Item;
  int Default;
  // The options load resolves system colour codes; common sections and
  // stored items keep colours as given.
  bool ToRGB;
  // In a common section a missing key reads 0 (so the base's value is not
  // taken); only a written -1 takes it.
  bool ZeroWhenMissing;
};

// "TRUE" in any case is true; anything else, and a missing key, false.
struct TkxFlagKey {
  static constexpr TkxKeyKind Kind = TkxKeyKind::Flag;
  const wchar_t* Name;
  bool TsGeneralData::*Field;
  bool TsSkinGeneral::*Item;
};

// Text read through the chain; "?" counts as absent.
struct TkxTextKey {
  static constexpr TkxKeyKind Kind = TkxKeyKind::Text;
  const wchar_t* Name;
  String TsGeneralData::*Field;
  String TsSkinGeneral::*Item;
  const wchar_t* Default;
};

// One of the five colours of a font-colour array (an integer key); the
// stored item holds all five as blank-separated words, Word picks this one.
struct TkxFontColorKey {
  static constexpr TkxKeyKind Kind = TkxKeyKind::FontColor;
  const wchar_t* Name;
  TsFontColors TsGeneralData::*Field;
  String TsSkinGeneral::*Item;
  int Word;
};

// The rows of the table. A colour defaults to white and is resolved to RGB by
// the options load; a zeroed number reads 0 when a common section lacks it.
namespace schema {
template <class TField, class TItem, class TG, class TI>
constexpr TkxNumberKey<TField, TItem> Number(const wchar_t* Name, TField TG::*Field, TItem TI::*Item, int Default) {
  return {Name, Field, Item, Default, false, false};
}
template <class TField, class TItem, class TG, class TI>
constexpr TkxNumberKey<TField, TItem> Colour(const wchar_t* Name, TField TG::*Field, TItem TI::*Item) {
  return {Name, Field, Item, 0xFFFFFF, true, false};
}
template <class TField, class TItem, class TG, class TI>
constexpr TkxNumberKey<TField, TItem> ZeroedNumber(const wchar_t* Name, TField TG::*Field, TItem TI::*Item) {
  return {Name, Field, Item, 0, false, true};
}
constexpr TkxFlagKey Flag(const wchar_t* Name, bool TsGeneralData::*Field, bool TsSkinGeneral::*Item) {
  return {Name, Field, Item};
}

using G = TsGeneralData;
using I = TsSkinGeneral;

inline constexpr auto Keys = std::make_tuple(
    TkxParentKey{L"PARENTCLASS", &G::ParentClass, &I::ParentClass}, Colour(L"COLOR", &G::Color, &I::Color),
    Flag(L"RESERVEDBOOLEAN", &G::ReservedBoolean, &I::ReservedBoolean),
    Flag(L"GIVEOWNFONT", &G::GiveOwnFont, &I::GiveOwnFont), ZeroedNumber(L"GLOW", &G::GlowCount, &I::GlowCount),
    ZeroedNumber(L"GLOWMARGIN", &G::GlowMargin, &I::GlowMargin),
    TkxFontColorKey{L"FONTCOLOR", &G::FontColor, &I::FontColor, 0},
    TkxFontColorKey{L"TCLEFT", &G::FontColor, &I::FontColor, 1},
    TkxFontColorKey{L"TCTOP", &G::FontColor, &I::FontColor, 2},
    TkxFontColorKey{L"TCRIGHT", &G::FontColor, &I::FontColor, 3},
    TkxFontColorKey{L"TCBOTTOM", &G::FontColor, &I::FontColor, 4},
    TkxFontColorKey{L"HOTFONTCOLOR", &G::HotFontColor, &I::HotFontColor, 0},
    TkxFontColorKey{L"HOTTCLEFT", &G::HotFontColor, &I::HotFontColor, 1},
    TkxFontColorKey{L"HOTTCTOP", &G::HotFontColor, &I::HotFontColor, 2},
    TkxFontColorKey{L"HOTTCRIGHT", &G::HotFontColor, &I::HotFontColor, 3},
    TkxFontColorKey{L"HOTTCBOTTOM", &G::HotFontColor, &I::HotFontColor, 4},
    Number(L"TRANSPARENCY", &G::Transparency, &I::Transparency, 0),
    Number(L"GRADIENTPERCENT", &G::GradientPercent, &I::GradientPercent, 0),
    Number(L"IMAGEPERCENT", &G::ImagePercent, &I::ImagePercent, 0),
    TkxTextKey{L"GRADIENTDATA", &G::GradientData, &I::GradientData, L" "},
    Flag(L"SHOWFOCUS", &G::ShowFocus, &I::ShowFocus), Flag(L"FADINGENABLED", &G::FadingEnabled, &I::FadingEnabled),
    Number(L"FADINGITERATIONS", &G::FadingIterations, &I::FadingIterations, 5),
    // The hot background colour keeps a system colour code as it is.
    Number(L"HOTCOLOR", &G::HotColor, &I::HotColor, 0xFFFFFF),
    Number(L"HOTTRANSPARENCY", &G::HotTransparency, &I::HotTransparency, 0),
    Number(L"HOTGRADIENTPERCENT", &G::HotGradientPercent, &I::HotGradientPercent, 0),
    TkxTextKey{L"HOTGRADIENTDATA", &G::HotGradientData, &I::HotGradientData, L""},
    Number(L"HOTIMAGEPERCENT", &G::HotImagePercent, &I::HotImagePercent, 0),
    Colour(L"HGCOL", &G::HotGlowColor, &I::HotGlowColor), Colour(L"GCOL", &G::GlowColor, &I::GlowColor),
    ZeroedNumber(L"HGSIZE", &G::HotGlowSize, &I::HotGlowSize), ZeroedNumber(L"GSIZE", &G::GlowSize, &I::GlowSize));
}  // namespace schema

// In the order SaveToIni writes the keys; the loads read each key on its own,
// so the order means nothing to them.
inline constexpr const auto& kxSectionKeys = schema::Keys;

constexpr size_t kxSectionKeyCount = std::tuple_size_v<std::remove_cvref_t<decltype(kxSectionKeys)>>;

// Calls Visit(key, position) for every key of the table, in table order.
template <class Visit>
constexpr void ForEachSectionKey(Visit&& visit) {
  std::apply(
      [&](const auto&... key) {
    size_t at = 0;
    (visit(key, at++), ...);
      },
      kxSectionKeys);
}

inline constexpr std::array<const wchar_t*, kxSectionKeyCount> kxSectionKeyNames = std::apply(
    [](const auto&... key) { return std::array<const wchar_t*, kxSectionKeyCount>{key.Name...}; }, kxSectionKeys);

// The section inheritance reads follow PARENTCLASS; it is the table's first key.
constexpr size_t kxParentKey = 0;
static_assert(std::tuple_element_t<kxParentKey, std::remove_cvref_t<decltype(kxSectionKeys)>>::Kind ==
              TkxKeyKind::Parent);

// Every section of the options in file order (duplicates included), each key
// read through the section's PARENTCLASS chain; gradients parsed.
std::vector<TsGeneralData> ReadSections(const TkxOptionKeys& Keys);
// The record of an internal skin's stored item; both gradients parsed, colours
// taken as stored.
TsGeneralData SectionFromItem(const TsSkinGeneral& Item);
// A common section laid over Base (the section its PARENTCLASS names, or the
// defaults): absent keys and -1 keep the base's value.
TsGeneralData SectionFromCommon(const TkxCommonSection& Section, const TsGeneralData& Base);
// Writes every key of a stored item into its section of Ini, in table order.
void WriteItem(const TsSkinGeneral& Item, tk::TMemIniFile& Ini);

}  // namespace kx
