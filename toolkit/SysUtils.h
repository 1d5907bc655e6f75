// Exceptions with the toolkit's message texts, conversions and small string
// and file-name helpers. Pure: builds natively.
#pragma once

#include <stdexcept>
#include <string>

#include "toolkit/Types.h"

namespace tk {

// Base of every error the program raises; the message is what the default
// handler shows.
class Exception : public std::exception {
 public:
  explicit Exception(String Msg);
  const String& Message() const { return FMessage; }
  void SetMessage(String m);
  const char* what() const noexcept override { return FWhat.c_str(); }

 private:
  String FMessage;
  std::string FWhat;  // UTF-8 copy for std::exception consumers (tests)
};

#define TK_EXCEPTION(Name, Base) \
  class Name : public Base {     \
   public:                       \
    using Base::Base;            \
  };

// Silent: the default handler does not show it.
TK_EXCEPTION(EAbort, Exception)
TK_EXCEPTION(EConvertError, Exception)
TK_EXCEPTION(EStreamError, Exception)
TK_EXCEPTION(EReadError, EStreamError)
TK_EXCEPTION(EWriteError, EStreamError)
TK_EXCEPTION(EFCreateError, EStreamError)
TK_EXCEPTION(EFOpenError, EStreamError)
TK_EXCEPTION(EInvalidOperation, Exception)
TK_EXCEPTION(EIniFileException, Exception)
TK_EXCEPTION(EZlibError, Exception)
TK_EXCEPTION(EOutOfResources, Exception)
TK_EXCEPTION(EInvalidGraphic, Exception)

}  // namespace tk

namespace tk {

// --- Text -----------------------------------------------------------------
// "%s" placeholders replaced by args in order ("%%" is a percent sign).
String Fmt(const String& pattern, std::initializer_list<String> args);
String IntToStr(int64_t v);
// Strict: decimal, optional sign, surrounding blanks not allowed; "$hex" and
// "0x" prefixes as the toolkit's conversion takes them. Raises EConvertError
// "''%s'' is not a valid integer value".
int StrToInt(const String& s);
bool TryStrToInt(const String& s, int& v);
int StrToIntDef(const String& s, int def);
// The forgiving integer reader of INI files: decimal, or hexadecimal when the
// value has three or more characters and starts with 0x / 0X; else def.
int ReadIntegerValue(const String& s, int def);
// "." as decimal separator whatever the locale.
double StrToFloatDot(const String& s);
bool TryStrToFloatDot(const String& s, double& v);
String FloatToStrDot(double v);
String Trim(const String& s);
String UpperCaseAscii(const String& s);  // only a-z change
String LowerCaseAscii(const String& s);
bool SameTextAscii(const String& a, const String& b);

// UTF-8 and the system ANSI code page (Windows: CP_ACP; natively Windows-1252,
// so tests see what a Western Windows sees).
std::string ToUtf8(const String& s);
String FromUtf8(const std::string& s);
String AnsiToWide(const std::string& s);
// lossless (when given) is set to false if a character had no ANSI form and
// was written as the code page's default character.
std::string WideToAnsi(const String& s, bool* lossless = nullptr);

// --- Files ----------------------------------------------------------------
bool FileExists(const String& path);
bool DirectoryExists(const String& path);
bool ForceDirectories(const String& path);
String ExtractFilePath(const String& path);  // up to and including the last '\' (or '/', ':')
String ExtractFileName(const String& path);
String ExtractFileExt(const String& path);
String ChangeFileExt(const String& path, const String& ext);
String IncludeTrailingPathDelimiter(const String& path);
// The system's text for an error code, without trailing line breaks.
String SysErrorMessage(int code);
int GetLastOSError();

#ifdef _WIN32
constexpr wchar_t PathDelim = L'\\';
#else
constexpr wchar_t PathDelim = L'/';
#endif
// One directory level; false when it could not be made (already there counts
// as failure, as CreateDirectoryW reports it).
bool CreateDir(const String& path);
// Deletes a file; false (and the system's error in GetLastOSError) on failure.
bool RemoveFile(const String& path);
// The code page ANSI text is in: GetACP() on Windows, 1252 natively.
unsigned AnsiCodePage();

}  // namespace tk
