// The error every skin load raises for data it cannot accept (damaged packed
// files, missing options). Conversion, stream and picture errors keep their
// own toolkit classes and texts. Text taken from a skin (entry names, section
// and key names, values) goes into a message or the skin tool's output only
// through EscapeSkinText.
#pragma once

#include "toolkit/SysUtils.h"

namespace kx {

class EkxSkinError : public tk::Exception {
 public:
  using Exception::Exception;
};

// Control characters (C0, DEL, C1) and the invisible line, paragraph and
// direction marks become visible escapes: \x1B, \u2028. A damaged name must
// not put NUL bytes into a message or steer a terminal. Other text, the
// backslash included, is kept.
tk::String EscapeSkinText(const tk::String& Text);

}  // namespace kx
