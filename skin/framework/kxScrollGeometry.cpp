#include "skin/framework/kxScrollGeometry.h"

#include <algorithm>
#include <cstdint>

namespace kx {

namespace {

// Wide enough for any two positions: Max - Min of a full-width range
// overflows 32 bits.
int64_t Range(const TkxBarValues& b) { return int64_t(b.Max) - b.Min; }
bool RangeUsable(int64_t range) { return range >= 0 && range <= kxMaxScrollRange; }
int PageOf(const TkxBarValues& b) { return static_cast<int>(std::min<unsigned>(b.Page, 0x7FFFFFFF)); }

}  // namespace

int ScaledBarSize(int Value, int Unit) { return Value >= 0 ? Value : -Value * Unit; }

TkxThumb ThumbGeometry(const TkxBarValues& b, tk::TRect r) {
  const int a = b.ArrowLength;
  const int track = (b.Vertical ? r.Height() : r.Width()) - 2 * a;
  const int64_t range = Range(b);
  TkxThumb t;
  if (b.Page == 0) t.Length = a;
  else if (RangeUsable(range)) t.Length = std::max(tk::MulDiv(PageOf(b), track, int(range) + 1), b.MinThumbSize);
  int offset = 0;
  if (RangeUsable(range)) {
    // A thumb longer than its track has no room to move; a page covering
    // the whole range leaves no divisor (MulDiv answers -1): both stay at 0.
    const int room = std::max(track - t.Length, 0);
    offset = std::clamp(tk::MulDiv(b.Pos - b.Min, room, int(range) - std::max(1, PageOf(b)) + 1), 0, room);
  }
  t.Start = (b.Vertical ? r.Top : r.Left) + a + offset;
  return t;
}

int BarPart(const TkxBarValues& b, tk::TRect r, tk::TPoint p) {
  // Along the bar (x for a horizontal one) and across it.
  const int along = b.Vertical ? p.Y : p.X, across = b.Vertical ? p.X : p.Y;
  const int first = b.Vertical ? r.Top : r.Left, last = b.Vertical ? r.Bottom : r.Right;
  const int sideFirst = b.Vertical ? r.Left : r.Top, sideLast = b.Vertical ? r.Right : r.Bottom;
  if (across < sideFirst || across >= sideLast) return sbpNone;
  const int a = b.ArrowLength, w = last - first;
  const int d = 2 * a < w ? a : w / 2;
  if (along >= first && along < first + d) return sbpArrow1;
  if (along >= last - d && along < last) return sbpArrow2;
  const TkxThumb t = ThumbGeometry(b, r);
  if (t.Length >= w - 2 * a) return sbpNone;
  if (along >= t.Start && along < t.Start + t.Length) return sbpThumb;
  if (along >= first + d && along < t.Start) return sbpTrackBefore;
  if (along >= t.Start + t.Length && along < last - d) return sbpTrackAfter;
  return sbpNone;
}

bool ThumbFits(const TkxBarValues& b, int Track) {
  const int64_t range = Range(b);
  const int thumb = RangeUsable(range) ? tk::MulDiv(PageOf(b), Track, int(range)) : 0;
  return Track >= std::max(thumb, b.MinThumbSize);
}

int DraggedThumbStart(int Mouse, int MouseOffset, int ThumbSize, int TrackStart, int TrackEnd) {
  return std::max(std::min(Mouse - MouseOffset, TrackEnd - ThumbSize), TrackStart);
}

int DraggedPosition(const TkxBarValues& b, int Offset, int TrackLength, int ThumbSize) {
  const int64_t range = Range(b);
  if (range < 1) return Offset;
  if (range > kxMaxScrollRange) return b.Min;
  const int room = TrackLength - ThumbSize;
  if (room <= 0) return b.Min;
  // The vertical bar reaches one past the last page start at the very end
  // of its track; the window limits the position it is sent.
  const int steps = int(range) - PageOf(b) + (b.Vertical ? 2 : 1);
  if (b.Vertical && Offset == room) return b.Min + steps;
  return b.Min + tk::MulDiv(Offset, steps, room);
}

}  // namespace kx
