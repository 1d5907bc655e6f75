// The painting core against the bare cost of moving the same bytes. Fades
// blend whole cache bitmaps every 10 ms and gradients run on every cache
// rebuild, so each benchmark runs on a window-sized (742 x 514) and a
// button-sized (50 x 50) bitmap of 24 and 32 bits, and reports beside its
// time a ratio to the bare loop measured on the same bytes:
//   vs_memcpy  blend throughput / memcpy throughput (target >= 0.5 for the
//              window size)
//   vs_memset  gradient time / memset time of the rectangle (target <= 2
//              for mode 0)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <random>

#include "bench/BenchTiming.h"
#include "skin/paint/BlendRow.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBorderTemplate.h"
#include "skin/paint/sGradient.h"

namespace {

using tk::TBitmap;
using tk::TPixelFormat;

TPixelFormat Format(int bits) { return bits == 32 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit; }

std::unique_ptr<TBitmap> Noise(int w, int h, int bits, uint32_t seed) {
  auto b = std::make_unique<TBitmap>(w, h, Format(bits));
  std::mt19937 rng(seed);
  const tk::TPixelView v = b->View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w * v.Bpp(); ++x) v.Row(y)[x] = static_cast<uint8_t>(rng());
  return b;
}

size_t RowBytes(const TBitmap& b) {
  return static_cast<size_t>(b.Width()) * (b.PixelFormat() == TPixelFormat::pf32bit ? 4 : 3);
}

using benchtiming::BestSeconds;

// The bare loop over the rows of a pair of bitmaps of the benchmark's shape:
// memcpy from one to the other, or memset.
struct TBare {
  std::unique_ptr<TBitmap> d, s;
  bool copy;
  TBare(bool copy, int w, int h, int bits) : d(Noise(w, h, bits, 1)), s(Noise(w, h, bits, 2)), copy(copy) {}
  void operator()() const {
    const tk::TPixelView dv = d->View(), sv = s->View();
    const size_t n = RowBytes(*d);
    for (int y = 0; y < dv.height; ++y) {
      if (copy) std::memcpy(dv.Row(y), sv.Row(y), n);
      else std::memset(dv.Row(y), y & 0xFF, n);
    }
    benchmark::ClobberMemory();
  }
};

// Runs body per iteration and reports bytes, the ratio to memcpy (blends) or
// to memset (fills). The bare loop and body are timed in alternating rounds
// and the best of each kept, so that load from elsewhere on a shared
// machine bends both alike.
template <class F>
void Measure(benchmark::State& state, bool blend, F body) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const int bits = static_cast<int>(state.range(2));
  for (auto _ : state) {
    body();
    benchmark::ClobberMemory();
  }
  const TBare bare_loop(blend, w, h, bits);
  double own = 1e30, bare = 1e30;
  for (int round = 0; round < 3; ++round) {
    bare = std::min(bare, BestSeconds([&] { bare_loop(); }));
    own = std::min(own, BestSeconds([&] {
                     body();
                     benchmark::ClobberMemory();
                   }));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * w * h * (bits / 8));
  if (blend) state.counters["vs_memcpy"] = bare / own;
  else state.counters["vs_memset"] = own / bare;
}

struct TPair {
  std::unique_ptr<TBitmap> dst, src;
  explicit TPair(const benchmark::State& state)
      : dst(Noise(int(state.range(0)), int(state.range(1)), int(state.range(2)), 3)),
        src(Noise(int(state.range(0)), int(state.range(1)), int(state.range(2)), 4)) {}
};

void BM_Memcpy(benchmark::State& state) {
  TPair p(state);
  const tk::TPixelView d = p.dst->View(), s = p.src->View();
  const size_t n = RowBytes(*p.dst);
  Measure(state, true, [&] {
    for (int y = 0; y < d.height; ++y) std::memcpy(d.Row(y), s.Row(y), n);
  });
}

// One row loop over the whole pair, without the bitmap routines around it.
template <void (*Loop)(uint8_t*, const uint8_t*, size_t, uint8_t)>
void RowLoop(benchmark::State& state) {
  TPair p(state);
  const tk::TPixelView d = p.dst->View(), s = p.src->View();
  const size_t n = RowBytes(*p.dst);
  Measure(state, true, [&] {
    for (int y = 0; y < d.height; ++y) Loop(d.Row(y), s.Row(y), n, 100);
  });
}

void BM_ScalarBlendLoop(benchmark::State& state) { RowLoop<kx::BlendRowScalar>(state); }

// The loop a processor without AVX2 runs (BlendRowFast picks the widest).
void BM_Sse2BlendLoop(benchmark::State& state) { RowLoop<kx::BlendRowSse2>(state); }

void BM_BlendBitmapRect(benchmark::State& state) {
  TPair p(state);
  const tk::TRect all{0, 0, p.src->Width(), p.src->Height()};
  Measure(state, true, [&] { kx::BlendBitmapRect(p.dst.get(), p.src.get(), 100, tk::TPoint{0, 0}, all); });
}

void BM_BlendBitmapsEqual(benchmark::State& state) {
  TPair p(state);
  Measure(state, true, [&] { kx::BlendBitmapsEqual(p.dst.get(), p.src.get(), 100); });
}

void BM_Memset(benchmark::State& state) {
  TPair p(state);
  const tk::TPixelView d = p.dst->View();
  const size_t n = RowBytes(*p.dst);
  Measure(state, false, [&] {
    for (int y = 0; y < d.height; ++y) std::memset(d.Row(y), y & 0xFF, n);
  });
}

void Gradient(benchmark::State& state, const wchar_t* text) {
  TPair p(state);
  kx::TsGradArray arr;
  kx::ParseGradientData(text, arr);
  const tk::TRect all{0, 0, p.dst->Width(), p.dst->Height()};
  Measure(state, false, [&] { kx::PaintGradient(p.dst.get(), all, arr); });
}

void BM_GradientMode0(benchmark::State& state) { Gradient(state, L"16777215;15856113;60;0;0;15856113;8421504;40;0;0"); }

void BM_GradientMode1(benchmark::State& state) { Gradient(state, L"16777215;15856113;60;1;0;15856113;8421504;40;1;0"); }

void BM_BlendRectWithColor(benchmark::State& state) {
  TPair p(state);
  const tk::TRect all{0, 0, p.dst->Width() - 1, p.dst->Height() - 1};
  Measure(state, false, [&] { kx::BlendRectWithColor(p.dst.get(), all, 50, 0x336699); });
}

// The same look built from one MixColors call per pixel, as code without a
// rectangle routine would do.
void BM_MixColorsFill(benchmark::State& state) {
  TPair p(state);
  const tk::TPixelView d = p.dst->View();
  const int bpp = d.Bpp();
  Measure(state, false, [&] {
    for (int y = 0; y < d.height; ++y) {
      uint8_t* px = d.Row(y);
      for (int x = 0; x < d.width; ++x, px += bpp) {
        const tk::TColor c = kx::MixColors(tk::RGBColor(px[2], px[1], px[0]), 0x336699, 0.5);
        px[0] = tk::GetBValue(c);
        px[1] = tk::GetGValue(c);
        px[2] = tk::GetRValue(c);
      }
    }
  });
}

void Shapes(benchmark::internal::Benchmark* b) {
  for (int bits : {24, 32}) {
    b->Args({742, 514, bits});
    b->Args({50, 50, bits});
  }
  b->ArgNames({"w", "h", "bits"});
}

}  // namespace

// The frame and shadow template of the notepad's window picture (834 x 632
// with its shadow): the internal skin's 128 x 156 template, margins 44, 72,
// 44, 44, title 51, frame 26, shadow 16; vs_memcpy against a copy of the
// whole picture.
void BM_FrameTemplate(benchmark::State& state) {
  TPair p(state);
  auto tpl = Noise(128, 156, 32, 5);
  Measure(state, true, [&] {
    kx::ApplyFrameTemplate(p.dst.get(), tpl.get(), kx::TkxWidths{44, 72, 44, 44}, 51, tk::TRect{16, 16, 16, 16}, 26);
  });
}

BENCHMARK(BM_Memcpy)->Apply(Shapes);
BENCHMARK(BM_ScalarBlendLoop)->Apply(Shapes);
BENCHMARK(BM_Sse2BlendLoop)->Apply(Shapes);
BENCHMARK(BM_BlendBitmapRect)->Apply(Shapes);
BENCHMARK(BM_BlendBitmapsEqual)->Apply(Shapes);
BENCHMARK(BM_Memset)->Apply(Shapes);
BENCHMARK(BM_GradientMode0)->Apply(Shapes);
BENCHMARK(BM_GradientMode1)->Apply(Shapes);
BENCHMARK(BM_BlendRectWithColor)->Apply(Shapes);
BENCHMARK(BM_MixColorsFill)->Apply(Shapes);
BENCHMARK(BM_FrameTemplate)->Args({834, 632, 32})->ArgNames({"w", "h", "bits"});

BENCHMARK_MAIN();
