// Loading a packed skin of the internal skin's shape (11 entries, about
// 100 KB packed) against the bare cost of inflating its entries and decoding
// its pictures with zlib, libpng and our BMP reader alone. The whole load
// (parse, notations, sections, constant indexes) should stay within 1.5 times
// the bare cost; BM_SkinLoad reports the ratio as the counter "vs_bare".
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdio>
#include <string>
#include <vector>

#include "skin/data/kxBmpReader.h"
#include "skin/data/kxImageWrite.h"
#include "skin/data/kxPngReader.h"
#include "skin/data/kxSkinPack.h"
#include "skin/data/sSkinLoad.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Smooth shading with a little noise: compresses about as well as real skin art.
void Paint(tk::TBitmap& b, uint32_t seed) {
  const int bpp = b.PixelFormat() == tk::TPixelFormat::pf32bit ? 4 : 3;
  for (int y = 0; y < b.Height(); ++y) {
    uint8_t* p = b.ScanLine(y);
    for (int x = 0; x < b.Width(); ++x, p += bpp) {
      seed = seed * 1664525u + 1013904223u;
      int n = (seed >> 24) < 40 ? int(seed >> 30) : 0;
      bool key = ((x / 16) + (y / 16)) % 7 == 0;
      p[0] = key ? 0xFF : uint8_t(120 + x / 5 + n);
      p[1] = key ? 0x00 : uint8_t(140 + y / 4 + n);
      p[2] = key ? 0xFF : uint8_t(160 + (x + y) / 9);
      if (bpp == 4) p[3] = uint8_t(x < 16 || y < 16 ? x * 16 : 255);
    }
  }
}

Bytes Picture(int w, int h, tk::TPixelFormat f, bool png, uint32_t seed) {
  tk::TBitmap b(w, h, f);
  Paint(b, seed);
  return png ? kx::WritePng(b) : kx::WriteBmp(b);
}

std::string OptionsText() {
  std::string o =
      "[GLOBALINFO]\nVERSION=6.65\nAUTHOR=Bench\nDESCRIPTION=Shaped like the internal skin\n"
      "MASTERBITMAP=MASTER.BMP\nBORDERWIDTH=26\nTITLEHEIGHT=51\nMAXHEIGHT=34\nFORMOFFSET=16\nCENTEROFFSET=5\n"
      "BORDERMODE=1\nCOLOR=15461355\nFONTCOLOR=3355443\nBIKEEPHUE=0\nSHADOW1BLUR=-1\n"
      "EXBORDER=!EXBOR.PNG!2!0!3!0043!0068!0044!0043\n"
      "BICONCLOSE=@0133@0000@0217@0015@3@0\nBICONMAX=@0049@0000@0133@0015@3@0\n"
      "BICONMIN=@0217@0000@0301@0015@3@0\nBICONNORM=@0301@0000@0385@0015@3@0\n"
      "BICONCLOSEGLOW0=!GLOWCLOSE.PNG!1!0!4\nBICONMAXGLOW0=!GLOWMAX.PNG!1!0!4\n"
      "BICONMINGLOW0=!GLOWMIN.PNG!1!0!4\nBICONNORMGLOW0=!GLOWNORM.PNG!1!0!4\n"
      "BOXCHECKED=@0000@0020@0039@0033@3@0\nBOXUNCHECKED=@0039@0020@0078@0033@3@0\n"
      "RADIOCHECKED=@0078@0020@0117@0033@3@0\nRADIOUNCHECKED=@0117@0020@0156@0033@3@0\n";
  const char* names[] = {"FORM",
                         "FORMTITLE",
                         "PANEL",
                         "SPEEDBUTTON",
                         "EDIT",
                         "SCROLLBAR1V",
                         "SCROLLBAR2V",
                         "SCROLLBTNTOP",
                         "SCROLLBTNBOTTOM",
                         "SCROLLSLIDERV",
                         "SCROLLBAR1H",
                         "SCROLLBAR2H",
                         "SCROLLBTNLEFT",
                         "SCROLLBTNRIGHT",
                         "SCROLLSLIDERH",
                         "BUTTON",
                         "MAINMENU",
                         "MENUITEM",
                         "ICOLINE",
                         "DIVIDERV",
                         "DIALOG",
                         "CHECKBOX",
                         "GROUPBOX",
                         "COMBOBOX",
                         "COMBOBTN",
                         "COLHEADER",
                         "PAGECONTROL",
                         "TABTOP",
                         "TABBOTTOM",
                         "TABLEFT",
                         "TABRIGHT",
                         "UPDOWNBTN",
                         "BAR",
                         "TOOLBUTTON",
                         "DIVIDER",
                         "STATUSBAR",
                         "PANEL_LOW",
                         "SPEEDBUTTON_SMALL",
                         "TOOLBAR",
                         "CAPTION",
                         "MENULINE",
                         "EXTRALINE",
                         "MDIAREA",
                         "WEBBUTTON",
                         "BARTITLE",
                         "RADIOBUTTON",
                         "DRAGBAR",
                         "TABSHEET",
                         "SPLITTER",
                         "GAUGE",
                         "TRACKBAR"};
  int i = 0;
  for (const char* n : names) {
    char buf[1200];
    std::snprintf(buf, sizeof buf,
                  "[%s]\n%sCOLOR=%d\nHOTCOLOR=%d\nFONTCOLOR=3355443\nHOTFONTCOLOR=0\nTCLEFT=-1\nTRANSPARENCY=0\n"
                  "GRADIENTPERCENT=%d\nGRADIENTDATA=16777215;15856113;97;0;0;15856113;15856113;0;0;0\n"
                  "HOTGRADIENTDATA=16777215;15000000;50;0;0\nIMAGEPERCENT=0\nSHOWFOCUS=TRUE\n"
                  "FADINGENABLED=TRUE\nFADINGITERATIONS=20\nGLOW=%d\nGLOWMARGIN=9\nGCOL=16777215\nGSIZE=0\n"
                  "BORDERSMASK=^%04d^%04d^%04d^%04d^0003^0003^0003^0003^3^1^4^0\n"
                  "GLYPHMASK=@%04d@%04d@%04d@%04d@3@0\nPATTERN=~0029~0034~0032~0040~10\n"
                  "IMGTOPLEFT=@0000@0000@0004@0004@1@0\n",
                  n, i > 3 && i % 4 == 0 ? "PARENTCLASS=PANEL\n" : "", 15461355 - i, 16777215 - i, i % 3 * 50,
                  i % 5 == 0, (i * 37) % 400, 40 + (i * 13) % 200, (i * 37) % 400 + 90, 40 + (i * 13) % 200 + 60,
                  (i * 11) % 400, 300, (i * 11) % 400 + 36, 312);
    o += buf;
    ++i;
  }
  o += "[SPEEDBUTTON2]\nPARENTCLASS=SPEEDBUTTON\nBORDERSMASK=!BUTTONHUGE.BMP!3!1!0\nGLOW0=!GLOWBTN.PNG!1!0!3\n"
       "[GLOWS]\nH=!GLOWH.PNG!1!0!3\nW=!GLOWWHITE.PNG!1!0!3\n";
  return o;
}

struct TSkinFile {
  Bytes packed;
  TSkinFile() {
    std::string o = OptionsText();
    std::vector<std::pair<std::string, Bytes>> pics = {
        {"ButtonHuge.bmp", Picture(150, 100, tk::TPixelFormat::pf24bit, false, 1)},
        {"Master.bmp", Picture(560, 460, tk::TPixelFormat::pf24bit, false, 2)},
        {"Exbor.png", Picture(260, 220, tk::TPixelFormat::pf32bit, true, 3)},
        {"GlowBtn.png", Picture(80, 24, tk::TPixelFormat::pf32bit, true, 4)},
        {"GlowClose.png", Picture(46, 36, tk::TPixelFormat::pf32bit, true, 5)},
        {"GlowH.png", Picture(60, 30, tk::TPixelFormat::pf32bit, true, 6)},
        {"GlowMax.png", Picture(46, 36, tk::TPixelFormat::pf32bit, true, 7)},
        {"GlowMin.png", Picture(46, 36, tk::TPixelFormat::pf32bit, true, 8)},
        {"GlowNorm.png", Picture(46, 36, tk::TPixelFormat::pf32bit, true, 9)},
        {"GlowWhite.png", Picture(60, 30, tk::TPixelFormat::pf32bit, true, 10)}};
    std::vector<kx::TkxPackInput> in = {{"Options.dat", reinterpret_cast<const uint8_t*>(o.data()), o.size()}};
    for (const auto& p : pics) in.push_back({p.first, p.second.data(), p.second.size()});
    packed = kx::WritePackedSkin(in);
  }
};

const TSkinFile& Skin() {
  static TSkinFile s;
  return s;
}

// The bare work: inflate every entry, decode every picture.
size_t BareDecode(const Bytes& packed) {
  tk::TMemoryStream data(packed.data(), packed.size());
  std::vector<kx::TkxPackedEntry> entries = kx::ReadPackedEntries(&data);
  size_t pixels = 0;
  for (const kx::TkxPackedEntry& e : entries) {
    const uint8_t* p = e.Data->Memory();
    size_t n = size_t(e.Data->Size());
    if (kx::LooksLikeBmp(p, n)) pixels += size_t(kx::ReadBmp(p, n)->Width());
    else if (kx::LooksLikePng(p, n)) pixels += size_t(kx::ReadPng(p, n)->Width());
  }
  return pixels;
}

void BM_BareDecode(benchmark::State& state) {
  const Bytes& packed = Skin().packed;  // built before the timed loop
  for (auto _ : state) benchmark::DoNotOptimize(BareDecode(packed));
  state.counters["packed_bytes"] = double(packed.size());
}

// The thread's CPU time: the ratio should not depend on what else the
// (shared) machine is running at the moment.
double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void BM_SkinLoad(benchmark::State& state) {
  const Bytes& packed = Skin().packed;
  double loadSeconds = 0, bareSeconds = 0;
  for (auto _ : state) {
    double t0 = CpuSeconds();
    tk::TMemoryStream data(packed.data(), packed.size());
    auto content = kx::TkxSkinLoad().FromPacked(&data);
    benchmark::DoNotOptimize(content->gd.size());
    content.reset();
    double t1 = CpuSeconds();
    // The bare cost, interleaved with the loads so that both see the same
    // caches and allocator state.
    state.PauseTiming();
    double t2 = CpuSeconds();
    benchmark::DoNotOptimize(BareDecode(packed));
    double t3 = CpuSeconds();
    state.ResumeTiming();
    loadSeconds += t1 - t0;
    bareSeconds += t3 - t2;
  }
  const double n = double(state.iterations());
  state.counters["load_ms"] = loadSeconds / n * 1e3;
  state.counters["bare_ms"] = bareSeconds / n * 1e3;
  state.counters["vs_bare"] = loadSeconds / bareSeconds;
  state.counters["packed_bytes"] = double(packed.size());
}

}  // namespace

BENCHMARK(BM_BareDecode)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_SkinLoad)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
#ifndef NO_BENCH_MAIN
BENCHMARK_MAIN();
#endif
