// Writing pictures: BMP (24- or 32-bit, as the bitmap is), PNG through libpng
// and JPEG through libjpeg. Used by the skin tool and to build skins in code.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/Bitmap.h"

namespace kx {

// A bottom-up BI_RGB file; 8-bit grey bitmaps are written as 24-bit.
std::vector<uint8_t> WriteBmp(const tk::TBitmap& Bmp);
// 32-bit bitmaps keep their alpha; anything else is written as RGB.
std::vector<uint8_t> WritePng(const tk::TBitmap& Bmp);
std::vector<uint8_t> WriteJpeg(const tk::TBitmap& Bmp, int Quality = 90);

}  // namespace kx
