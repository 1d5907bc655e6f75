#include "skin/paint/MaskMixRow.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kx {

void MaskMixRowScalar(uint8_t* d, const uint8_t* s, const uint8_t* m, size_t n, uint8_t lift) {
  for (size_t i = 0; i < n; ++i) {
    const int k = std::min(m[i] + lift, 255);
    d[i] = static_cast<uint8_t>((s[i] * (256 - k) + d[i] * k) >> 8);
  }
}

void MaskMixRowFast(uint8_t* d, const uint8_t* s, const uint8_t* m, size_t n, uint8_t lift) {
  size_t i = 0;
#if defined(__SSE2__)
  // (s * (256 - k) + d * k) >> 8 = s + floor((d - s) * k / 256): the
  // product needs 17 bits, so it is widened to 32 before the shift.
  const __m128i zero = _mm_setzero_si128(), up = _mm_set1_epi8(static_cast<char>(lift));
  auto half = [](__m128i s16, __m128i d16, __m128i k16) {
    const __m128i a = _mm_sub_epi16(d16, s16);
    const __m128i lo = _mm_mullo_epi16(a, k16), hi = _mm_mulhi_epi16(a, k16);
    const __m128i p0 = _mm_srai_epi32(_mm_unpacklo_epi16(lo, hi), 8);
    const __m128i p1 = _mm_srai_epi32(_mm_unpackhi_epi16(lo, hi), 8);
    return _mm_add_epi16(s16, _mm_packs_epi32(p0, p1));
  };
  for (; i + 16 <= n; i += 16) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i kv = _mm_adds_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i)), up);
    const __m128i r0 = half(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero), _mm_unpacklo_epi8(kv, zero));
    const __m128i r1 = half(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero), _mm_unpackhi_epi8(kv, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(r0, r1));
  }
#endif
  MaskMixRowScalar(d + i, s + i, m + i, n - i, lift);
}

}  // namespace kx
