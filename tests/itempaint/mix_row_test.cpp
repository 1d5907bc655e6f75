#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "skin/paint/MaskMixRow.h"

namespace {

TEST(MaskMixRow, FastLoopGivesTheScalarBytesForEveryInput) {
  // Every (s, d) pair against every mask byte, with and without the lift.
  std::vector<uint8_t> s(65536), d0(65536), m(65536);
  for (int i = 0; i < 65536; ++i) s[i] = uint8_t(i), d0[i] = uint8_t(i >> 8);
  for (int lift : {0, 100}) {
    for (int k = 0; k < 256; ++k) {
      std::fill(m.begin(), m.end(), uint8_t(k));
      std::vector<uint8_t> a = d0, b = d0;
      kx::MaskMixRowScalar(a.data(), s.data(), m.data(), a.size(), uint8_t(lift));
      kx::MaskMixRowFast(b.data(), s.data(), m.data(), b.size(), uint8_t(lift));
      ASSERT_EQ(a, b) << "mask " << k << " lift " << lift;
    }
  }
  // Odd lengths and offsets reach the scalar tail.
  std::mt19937 rng(5);
  for (int n = 0; n < 70; ++n) {
    std::vector<uint8_t> x(n + 3), y, ss(n + 3), mm(n + 3);
    for (auto* v : {&x, &ss, &mm})
      for (auto& c : *v) c = uint8_t(rng());
    y = x;
    kx::MaskMixRowScalar(x.data() + 1, ss.data() + 2, mm.data(), n, 0);
    kx::MaskMixRowFast(y.data() + 1, ss.data() + 2, mm.data(), n, 0);
    ASSERT_EQ(x, y) << n;
  }
}

}  // namespace
