#include "skin/data/sSkinOptions.h"

#include <unordered_set>

#include "skin/data/kxSkinError.h"
#include "skin/data/kxSkinPack.h"

#include "toolkit/MemIniFile.h"
#include "toolkit/Streams.h"
#include "toolkit/StringList.h"
#include "toolkit/SysUtils.h"

namespace kx {

const wchar_t* const kxNewerSkinMessage =
    L"This version of the skin have not complete support by used Kestrix package release.\r\n"
    L"Components must be updated up to latest version for using this skin.";

std::vector<String> PrepareCommonSections(const std::vector<String>& Lines) {
  std::vector<String> out;
  out.reserve(Lines.size());
  for (const String& line : Lines) {
    if (!line.empty() && line[0] == L';') {
      out.push_back(line);
      continue;
    }
    String s;
    for (wchar_t c : line)
      if (c != L' ' && c != L'\t') s += c;
    out.push_back(s);
  }
  return out;
}

const TkxCommonSection::TKey* TkxCommonSection::Find(const String& Key) const {
  for (const auto& k : Keys)
    if (tk::SameTextAscii(k.Name, Key)) return &k;
  return nullptr;
}

std::vector<TkxCommonSection> SplitCommonSections(const std::vector<String>& Lines) {
  std::vector<TkxCommonSection> out;
  for (const String& line : Lines) {
    if (line.empty() || line[0] == L';') continue;
    if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
      out.push_back(TkxCommonSection{line.substr(1, line.size() - 2), {}});
      continue;
    }
    if (out.empty()) continue;
    size_t eq = line.find(L'=');
    TkxCommonSection::TKey key = eq == String::npos ? TkxCommonSection::TKey{line, String()}
                                                    : TkxCommonSection::TKey{line.substr(0, eq), line.substr(eq + 1)};
    // Look-ups find the first of a name; a repeat is never read.
    if (!out.back().Find(key.Name)) out.back().Keys.push_back(std::move(key));
  }
  return out;
}

std::unique_ptr<tk::TMemIniFile> ReadOptions(tk::TStream* Stream) {
  auto ini = std::make_unique<tk::TMemIniFile>();
  if (Stream->Size() > kxMaxOptionsSize)
    throw EkxSkinError(L"The options file is too large (" + tk::IntToStr(Stream->Size()) + L" bytes)");
  Stream->SetPosition(0);
  ini->LoadFromStream(Stream);
  return ini;
}

std::unique_ptr<tk::TMemIniFile> ReadOptionsFile(const String& FileName) {
  tk::TMemoryStream data;
  LoadSkinFile(FileName, data, kxMaxOptionsSize);
  return ReadOptions(&data);
}

std::vector<String> SectionNames(const tk::TMemIniFile& Ini) {
  tk::TStringList list;
  Ini.ReadSections(&list);
  std::vector<String> out;
  out.reserve(size_t(list.Count()));
  for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
  return out;
}

std::vector<TkxCommonSection::TKey> SectionKeys(const tk::TMemIniFile& Ini, const String& Section) {
  tk::TStringList lines;
  Ini.ReadSectionValues(Section, &lines);
  std::vector<TkxCommonSection::TKey> out;
  out.reserve(size_t(lines.Count()));
  for (int i = 0; i < lines.Count(); ++i) {
    String line = lines[i];
    // Keys never hold "=", so the first one ends the key; a key without a
    // value has none and is left out.
    size_t eq = line.find(L'=');
    if (eq != String::npos) out.push_back({line.substr(0, eq), line.substr(eq + 1)});
  }
  return out;
}

TkxOptionKeys ReadAllKeys(const tk::TMemIniFile& Ini) {
  TkxOptionKeys k;
  k.Names = SectionNames(Ini);
  k.Keys.resize(k.Names.size());
  for (size_t i = 0; i < k.Names.size(); ++i) {
    std::vector<TkxOptionKeys::TEntry>& keys = k.Keys[i];
    // Only the first of a repeated key counts, as for every look-up.
    std::unordered_set<String> seen;
    Ini.ForEachKey(k.Names[i], [&keys, &seen](const String& Ident, const String* Value) {
      if (seen.insert(tk::UpperCaseAscii(Ident)).second) keys.push_back({&Ident, Value});
    });
  }
  return k;
}

}  // namespace kx
