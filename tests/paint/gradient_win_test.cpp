#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "skin/paint/sGradient.h"
#include "tests/paint/PaintTest.h"

using namespace painttest;
using kx::TkxGradVertex;
using tk::TRect;

namespace {

// The vertices PaintGradient builds for r, with the given five colours.
void Vertices(const TRect& r, const TColor (&c)[5], TkxGradVertex (&vx)[5]) {
  const int pts[5][2] = {{r.Left, r.Top},
                         {r.Left + r.Width() / 2, r.Top + r.Height() / 2},
                         {r.Right, r.Top},
                         {r.Right, r.Bottom},
                         {r.Left, r.Bottom}};
  for (int i = 0; i < 5; ++i) vx[i] = TkxGradVertex{pts[i][0], pts[i][1], c[i]};
}

}  // namespace

// Ours samples every pixel at its own point and truncates, as the system's
// fill does; under Wine the two give the same bytes. One level is allowed
// for a system whose fill rounds instead.
constexpr int kTriangleTolerance = 1;

TEST(GradientTriangles, OurFillMatchesTheSystemFillWithinTheTolerance) {
  const TColor sets[][5] = {{0x0000FF, 0xFFFFFF, 0x00FF00, 0xFF0000, 0x000000},
                            {0x102030, 0xF0E0D0, 0x808080, 0x00FFFF, 0x7F007F},
                            {0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF}};
  const TRect rects[] = {{0, 0, 64, 48}, {3, 5, 120, 33}, {0, 0, 7, 5}, {10, 2, 11, 40}, {1, 1, 200, 150}};
  int set = 0;
  for (const auto& colours : sets) {
    for (const TRect& r : rects) {
      for (TPixelFormat f : {pf24, pf32}) {
        auto system = Solid(r.Right + 2, r.Bottom + 2, f, 0x5A5A5A, 7);
        auto ours = Solid(r.Right + 2, r.Bottom + 2, f, 0x5A5A5A, 7);
        TkxGradVertex vx[5];
        Vertices(r, colours, vx);
        ASSERT_TRUE(kx::detail::PaintTrianglesBySystem(system.get(), r, vx)) << "msimg32 GradientFill is there";
        kx::FillGradientTriangles(ours->View(), r, vx);
        std::ostringstream name;
        name << "triangles-" << set << "-" << r.Width() << "x" << r.Height() << (f == pf32 ? "-32" : "-24");
        EXPECT_TRUE(LooksAlike(*ours, *system, kTriangleTolerance, name.str()));
        if (f == pf32) {
          EXPECT_EQ(Alpha(*system, r.Left, r.Top), 255);
          EXPECT_EQ(Alpha(*system, r.Right - 1, r.Bottom - 1), 255);
          EXPECT_EQ(Alpha(*system, r.Right, r.Bottom), 7) << "outside the rectangle";
        }
      }
    }
    ++set;
  }
}

TEST(GradientTriangles, OurFillMatchesTheSystemFillOverRandomRectanglesAndColours) {
  std::mt19937 rng(17);
  for (int i = 0; i < 60; ++i) {
    const int l = int(rng() % 20), t = int(rng() % 20);
    const TRect r{l, t, l + 1 + int(rng() % 90), t + 1 + int(rng() % 70)};
    TColor colours[5];
    for (TColor& c : colours) c = TColor(rng() & 0xFFFFFF);
    TkxGradVertex vx[5];
    Vertices(r, colours, vx);
    auto system = Solid(r.Right + 1, r.Bottom + 1, pf24, 0x5A5A5A);
    auto ours = Solid(r.Right + 1, r.Bottom + 1, pf24, 0x5A5A5A);
    ASSERT_TRUE(kx::detail::PaintTrianglesBySystem(system.get(), r, vx));
    kx::FillGradientTriangles(ours->View(), r, vx);
    std::ostringstream name;
    name << "random-triangles-" << i;
    EXPECT_TRUE(LooksAlike(*ours, *system, kTriangleTolerance, name.str()));
  }
}

TEST(GradientTriangles, ModeTwoPaintsThroughTheSystemFill) {
  kx::TsGradArray arr;
  kx::ParseGradientData(L"255;0;0;2;0;16777215;0;0;0;0;65280;0;0;0;0", arr);
  auto viaGradient = Solid(40, 30, pf24, 0x5A5A5A);
  auto system = Solid(40, 30, pf24, 0x5A5A5A);
  const TRect r{2, 3, 37, 29};
  kx::PaintGradient(viaGradient.get(), r, arr);
  TkxGradVertex vx[5];
  Vertices(r, {0x0000FF, 0xFFFFFF, 0x00FF00, 0x00FF00, 0x00FF00}, vx);
  ASSERT_TRUE(kx::detail::PaintTrianglesBySystem(system.get(), r, vx));
  EXPECT_TRUE(SameBytes(*viaGradient, *system));
}
