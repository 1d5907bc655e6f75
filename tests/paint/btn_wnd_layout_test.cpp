#include <gtest/gtest.h>

#include "skin/paint/kxBtnWndLayout.h"

using kx::TkxBtnWndMeasures;
using tk::TRect;

namespace {

// A 20 x 13 caption on a 75 x 25 button; a 16 x 16 glyph where there is one
// (60 x 50 where glyph and caption are stacked).
TkxBtnWndMeasures Plain(bool glyph = false) {
  TkxBtnWndMeasures m;
  m.W = 75, m.H = 25, m.TW = 20, m.TH = 13, m.HasCaption = true;
  if (glyph) m.GW = 16, m.GH = 16;
  return m;
}
TkxBtnWndMeasures Own(tk::TButtonLayout l, bool stacked = false) {
  TkxBtnWndMeasures m = Plain(true);
  m.OwnLayout = true, m.Layout = l, m.Spacing = 4, m.Margin = 2;
  if (stacked) m.W = 60, m.H = 50;
  return m;
}
bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

TEST(BtnWndLayout, CaptionAndGlyphOfEachKindOfButton) {
  struct Case {
    const char* name;
    TkxBtnWndMeasures m;
    TRect caption, glyph;
  };
  TkxBtnWndMeasures down = Plain();
  down.Down = true;
  TkxBtnWndMeasures glyphDown = Plain(true);
  glyphDown.Down = true;
  TkxBtnWndMeasures ownDown = Own(tk::blGlyphLeft);
  ownDown.Down = true;
  TkxBtnWndMeasures wide = Plain();
  wide.TW = 80;
  TkxBtnWndMeasures lone = Own(tk::blGlyphLeft);
  lone.HasCaption = false, lone.TW = 0, lone.TH = 0;
  const Case cases[] = {
      {"push button: centred, one pixel more left, two right", Plain(), {26, 6, 50, 19}, {}},
      {"pressed: moved by one pixel", down, {27, 7, 51, 20}, {}},
      {"caption wider than the button: halves truncate toward zero", wide, {-3, 6, 79, 19}, {}},
      {"glyph without own layout: caption moved right by half the glyph", Plain(true), {35, 6, 59, 19},
       {17, 4, 33, 20}},
      {"... pressed", glyphDown, {36, 7, 60, 20}, {18, 5, 34, 21}},
      {"own layout, glyph left", Own(tk::blGlyphLeft), {37, 6, 57, 19}, {17, 4, 33, 20}},
      {"own layout, glyph right", Own(tk::blGlyphRight), {17, 6, 37, 19}, {41, 4, 57, 20}},
      {"own layout, glyph above", Own(tk::blGlyphTop, true), {20, 28, 40, 41}, {23, 8, 39, 24}},
      {"own layout, glyph below", Own(tk::blGlyphBottom, true), {20, 9, 40, 22}, {23, 26, 39, 42}},
      {"own layout pressed: both move", ownDown, {38, 7, 58, 20}, {18, 5, 34, 21}},
      {"own layout without caption: no gap, glyph centred", lone, {45, 12, 45, 12}, {29, 4, 45, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TRect caption = kx::BtnWndCaptionRect(c.m), glyph = kx::BtnWndGlyphRect(c.m);
    EXPECT_EQ(caption, c.caption);
    EXPECT_EQ(glyph, c.glyph);
    if (c.m.OwnLayout && c.m.HasCaption) {
      EXPECT_FALSE(Overlap(caption, glyph));
    }
  }
}

TEST(BtnWndLayout, CaptionWrapWidth) {
  TkxBtnWndMeasures none = Plain();
  none.HasCaption = false;
  TkxBtnWndMeasures flat = Own(tk::blGlyphLeft);
  flat.GH = 0;  // a glyph of no height leaves the whole width
  const struct {
    TkxBtnWndMeasures m;
    int limit;
  } cases[] = {
      {none, 0},                          //
      {Plain(), 73},                      // W - 2
      {Plain(true), 55},                  // W - (GW + 2) - 2
      {Own(tk::blGlyphLeft), 51},         // W - 2 Margin - (GW + Spacing)
      {Own(tk::blGlyphRight), 51},        //
      {Own(tk::blGlyphTop), 71},          // W - 2 Margin
      {flat, 71},                         //
  };
  for (const auto& c : cases) EXPECT_EQ(kx::BtnWndCaptionLimit(c.m), c.limit);
}
