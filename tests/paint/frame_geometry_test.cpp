#include <gtest/gtest.h>

#include <array>

#include "skin/paint/FrameGeometry.h"

using tk::TRect;

TEST(SkinFrameBands, FillTheRingBetweenTheMaskAndTheFrameAndNeverOverreach) {
  struct Case {
    TRect R;
    int Frame, WL, WT, WR, WB;
    int Left, Top, Right, Bottom;
    TRect Inner;
  } cases[] = {
      // A frame as wide as the margins leaves nothing to fill.
      {{0, 0, 100, 50}, 4, 4, 4, 4, 4, 0, 0, 0, 0, {4, 4, 96, 46}},
      {{0, 0, 100, 50}, 6, 4, 4, 4, 4, 2, 2, 2, 2, {6, 6, 94, 44}},
      {{10, 20, 110, 70}, 6, 2, 3, 5, 1, 4, 3, 1, 5, {16, 26, 104, 64}},
      // Margins wider than the frame: no band, not a negative one.
      {{0, 0, 100, 50}, 2, 4, 4, 4, 4, 0, 0, 0, 0, {2, 2, 98, 48}},
      // Too small for the frame: bands stop at the far margin, Inner collapses.
      {{0, 0, 8, 9}, 6, 4, 4, 4, 4, 0, 1, 0, 1, {6, 6, 6, 6}},
  };
  for (const Case& c : cases) {
    const kx::TkxFrameBands b = kx::SkinFrameBands(c.R, c.Frame, c.WL, c.WT, c.WR, c.WB);
    SCOPED_TRACE(testing::Message() << "frame " << c.Frame << " in " << c.R.Width() << " x " << c.R.Height());
    EXPECT_EQ(b.MaskInner, (TRect{c.R.Left + c.WL, c.R.Top + c.WT, c.R.Right - c.WR, c.R.Bottom - c.WB}));
    EXPECT_EQ((std::array{b.Left, b.Top, b.Right, b.Bottom}), (std::array{c.Left, c.Top, c.Right, c.Bottom}));
    EXPECT_EQ(b.Inner, c.Inner);
  }
}

TEST(PanelCaptionRect, CentresTheTextInsideTheBevelsCountedFromTheTop) {
  struct Case {
    TRect Client;
    int Inset, BorderWidth, TextHeight;
    TRect Want;
  } cases[] = {
      // One raised bevel of 1 in a 100-high panel: (98 - TH) div 2, one
      // pixel above the true centre when the difference is even.
      {{0, 0, 200, 100}, 1, 0, 14, {1, 42, 199, 56}},
      {{0, 0, 200, 100}, 1, 0, 13, {1, 42, 199, 55}},
      {{0, 0, 200, 100}, 0, 0, 14, {0, 43, 200, 57}},
      // The border width is added after centring.
      {{0, 0, 200, 100}, 5, 3, 10, {5, 43, 195, 53}},
      // A text taller than the room goes above the top; a negative height counts as 0.
      {{0, 0, 200, 20}, 1, 0, 30, {1, -6, 199, 24}},
      {{0, 0, 200, 100}, 1, 0, -4, {1, 49, 199, 49}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(kx::PanelCaptionRect(c.Client, c.Inset, c.BorderWidth, c.TextHeight), c.Want)
        << "inset " << c.Inset << ", text " << c.TextHeight;
}
