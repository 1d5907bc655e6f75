// The four walks over the section keys: options, stored items, common
// sections and SaveToIni.
#include "skin/data/sSectionSchema.h"

#include <string_view>
#include <unordered_map>

#include "skin/paint/sGradient.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

const String kGlobalInfo = L"GLOBALINFO";

template <class Key>
constexpr TkxKeyKind KindOf = std::remove_cvref_t<Key>::Kind;

// The section keys of every section, resolved once per load: a skin has some
// fifty sections of forty keys, each read through its PARENTCLASS chain, and
// hashing every one of those reads was most of what a load cost beyond
// decoding. Answers what the INI's look-ups answer: names compare without
// regard to ASCII case and the first section or key of a name wins.
class TKeyTable {
 public:
  explicit TKeyTable(const TkxOptionKeys& Keys) : FValues(Keys.Names.size()) {
    static const std::unordered_map<std::wstring_view, size_t> keyIndex = [] {
      std::unordered_map<std::wstring_view, size_t> m;
      for (size_t i = 0; i < kxSectionKeyCount; ++i) m.emplace(kxSectionKeyNames[i], i);
      return m;
    }();
    for (size_t i = 0; i < Keys.Names.size(); ++i) {
      if (!FFirst.emplace(tk::UpperCaseAscii(Keys.Names[i]), static_cast<int>(i)).second) continue;
      TValues& v = FValues[i];
      v.fill(nullptr);
      std::array<bool, kxSectionKeyCount> seen{};
      wchar_t up[24];
      for (const TkxOptionKeys::TEntry& k : Keys.Keys[i]) {
        const String& n = *k.Name;
        if (n.size() >= std::size(up)) continue;
        for (size_t c = 0; c < n.size(); ++c)
          up[c] = n[c] >= L'a' && n[c] <= L'z' ? static_cast<wchar_t>(n[c] - 32) : n[c];
        auto it = keyIndex.find(std::wstring_view(up, n.size()));
        if (it == keyIndex.end() || seen[it->second]) continue;
        seen[it->second] = true;
        v[it->second] = k.Value;
      }
    }
  }

  // The first section of that name, or -1.
  int Find(const String& Name) const {
    auto it = FFirst.find(tk::UpperCaseAscii(Name));
    return it == FFirst.end() ? -1 : it->second;
  }
  // The value of key Key (a table position) in section Index (from Find),
  // null when there is none.
  const String* Value(int Index, size_t Key) const { return FValues[size_t(Index)][Key]; }

 private:
  using TValues = std::array<const String*, kxSectionKeyCount>;
  std::vector<TValues> FValues;  // filled for the first section of each name
  std::unordered_map<String, int> FFirst;
};

// The PARENTCLASS chain of a section as the inherited reads follow it: the
// section itself, then each parent while the name is not empty, not "?" and
// not the name just read; at most kxMaxInheritDepth links, so a cycle through
// several sections ends and the defaults are taken.
class TInheritChain {
 public:
  TInheritChain(const TKeyTable& Table, const String& Section) : FTable(Table) {
    String name = Section;
    for (int depth = 0; depth < kxMaxInheritDepth; ++depth) {
      const int at = Table.Find(name);
      if (at < 0) break;  // no such section: nothing more to read
      FChain.push_back(at);
      const String* p = Table.Value(at, kxParentKey);
      if (!p || p->empty() || *p == L"?" || *p == name) break;
      name = *p;
    }
  }

  // Integer look-up: -1 (also a written -1 or a non-number) counts as absent.
  int Int(size_t Key, int Default) const {
    for (int at : FChain) {
      const String* v = FTable.Value(at, Key);
      int r = v ? tk::ReadIntegerValue(*v, -1) : -1;
      if (r != -1) return r;
    }
    return Default;
  }

  // String look-up: "?" counts as absent.
  String Str(size_t Key, const String& Default) const {
    for (int at : FChain) {
      const String* v = FTable.Value(at, Key);
      if (v && *v != L"?") return *v;
    }
    return Default;
  }

  bool Bool(size_t Key) const { return tk::SameTextAscii(Str(Key, L"FALSE"), L"TRUE"); }

 private:
  const TKeyTable& FTable;
  std::vector<int> FChain;
};

std::vector<String> SplitBlanks(const String& s) {
  std::vector<String> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == L' ') ++i;
    size_t j = i;
    while (j < s.size() && s[j] != L' ') ++j;
    if (j > i) out.push_back(s.substr(i, j - i));
    i = j;
  }
  return out;
}

// A stored font-colour text counts only with exactly five words; any other
// gives the default colours.
tk::TColor FontColorWord(const String& Text, int Word) {
  const std::vector<String> w = SplitBlanks(Text);
  return w.size() == kxDefaultFontColors.size() ? tk::StrToInt(w[size_t(Word)]) : kxDefaultFontColors[size_t(Word)];
}

// A single blank is the written form of "no gradient".
void ParseGradients(TsGeneralData& g) {
  g.GradientArray.clear();
  g.HotGradientArray.clear();
  if (g.GradientData != L" ") ParseGradientData(g.GradientData, g.GradientArray);
  if (g.HotGradientData != L" ") ParseGradientData(g.HotGradientData, g.HotGradientArray);
}

}  // namespace

std::vector<TsGeneralData> ReadSections(const TkxOptionKeys& Keys) {
  const TKeyTable table(Keys);
  std::vector<TsGeneralData> gd;
  gd.reserve(Keys.Names.size());
  for (const String& name : Keys.Names) {
    const TInheritChain in(table, name);
    const int at = table.Find(name);
    TsGeneralData& g = gd.emplace_back();
    g.ClassName = name;
    ForEachSectionKey([&](const auto& k, size_t key) {
      constexpr TkxKeyKind kind = KindOf<decltype(k)>;
      if constexpr (kind == TkxKeyKind::Parent) {
        if (const String* p = at >= 0 ? table.Value(at, key) : nullptr) g.*k.Field = *p;
      } else if constexpr (kind == TkxKeyKind::Flag) {
        g.*k.Field = in.Bool(key);
      } else if constexpr (kind == TkxKeyKind::Text) {
        g.*k.Field = in.Str(key, k.Default);
      } else if constexpr (kind == TkxKeyKind::FontColor) {
        (g.*k.Field)[size_t(k.Word)] = in.Int(key, kxDefaultFontColors[size_t(k.Word)]);
      } else {
        const int v = in.Int(key, k.Default);
        // Glow sizes keep the low byte.
        g.*k.Field = static_cast<std::remove_reference_t<decltype(g.*k.Field)>>(k.ToRGB ? tk::ColorToRGB(v) : v);
      }
    });
    ParseGradients(g);
    // GLOBALINFO is left out of InitMaskIndexes; -1 keeps it from pointing at
    // whatever mask happens to come first.
    g.BorderIndex = tk::SameTextAscii(name, kGlobalInfo) ? -1 : 0;
  }
  return gd;
}

TsGeneralData SectionFromItem(const TsSkinGeneral& Item) {
  TsGeneralData g;
  g.ClassName = Item.SectionName;
  ForEachSectionKey([&](const auto& k, size_t) {
    constexpr TkxKeyKind kind = KindOf<decltype(k)>;
    if constexpr (kind == TkxKeyKind::FontColor) (g.*k.Field)[size_t(k.Word)] = FontColorWord(Item.*k.Item, k.Word);
    else g.*k.Field = static_cast<std::remove_reference_t<decltype(g.*k.Field)>>(Item.*k.Item);
  });
  // A stored text is parsed as it is, a single blank included.
  ParseGradientData(g.GradientData, g.GradientArray);
  ParseGradientData(g.HotGradientData, g.HotGradientArray);
  g.BorderIndex = Item.SectionName == kGlobalInfo ? -1 : 0;
  return g;
}

TsGeneralData SectionFromCommon(const TkxCommonSection& Section, const TsGeneralData& Base) {
  TsGeneralData g = Base;
  g.ClassName = Section.Name;
  ForEachSectionKey([&](const auto& k, size_t) {
    constexpr TkxKeyKind kind = KindOf<decltype(k)>;
    const TkxCommonSection::TKey* key = Section.Find(k.Name);
    if constexpr (kind == TkxKeyKind::Parent) {
      g.*k.Field = key ? tk::UpperCaseAscii(key->Value) : String(L"-1");
    } else if constexpr (kind == TkxKeyKind::Flag) {
      if (key) g.*k.Field = tk::UpperCaseAscii(key->Value) == L"TRUE";
    } else if constexpr (kind == TkxKeyKind::Text) {
      if (key) g.*k.Field = key->Value;
    } else {
      int absent = -1;
      if constexpr (kind == TkxKeyKind::Number) absent = k.ZeroWhenMissing ? 0 : -1;
      const int v = key ? tk::ReadIntegerValue(key->Value, absent) : absent;
      if (v == -1) return;
      if constexpr (kind == TkxKeyKind::FontColor) (g.*k.Field)[size_t(k.Word)] = v;
      else g.*k.Field = static_cast<std::remove_reference_t<decltype(g.*k.Field)>>(v);
    }
  });
  ParseGradients(g);
  g.BorderIndex = 0;
  g.ImgTL = g.ImgTR = g.ImgBL = g.ImgBR = -1;
  return g;
}

void WriteItem(const TsSkinGeneral& Item, tk::TMemIniFile& Ini) {
  const String& s = Item.SectionName;
  ForEachSectionKey([&](const auto& k, size_t) {
    constexpr TkxKeyKind kind = KindOf<decltype(k)>;
    if constexpr (kind == TkxKeyKind::FontColor) {
      const std::vector<String> w = SplitBlanks(Item.*k.Item);
      Ini.WriteString(s, k.Name, size_t(k.Word) < w.size() ? w[size_t(k.Word)] : String());
    } else if constexpr (kind == TkxKeyKind::Flag) {
      Ini.WriteString(s, k.Name, Item.*k.Item ? L"TRUE" : L"FALSE");
    } else if constexpr (kind == TkxKeyKind::Number) {
      Ini.WriteString(s, k.Name, tk::IntToStr(Item.*k.Item));
    } else {
      Ini.WriteString(s, k.Name, Item.*k.Item);
    }
  });
}

}  // namespace kx
