#include "skin/paint/BlendRow.h"

#include <emmintrin.h>

#include <cstring>

namespace kx {

void BlendRowScalar(uint8_t* dst, const uint8_t* src, size_t n, uint8_t A) {
  for (size_t i = 0; i < n; ++i) dst[i] = BlendByte(dst[i], src[i], A);
}

void BlendRowFast(uint8_t* dst, const uint8_t* src, size_t n, uint8_t A) {
  const __m128i a = _mm_set1_epi16(A);
  const __m128i ia = _mm_set1_epi16(static_cast<short>(255 - A));
  const __m128i half = _mm_set1_epi16(127);
  const __m128i zero = _mm_setzero_si128();
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    // mullo's low 16 bits are the same for unsigned lanes; the sum stays
    // below 65536, so the wrap-free add and logical shift are exact.
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), a),
                               _mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), ia));
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), a),
                               _mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), ia));
    lo = _mm_srli_epi16(_mm_add_epi16(lo, half), 8);
    hi = _mm_srli_epi16(_mm_add_epi16(hi, half), 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  BlendRowScalar(dst + i, src + i, n - i, A);
}

void FillRowPixels(uint8_t* row, int count, int bpp, const uint8_t* pixel) {
  if (count <= 0) return;
  if (bpp == 4) {
    uint32_t w;
    std::memcpy(&w, pixel, 4);
    const __m128i v = _mm_set1_epi32(static_cast<int>(w));
    int x = 0;
    for (; x + 4 <= count; x += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x * 4), v);
    for (; x < count; ++x) std::memcpy(row + x * 4, &w, 4);
    return;
  }
  // 16 pixels of three bytes make three whole vectors.
  alignas(16) uint8_t pattern[48];
  for (int k = 0; k < 48; k += 3) std::memcpy(pattern + k, pixel, 3);
  const __m128i p0 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern));
  const __m128i p1 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 16));
  const __m128i p2 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 32));
  const size_t n = static_cast<size_t>(count) * 3;
  size_t i = 0;
  for (; i + 48 <= n; i += 48) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), p0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i + 16), p1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i + 32), p2);
  }
  std::memcpy(row + i, pattern, n - i);
}

}  // namespace kx
