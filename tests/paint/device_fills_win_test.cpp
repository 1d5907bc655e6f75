#include <windows.h>

#include <gtest/gtest.h>

#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sDeviceFills.h"
#include "tests/paint/PaintTest.h"
#include "tests/support/GdiObjects_win.h"
#include "toolkit/Graphics.h"

using namespace painttest;
using tk::TRect;

namespace {

constexpr TColor kUntouched = 0x5A5A5A;

HDC DC(TBitmap& b) { return b.Canvas()->Handle(); }

// The DC state a fill must leave as it found it.
struct TDCSnapshot {
  HGDIOBJ brush, pen;
  RECT clip;
  COLORREF text;
  POINT origin;
  explicit TDCSnapshot(HDC dc)
      : brush(::GetCurrentObject(dc, OBJ_BRUSH)), pen(::GetCurrentObject(dc, OBJ_PEN)), text(::GetTextColor(dc)) {
    ::GetClipBox(dc, &clip);
    ::GetViewportOrgEx(dc, &origin);
  }
  bool operator==(const TDCSnapshot& o) const {
    return brush == o.brush && pen == o.pen && ::EqualRect(&clip, &o.clip) && text == o.text &&
           origin.x == o.origin.x && origin.y == o.origin.y;
  }
};

std::unique_ptr<TBitmap> Positions(int w, int h) {
  auto b = std::make_unique<TBitmap>(w, h, pf24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Put(*b, x, y, tk::RGBColor(uint8_t(x), uint8_t(y), 1));
  return b;
}

}  // namespace

TEST(FillDeviceRect, FillsTheRectangleAndLeavesTheDCAsItWas) {
  auto b = Solid(10, 8, pf24, kUntouched);
  HDC dc = DC(*b);
  const HBRUSH mine = ::CreateSolidBrush(RGB(1, 2, 3));
  const HGDIOBJ old = ::SelectObject(dc, mine);
  ::SetTextColor(dc, RGB(9, 9, 9));
  const TDCSnapshot before(dc);
  const std::size_t objects = tk::test::GdiObjects();
  for (int i = 0; i < 50; ++i) kx::FillDeviceRect(dc, TRect{2, 3, 7, 6}, 0x0000FF);
  EXPECT_TRUE(TDCSnapshot(dc) == before);
  EXPECT_EQ(tk::test::GdiObjects(), objects) << "every brush is deleted";
  ::SelectObject(dc, old);
  ::DeleteObject(mine);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool in = x >= 2 && x < 7 && y >= 3 && y < 6;
      EXPECT_EQ(Color(*b, x, y), in ? 0x0000FF : kUntouched) << x << "," << y;
    }
  kx::FillDeviceRect(dc, TRect{0, 0, 1, 1}, tk::clWindow);
  EXPECT_EQ(Color(*b, 0, 0), static_cast<TColor>(::GetSysColor(COLOR_WINDOW))) << "system colours resolve";
}

TEST(FillDeviceFrame, FillsTheFourStripsOfTheirWidths) {
  auto b = Solid(12, 12, pf24, kUntouched);
  const TDCSnapshot before(DC(*b));
  kx::FillDeviceFrame(DC(*b), TRect{1, 1, 11, 11}, 1, 2, 3, 4, 0x00FF00);
  EXPECT_TRUE(TDCSnapshot(DC(*b)) == before);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 1 && x < 11 && y >= 1 && y < 11;
      const bool frame = inside && (y < 3 || x < 2 || y >= 7 || x >= 8);
      EXPECT_EQ(Color(*b, x, y), frame ? 0x00FF00 : kUntouched) << x << "," << y;
    }
}

TEST(DrawBevelFrame, NestsLightTopLeftAndDarkBottomRightFrames) {
  auto b = Solid(8, 6, pf24, kUntouched);
  kx::DrawBevelFrame(DC(*b), TRect{0, 0, 8, 6}, 0xFFFFFF, 2, 0x000000);
  const char* want[6] = {"LLLLLLLD", "LLLLLLDD", "LL....DD", "LL....DD", "LDDDDDDD", "DDDDDDDD"};
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const TColor c = want[y][x] == 'L' ? 0xFFFFFF : want[y][x] == 'D' ? 0x000000 : kUntouched;
      EXPECT_EQ(Color(*b, x, y), c) << x << "," << y;
    }
  auto keep = Copy(*b);
  kx::DrawBevelFrame(DC(*b), TRect{0, 0, 8, 6}, 0xFFFFFF, 0, 0x000000);
  EXPECT_TRUE(SameBytes(*b, *keep)) << "no frames";
}

TEST(TileBitmapOnACanvas, GivesTheSamePixelsAsTheBitmapRoutines) {
  auto pic = Positions(3, 2);
  auto viaDC = Solid(10, 8, pf24, kUntouched);
  auto direct = Solid(10, 8, pf24, kUntouched);
  kx::TileBitmap(viaDC->Canvas(), TRect{1, 1, 9, 6}, pic.get());
  kx::TileBitmap(direct.get(), TRect{1, 1, 9, 6}, pic.get());
  EXPECT_TRUE(SameBytes(*viaDC, *direct));

  auto once = Positions(4, 4);
  auto jDC = Solid(10, 10, pf24, kUntouched);
  auto jDirect = Solid(10, 10, pf24, kUntouched);
  const TDCSnapshot before(DC(*jDC));
  kx::DrawPictureOnce(jDC->Canvas(), TRect{2, 2, 5, 9}, once.get());
  kx::DrawPictureOnce(jDirect.get(), TRect{2, 2, 5, 9}, once.get());
  EXPECT_TRUE(TDCSnapshot(DC(*jDC)) == before) << "the clip is taken back";
  EXPECT_TRUE(SameBytes(*jDC, *jDirect));
}
