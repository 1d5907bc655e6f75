// Timing beside Google Benchmark's own: the best of several batches, for
// the ratios the benchmarks report against a bare loop on the same bytes.
#pragma once

#include <algorithm>
#include <chrono>

namespace benchtiming {

// Seconds per run of f, the best of several timed batches of about 20 ms.
template <class F>
double BestSeconds(F f) {
  using Clock = std::chrono::steady_clock;
  int n = 1;
  for (;;) {
    const auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) f();
    if (Clock::now() - t0 > std::chrono::milliseconds(20)) break;
    n *= 2;
  }
  double best = 1e30;
  for (int k = 0; k < 5; ++k) {
    const auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count() / n);
  }
  return best;
}

}  // namespace benchtiming
