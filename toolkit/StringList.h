// TStrings, the list-of-lines interface (text, name=value pairs, loading and
// saving with byte-order marks), and TStringList, the list that stores them
// (sorting, duplicates, case rules, an optional object per line).
// Objects attached to lines are borrowed, never freed by the list.
// Owned by whoever created it; not thread-safe.
#pragma once

#include <functional>
#include <vector>

#include "toolkit/Encoding.h"
#include "toolkit/Object.h"
#include "toolkit/SysUtils.h"

namespace tk {

TK_EXCEPTION(EStringListError, Exception)

class TStream;

class TStrings : public TPersistent {
 public:
  TK_CLASS_NAME(TStrings)

  virtual int Count() const = 0;
  virtual String Get(int Index) const = 0;
  virtual void Put(int Index, const String& S) = 0;
  virtual TObject* GetObject(int Index) const;
  virtual void PutObject(int Index, TObject* Object);
  virtual void Insert(int Index, const String& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  // Updates come in batches between these; lists may hold back notifications.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}

  String operator[](int Index) const { return Get(Index); }
  String Strings(int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }

  virtual int Add(const String& S);
  int AddObject(const String& S, TObject* Object);
  void AddStrings(const TStrings& Other);
  void InsertObject(int Index, const String& S, TObject* Object);

  // Every line followed by CR LF. Setting splits at CR LF, lone CR and lone
  // LF; a text ending in a line break has no empty last line.
  String Text() const;
  void SetText(const String& Text);

  // Case rule of IndexOf and IndexOfName: case-insensitive (ASCII letters)
  // unless the list says otherwise.
  virtual bool CaseSensitive() const { return false; }
  virtual int IndexOf(const String& S) const;
  int IndexOfObject(const TObject* Object) const;

  // "name=value" lines: the name is the text before the first "=" (empty for a
  // line without one).
  String Names(int Index) const;
  String ValueFromIndex(int Index) const;
  int IndexOfName(const String& Name) const;
  String Values(const String& Name) const;
  // An empty value removes the line, as the toolkit does.
  void SetValues(const String& Name, const String& Value);

  // From the stream's position to its end, or the whole file, honouring a
  // UTF-16LE, UTF-16BE or UTF-8 byte-order mark, else ANSI.
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const String& FileName);
  // Text() in ANSI without a mark by default; the UTF encodings get their mark.
  void SaveToStream(TStream* Stream, TTextEncoding Encoding = TTextEncoding::teAnsi) const;
  void SaveToFile(const String& FileName, TTextEncoding Encoding = TTextEncoding::teAnsi) const;

  void Assign(const TPersistent* Source) override;
  bool Equals(const TStrings& Other) const;

 protected:
  int CompareStrings(const String& a, const String& b) const;
  [[noreturn]] void IndexError(int Index) const;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
 public:
  TK_CLASS_NAME(TStringList)
  using TCompare = std::function<int(const TStringList& List, int Index1, int Index2)>;

  TStringList() = default;
  TStringList(const TStringList& Other);
  TStringList& operator=(const TStringList& Other);

  int Count() const override { return static_cast<int>(FItems.size()); }
  String Get(int Index) const override;
  void Put(int Index, const String& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* Object) override;
  // Sorted lists: Add places the line by the sort order and applies
  // Duplicates; Insert and Put raise EStringListError.
  int Add(const String& S) override;
  void Insert(int Index, const String& S) override;
  void Delete(int Index) override;
  void Clear() override;
  void BeginUpdate() override;
  void EndUpdate() override;

  bool CaseSensitive() const override { return FCaseSensitive; }
  void SetCaseSensitive(bool v);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool v);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates v) { FDuplicates = v; }

  int IndexOf(const String& S) const override;
  // Binary search in a sorted list: true when found; Index is where S is or
  // would be inserted.
  bool Find(const String& S, int& Index) const;
  // Stable: equal lines keep their order.
  void Sort();
  void CustomSort(const TCompare& Compare);
  void Exchange(int Index1, int Index2);

  std::function<void(TObject* Sender)> OnChange;

 private:
  struct TItem {
    String S;
    TObject* Object = nullptr;
  };
  void InsertItem(int Index, const String& S, TObject* Object);
  void Changed();
  std::vector<TItem> FItems;
  bool FSorted = false;
  bool FCaseSensitive = false;
  TDuplicates FDuplicates = dupIgnore;
  int FUpdateCount = 0;
  bool FChangedWhileUpdating = false;
};

}  // namespace tk
