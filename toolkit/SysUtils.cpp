#include "toolkit/SysUtils.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tk {

Exception::Exception(String Msg) : FMessage(std::move(Msg)), FWhat(ToUtf8(FMessage)) {}

void Exception::SetMessage(String m) {
  FMessage = std::move(m);
  FWhat = ToUtf8(FMessage);
}

// --- Text -----------------------------------------------------------------

String Fmt(const String& pattern, std::initializer_list<String> args) {
  String out;
  out.reserve(pattern.size() + 32);
  auto arg = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    wchar_t c = pattern[i];
    if (c == L'%' && i + 1 < pattern.size()) {
      wchar_t n = pattern[i + 1];
      if (n == L'%') {
        out += L'%';
        ++i;
        continue;
      }
      if (n == L's') {
        // A missing argument leaves the placeholder empty rather than failing:
        // this runs while an error message is being built.
        if (arg != args.end()) out += *arg++;
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

String IntToStr(int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return String(buf, r.ptr);
}

namespace {

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Hexadecimal digits only; up to 32 bits, which wrap into the signed range so
// that colour values such as 0xFF00000F come out as the 32-bit pattern.
bool ParseHex32(const wchar_t* p, const wchar_t* end, uint32_t& out) {
  if (p == end) return false;
  uint64_t v = 0;
  for (; p != end; ++p) {
    int d = HexDigit(*p);
    if (d < 0) return false;
    v = v * 16 + static_cast<unsigned>(d);
    if (v > 0xFFFFFFFFull) return false;
  }
  out = static_cast<uint32_t>(v);
  return true;
}

// Optional sign, then decimal digits only, within the 32-bit range.
bool ParseDecimal32(const wchar_t* p, const wchar_t* end, int& out) {
  bool negative = p != end && *p == L'-';
  if (p != end && (*p == L'+' || *p == L'-')) ++p;
  if (p == end) return false;
  int64_t v = 0;
  for (; p != end; ++p) {
    if (*p < L'0' || *p > L'9') return false;
    v = v * 10 + (*p - L'0');
    if (v > static_cast<int64_t>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return false;
  out = static_cast<int>(v);
  return true;
}

}  // namespace

bool TryStrToInt(const String& s, int& v) {
  const wchar_t* p = s.data();
  const wchar_t* end = p + s.size();
  bool negative = p != end && *p == L'-';
  if (p != end && (*p == L'+' || *p == L'-')) ++p;
  const wchar_t* digits = nullptr;
  if (p != end && *p == L'$') digits = p + 1;
  else if (end - p >= 2 && p[0] == L'0' && (p[1] == L'x' || p[1] == L'X')) digits = p + 2;
  if (!digits) return ParseDecimal32(s.data(), end, v);
  uint32_t u;
  if (!ParseHex32(digits, end, u)) return false;
  v = static_cast<int32_t>(negative ? 0u - u : u);
  return true;
}

int StrToInt(const String& s) {
  int v;
  if (!TryStrToInt(s, v)) throw EConvertError(Fmt(L"''%s'' is not a valid integer value", {s}));
  return v;
}

int StrToIntDef(const String& s, int def) {
  int v;
  return TryStrToInt(s, v) ? v : def;
}

int ReadIntegerValue(const String& s, int def) {
  if (s.size() >= 3 && s[0] == L'0' && (s[1] == L'x' || s[1] == L'X')) {
    uint32_t u;
    if (!ParseHex32(s.data() + 2, s.data() + s.size(), u)) return def;
    return static_cast<int32_t>(u);
  }
  // Only plain decimal besides the rule above: "$10" or "-0x1" in a
  // settings or options file is not a number and reads as the default.
  int v;
  return ParseDecimal32(s.data(), s.data() + s.size(), v) ? v : def;
}

bool TryStrToFloatDot(const String& s, double& v) {
  String t = Trim(s);
  if (t.empty() || t.size() > 400) return false;
  std::string a;
  a.reserve(t.size());
  for (wchar_t c : t) {
    if (c > 0x7F) return false;
    a += static_cast<char>(c);
  }
  const char* p = a.data();
  const char* end = p + a.size();
  if (*p == '+') ++p;
  if (p == end) return false;
  double r;
  auto res = std::from_chars(p, end, r, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != end || !std::isfinite(r)) return false;
  v = r;
  return true;
}

double StrToFloatDot(const String& s) {
  double v;
  if (!TryStrToFloatDot(s, v)) throw EConvertError(Fmt(L"''%s'' is not a valid floating point value", {s}));
  return v;
}

String FloatToStrDot(double v) {
  if (std::isnan(v)) return L"NAN";
  if (std::isinf(v)) return v < 0 ? L"-INF" : L"INF";
  // Fifteen significant digits, the shortest form that shows them.
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  std::string t(buf, r.ptr);
  // "1e+20" style exponents: keep them, but in upper case as the toolkit writes them.
  String out;
  for (char c : t) out += static_cast<wchar_t>(c == 'e' ? 'E' : c);
  return out;
}

String Trim(const String& s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= L' ') ++b;
  while (e > b && s[e - 1] <= L' ') --e;
  return s.substr(b, e - b);
}

String UpperCaseAscii(const String& s) {
  String r = s;
  for (auto& c : r)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
  return r;
}

String LowerCaseAscii(const String& s) {
  String r = s;
  for (auto& c : r)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
  return r;
}

bool SameTextAscii(const String& a, const String& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x + 32);
    if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// --- UTF-8 ----------------------------------------------------------------
// Done by hand so both builds agree byte for byte. wchar_t holds UTF-16 on
// Windows (surrogate pairs joined here) and whole code points natively.

std::string ToUtf8(const String& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(s[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size()) {
      uint32_t d = static_cast<uint32_t>(s[i + 1]);
      if (d >= 0xDC00 && d <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
        ++i;
      }
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;  // lone surrogate
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {

void AppendCodePoint(String& out, uint32_t c) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (c >> 10));
      out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(c);
}

}  // namespace

String FromUtf8(const std::string& s) {
  String out;
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  size_t n = s.size();
  for (size_t i = 0; i < n;) {
    unsigned char b = p[i];
    if (b < 0x80) {
      out += static_cast<wchar_t>(b);
      ++i;
      continue;
    }
    int len = 0;
    uint32_t c = 0, min = 0;
    if ((b & 0xE0) == 0xC0) len = 2, c = b & 0x1F, min = 0x80;
    else if ((b & 0xF0) == 0xE0) len = 3, c = b & 0x0F, min = 0x800;
    else if ((b & 0xF8) == 0xF0) len = 4, c = b & 0x07, min = 0x10000;
    bool ok = len > 0 && i + len <= n;
    for (int k = 1; ok && k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) ok = false;
      else c = (c << 6) | (p[i + k] & 0x3F);
    }
    if (ok && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
    if (!ok) {
      // One replacement per bad byte, as the system decoder does; the next
      // byte starts over so one damaged sequence can't swallow good text.
      out += static_cast<wchar_t>(0xFFFD);
      ++i;
      continue;
    }
    AppendCodePoint(out, c);
    i += static_cast<size_t>(len);
  }
  return out;
}

// --- File names -----------------------------------------------------------

namespace {

bool IsDelimiter(wchar_t c) { return c == L'\\' || c == L'/' || c == L':'; }

size_t LastDelimiter(const String& path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsDelimiter(path[i - 1])) return i - 1;
  return String::npos;
}

size_t ExtensionDot(const String& path) {
  for (size_t i = path.size(); i > 0; --i) {
    wchar_t c = path[i - 1];
    if (c == L'.') return i - 1;
    if (IsDelimiter(c)) break;
  }
  return String::npos;
}

}  // namespace

String ExtractFilePath(const String& path) {
  size_t d = LastDelimiter(path);
  return d == String::npos ? String() : path.substr(0, d + 1);
}

String ExtractFileName(const String& path) {
  size_t d = LastDelimiter(path);
  return d == String::npos ? path : path.substr(d + 1);
}

String ExtractFileExt(const String& path) {
  size_t dot = ExtensionDot(path);
  return dot == String::npos ? String() : path.substr(dot);
}

String ChangeFileExt(const String& path, const String& ext) {
  size_t dot = ExtensionDot(path);
  return (dot == String::npos ? path : path.substr(0, dot)) + ext;
}

bool ForceDirectories(const String& path) {
  String p = path;
  while (p.size() > 1 && (p.back() == L'\\' || p.back() == L'/')) p.pop_back();
  if (p.empty()) return false;
  if (DirectoryExists(p)) return true;
  String parent = ExtractFilePath(p);
  while (parent.size() > 1 && (parent.back() == L'\\' || parent.back() == L'/')) parent.pop_back();
  if (!parent.empty() && parent != p && !ForceDirectories(parent)) return false;
  // Another process may have made it in between; what counts is that it exists.
  return CreateDir(p) || DirectoryExists(p);
}

String IncludeTrailingPathDelimiter(const String& path) {
  if (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) return path;
  return path + PathDelim;
}

}  // namespace tk
