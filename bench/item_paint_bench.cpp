// The looks the notepad rebuilds most, against a plain memcpy of the same
// target bitmap: a page button (50 x 50 "SPEEDBUTTON" over the "PANEL"
// cache, states 0 to 2), the 178 x 514 "PANEL" and the 742 x 514 "FORM"
// background. Each reports beside its time
//   vs_memcpy  look time / memcpy time of the target (target <= 20 for the
//              page button, so a fade's rebuilds stay far below a frame)
// and BM_Memcpy gives the bare copies themselves. BM_DisabledPageButton is
// the current page's button: its look faded into the panel's picture.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>

#include "bench/BenchTiming.h"
#include "skin/data/sSkinLoad.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

namespace {

using tk::TBitmap;
using tk::TRect;

const kx::TkxSkinContent& Pearlmist() {
  static const std::unique_ptr<kx::TkxSkinContent> skin = [] {
    tk::TMemoryStream data;
    data.LoadFromFile(tk::FromUtf8(TABULO_PEARLMIST_KXZ));
    return kx::TkxSkinLoad().FromPacked(&data);
  }();
  return *skin;
}

using benchtiming::BestSeconds;

double MemcpySeconds(int w, int h) {
  auto d = kx::NewBitmap24(w, h), s = kx::NewBitmap24(w, h);
  const tk::TPixelView dv = d->View(), sv = s->View();
  return BestSeconds([&] {
    for (int y = 0; y < h; ++y) std::memcpy(dv.Row(y), sv.Row(y), size_t(w) * 3);
    benchmark::ClobberMemory();
  });
}

template <class F>
void Measure(benchmark::State& state, int w, int h, F body) {
  for (auto _ : state) {
    body();
    benchmark::ClobberMemory();
  }
  const double own = BestSeconds([&] {
    body();
    benchmark::ClobberMemory();
  });
  state.counters["vs_memcpy"] = own / MemcpySeconds(w, h);
}

kx::TkxControlSkin Control(const wchar_t* section) {
  const kx::TkxSkinContent& skin = Pearlmist();
  return kx::TkxControlSkin{skin.GetSkinIndex(section), section, -1, -1, &skin, kxKeyColor};
}

// The button column's picture, what the page buttons are painted over.
std::unique_ptr<TBitmap> PanelPicture() {
  auto panel = kx::NewBitmap24(178, 514);
  kx::PaintControlLook(Control(L"PANEL"), kx::TCacheInfo{nullptr, 0, 0, kxKeyColor, false}, true, true, panel.get(),
                       tk::TPoint{}, TRect{0, 0, 178, 514}, 0);
  return panel;
}

void BM_PageButtonOverPanel(benchmark::State& state) {
  const int look = static_cast<int>(state.range(0));
  auto panel = PanelPicture();
  auto button = kx::NewBitmap24(50, 50);
  const kx::TkxControlSkin c = Control(L"SPEEDBUTTON");
  const kx::TCacheInfo ci{panel.get(), 64, 120, kxKeyColor, true};
  Measure(state, 50, 50, [&] {
    kx::PaintControlLook(c, ci, true, true, button.get(), tk::TPoint{}, TRect{0, 0, 50, 50}, look);
  });
}

// The current page's button: its look over the panel, then faded into the
// panel's picture (the disabled look), as its cache is rebuilt whole.
void BM_DisabledPageButton(benchmark::State& state) {
  auto panel = PanelPicture();
  auto button = kx::NewBitmap24(50, 50);
  const kx::TkxControlSkin c = Control(L"SPEEDBUTTON");
  const kx::TCacheInfo ci{panel.get(), 0, 0, kxKeyColor, true};
  const tk::TPoint at{64, 120};
  Measure(state, 50, 50, [&] {
    kx::PaintControlLook(c, ci, true, true, button.get(), at, TRect{0, 0, 50, 50}, 0);
    kx::MakeDisabledLook(button.get(), kx::dkBlended, [] { return tk::TColor(0xF1F1F1); }, at, ci);
  });
}

void BM_PanelLook(benchmark::State& state) {
  auto panel = kx::NewBitmap24(178, 514);
  const kx::TkxControlSkin c = Control(L"PANEL");
  const kx::TCacheInfo ci{nullptr, 0, 0, 0xF1F1F1, false};
  Measure(state, 178, 514, [&] {
    kx::PaintControlLook(c, ci, true, true, panel.get(), tk::TPoint{}, TRect{0, 0, 178, 514}, 0);
  });
}

void BM_FormBackground(benchmark::State& state) {
  auto form = kx::NewBitmap24(742, 514);
  const kx::TkxControlSkin c = Control(L"FORM");
  const kx::TCacheInfo ci{nullptr, 0, 0, kxKeyColor, false};
  Measure(state, 742, 514, [&] {
    kx::PaintControlBackground(c, ci, 0, form.get(), tk::TPoint{}, TRect{0, 0, 742, 514});
  });
}

void BM_Memcpy(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto d = kx::NewBitmap24(w, h), s = kx::NewBitmap24(w, h);
  const tk::TPixelView dv = d->View(), sv = s->View();
  for (auto _ : state) {
    for (int y = 0; y < h; ++y) std::memcpy(dv.Row(y), sv.Row(y), size_t(w) * 3);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * w * h * 3);
}

BENCHMARK(BM_PageButtonOverPanel)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_DisabledPageButton);
BENCHMARK(BM_PanelLook);
BENCHMARK(BM_FormBackground);
BENCHMARK(BM_Memcpy)->Args({50, 50})->Args({178, 514})->Args({742, 514});

}  // namespace

BENCHMARK_MAIN();
