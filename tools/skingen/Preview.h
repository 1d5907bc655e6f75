// The contact sheet of a skin: every mask picture the skin loads, each state
// frame on its own checkerboard tile (small ones magnified), followed by any
// extra 32-bit pictures such as the built-in shadows. Mask layers are mixed
// the way the engine mixes them; 32-bit pictures are taken as premultiplied.
#pragma once

#include <memory>
#include <vector>

#include "skin/data/sSkinData.h"
#include "toolkit/Bitmap.h"

namespace skingen {

std::unique_ptr<tk::TBitmap> ContactSheet(const kx::TkxSkinContent& Skin,
                                          const std::vector<const tk::TBitmap*>& Extras);

}  // namespace skingen
