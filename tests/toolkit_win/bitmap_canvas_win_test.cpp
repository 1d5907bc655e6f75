// A bitmap that was drawn on through its canvas leaves no GDI object behind.
#include <gtest/gtest.h>

#include "tests/support/GdiObjects_win.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Graphics.h"

namespace tk {
namespace {

TEST(BitmapCanvas, ABitmapDrawnOnFreesEverythingItsCanvasMade) {
  auto draw = [] {
    TBitmap b(16, 16, TPixelFormat::pf32bit);
    b.Canvas()->Brush()->SetColor(0x123456);
    b.Canvas()->FillRect(TRect{0, 0, 8, 8});
    b.SetSize(20, 20);  // a new section under the same canvas
    b.Canvas()->FillRect(TRect{0, 0, 8, 8});
  };
  draw();  // the first drawing creates objects the system keeps
  const size_t before = test::GdiObjects();
  for (int i = 0; i < 20; ++i) draw();
  EXPECT_EQ(test::GdiObjects(), before);
}

}  // namespace
}  // namespace tk
