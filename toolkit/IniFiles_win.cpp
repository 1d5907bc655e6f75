#include "toolkit/IniFiles.h"

// After our headers: <windows.h> defines macros (GetRValue, ...) that would
// rewrite their declarations.
#include <windows.h>

#include <vector>

namespace tk {

namespace {

String FullPath(const String& name) {
  DWORD n = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (n == 0) return name;
  std::vector<wchar_t> buf(n + 1);
  DWORD m = GetFullPathNameW(name.c_str(), n + 1, buf.data(), nullptr);
  return m == 0 || m > n ? name : String(buf.data(), m);
}

}  // namespace

TIniFile::TIniFile(const String& FileName) : FFileName(FullPath(FileName)) {}

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const {
  // The profile functions truncate silently; grow until the value fits.
  std::vector<wchar_t> buf(1024);
  for (;;) {
    DWORD n = GetPrivateProfileStringW(Section.c_str(), Ident.c_str(), Default.c_str(), buf.data(),
                                       static_cast<DWORD>(buf.size()), FFileName.c_str());
    if (n < buf.size() - 1 || buf.size() >= (size_t(1) << 24)) return String(buf.data(), n);
    buf.resize(buf.size() * 4);
  }
}

int TIniFile::ReadInteger(const String& Section, const String& Ident, int Default) const {
  String v = ReadString(Section, Ident, String());
  return v.empty() ? Default : ReadIntegerValue(v, Default);
}

bool TIniFile::ReadBool(const String& Section, const String& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(const String& Section) const {
  wchar_t buf[4];
  // Lists the keys; a section with keys returns some text.
  return GetPrivateProfileSectionW(Section.c_str(), buf, 4, FFileName.c_str()) > 0;
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  if (!WritePrivateProfileStringW(Section.c_str(), Ident.c_str(), Value.c_str(), FFileName.c_str()))
    throw EIniFileException(Fmt(L"Unable to write to %s", {FFileName}));
}

void TIniFile::WriteInteger(const String& Section, const String& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
  WriteString(Section, Ident, Value ? L"1" : L"0");
}

void TIniFile::EraseSection(const String& Section) {
  if (!WritePrivateProfileStringW(Section.c_str(), nullptr, nullptr, FFileName.c_str()))
    throw EIniFileException(Fmt(L"Unable to write to %s", {FFileName}));
}

}  // namespace tk
