// TIniFile: a Windows profile file read and written key by key through the
// private profile functions (the notepad's settings file). Every call goes to
// the file; nothing is cached. Windows build only (IniFiles_win.cpp).
// Owned by whoever created it; UI thread.
#pragma once

#include "toolkit/Object.h"
#include "toolkit/SysUtils.h"

namespace tk {

class TIniFile : public TObject {
 public:
  TK_CLASS_NAME(TIniFile)
  // A relative name is taken from the current directory (the profile
  // functions would look in the Windows directory otherwise).
  explicit TIniFile(const String& FileName);

  const String& FileName() const { return FFileName; }

  String ReadString(const String& Section, const String& Ident, const String& Default) const;
  // Decimal, or hexadecimal for "0x..." of three or more characters; any
  // other value, and a missing file, section or key, reads as Default.
  int ReadInteger(const String& Section, const String& Ident, int Default) const;
  bool ReadBool(const String& Section, const String& Ident, bool Default) const;  // "0" is false
  bool SectionExists(const String& Section) const;

  // A failed write raises EIniFileException "Unable to write to %s" with the
  // file's full path.
  void WriteString(const String& Section, const String& Ident, const String& Value);
  void WriteInteger(const String& Section, const String& Ident, int Value);
  void WriteBool(const String& Section, const String& Ident, bool Value);  // "1" / "0"
  void EraseSection(const String& Section);

 private:
  String FFileName;  // full path
};

}  // namespace tk
