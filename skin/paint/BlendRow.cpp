#include "skin/paint/BlendRow.h"

#include <emmintrin.h>
#include <immintrin.h>

#include <cstring>

namespace kx {

void BlendRowScalar(uint8_t* dst, const uint8_t* src, size_t n, uint8_t A) {
  for (size_t i = 0; i < n; ++i) dst[i] = BlendByte(dst[i], src[i], A);
}

namespace {

// Eight blended bytes in the low halves of 16-bit lanes. mullo's low 16 bits
// are the same for unsigned lanes; the sum stays below 65536, so the
// wrap-free add and the logical shift are exact.
inline __m128i Blend8(__m128i d16, __m128i s16, __m128i a, __m128i ia, __m128i half) {
  const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(d16, a), _mm_mullo_epi16(s16, ia));
  return _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
}

}  // namespace

void BlendRowSse2(uint8_t* dst, const uint8_t* src, size_t n, uint8_t A) {
  const __m128i a = _mm_set1_epi16(A);
  const __m128i ia = _mm_set1_epi16(static_cast<short>(255 - A));
  const __m128i half = _mm_set1_epi16(127);
  const __m128i zero = _mm_setzero_si128();
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i lo = Blend8(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), a, ia, half);
    const __m128i hi = Blend8(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero), a, ia, half);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  // Rows of two 32-bit pixels more than a multiple of four end here.
  if (i + 8 <= n) {
    const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i s = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + i));
    const __m128i lo = Blend8(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), a, ia, half);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, lo));
    i += 8;
  }
  BlendRowScalar(dst + i, src + i, n - i, A);
}

// Thirty-two bytes a step with one multiply-add per sixteen: the bytes of
// d and s are interleaved and biased to signed (x - 128), so that
// maddubs(A | (255-A) << 8, d' s') = d*A + s*(255-A) - 128*255, which lies
// in [-32640, 32385] and never saturates; adding 32640 + 127 = 32767 gives
// the sum of BlendByte in unsigned 16-bit lanes. The loop keeps every value
// in registers: nothing 32 bytes wide goes through the stack, which the
// Windows ABIs do not align for it.
__attribute__((target("avx2"))) void BlendRowAvx2(uint8_t* dst, const uint8_t* src, size_t n, uint8_t A) {
  const __m256i w = _mm256_set1_epi16(static_cast<short>(A | ((255 - A) << 8)));
  const __m256i bias = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i k = _mm256_set1_epi16(32767);
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i d = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i)), bias);
    const __m256i s = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)), bias);
    const __m256i lo = _mm256_srli_epi16(_mm256_add_epi16(_mm256_maddubs_epi16(w, _mm256_unpacklo_epi8(d, s)), k), 8);
    const __m256i hi = _mm256_srli_epi16(_mm256_add_epi16(_mm256_maddubs_epi16(w, _mm256_unpackhi_epi8(d, s)), k), 8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(lo, hi));
  }
  // The upper halves would otherwise slow down the SSE2 code that follows.
  _mm256_zeroupper();
  BlendRowSse2(dst + i, src + i, n - i, A);
}

bool CpuHasAvx2() {
  // The check includes the operating system saving the wide registers.
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}

void BlendRowFast(uint8_t* dst, const uint8_t* src, size_t n, uint8_t A) {
  if (n >= 32 && CpuHasAvx2()) BlendRowAvx2(dst, src, n, A);
  else BlendRowSse2(dst, src, n, A);
}

void FillRowPixels(uint8_t* row, int count, int bpp, const uint8_t* pixel) {
  if (count <= 0) return;
  // Rows of 16 bytes or more end with one store that overlaps the one
  // before, so no byte beyond the run is touched and there is no tail loop.
  if (bpp == 4) {
    uint32_t w;
    std::memcpy(&w, pixel, 4);
    if (count < 4) {
      for (int x = 0; x < count; ++x) std::memcpy(row + x * 4, &w, 4);
      return;
    }
    const __m128i v = _mm_set1_epi32(static_cast<int>(w));
    for (int x = 0; x + 4 <= count; x += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x * 4), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + (count - 4) * 4), v);
    return;
  }
  // Sixteen pixels of three bytes make three whole vectors; the pattern runs
  // on for one more vector so that a store can start at any byte phase.
  const size_t n = static_cast<size_t>(count) * 3;
  alignas(16) uint8_t pattern[64];
  for (int k = 0; k < 63; k += 3) std::memcpy(pattern + k, pixel, 3);
  pattern[63] = pixel[0];
  if (n < 16) {
    std::memcpy(row, pattern, n);
    return;
  }
  const __m128i p0 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern));
  const __m128i p1 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 16));
  const __m128i p2 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 32));
  size_t i = 0;
  for (; i + 48 <= n; i += 48) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), p0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i + 16), p1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i + 32), p2);
  }
  if (i + 16 <= n) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), p0);
  if (i + 32 <= n) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i + 16), p1);
  const size_t last = n - 16;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(row + last),
                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern + last % 48)));
}

}  // namespace kx
