#include "toolkit/MemIniFile.h"

#include "toolkit/Encoding.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

namespace tk {

namespace {

inline wchar_t Fold(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

uint32_t FoldedHash(const wchar_t* p, size_t n) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (size_t i = 0; i < n; ++i) {
    h ^= static_cast<uint32_t>(Fold(p[i]));
    h *= 16777619u;
  }
  return h;
}

bool FoldedEqual(const String& a, const String& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

// Sections with this many keys or fewer are scanned; larger ones get a map.
constexpr size_t kScanLimit = 16;

}  // namespace

size_t TMemIniFile::THash::operator()(const String& s) const { return FoldedHash(s.data(), s.size()); }
bool TMemIniFile::TEqual::operator()(const String& a, const String& b) const { return FoldedEqual(a, b); }

struct TMemIniFile::TSection {
  struct TKey {
    String Name;
    String Value;
    uint32_t Hash;
    bool HasValue;
  };
  String Name;
  std::vector<TKey> Keys;
  // Built on the first look-up of a large section; first occurrence of a key.
  mutable std::unordered_map<String, size_t, THash, TEqual> Index;
  mutable bool Indexed = false;

  int FindKey(const String& Ident) const {
    if (Keys.size() > kScanLimit) {
      if (!Indexed) {
        Index.clear();
        Index.reserve(Keys.size());
        for (size_t i = 0; i < Keys.size(); ++i) Index.emplace(Keys[i].Name, i);
        Indexed = true;
      }
      auto it = Index.find(Ident);
      return it == Index.end() ? -1 : static_cast<int>(it->second);
    }
    uint32_t h = FoldedHash(Ident.data(), Ident.size());
    for (size_t i = 0; i < Keys.size(); ++i)
      if (Keys[i].Hash == h && FoldedEqual(Keys[i].Name, Ident)) return static_cast<int>(i);
    return -1;
  }

  void AddKey(String name, String value, bool hasValue) {
    uint32_t h = FoldedHash(name.data(), name.size());
    Keys.push_back(TKey{std::move(name), std::move(value), h, hasValue});
    if (Indexed) Index.emplace(Keys.back().Name, Keys.size() - 1);
  }

  void DropIndex() {
    Index.clear();
    Indexed = false;
  }
};

TMemIniFile::TMemIniFile() = default;

TMemIniFile::TMemIniFile(const String& FileName) : FFileName(FileName) {
  if (FileExists(FileName)) SetText(LoadTextFile(FileName));
}

TMemIniFile::~TMemIniFile() = default;
TMemIniFile::TMemIniFile(TMemIniFile&&) noexcept = default;
TMemIniFile& TMemIniFile::operator=(TMemIniFile&&) noexcept = default;

void TMemIniFile::Clear() {
  FIndex.clear();
  FSections.clear();
}

void TMemIniFile::RebuildIndex() {
  FIndex.clear();
  FIndex.reserve(FSections.size());
  for (auto& s : FSections) FIndex.emplace(s->Name, s.get());  // emplace keeps the first
}

void TMemIniFile::SetText(const String& Text) {
  Clear();
  TSection* current = nullptr;
  const wchar_t* p = Text.data();
  size_t n = Text.size(), i = 0;
  while (i < n) {
    size_t start = i;
    while (i < n && p[i] != L'\r' && p[i] != L'\n') ++i;
    size_t end = i;
    if (i < n) {
      if (p[i] == L'\r' && i + 1 < n && p[i + 1] == L'\n') ++i;
      ++i;
    }
    while (start < end && p[start] <= L' ') ++start;
    while (end > start && p[end - 1] <= L' ') --end;
    if (start == end || p[start] == L';') continue;
    if (p[start] == L'[' && p[end - 1] == L']' && end - start >= 2) {
      auto s = std::make_unique<TSection>();
      s->Name = Trim(String(p + start + 1, end - start - 2));
      current = s.get();
      FSections.push_back(std::move(s));
      continue;
    }
    if (!current) continue;
    const wchar_t* eq = nullptr;
    for (size_t k = start; k < end; ++k)
      if (p[k] == L'=') {
        eq = p + k;
        break;
      }
    if (eq) current->AddKey(Trim(String(p + start, eq)), Trim(String(eq + 1, p + end)), true);
    else current->AddKey(String(p + start, end - start), String(), false);
  }
  RebuildIndex();
}

void TMemIniFile::SetStrings(const TStrings& Lines) { SetText(Lines.Text()); }

void TMemIniFile::LoadFromStream(TStream* Stream) {
  int64_t n = Stream->Size() - Stream->Position();
  std::vector<uint8_t> bytes(static_cast<size_t>(n > 0 ? n : 0));
  if (!bytes.empty()) Stream->ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  SetText(DecodeText(bytes));
}

TMemIniFile::TSection* TMemIniFile::Find(const String& Section) const {
  auto it = FIndex.find(Section);
  return it == FIndex.end() ? nullptr : it->second;
}

TMemIniFile::TSection& TMemIniFile::FindOrAdd(const String& Section) {
  if (TSection* s = Find(Section)) return *s;
  auto s = std::make_unique<TSection>();
  s->Name = Section;
  TSection* raw = s.get();
  FSections.push_back(std::move(s));
  FIndex.emplace(raw->Name, raw);
  return *raw;
}

const String* TMemIniFile::FindValue(const String& Section, const String& Ident) const {
  TSection* s = Find(Section);
  if (!s) return nullptr;
  int k = s->FindKey(Ident);
  if (k < 0 || !s->Keys[static_cast<size_t>(k)].HasValue) return nullptr;
  return &s->Keys[static_cast<size_t>(k)].Value;
}

String TMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const {
  const String* v = FindValue(Section, Ident);
  return v ? *v : Default;
}

int TMemIniFile::ReadInteger(const String& Section, const String& Ident, int Default) const {
  const String* v = FindValue(Section, Ident);
  return v ? ReadIntegerValue(*v, Default) : Default;
}

bool TMemIniFile::ReadBool(const String& Section, const String& Ident, bool Default) const {
  const String* v = FindValue(Section, Ident);
  return v ? SameTextAscii(*v, L"TRUE") : Default;
}

double TMemIniFile::ReadFloat(const String& Section, const String& Ident, double Default) const {
  const String* v = FindValue(Section, Ident);
  double d;
  return v && TryStrToFloatDot(*v, d) ? d : Default;
}

void TMemIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  TSection& s = FindOrAdd(Section);
  int k = s.FindKey(Ident);
  if (k < 0) {
    s.AddKey(Ident, Value, true);
    return;
  }
  auto& key = s.Keys[static_cast<size_t>(k)];
  key.Value = Value;
  key.HasValue = true;
}

void TMemIniFile::WriteInteger(const String& Section, const String& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

void TMemIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
  WriteString(Section, Ident, Value ? L"TRUE" : L"FALSE");
}

void TMemIniFile::WriteFloat(const String& Section, const String& Ident, double Value) {
  WriteString(Section, Ident, FloatToStrDot(Value));
}

bool TMemIniFile::SectionExists(const String& Section) const { return Find(Section) != nullptr; }

bool TMemIniFile::ValueExists(const String& Section, const String& Ident) const {
  TSection* s = Find(Section);
  return s && s->FindKey(Ident) >= 0;
}

void TMemIniFile::ReadSections(TStrings* Strings) const {
  Strings->BeginUpdate();
  Strings->Clear();
  for (auto& s : FSections) Strings->Add(s->Name);
  Strings->EndUpdate();
}

void TMemIniFile::ReadSection(const String& Section, TStrings* Strings) const {
  Strings->BeginUpdate();
  Strings->Clear();
  if (TSection* s = Find(Section))
    for (auto& k : s->Keys) Strings->Add(k.Name);
  Strings->EndUpdate();
}

void TMemIniFile::ReadSectionValues(const String& Section, TStrings* Strings) const {
  Strings->BeginUpdate();
  Strings->Clear();
  if (TSection* s = Find(Section))
    for (auto& k : s->Keys) Strings->Add(k.HasValue ? k.Name + L"=" + k.Value : k.Name);
  Strings->EndUpdate();
}

void TMemIniFile::ForEachKey(const String& Section,
                             const std::function<void(const String& Ident, const String* Value)>& Visit) const {
  if (TSection* s = Find(Section))
    for (auto& k : s->Keys) Visit(k.Name, k.HasValue ? &k.Value : nullptr);
}

void TMemIniFile::EraseSection(const String& Section) {
  TSection* s = Find(Section);
  if (!s) return;
  for (auto it = FSections.begin(); it != FSections.end(); ++it)
    if (it->get() == s) {
      FSections.erase(it);
      break;
    }
  RebuildIndex();
}

void TMemIniFile::DeleteKey(const String& Section, const String& Ident) {
  TSection* s = Find(Section);
  if (!s) return;
  int k = s->FindKey(Ident);
  if (k < 0) return;
  s->Keys.erase(s->Keys.begin() + k);
  s->DropIndex();
}

String TMemIniFile::Content() const {
  String out;
  for (auto& s : FSections) {
    out += L"[" + s->Name + L"]\r\n";
    for (auto& k : s->Keys) {
      out += k.Name;
      if (k.HasValue) out += L"=" + k.Value;
      out += L"\r\n";
    }
    out += L"\r\n";
  }
  return out;
}

void TMemIniFile::GetStrings(TStrings* Strings) const { Strings->SetText(Content()); }

void TMemIniFile::SaveToStream(TStream* Stream) const {
  std::vector<uint8_t> bytes = EncodePageText(Content());
  Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TMemIniFile::UpdateFile() const { SaveFileReplacing(FFileName, EncodePageText(Content())); }

}  // namespace tk
