#include <gtest/gtest.h>

#include <array>
#include <set>
#include <sstream>

#include "skin/data/sSectionSchema.h"
#include "skin/data/sSkinLoad.h"
#include "tests/skindata/TestSkin.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

using namespace kxtest;
using kx::TkxKeyKind;
using kx::TsGeneralData;
using kx::TsSkinGeneral;

namespace {

template <class Key>
constexpr TkxKeyKind KindOf = std::remove_cvref_t<Key>::Kind;

// Whether record r holds, in every key of the table, the value of stored item
// s (colours plain, so the options load's RGB conversion keeps them).
void ExpectEveryKey(const TsGeneralData& r, const TsSkinGeneral& s, const char* load) {
  kx::ForEachSectionKey([&](const auto& k, size_t) {
    const std::string key = tk::ToUtf8(k.Name) + " (" + load + ")";
    constexpr TkxKeyKind kind = KindOf<decltype(k)>;
    if constexpr (kind == TkxKeyKind::FontColor) {
      std::wistringstream words(s.*k.Item);
      int word = 0;
      for (int i = 0; i <= k.Word; ++i) words >> word;
      EXPECT_EQ((r.*k.Field)[size_t(k.Word)], word) << key;
    } else if constexpr (kind == TkxKeyKind::Number) {
      EXPECT_EQ(int(r.*k.Field), int(s.*k.Item)) << key;
    } else {
      EXPECT_EQ(r.*k.Field, s.*k.Item) << key;
    }
  });
}

}  // namespace

TEST(SectionKeys, NoTwoKeysShareAMember) {
  const TsGeneralData g;
  const TsSkinGeneral s;
  auto offset = [](const auto& record, const auto& member) {
    return reinterpret_cast<const char*>(&member) - reinterpret_cast<const char*>(&record);
  };
  std::set<std::ptrdiff_t> fields, items;
  kx::ForEachSectionKey([&](const auto& k, size_t) {
    std::ptrdiff_t word = 0;
    if constexpr (KindOf<decltype(k)> == TkxKeyKind::FontColor) word = k.Word;
    EXPECT_TRUE(fields.insert(offset(g, g.*k.Field) + word).second) << tk::ToUtf8(k.Name);
    EXPECT_TRUE(items.insert(offset(s, s.*k.Item) + word).second) << tk::ToUtf8(k.Name);
  });
}

TEST(SectionKeys, EveryKeyComesBackFromSaveToIniThroughEveryLoad) {
  // A value of its own in every key, none of them a default (and all below
  // 256, the range of the glow sizes).
  TsSkinGeneral item;
  item.SectionName = L"ITEM";
  std::array<std::array<int, 5>, 2> fonts{};
  kx::ForEachSectionKey([&](const auto& k, size_t at) {
    const int own = 10 + 7 * int(at);
    constexpr TkxKeyKind kind = KindOf<decltype(k)>;
    if constexpr (kind == TkxKeyKind::Parent) item.*k.Item = L"BASE";  // a section no load finds: nothing inherited
    else if constexpr (kind == TkxKeyKind::Number) item.*k.Item = own;
    else if constexpr (kind == TkxKeyKind::Flag) item.*k.Item = true;
    else if constexpr (kind == TkxKeyKind::Text) item.*k.Item = tk::IntToStr(own) + L";2;50;0;0";
    else fonts[k.Item == &TsSkinGeneral::FontColor ? 0 : 1][size_t(k.Word)] = own;
  });
  for (size_t f = 0; f < 2; ++f) {
    tk::String text;
    for (int v : fonts[f]) text += (text.empty() ? L"" : L" ") + tk::IntToStr(v);
    (f == 0 ? item.FontColor : item.HotFontColor) = text;
  }
  kx::TsStoredSkin skin;
  skin.GeneralData = {item};

  tk::TMemIniFile ini;
  kx::SaveToIni(skin, ini);
  auto fromOptions = kx::TkxSkinLoad().FromOptions(ini, nullptr);
  ExpectEveryKey(fromOptions->gd.at(0), item, "options");
  EXPECT_FALSE(fromOptions->gd[0].GradientArray.empty());
  EXPECT_FALSE(fromOptions->gd[0].HotGradientArray.empty());

  ExpectEveryKey(kx::TkxSkinLoad().FromStored(skin)->gd.at(0), item, "stored item");

  kx::TkxLoadSettings common;
  common.CommonSections.push_back(L"[ITEM]");
  for (const wchar_t* key : kx::kxSectionKeyNames)
    common.CommonSections.push_back(tk::String(key) + L"=" + ini.ReadString(L"ITEM", key, L""));
  auto merged = TestSkin{"[GLOBALINFO]\n", {}}.Load(common);
  ExpectEveryKey(merged->gd.at(size_t(merged->GetSkinIndex(L"ITEM"))), item, "common section");
}

TEST(SectionKeys, ASectionWithoutKeysHoldsTheRecordsDefaults) {
  auto c = TestSkin{"[EMPTY]\n", {}}.Load();
  const TsGeneralData& read = c->gd.at(0);
  const TsGeneralData defaults;
  kx::ForEachSectionKey(
      [&](const auto& k, size_t) { EXPECT_EQ(read.*k.Field, defaults.*k.Field) << tk::ToUtf8(k.Name); });
}
