// The arithmetic of a skinned scroll bar: arrow and bar sizes, where the
// thumb lies, which part of the bar a point is on, and the scroll position
// a dragged thumb stands for. Pure functions over one record of the bar's
// values; the Win32 half (skin/controls/kxScrollWnd) fills the record from
// the window and the system metrics. Pure: builds natively.
#pragma once

#include "toolkit/Types.h"

namespace kx {

// Bar parts, numbered as the scroll codes they send.
enum TkxBarPart : int {
  sbpNone = -1,
  sbpArrow1 = 0,      // up or left (SB_LINEUP)
  sbpArrow2 = 1,      // down or right (SB_LINEDOWN)
  sbpTrackBefore = 2, // SB_PAGEUP
  sbpTrackAfter = 3,  // SB_PAGEDOWN
  sbpThumb = 5,       // SB_THUMBTRACK
};

// What the geometry needs of one bar: its direction, the plain arrow length
// (the system's, not a skin's wider arrow pictures), the smallest thumb and
// the window's scroll information.
struct TkxBarValues {
  bool Vertical = true;
  int ArrowLength = 0;
  int MinThumbSize = 10;
  int Min = 0;
  int Max = 0;
  unsigned Page = 0;
  int Pos = 0;
};

// Highest range the thumb is placed for; wider ranges show a thumb of
// length 0 at the start.
constexpr int kxMaxScrollRange = 0x7FFFFFFE;

// A size given as a count of units when negative (-k: k units), else in
// pixels: the bar thickness (unit: the system bar thickness) and the arrow
// length (unit: the default arrow length, or a skin's wider arrow picture).
int ScaledBarSize(int Value, int Unit);

struct TkxThumb {
  int Length = 0;
  int Start = 0;  // in the coordinates of the bar rectangle given
};
// Thumb length and start within bar rectangle r.
TkxThumb ThumbGeometry(const TkxBarValues& b, tk::TRect r);

// The part of bar rectangle r under point p, sbpNone when p is off the bar
// or on a track whose thumb is as long as the track.
int BarPart(const TkxBarValues& b, tk::TRect r, tk::TPoint p);

// Does the painted bar show its thumb? Only when the track has room for it.
bool ThumbFits(const TkxBarValues& b, int Track);

// A thumb drag: where the thumb starts for the mouse coordinate Mouse along
// the bar (held MouseOffset from the thumb's start), kept on the track
// [TrackStart, TrackEnd).
int DraggedThumbStart(int Mouse, int MouseOffset, int ThumbSize, int TrackStart, int TrackEnd);
// The scroll position of a thumb dragged Offset pixels down the track
// (track length TrackLength, thumb ThumbSize). An empty range answers pixels.
int DraggedPosition(const TkxBarValues& b, int Offset, int TrackLength, int ThumbSize);

}  // namespace kx
