// Where a speed button puts its caption and glyph, worked out by hand for
// the page buttons and the other layouts.
#include <gtest/gtest.h>

#include "skin/paint/sButtonLayout.h"

using tk::TRect;

namespace {

kx::TkxButtonMeasures Button(int W, int H, int GW, int GH, int TW, int TH) {
  kx::TkxButtonMeasures m;
  m.W = W, m.H = H, m.GW = GW, m.GH = GH, m.TW = TW, m.TH = TH;
  m.HasCaption = TW > 0;
  return m;
}

}  // namespace

TEST(SpeedButtonLayout, CaptionAndGlyphRectangles) {
  struct Case {
    const char* What;
    kx::TkxButtonMeasures M;
    TRect Caption, Glyph;
  };
  auto with = [](kx::TkxButtonMeasures m, auto f) { return f(m), m; };
  const kx::TkxButtonMeasures page = Button(50, 50, 0, 0, 10, 19);
  const kx::TkxButtonMeasures top = with(Button(50, 60, 16, 16, 20, 13), [](auto& m) { m.Layout = tk::blGlyphTop; });
  const Case cases[] = {
      {"page button A", page, {19, 15, 32, 35}, {20, 25, 20, 25}},
      {"page button A pressed", with(page, [](auto& m) { m.Pressed = true; }), {20, 16, 33, 36}, {21, 26, 21, 26}},
      {"page button 0-9", Button(50, 50, 0, 0, 25, 19), {11, 15, 40, 35}, {12, 25, 12, 25}},
      {"text offset", with(page, [](auto& m) { m.TextOffset = 3; }), {22, 15, 35, 35}, {20, 25, 20, 25}},
      {"left justified, margin -1", with(page, [](auto& m) { m.Alignment = tk::taLeftJustify; }), {-2, 15, 12, 35},
       {0, 25, 0, 25}},
      {"glyph left, centred", Button(80, 30, 16, 16, 30, 13), {34, 8, 67, 22}, {15, 7, 31, 23}},
      {"glyph left, centred, pressed", with(Button(80, 30, 16, 16, 30, 13), [](auto& m) { m.Pressed = true; }),
       {35, 9, 68, 23}, {16, 8, 32, 24}},
      {"glyph right, right justified, margin 2, drop-down",
       with(Button(80, 30, 16, 16, 30, 13),
            [](auto& m) {
              m.Layout = tk::blGlyphRight, m.Alignment = tk::taRightJustify, m.Margin = 2, m.ArrowWidth = 16;
            }),
       {8, 8, 41, 22}, {43, 7, 59, 23}},
      {"glyph top", top, {14, 33, 37, 47}, {18, 13, 34, 29}},
      {"glyph top, reflected", with(top, [](auto& m) { m.Reflected = true; }), {14, 33, 37, 47}, {18, 11, 34, 27}},
      {"glyph top, reflected, pressed", with(top, [](auto& m) { m.Reflected = m.Pressed = true; }), {15, 34, 38, 48},
       {19, 12, 35, 28}},
      {"glyph bottom", with(top, [](auto& m) { m.Layout = tk::blGlyphBottom; }), {14, 13, 37, 27}, {18, 31, 34, 47}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    EXPECT_EQ(kx::CaptionRect(c.M), c.Caption);
    EXPECT_EQ(kx::ImgRect(c.M), c.Glyph);
  }
}

TEST(SpeedButtonLayout, CaptionWidthLimit) {
  kx::TkxButtonMeasures glyphLeft = Button(80, 30, 16, 16, 30, 13);
  kx::TkxButtonMeasures glyphTop = glyphLeft;
  glyphTop.Layout = tk::blGlyphTop;
  kx::TkxButtonMeasures hidden = glyphLeft;
  hidden.ShowCaption = false;
  kx::TkxButtonMeasures dropDown = Button(66, 50, 0, 0, 10, 19);
  dropDown.ArrowWidth = 16;
  dropDown.Margin = 1;
  EXPECT_EQ(kx::CaptionWidthLimit(Button(50, 50, 0, 0, 10, 19)), 52);  // raw margin -1 on both sides
  EXPECT_EQ(kx::CaptionWidthLimit(glyphLeft), 62);
  EXPECT_EQ(kx::CaptionWidthLimit(glyphTop), 82);
  EXPECT_EQ(kx::CaptionWidthLimit(dropDown), 48);
  EXPECT_EQ(kx::CaptionWidthLimit(hidden), 0);
  EXPECT_EQ(kx::CaptionWidthLimit(Button(50, 50, 0, 0, 0, 0)), 0);
}
