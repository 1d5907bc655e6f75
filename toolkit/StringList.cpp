#include "toolkit/StringList.h"

#include <algorithm>

#include "toolkit/Streams.h"

namespace tk {

namespace {

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

int CompareFolded(const String& a, const String& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    wchar_t x = FoldAscii(a[i]), y = FoldAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace

// --- TStrings -------------------------------------------------------------------

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

void TStrings::IndexError(int Index) const {
  throw EStringListError(Fmt(L"List index out of bounds (%s)", {IntToStr(Index)}));
}

int TStrings::CompareStrings(const String& a, const String& b) const {
  if (CaseSensitive()) return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
  return CompareFolded(a, b);
}

int TStrings::Add(const String& S) {
  int i = Count();
  Insert(i, S);
  return i;
}

int TStrings::AddObject(const String& S, TObject* Object) {
  int i = Add(S);
  PutObject(i, Object);
  return i;
}

void TStrings::AddStrings(const TStrings& Other) {
  BeginUpdate();
  for (int i = 0; i < Other.Count(); ++i) AddObject(Other.Get(i), Other.GetObject(i));
  EndUpdate();
}

void TStrings::InsertObject(int Index, const String& S, TObject* Object) {
  Insert(Index, S);
  PutObject(Index, Object);
}

String TStrings::Text() const {
  String out;
  size_t len = 0;
  int n = Count();
  for (int i = 0; i < n; ++i) len += Get(i).size() + 2;
  out.reserve(len);
  for (int i = 0; i < n; ++i) {
    out += Get(i);
    out += L"\r\n";
  }
  return out;
}

void TStrings::SetText(const String& Text) {
  BeginUpdate();
  Clear();
  size_t start = 0, i = 0, n = Text.size();
  while (i < n) {
    wchar_t c = Text[i];
    if (c == L'\r' || c == L'\n') {
      Add(Text.substr(start, i - start));
      if (c == L'\r' && i + 1 < n && Text[i + 1] == L'\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < n) Add(Text.substr(start));
  EndUpdate();
}

int TStrings::IndexOf(const String& S) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(const TObject* Object) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == Object) return i;
  return -1;
}

String TStrings::Names(int Index) const {
  String s = Get(Index);
  size_t eq = s.find(L'=');
  return eq == String::npos ? String() : s.substr(0, eq);
}

String TStrings::ValueFromIndex(int Index) const {
  String s = Get(Index);
  size_t eq = s.find(L'=');
  return eq == String::npos ? String() : s.substr(eq + 1);
}

int TStrings::IndexOfName(const String& Name) const {
  for (int i = 0; i < Count(); ++i) {
    String s = Get(i);
    size_t eq = s.find(L'=');
    if (eq != String::npos && CompareStrings(s.substr(0, eq), Name) == 0) return i;
  }
  return -1;
}

String TStrings::Values(const String& Name) const {
  int i = IndexOfName(Name);
  return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValues(const String& Name, const String& Value) {
  int i = IndexOfName(Name);
  if (Value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  if (i < 0) Add(Name + L"=" + Value);
  else Put(i, Name + L"=" + Value);
}

void TStrings::LoadFromStream(TStream* Stream) {
  int64_t n = Stream->Size() - Stream->Position();
  std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(n, 0)));
  if (!bytes.empty()) Stream->ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  SetText(DecodeText(bytes));
}

void TStrings::LoadFromFile(const String& FileName) { SetText(LoadTextFile(FileName)); }

void TStrings::SaveToStream(TStream* Stream, TTextEncoding Encoding) const {
  String text = Text();
  std::string bytes;
  switch (Encoding) {
    case TTextEncoding::teAnsi: bytes = WideToAnsi(text); break;
    case TTextEncoding::teUtf8: bytes = "\xEF\xBB\xBF" + ToUtf8(text); break;
    case TTextEncoding::teUtf16LE:
    case TTextEncoding::teUtf16BE: {
      bool be = Encoding == TTextEncoding::teUtf16BE;
      auto put = [&](uint32_t u) {
        char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u);
        bytes += be ? hi : lo;
        bytes += be ? lo : hi;
      };
      put(0xFEFF);
      for (wchar_t c : text) {
        uint32_t u = static_cast<uint32_t>(c);
        if (u >= 0x10000) {  // natively wchar_t holds whole code points
          u -= 0x10000;
          put(0xD800 + (u >> 10));
          put(0xDC00 + (u & 0x3FF));
        } else {
          put(u);
        }
      }
      break;
    }
  }
  Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TStrings::SaveToFile(const String& FileName, TTextEncoding Encoding) const {
  TFileStream f(FileName, fmCreate);
  SaveToStream(&f, Encoding);
}

void TStrings::Assign(const TPersistent* Source) {
  if (auto* s = dynamic_cast<const TStrings*>(Source)) {
    if (s == this) return;
    BeginUpdate();
    Clear();
    AddStrings(*s);
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

bool TStrings::Equals(const TStrings& Other) const {
  if (Count() != Other.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != Other.Get(i)) return false;
  return true;
}

// --- TStringList ----------------------------------------------------------------

TStringList::TStringList(const TStringList& Other)
    : TStrings(),
      FItems(Other.FItems),
      FSorted(Other.FSorted),
      FCaseSensitive(Other.FCaseSensitive),
      FDuplicates(Other.FDuplicates) {}

TStringList& TStringList::operator=(const TStringList& Other) {
  if (this != &Other) {
    FItems = Other.FItems;
    FSorted = Other.FSorted;
    FCaseSensitive = Other.FCaseSensitive;
    FDuplicates = Other.FDuplicates;
    Changed();
  }
  return *this;
}

String TStringList::Get(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[static_cast<size_t>(Index)].S;
}

void TStringList::Put(int Index, const String& S) {
  if (FSorted) throw EStringListError(L"Operation not allowed on sorted list");
  if (Index < 0 || Index >= Count()) IndexError(Index);
  FItems[static_cast<size_t>(Index)].S = S;
  Changed();
}

TObject* TStringList::GetObject(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[static_cast<size_t>(Index)].Object;
}

void TStringList::PutObject(int Index, TObject* Object) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  FItems[static_cast<size_t>(Index)].Object = Object;
  Changed();
}

int TStringList::Add(const String& S) {
  if (!FSorted) {
    InsertItem(Count(), S, nullptr);
    return Count() - 1;
  }
  int i;
  if (Find(S, i)) {
    if (FDuplicates == dupIgnore) return i;
    if (FDuplicates == dupError) throw EStringListError(L"String list does not allow duplicates");
    // Equal lines keep the order they were added in.
    while (i < Count() && CompareStrings(FItems[static_cast<size_t>(i)].S, S) == 0) ++i;
  }
  InsertItem(i, S, nullptr);
  return i;
}

void TStringList::Insert(int Index, const String& S) {
  if (FSorted) throw EStringListError(L"Operation not allowed on sorted list");
  if (Index < 0 || Index > Count()) IndexError(Index);
  InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const String& S, TObject* Object) {
  FItems.insert(FItems.begin() + Index, TItem{S, Object});
  Changed();
}

void TStringList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  FItems.erase(FItems.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

void TStringList::BeginUpdate() { ++FUpdateCount; }

void TStringList::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedWhileUpdating) {
    FChangedWhileUpdating = false;
    if (OnChange) OnChange(this);
  }
}

void TStringList::Changed() {
  if (FUpdateCount > 0) FChangedWhileUpdating = true;
  else if (OnChange) OnChange(this);
}

void TStringList::SetCaseSensitive(bool v) {
  if (v == FCaseSensitive) return;
  FCaseSensitive = v;
  if (FSorted) Sort();
}

void TStringList::SetSorted(bool v) {
  if (v == FSorted) return;
  if (v) Sort();
  FSorted = v;
}

int TStringList::IndexOf(const String& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int i;
  return Find(S, i) ? i : -1;
}

bool TStringList::Find(const String& S, int& Index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    int c = CompareStrings(FItems[static_cast<size_t>(mid)].S, S);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;  // keep going left: the first of equal lines
    }
  }
  Index = lo;
  return found;
}

void TStringList::Sort() {
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const TItem& a, const TItem& b) { return CompareStrings(a.S, b.S) < 0; });
  Changed();
}

void TStringList::CustomSort(const TCompare& Compare) {
  if (FSorted || Count() < 2) return;
  // Sorts an index permutation so the comparison sees the list as it stands.
  std::vector<int> order(FItems.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(*this, a, b) < 0; });
  std::vector<TItem> sorted;
  sorted.reserve(FItems.size());
  for (int i : order) sorted.push_back(FItems[static_cast<size_t>(i)]);
  FItems = std::move(sorted);
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  if (Index1 < 0 || Index1 >= Count()) IndexError(Index1);
  if (Index2 < 0 || Index2 >= Count()) IndexError(Index2);
  std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
  Changed();
}

}  // namespace tk
