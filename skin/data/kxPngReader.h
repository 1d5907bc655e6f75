// PNG pictures of skins through libpng (its simplified reading interface,
// which keeps libpng's error jumps inside the library).
//
// Pictures with an alpha channel or a transparency chunk become pf32bit with
// straight (not premultiplied) alpha, all others pf24bit. Damaged data raises
// tk::EInvalidGraphic with libpng's own text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "toolkit/Bitmap.h"

namespace kx {

std::unique_ptr<tk::TBitmap> ReadPng(const uint8_t* data, size_t size);

bool LooksLikePng(const uint8_t* data, size_t size);

}  // namespace kx
