#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "skin/paint/StretchHalftone.h"
#include "tests/paint/PaintTest.h"
#include "toolkit/Graphics.h"
#include "toolkit/Handles.h"

using namespace painttest;
using tk::TRect;

namespace {

// StretchBlt of src's rectangle s onto dst's rectangle d in the given mode.
void SystemStretch(TBitmap& dst, TRect d, TBitmap& src, TRect s, int mode) {
  HDC dc = dst.Canvas()->Handle();
  const tk::TDCState state(dc);
  ::SetStretchBltMode(dc, mode);
  if (mode == HALFTONE) ::SetBrushOrgEx(dc, 0, 0, nullptr);
  ::StretchBlt(dc, d.Left, d.Top, d.Width(), d.Height(), src.Canvas()->Handle(), s.Left, s.Top, s.Width(), s.Height(),
               SRCCOPY);
}

}  // namespace

// Our stretches stand in for the system's so that pictures come out the same
// on every platform. The nearest-pixel modes must give the system's bytes.
// Wine's HALFTONE interpolates between neighbours where Windows averages the
// covered area, so that mode is not compared here.
TEST(StretchPixels, NearestPixelModesGiveTheSystemsBytes) {
  struct TCase {
    int w, h, dw, dh;
  };
  const TCase cases[] = {{10, 10, 20, 20}, {10, 10, 5, 5}, {7, 3, 30, 11}, {30, 11, 7, 3}, {16, 9, 9, 16},
                         {1, 5, 9, 40},    {10, 6, 4, 4},  {2, 5, 3, 2},   {18, 14, 4, 5}, {6, 6, 6, 6}};
  for (int mode : {BLACKONWHITE, COLORONCOLOR}) {
    for (const TCase& c : cases) {
      for (TPixelFormat f : {pf24, pf32}) {
        auto src = Noise(c.w + 4, c.h + 4, f, uint32_t(c.w * 31 + c.dh));
        auto sys = Solid(c.dw + 6, c.dh + 6, f, 0x5A5A5A, 7);
        auto ours = Copy(*sys);
        const TRect s{2, 2, 2 + c.w, 2 + c.h}, d{3, 3, 3 + c.dw, 3 + c.dh};
        SystemStretch(*sys, d, *src, s, mode);
        kx::StretchPixels(ours->View(), d, src->View(), s, mode);
        std::ostringstream name;
        name << "stretch-" << mode << "-" << c.w << "x" << c.h << "-to-" << c.dw << "x" << c.dh;
        EXPECT_TRUE(LooksAlike(*ours, *sys, 0, name.str()));
      }
    }
  }
}

TEST(StretchPixels, RandomNearestPixelStretchesGiveTheSystemsBytes) {
  std::mt19937 rng(23);
  for (int i = 0; i < 80; ++i) {
    const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 30), dw = 1 + int(rng() % 60), dh = 1 + int(rng() % 45);
    const int mode = i % 2 ? BLACKONWHITE : COLORONCOLOR;
    auto src = Noise(w, h, pf24, rng());
    auto sys = Solid(dw, dh, pf24, 0x5A5A5A);
    auto ours = Copy(*sys);
    SystemStretch(*sys, TRect{0, 0, dw, dh}, *src, TRect{0, 0, w, h}, mode);
    kx::StretchPixels(ours->View(), TRect{0, 0, dw, dh}, src->View(), TRect{0, 0, w, h}, mode);
    std::ostringstream name;
    name << "random-stretch-" << i;
    EXPECT_TRUE(LooksAlike(*ours, *sys, 0, name.str()))
        << w << "x" << h << " to " << dw << "x" << dh << " mode " << mode;
  }
}
