#include <gtest/gtest.h>

#include "skin/framework/kxGlow.h"

namespace kx {
namespace {

using tk::TRect;

// An 80 x 24 control at (100, 50) unless a row says otherwise.
TEST(GlowPlacement, SizeCutAndPlace) {
  const TRect R{100, 50, 180, 74};
  const struct {
    const char* what;
    TRect r, v;
    int w, margin;  // all four side widths, GlowMargin
    TkxGlowPlace want;
  } rows[] = {
      {"whole control: 6 pixels left of and above it", R, {0, 0, 80, 24}, 15, 9, {92, 36, 0, 0, 92, 36, 94, 44}},
      {"right half hidden: cut where the control is", R, {0, 0, 50, 24}, 15, 9, {92, 36, 0, 0, 56, 36, 94, 44}},
      {"left part hidden", R, {30, 0, 80, 24}, 15, 9, {92, 36, 36, 0, 56, 36, 130, 44}},
      {"top part hidden", R, {0, 14, 80, 24}, 15, 9, {92, 36, 0, 20, 92, 16, 94, 64}},
      {"bottom part hidden", R, {0, 0, 80, 10}, 15, 9, {92, 36, 0, 0, 92, 16, 94, 44}},
      {"hidden on both sides", R, {10, 0, 70, 24}, 15, 9, {92, 36, 16, 0, 60, 36, 110, 44}},
      {"cut before a wider margin's picture", R, {1, 0, 80, 24}, 4, 6, {76, 20, 0, 0, 76, 20, 102, 52}},
      {"nothing visible", R, {0, 0, 0, 0}, 15, 9, {}},
      {"visible part beyond the right edge", R, {80, 0, 80, 24}, 15, 9, {}},
      {"too small for any picture", {100, 50, 104, 54}, {0, 0, 4, 4}, 2, 5, {}},
      {"no area", {100, 50, 100, 74}, {0, 0, 0, 24}, 15, 0, {}},
      {"visible only where the picture is not", R, {1, 0, 2, 24}, 0, 9, {}},
  };
  for (const auto& row : rows) {
    const TkxGlowPlace p = GlowPlacement(TkxGlowFrame{row.r, row.v, row.w, row.w, row.w, row.w, row.margin});
    if (row.want.Empty()) {
      EXPECT_TRUE(p.Empty()) << row.what;
      continue;
    }
    const int got[] = {p.FullW, p.FullH, p.CutLeft, p.CutTop, p.W, p.H, p.X, p.Y};
    const int want[] = {row.want.FullW, row.want.FullH, row.want.CutLeft, row.want.CutTop,
                        row.want.W,     row.want.H,     row.want.X,       row.want.Y};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(got[i], want[i]) << row.what << " (field " << i << ")";
  }
}

}  // namespace
}  // namespace kx
