// TMemIniFile: an INI text held wholly in memory, the reader of skin options
// files. Rules: the text is read whole, honouring a UTF-16LE, UTF-16BE or
// UTF-8 byte-order mark, else ANSI; lines are trimmed; empty lines and lines
// starting with ";" are ignored; "[name]" opens a section (name trimmed);
// lines before the first section are ignored; a key is the text before the
// first "=", key and value trimmed; a line without "=" is a key without a
// value. Section and key look-ups ignore the case of ASCII letters and the
// first occurrence of a name wins, while the section list keeps the file's
// order and case, duplicates included; keys are listed in file order.
// Look-ups are hashed: a skin reads some 3000 keys on every load.
// Owned by whoever created it; not thread-safe.
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "toolkit/Object.h"
#include "toolkit/StringList.h"

namespace tk {

class TStream;

class TMemIniFile : public TObject {
 public:
  TK_CLASS_NAME(TMemIniFile)
  TMemIniFile();
  // Reads the file when it exists (a missing file gives an empty INI); an
  // existing file that can't be read raises EFOpenError.
  explicit TMemIniFile(const String& FileName);
  ~TMemIniFile() override;
  TMemIniFile(const TMemIniFile&) = delete;
  TMemIniFile& operator=(const TMemIniFile&) = delete;
  TMemIniFile(TMemIniFile&&) noexcept;
  TMemIniFile& operator=(TMemIniFile&&) noexcept;

  const String& FileName() const { return FFileName; }
  void SetFileName(const String& v) { FFileName = v; }

  // Replace the whole content.
  void SetText(const String& Text);
  void SetStrings(const TStrings& Lines);
  // From the stream's position to its end, decoded by its byte-order mark.
  void LoadFromStream(TStream* Stream);
  void Clear();

  // The value, or null when the section or key is missing or the key has no
  // value. Valid until the INI changes.
  const String* FindValue(const String& Section, const String& Ident) const;

  String ReadString(const String& Section, const String& Ident, const String& Default) const;
  // Decimal, or hexadecimal for "0x..." of three or more characters; any
  // other value reads as Default.
  int ReadInteger(const String& Section, const String& Ident, int Default) const;
  // "TRUE" in any case is true, any other value false; Default only when
  // there is no value.
  bool ReadBool(const String& Section, const String& Ident, bool Default) const;
  // "." as decimal separator; a value that is no number reads as Default.
  double ReadFloat(const String& Section, const String& Ident, double Default) const;

  void WriteString(const String& Section, const String& Ident, const String& Value);
  void WriteInteger(const String& Section, const String& Ident, int Value);
  void WriteBool(const String& Section, const String& Ident, bool Value);  // "TRUE" / "FALSE"
  void WriteFloat(const String& Section, const String& Ident, double Value);

  bool SectionExists(const String& Section) const;
  bool ValueExists(const String& Section, const String& Ident) const;
  // Every section name in file order, duplicates included.
  void ReadSections(TStrings* Strings) const;
  // The keys of a section in file order.
  void ReadSection(const String& Section, TStrings* Strings) const;
  // "key=value" lines of a section ("key" alone for a key without a value).
  void ReadSectionValues(const String& Section, TStrings* Strings) const;
  // Every key of a section in file order with its own value (null for a key
  // without one), without copying: the references live until the INI changes.
  void ForEachKey(const String& Section,
                  const std::function<void(const String& Ident, const String* Value)>& Visit) const;
  int SectionCount() const { return static_cast<int>(FSections.size()); }

  // Removes the first section of that name (a later duplicate becomes the
  // one found).
  void EraseSection(const String& Section);
  void DeleteKey(const String& Section, const String& Ident);

  // The content as INI lines, sections in order, a blank line after each.
  void GetStrings(TStrings* Strings) const;
  // ANSI without a mark, or UTF-8 with its mark when some character has no
  // ANSI form.
  void SaveToStream(TStream* Stream) const;
  // Writes to FileName, replacing the old file only once the new one is
  // complete; EFCreateError on failure.
  void UpdateFile() const;

 private:
  struct TSection;
  TSection* Find(const String& Section) const;
  TSection& FindOrAdd(const String& Section);
  void RebuildIndex();
  String Content() const;

  String FFileName;
  std::vector<std::unique_ptr<TSection>> FSections;
  struct THash {
    size_t operator()(const String& s) const;
  };
  struct TEqual {
    bool operator()(const String& a, const String& b) const;
  };
  std::unordered_map<String, TSection*, THash, TEqual> FIndex;  // first of each name
};

}  // namespace tk
