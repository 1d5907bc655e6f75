// Size limits shared by every picture decoder of the skin reader.
//
// Skins are downloaded from anywhere: a header alone must never make us
// allocate gigabytes, so each decoder checks the declared dimensions against
// these before it allocates a single pixel.
#pragma once

#include <cstdint>

#include "toolkit/Types.h"

namespace kx {

constexpr int kxMaxPictureSide = 16384;
// 32 M pixels: 128 MB as 32-bit; far beyond any real master bitmap.
constexpr int64_t kxMaxPicturePixels = int64_t(32) * 1024 * 1024;

// True when a picture of that size may be allocated (no allocation itself,
// so it is safe between setjmp and longjmp).
bool PictureSizeOk(int64_t width, int64_t height) noexcept;

// Empty when the size is acceptable, else the reason.
tk::String CheckPictureSize(int64_t width, int64_t height);

}  // namespace kx
