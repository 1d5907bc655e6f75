// Finding a skin's picture file as Windows would: file names compare without
// regard to case there, so a folder skin naming "MASTER.BMP" finds
// "Master.bmp". Natively the folder is searched for such a name.
#pragma once

#include "toolkit/Types.h"

namespace kx {

// Path itself when it exists (or on Windows); natively also the entry of its
// folder whose name matches its last part in ASCII case. Empty when none.
tk::String FindFileNoCase(const tk::String& Path);

}  // namespace kx
