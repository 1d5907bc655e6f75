// The fixed-point byte helpers of the blend arithmetic and the row loops built
// on them. The scalar loops are the reference; the SSE2 loops must give the
// same bytes (SSE2 is always present on our targets).
#pragma once

#include <cstddef>
#include <cstdint>

namespace kx {

// The fade arithmetic: A weighs the destination's old byte, 255 - A the
// source's. (d*A + s*(255-A) + 127) >> 8 never exceeds 16 bits, so the
// SSE2 path can work in unsigned 16-bit lanes. Note that A = 255 does not
// keep d exactly (200 -> 199): skins and fades rely on these values.
constexpr uint8_t BlendByte(uint8_t d, uint8_t s, uint8_t A) {
  return static_cast<uint8_t>((d * A + s * (255 - A) + 127) >> 8);
}

// Nearest integer, halves to even: the rounding of tk::Round without the
// library call. Adding and taking away 1.5 * 2^52 leaves the integer that
// the current (nearest-even) rounding mode picks; exact for |v| < 2^51 and
// SSE arithmetic, which all our targets use.
inline int RoundHalfEven(double v) {
  constexpr double kMagic = 6755399441055744.0;
  return static_cast<int>((v + kMagic) - kMagic);
}

// dst[i] := BlendByte(dst[i], src[i], A) for i in [0, n). BlendRowFast runs
// the widest loop the processor has; all loops give the same bytes.
void BlendRowScalar(uint8_t* dst, const uint8_t* src, size_t n, uint8_t A);
void BlendRowSse2(uint8_t* dst, const uint8_t* src, size_t n, uint8_t A);
void BlendRowAvx2(uint8_t* dst, const uint8_t* src, size_t n, uint8_t A);  // only where CpuHasAvx2()
void BlendRowFast(uint8_t* dst, const uint8_t* src, size_t n, uint8_t A);

// AVX2 present and enabled by the operating system; decided once.
bool CpuHasAvx2();

// Writes count pixels of bpp (3 or 4) bytes, all equal to pixel[0..bpp).
void FillRowPixels(uint8_t* row, int count, int bpp, const uint8_t* pixel);

}  // namespace kx
