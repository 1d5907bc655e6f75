// Layout arithmetic of the controls: size limits, alignment of several
// children in one parent, and text flags for the reading order.
#include "toolkit/Controls.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tk;

namespace {

// Aligns the items in Client as a parent does, each child taking the wanted
// bounds clamped to its own limits (Limits[i], may be empty).
std::vector<TRect> Layout(std::vector<TAlignItem> Items, TRect Client,
                          const std::vector<TSizeConstraints*>& Limits = {}) {
  for (TAlign a : kAlignOrder)
    AlignPass(a, Items, Client, [&](size_t i, const TRect& r) {
      int w = r.Width(), h = r.Height();
      if (i < Limits.size() && Limits[i]) Limits[i]->Apply(w, h);
      return Bounds(r.Left, r.Top, w, h);
    });
  std::vector<TRect> out;
  for (const TAlignItem& it : Items) out.push_back(it.Bounds);
  return out;
}

}  // namespace

TEST(ControlLayout, ClampingASizeToItsLimits) {
  struct Case {
    int w, h, minW, minH, maxW, maxH, wantW, wantH;
  } cases[] = {
      {50, 40, 0, 0, 0, 0, 50, 40},        // no limits
      {50, 40, 60, 45, 0, 0, 60, 45},      // raised to the minimum
      {50, 40, 0, 0, 30, 20, 30, 20},      // lowered to the maximum
      {50, 40, 10, 10, 100, 100, 50, 40},  // inside
      {50, 40, 80, 0, 70, 0, 80, 40},      // a minimum above the maximum wins
      {-5, -5, 0, 0, 10, 10, -5, -5},      // 0 means no minimum, even for negatives
  };
  for (const Case& c : cases) {
    int w = c.w, h = c.h;
    ClampSize(w, h, c.minW, c.minH, c.maxW, c.maxH);
    EXPECT_EQ(w, c.wantW) << c.w << "x" << c.h;
    EXPECT_EQ(h, c.wantH) << c.w << "x" << c.h;
  }
}

TEST(ControlLayout, ConstraintsKeepMinimumAndMaximumConsistentAndReportChanges) {
  TSizeConstraints k(nullptr);
  int changes = 0;
  k.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
  k.SetMaxWidth(100);
  k.SetMinWidth(150);  // a minimum above the maximum lifts the maximum
  EXPECT_EQ(k.MaxWidth(), 150);
  k.SetMinHeight(40);
  k.SetMaxHeight(30);  // a maximum below the minimum lowers the minimum
  EXPECT_EQ(k.MinHeight(), 30);
  k.SetMinHeight(-7);
  EXPECT_EQ(k.MinHeight(), 0);
  EXPECT_EQ(changes, 5);
  k.SetMaxHeight(30);  // unchanged: no notice
  EXPECT_EQ(changes, 5);
  int w = 10, h = 99;
  k.Apply(w, h);
  EXPECT_EQ(w, 150);
  EXPECT_EQ(h, 30);

  TSizeConstraints copy(nullptr);
  copy.Assign(&k);
  EXPECT_EQ(copy.MinWidth(), 150);
  EXPECT_EQ(copy.MaxHeight(), 30);
}

TEST(ControlLayout, AlignedChildrenShareTheParentEdgesFirstThenTheClient) {
  // A window-like layout: tool bar, status bar, side panels, editor.
  const std::vector<TAlignItem> items = {
      {alClient, true, Bounds(0, 0, 5, 5)},  {alLeft, true, Bounds(0, 0, 30, 10)},
      {alTop, true, Bounds(0, 0, 10, 20)},   {alBottom, true, Bounds(0, 0, 10, 15)},
      {alRight, true, Bounds(0, 0, 25, 10)}, {alNone, true, Bounds(7, 8, 9, 10)},
  };
  const std::vector<TRect> got = Layout(items, Rect(0, 0, 200, 100));
  EXPECT_EQ(got[2], Bounds(0, 0, 200, 20));    // top: full width
  EXPECT_EQ(got[3], Bounds(0, 85, 200, 15));   // bottom: full width
  EXPECT_EQ(got[1], Bounds(0, 20, 30, 65));    // left: between them
  EXPECT_EQ(got[4], Bounds(175, 20, 25, 65));  // right
  EXPECT_EQ(got[0], Bounds(30, 20, 145, 65));  // client: what is left
  EXPECT_EQ(got[5], Bounds(7, 8, 9, 10));      // not aligned: untouched
}

TEST(ControlLayout, SameSideChildrenStackInTheirVisualOrderAndHiddenOnesTakeNoSpace) {
  const std::vector<TAlignItem> items = {
      {alTop, true, Bounds(0, 50, 10, 10)},   // lower on screen: second
      {alTop, true, Bounds(0, 5, 10, 20)},    // nearest the top edge: first
      {alTop, false, Bounds(0, 0, 10, 99)},   // hidden
      {alRight, true, Bounds(10, 0, 5, 10)},  // further left: second from the right
      {alRight, true, Bounds(80, 0, 8, 10)},  // nearest the right edge: first
  };
  const std::vector<TRect> got = Layout(items, Rect(2, 2, 102, 62));
  EXPECT_EQ(got[1], Bounds(2, 2, 100, 20));
  EXPECT_EQ(got[0], Bounds(2, 22, 100, 10));
  EXPECT_EQ(got[2], Bounds(0, 0, 10, 99));
  EXPECT_EQ(got[4], Bounds(94, 32, 8, 30));
  EXPECT_EQ(got[3], Bounds(89, 32, 5, 30));
}

TEST(ControlLayout, AChildHeldByItsLimitsTakesOnlyTheSpaceItGotAndTooLittleSpaceGivesZeroSizes) {
  TSizeConstraints small(nullptr);
  small.SetMaxWidth(40);
  const std::vector<TAlignItem> items = {
      {alLeft, true, Bounds(0, 0, 10, 10)},
      {alClient, true, Bounds(0, 0, 10, 10)},
  };
  // The client child may not be wider than 40: it stays at the left of its space.
  std::vector<TRect> got = Layout(items, Rect(0, 0, 100, 50), {nullptr, &small});
  EXPECT_EQ(got[0], Bounds(0, 0, 10, 50));
  EXPECT_EQ(got[1], Bounds(10, 0, 40, 50));

  // Edges wider than the parent leave a client of no size, never a negative one.
  const std::vector<TAlignItem> wide = {
      {alLeft, true, Bounds(0, 0, 70, 10)},
      {alRight, true, Bounds(0, 0, 70, 10)},
      {alClient, true, Bounds(0, 0, 10, 10)},
  };
  got = Layout(wide, Rect(0, 0, 100, 50));
  EXPECT_EQ(got[1], Bounds(30, 0, 70, 50));
  EXPECT_EQ(got[2].Width(), 0);
  EXPECT_EQ(got[2].Height(), 50);
}

TEST(ControlLayout, TextFlagsFollowTheReadingOrder) {
  constexpr uint32_t kLeft = 0x0, kCenter = 0x1, kRight = 0x2, kWordBreak = 0x10, kRtl = 0x20000;
  struct Case {
    TBiDiMode mode;
    uint32_t in, want;
  } cases[] = {
      {bdLeftToRight, kRight | kWordBreak, kRight | kWordBreak},
      {bdRightToLeft, kLeft | kWordBreak, kRight | kWordBreak | kRtl},
      {bdRightToLeft, kRight, kLeft | kRtl},
      {bdRightToLeft, kCenter, kCenter | kRtl},
      {bdRightToLeftNoAlign, kLeft, kLeft | kRtl},
      {bdRightToLeftReadingOnly, kRight, kRight | kRtl},
  };
  for (const Case& c : cases) EXPECT_EQ(BiDiDrawTextFlags(c.mode, c.in), c.want) << int(c.mode) << " " << c.in;
}
