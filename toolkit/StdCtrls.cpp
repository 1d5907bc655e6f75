// Pure helpers of the standard controls.
#include "toolkit/StdCtrls.h"

namespace tk {

namespace {

wchar_t UpperAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

}  // namespace

bool IsAccel(wchar_t Key, const String& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != L'&') continue;
    if (Caption[i + 1] == L'&') {
      ++i;  // a literal ampersand
      continue;
    }
    return UpperAscii(Caption[i + 1]) == UpperAscii(Key);
  }
  return false;
}

}  // namespace tk
