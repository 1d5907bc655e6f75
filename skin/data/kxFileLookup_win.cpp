#include "skin/data/kxFileLookup.h"

#include "toolkit/SysUtils.h"

namespace kx {

tk::String FindFileNoCase(const tk::String& Path) { return tk::FileExists(Path) ? Path : tk::String(); }

}  // namespace kx
