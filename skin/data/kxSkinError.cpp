#include "skin/data/kxSkinError.h"

#include <cwchar>

namespace kx {

namespace {

bool Invisible(wchar_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200E && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

tk::String EscapeSkinText(const tk::String& Text) {
  size_t i = 0;
  while (i < Text.size() && !Invisible(Text[i])) ++i;
  if (i == Text.size()) return Text;
  tk::String out = Text.substr(0, i);
  for (; i < Text.size(); ++i) {
    const wchar_t c = Text[i];
    if (!Invisible(c)) {
      out += c;
      continue;
    }
    wchar_t buf[8];
    std::swprintf(buf, 8, c < 0x100 ? L"\\x%02X" : L"\\u%04X", static_cast<unsigned>(c));
    out += buf;
  }
  return out;
}

}  // namespace kx
