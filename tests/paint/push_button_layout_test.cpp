#include <gtest/gtest.h>

#include "skin/paint/sPushButtonLayout.h"

using kx::TkxPushButtonMeasures;
using tk::TRect;

namespace {

// A 15 x 13 caption with a 16 x 16 image on the notepad's 75 x 25 button
// (60 high where the image goes above or below the caption).
TkxPushButtonMeasures Button(kx::TkxImageAlignment a, bool image, int h = 25) {
  TkxPushButtonMeasures m;
  m.W = 75, m.H = h, m.TW = 15, m.TH = 13;
  m.HasImage = image, m.IW = 16, m.IH = 16, m.Alignment = a;
  m.MarginTop = 1, m.MarginRight = 2;
  return m;
}

}  // namespace

TEST(PushButtonLayout, CaptionAndImageForEachAlignment) {
  struct Case {
    const char* name;
    TkxPushButtonMeasures m;
    TRect caption, image;
  };
  TkxPushButtonMeasures pressed = Button(kx::iaLeft, false);
  pressed.Pressed = true;
  TkxPushButtonMeasures narrow = Button(kx::iaLeft, false);
  narrow.W = 10;
  const Case cases[] = {
      {"no image: centred, one pixel more left, two right", Button(kx::iaLeft, false), {29, 6, 47, 19}, {}},
      {"pressed: moved by one pixel", pressed, {30, 7, 48, 20}, {}},
      {"caption wider than the button: halves truncate toward zero", narrow, {-3, 6, 14, 19}, {}},
      {"image left", Button(kx::iaLeft, true), {38, 6, 56, 19}, {3, 4, 19, 20}},
      {"image right", Button(kx::iaRight, true), {18, 6, 36, 19}, {54, 4, 70, 20}},
      {"image above", Button(kx::iaTop, true, 60), {29, 33, 47, 46}, {29, 4, 45, 20}},
      {"image below", Button(kx::iaBottom, true, 60), {29, 14, 47, 27}, {29, 41, 45, 57}},
      {"image centred under the caption", Button(kx::iaCenter, true), {29, 6, 47, 19}, {29, 4, 45, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(kx::PushButtonCaptionRect(c.m), c.caption);
    EXPECT_EQ(kx::PushButtonImageRect(c.m), c.image);
  }
}

TEST(PushButtonLayout, WrapWidthAndBorderFrame) {
  EXPECT_EQ(kx::PushButtonTextLimit(75, true), 73);
  EXPECT_EQ(kx::PushButtonTextLimit(75, false), 0);
  const int frames[][3] = {{0, 3, 0}, {2, 3, 2}, {3, 3, 2}, {-1, 3, 0}, {1, 0, 0}};
  for (const auto& f : frames) EXPECT_EQ(kx::MaskFrameFor(f[0], f[1]), f[2]) << f[0] << " of " << f[1];
}
