// Our own decoder for the BMP pictures that skins carry.
//
// Reads every format a skin may hold: 1, 4, 8, 16, 24 and 32 bits per pixel,
// bottom-up and top-down, bit fields, RLE4 and RLE8, with the core (OS/2 1.x)
// and the info headers up to version 5. The input is untrusted: every size and
// offset is checked before it is used, and a damaged file raises
// tk::EInvalidGraphic with a text that says what is wrong.
//
// 32-bit pictures become pf32bit (the fourth byte as stored, or the alpha
// mask's value for bit-field pictures), every other depth becomes pf24bit.
// Pixels that an RLE picture skips stay black, as on a fresh DIB section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "toolkit/Bitmap.h"

namespace kx {

std::unique_ptr<tk::TBitmap> ReadBmp(const uint8_t* data, size_t size);

// True when the bytes begin like a BMP file ("BM").
bool LooksLikeBmp(const uint8_t* data, size_t size);

}  // namespace kx
