// The skinned scroll bar's arithmetic: thumb size and place, the part under
// a point, and what a thumb drag sends. The bars are those of a 200-pixel
// edit window with the system's 17-pixel arrows.
#include <gtest/gtest.h>

#include "skin/framework/kxScrollGeometry.h"

namespace kx {
namespace {

constexpr tk::TRect kVert{0, 0, 17, 200};  // track 166 between the arrows
constexpr tk::TRect kHorz{10, 0, 210, 17};

TkxBarValues Bar(int min, int max, unsigned page, int pos, bool vertical = true) {
  TkxBarValues b;
  b.Vertical = vertical;
  b.ArrowLength = 17;
  b.Min = min;
  b.Max = max;
  b.Page = page;
  b.Pos = pos;
  return b;
}

TEST(ScrollGeometry, SizesGivenAsUnitsOrPixels) {
  EXPECT_EQ(ScaledBarSize(-1, 17), 17);
  EXPECT_EQ(ScaledBarSize(-2, 17), 34);
  EXPECT_EQ(ScaledBarSize(12, 17), 12);
  EXPECT_EQ(ScaledBarSize(0, 17), 0);
}

TEST(ScrollGeometry, ThumbLengthAndStart) {
  struct Case {
    const char* what;
    TkxBarValues bar;
    tk::TRect r;
    int length, start;
  } cases[] = {
      {"no page: an arrow's length", Bar(0, 100, 0, 0), kVert, 17, 17},
      {"300 lines at the top: the smallest thumb", Bar(0, 300, 15, 0), kVert, 10, 17},
      {"300 lines at the last page: against the lower arrow", Bar(0, 300, 15, 286), kVert, 10, 173},
      {"half way", Bar(0, 300, 15, 143), kVert, 10, 95},
      {"a position past the end stays on the track", Bar(0, 300, 15, 400), kVert, 10, 173},
      {"a long page: a long thumb", Bar(0, 99, 50, 0), kVert, 83, 17},
      {"a page covering the whole range (no divisor)", Bar(0, 9, 10, 5), kVert, 166, 17},
      {"a thumb longer than its track stays at the start", Bar(0, 300, 15, 150), tk::TRect{0, 0, 17, 40}, 10, 17},
      {"a negative range: no thumb", Bar(10, 5, 3, 0), kVert, 0, 17},
      {"a range past the limit: no thumb", Bar(-2147483647 - 1, 2147483647, 10, 0), kVert, 0, 17},
      {"horizontal: from the left edge", Bar(0, 300, 15, 286, false), kHorz, 10, 183},
      {"a minimum above 0 counts from it", Bar(100, 400, 15, 386), kVert, 10, 173},
  };
  for (const Case& c : cases) {
    const TkxThumb t = ThumbGeometry(c.bar, c.r);
    EXPECT_EQ(t.Length, c.length) << c.what;
    EXPECT_EQ(t.Start, c.start) << c.what;
  }
}

TEST(ScrollGeometry, PartUnderAPoint) {
  struct Case {
    const char* what;
    TkxBarValues bar;
    tk::TRect r;
    tk::TPoint p;
    int part;
  } cases[] = {
      {"upper arrow", Bar(0, 300, 15, 143), kVert, {8, 0}, sbpArrow1},
      {"lower arrow", Bar(0, 300, 15, 143), kVert, {8, 199}, sbpArrow2},
      {"track above the thumb", Bar(0, 300, 15, 143), kVert, {8, 17}, sbpTrackBefore},
      {"thumb", Bar(0, 300, 15, 143), kVert, {8, 95}, sbpThumb},
      {"thumb's last pixel", Bar(0, 300, 15, 143), kVert, {8, 104}, sbpThumb},
      {"track below the thumb", Bar(0, 300, 15, 143), kVert, {8, 105}, sbpTrackAfter},
      {"beside the bar", Bar(0, 300, 15, 143), kVert, {17, 100}, sbpNone},
      {"short bar: arrows share it", Bar(0, 300, 15, 0), tk::TRect{0, 0, 17, 20}, {8, 10}, sbpArrow2},
      {"thumb as long as the track: only arrows", Bar(0, 300, 400, 0), kVert, {8, 100}, sbpNone},
      {"thumb as long as the track, arrow", Bar(0, 300, 400, 0), kVert, {8, 5}, sbpArrow1},
      {"horizontal: left arrow", Bar(0, 300, 15, 0, false), kHorz, {10, 8}, sbpArrow1},
      {"horizontal: track right of the thumb", Bar(0, 300, 15, 0, false), kHorz, {100, 8}, sbpTrackAfter},
      {"horizontal: below the bar", Bar(0, 300, 15, 0, false), kHorz, {100, 17}, sbpNone},
  };
  for (const Case& c : cases) EXPECT_EQ(BarPart(c.bar, c.r, c.p), c.part) << c.what;
}

TEST(ScrollGeometry, ThumbShownOnlyWhereTheTrackHoldsIt) {
  EXPECT_TRUE(ThumbFits(Bar(0, 300, 15, 0), 166));
  EXPECT_FALSE(ThumbFits(Bar(0, 300, 15, 0), 6));    // below the smallest thumb
  EXPECT_FALSE(ThumbFits(Bar(0, 100, 200, 0), 166));  // page beyond the range
  EXPECT_TRUE(ThumbFits(Bar(0, 0, 1, 0), 166));       // empty range: no divisor
}

TEST(ScrollGeometry, DraggedThumbStaysOnTheTrack) {
  EXPECT_EQ(DraggedThumbStart(100, 5, 10, 17, 183), 95);
  EXPECT_EQ(DraggedThumbStart(0, 5, 10, 17, 183), 17);
  EXPECT_EQ(DraggedThumbStart(400, 5, 10, 17, 183), 173);
  EXPECT_EQ(DraggedThumbStart(100, 5, 10, 17, 20), 17);  // track shorter than the thumb
}

TEST(ScrollGeometry, DraggedThumbPosition) {
  struct Case {
    const char* what;
    TkxBarValues bar;
    int offset, track, thumb, pos;
  } cases[] = {
      {"top", Bar(0, 300, 15, 0), 0, 166, 10, 0},
      {"vertical end: one past the last page", Bar(0, 300, 15, 0), 156, 166, 10, 287},
      {"vertical middle, rounded", Bar(0, 300, 15, 0), 78, 166, 10, 144},
      {"horizontal end: the last page", Bar(0, 300, 15, 0, false), 156, 166, 10, 286},
      {"empty range: pixels", Bar(0, 0, 0, 0), 42, 166, 10, 42},
      {"thumb filling the track: the start", Bar(0, 300, 15, 0), 0, 10, 10, 0},
      {"counted from the minimum", Bar(10, 310, 15, 0, false), 0, 166, 10, 10},
  };
  for (const Case& c : cases) EXPECT_EQ(DraggedPosition(c.bar, c.offset, c.track, c.thumb), c.pos) << c.what;
}

}  // namespace
}  // namespace kx
