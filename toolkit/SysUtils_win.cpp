// Windows half of SysUtils: the ANSI code page, the file system and the
// system's error texts.
#include "toolkit/SysUtils.h"

// After our headers: <windows.h> defines macros (GetRValue, ...) that would
// rewrite their declarations.
#include <windows.h>

#include <climits>

namespace tk {

namespace {

int CheckedLength(size_t n) {
  if (n > static_cast<size_t>(INT_MAX)) throw EConvertError(L"Text is too large to convert");
  return static_cast<int>(n);
}

}  // namespace

unsigned AnsiCodePage() { return GetACP(); }

String AnsiToWide(const std::string& s) {
  if (s.empty()) return String();
  int len = CheckedLength(s.size());
  int n = MultiByteToWideChar(CP_ACP, 0, s.data(), len, nullptr, 0);
  if (n <= 0) return String();
  String out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), len, out.data(), n);
  return out;
}

std::string WideToAnsi(const String& s, bool* lossless) {
  if (lossless) *lossless = true;
  if (s.empty()) return std::string();
  int len = CheckedLength(s.size());
  if (GetACP() == CP_UTF8) {
    // The UTF-8 code page refuses the default-character arguments.
    std::string out = ToUtf8(s);
    if (lossless && FromUtf8(out) != s) *lossless = false;
    return out;
  }
  // No best-fit: a best-fit "a" for "a with macron" is as much a loss as "?",
  // and only the default character is reported through usedDefault.
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), len, nullptr, 0, nullptr, nullptr);
  if (n <= 0) {
    if (lossless) *lossless = false;
    return std::string();
  }
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), len, out.data(), n, nullptr, &usedDefault);
  if (lossless) {
    // The round trip also catches mappings that the flag lets through.
    *lossless = !usedDefault && AnsiToWide(out) == s;
  }
  return out;
}

bool FileExists(const String& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const String& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDir(const String& path) { return CreateDirectoryW(path.c_str(), nullptr) != 0; }

bool RemoveFile(const String& path) { return DeleteFileW(path.c_str()) != 0; }

String SysErrorMessage(int code) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  String out;
  if (n && buf) out.assign(buf, n);
  if (buf) LocalFree(buf);
  while (!out.empty() && (out.back() == L'\r' || out.back() == L'\n' || out.back() == L' ')) out.pop_back();
  return out;
}

int GetLastOSError() { return static_cast<int>(GetLastError()); }

}  // namespace tk
