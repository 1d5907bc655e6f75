// kxskin, the skin tool for skin authors and for our own checks:
//   kxskin unpack SKIN.kxz DIR   every entry of a packed skin as a file
//   kxskin pack DIR SKIN.kxz     a folder packed (unpack then pack gives the same bytes)
//   kxskin check SKIN            loads a packed skin or a skin folder the way the
//                                program does and lists what it finds
//   kxskin render SKIN SECTION WxH STATE OUT.png [--parent C|--parent-section S]
//                                one section's look as a PNG
//   kxskin sheet SKIN OUT.png    every section in states 0 to 2 as a PNG
// Output goes to Out, the one-line error of a failure to Err; the result is
// the process exit code. Pure: the same on Linux and Windows.
#pragma once

#include <ostream>
#include <vector>

#include "toolkit/Types.h"

namespace kxtool {

// Names the order of the entries in an unpacked folder, one per line.
constexpr const wchar_t* kOrderFileName = L"kxskin.order";

int RunKxSkin(const std::vector<tk::String>& Args, std::ostream& Out, std::ostream& Err);

}  // namespace kxtool
