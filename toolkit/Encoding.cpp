#include "toolkit/Encoding.h"

#include <new>

#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

namespace tk {

TTextEncoding DetectEncoding(const uint8_t* p, size_t n, size_t* BomLength) {
  TTextEncoding e = TTextEncoding::teAnsi;
  size_t len = 0;
  if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) e = TTextEncoding::teUtf16LE, len = 2;
  else if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) e = TTextEncoding::teUtf16BE, len = 2;
  else if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) e = TTextEncoding::teUtf8, len = 3;
  if (BomLength) *BomLength = len;
  return e;
}

namespace {

String DecodeUtf16(const uint8_t* p, size_t n, bool bigEndian) {
  String out;
  out.reserve(n / 2);
  for (size_t i = 0; i + 1 < n; i += 2) {
    uint32_t u = bigEndian ? (p[i] << 8 | p[i + 1]) : (p[i + 1] << 8 | p[i]);
    if constexpr (sizeof(wchar_t) > 2) {
      // Natively one wchar_t per code point: join surrogate pairs.
      if (u >= 0xD800 && u <= 0xDBFF && i + 3 < n) {
        uint32_t d = bigEndian ? (p[i + 2] << 8 | p[i + 3]) : (p[i + 3] << 8 | p[i + 2]);
        if (d >= 0xDC00 && d <= 0xDFFF) {
          u = 0x10000 + ((u - 0xD800) << 10) + (d - 0xDC00);
          i += 2;
        }
      }
    }
    out += static_cast<wchar_t>(u);
  }
  return out;
}

}  // namespace

String DecodeText(const uint8_t* p, size_t n, TTextEncoding* Found) {
  size_t bom;
  TTextEncoding e = DetectEncoding(p, n, &bom);
  if (Found) *Found = e;
  p += bom;
  n -= bom;
  switch (e) {
    case TTextEncoding::teUtf16LE: return DecodeUtf16(p, n, false);
    case TTextEncoding::teUtf16BE: return DecodeUtf16(p, n, true);
    case TTextEncoding::teUtf8: return FromUtf8(std::string(reinterpret_cast<const char*>(p), n));
    case TTextEncoding::teAnsi: break;
  }
  return AnsiToWide(std::string(reinterpret_cast<const char*>(p), n));
}

String NormalizeLineBreaks(const String& s) {
  String out;
  out.reserve(s.size() + s.size() / 16);
  for (size_t i = 0; i < s.size(); ++i) {
    wchar_t c = s[i];
    if (c == L'\r') {
      out += L"\r\n";
      if (i + 1 < s.size() && s[i + 1] == L'\n') ++i;
    } else if (c == L'\n') {
      out += L"\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<uint8_t> EncodePageText(const String& Text, bool* Utf8) {
  bool lossless = true;
  std::string a = WideToAnsi(Text, &lossless);
  if (Utf8) *Utf8 = !lossless;
  if (lossless) return std::vector<uint8_t>(a.begin(), a.end());
  std::string u = ToUtf8(Text);
  std::vector<uint8_t> out{0xEF, 0xBB, 0xBF};
  out.insert(out.end(), u.begin(), u.end());
  return out;
}

std::vector<uint8_t> ReadFileBytes(const String& Path) {
  TFileStream f(Path, fmOpenRead | fmShareDenyWrite);
  int64_t size = f.Size();
  std::vector<uint8_t> out;
  try {
    if (static_cast<uint64_t>(size) > out.max_size() / 2) throw std::bad_alloc();
    out.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EFOpenError(Fmt(L"Cannot open file \"%s\". %s", {Path, L"There is not enough memory for the file."}));
  }
  if (size) f.ReadBuffer(out.data(), size);
  return out;
}

String LoadTextFile(const String& Path, TTextEncoding* Found) { return DecodeText(ReadFileBytes(Path), Found); }

}  // namespace tk
