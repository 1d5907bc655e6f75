// Native stand-in for the Windows half of SysUtils: Windows-1252 as the ANSI
// code page, POSIX files, strerror texts. Paths are passed on as UTF-8.
#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "toolkit/SysUtils.h"

namespace tk {

namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes map to the C1
// control of the same value, as Windows' own table does.
const char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool WideToCp1252(wchar_t c, char& out) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    out = static_cast<char>(c);
    return true;
  }
  for (int i = 0; i < 32; ++i)
    if (static_cast<wchar_t>(kCp1252High[i]) == c) {
      out = static_cast<char>(0x80 + i);
      return true;
    }
  return false;
}

std::string NativePath(const String& path) { return ToUtf8(path); }

}  // namespace

unsigned AnsiCodePage() { return 1252; }

String AnsiToWide(const std::string& s) {
  String out;
  out.reserve(s.size());
  for (unsigned char b : s)
    out += b >= 0x80 && b < 0xA0 ? static_cast<wchar_t>(kCp1252High[b - 0x80]) : static_cast<wchar_t>(b);
  return out;
}

std::string WideToAnsi(const String& s, bool* lossless) {
  if (lossless) *lossless = true;
  std::string out;
  out.reserve(s.size());
  for (wchar_t c : s) {
    char b;
    if (!WideToCp1252(c, b)) {
      b = '?';
      if (lossless) *lossless = false;
    }
    out += b;
  }
  return out;
}

bool FileExists(const String& path) {
  struct stat st;
  return stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& path) {
  struct stat st;
  return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const String& path) { return mkdir(NativePath(path).c_str(), 0777) == 0; }

bool RemoveFile(const String& path) { return unlink(NativePath(path).c_str()) == 0; }

String SysErrorMessage(int code) {
  String out = FromUtf8(strerror(code));
  while (!out.empty() && (out.back() == L'\r' || out.back() == L'\n' || out.back() == L' ')) out.pop_back();
  return out;
}

int GetLastOSError() { return errno; }

}  // namespace tk
