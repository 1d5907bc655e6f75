// The mix of a picture through its mask, one run of bytes at a time: the
// inner loop of every MaskType 1 border, glyph and texture. The scalar loop
// is the reference; the SSE2 loop must give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kx {

// d[i] := (s[i] * (256 - k) + d[i] * k) >> 8 with k = min(m[i] + lift, 255):
// a mask byte of 0 shows the picture, 255 (almost) the destination.
void MaskMixRowScalar(uint8_t* d, const uint8_t* s, const uint8_t* m, size_t n, uint8_t lift);
void MaskMixRowFast(uint8_t* d, const uint8_t* s, const uint8_t* m, size_t n, uint8_t lift);

}  // namespace kx
