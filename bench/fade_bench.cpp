// One frame of a button's cross-fade against copying the button's bitmap.
// Every 10 ms of a fade the old look is copied and the new one blended into
// it; the target is a frame in under 5 copies' time. Reported beside the
// time: vs_memcpy = frame time / memcpy time of the same bitmap.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include "bench/BenchTiming.h"
#include "skin/framework/sFadeTimer.h"

namespace {

using tk::TBitmap;
using tk::TPixelFormat;

std::unique_ptr<TBitmap> Noise(int w, int h, TPixelFormat f, uint32_t seed) {
  auto b = std::make_unique<TBitmap>(w, h, f);
  std::mt19937 rng(seed);
  const tk::TPixelView v = b->View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w * v.Bpp(); ++x) v.Row(y)[x] = static_cast<uint8_t>(rng());
  return b;
}

void BM_FadeFrame(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const TPixelFormat f = state.range(2) == 32 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
  auto from = Noise(w, h, f, 1), to = Noise(w, h, f, 2), copy = Noise(w, h, f, 3);
  TBitmap frame;
  int step = 1;
  auto fadeFrame = [&] {
    kx::BuildFadeFrame(frame, *from, *to, step, 20);
    step = step % 20 + 1;
    benchmark::ClobberMemory();
  };
  auto memcpyBitmap = [&] {
    const tk::TPixelView d = copy->View(), s = from->View();
    const size_t n = static_cast<size_t>(w) * d.Bpp();
    for (int y = 0; y < h; ++y) std::memcpy(d.Row(y), s.Row(y), n);
    benchmark::ClobberMemory();
  };
  for (auto _ : state) fadeFrame();
  double own = 1e30, bare = 1e30;
  for (int round = 0; round < 3; ++round) {
    bare = std::min(bare, benchtiming::BestSeconds(memcpyBitmap));
    own = std::min(own, benchtiming::BestSeconds(fadeFrame));
  }
  state.counters["vs_memcpy"] = own / bare;
  state.counters["memcpy_ns"] = bare * 1e9;
}

// The copy alone, for the CPU-time column beside the frame's.
void BM_BitmapMemcpy(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const TPixelFormat f = state.range(2) == 32 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
  auto from = Noise(w, h, f, 1), copy = Noise(w, h, f, 3);
  const tk::TPixelView d = copy->View(), s = from->View();
  const size_t n = static_cast<size_t>(w) * d.Bpp();
  for (auto _ : state) {
    for (int y = 0; y < h; ++y) std::memcpy(d.Row(y), s.Row(y), n);
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(BM_FadeFrame)->Args({50, 50, 24})->Args({50, 50, 32})->ArgNames({"w", "h", "bits"});
BENCHMARK(BM_BitmapMemcpy)->Args({50, 50, 24})->Args({50, 50, 32})->ArgNames({"w", "h", "bits"});

BENCHMARK_MAIN();
