#include <gtest/gtest.h>

#include "skin/paint/sBorderTemplate.h"
#include "tests/paint/PaintTest.h"

using namespace painttest;
using kx::TkxWidths;
using tk::TRect;

namespace {

// Every template pixel names its own position (red x, green y) with alpha 7.
std::unique_ptr<TBitmap> Positions(int w, int h) {
  auto b = std::make_unique<TBitmap>(w, h, pf32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Put(*b, x, y, tk::RGBColor(uint8_t(x), uint8_t(y), 1));
      At(*b, x, y)[3] = 7;
    }
  return b;
}
TColor Pos(int x, int y) { return tk::RGBColor(uint8_t(x), uint8_t(y), 1); }

// Blue 1 and alpha 7: a pixel the template gave.
bool FromTemplate(TBitmap& b, int x, int y) { return At(b, x, y)[0] == 1 && At(b, x, y)[3] == 7; }

bool SameRect(TBitmap& a, TBitmap& b, const TRect& r) {
  for (int y = r.Top; y < r.Bottom; ++y)
    if (std::memcmp(At(a, r.Left, y), At(b, r.Left, y), size_t(r.Width()) * 4) != 0) return false;
  return true;
}

}  // namespace

TEST(FrameTemplate, TheFrameComesFromTheTemplateAndTheInsideStaysAsPainted) {
  // The internal skin's numbers: the template's corners (44, 72, 44, 44)
  // reach into the content (shadow 16 + frame 26, shadow 16 + title 51).
  auto tpl = Positions(128, 156);
  auto img = Noise(300, 240, pf32, 3);
  auto before = Copy(*img);
  const TRect shadow{16, 16, 16, 16};
  kx::ApplyFrameTemplate(img.get(), tpl.get(), TkxWidths{44, 72, 44, 44}, 51, shadow, 26);

  EXPECT_TRUE(SameRect(*img, *before, TRect{42, 67, 258, 198})) << "the inside is untouched";
  EXPECT_EQ(Color(*img, 0, 0), Pos(0, 0));
  EXPECT_EQ(Color(*img, 41, 66), Pos(41, 66)) << "top-left corner up to the inside";
  EXPECT_EQ(Color(*img, 299, 0), Pos(127, 0));
  EXPECT_EQ(Color(*img, 258, 71), Pos(86, 71)) << "top-right corner beside the inside";
  EXPECT_EQ(Color(*img, 0, 239), Pos(0, 155));
  EXPECT_EQ(Color(*img, 299, 239), Pos(127, 155));
  EXPECT_EQ(Color(*img, 43, 198), Pos(43, 114)) << "bottom-left corner below the inside";
  EXPECT_TRUE(FromTemplate(*img, 150, 3)) << "top side, with the template's alpha";
  EXPECT_TRUE(FromTemplate(*img, 3, 120)) << "left side";
  EXPECT_TRUE(FromTemplate(*img, 290, 120)) << "right side";
  EXPECT_TRUE(FromTemplate(*img, 150, 230)) << "bottom side";
}

TEST(FrameTemplate, ASmallImageSharesItsHeightBetweenTheTopAndBottomSlices) {
  // top = min(WT, (h - title) / 2 + title), bottom = min(WB, (h - title) / 2).
  auto tpl = Positions(128, 156);
  auto img = Solid(200, 100, pf32, 0x5A5A5A, 1);
  kx::ApplyFrameTemplate(img.get(), tpl.get(), TkxWidths{44, 72, 44, 44}, 51, TRect{}, 40);
  EXPECT_EQ(Color(*img, 0, 60), Pos(0, 60)) << "bottom limited to 24: the top corner keeps its rows";
  EXPECT_EQ(Color(*img, 0, 76), Pos(0, 132));

  img = Solid(200, 60, pf32, 0x5A5A5A, 1);
  kx::ApplyFrameTemplate(img.get(), tpl.get(), TkxWidths{44, 72, 44, 4}, 10, TRect{}, 40);
  EXPECT_EQ(Color(*img, 0, 34), Pos(0, 34)) << "top limited to 35";
  EXPECT_GT(tk::GetGValue(Color(*img, 0, 50)), 72) << "the side starts below the limited top";
  EXPECT_EQ(Color(*img, 0, 56), Pos(0, 152));

  img = Solid(200, 40, pf32, 0x5A5A5A, 1);
  kx::ApplyFrameTemplate(img.get(), tpl.get(), TkxWidths{44, 72, 44, 44}, 51, TRect{}, 40);
  EXPECT_EQ(Color(*img, 0, 39), Pos(0, 39)) << "lower than the title: all of it the top slice";
}

TEST(FrameTemplate, SlicesNarrowerThanTheFrameFillItWithTheTemplatesCentre) {
  auto tpl = Positions(40, 40);
  auto img = Solid(120, 100, pf32, 0x5A5A5A, 1);
  kx::ApplyFrameTemplate(img.get(), tpl.get(), TkxWidths{10, 10, 10, 10}, 30, TRect{4, 4, 4, 4}, 20);
  EXPECT_TRUE(FromTemplate(*img, 15, 50)) << "between the left slice and the inside";
  EXPECT_TRUE(FromTemplate(*img, 60, 25)) << "between the top slice and the inside";
  EXPECT_EQ(Color(*img, 60, 60), TColor(0x5A5A5A)) << "the inside";
}

TEST(ShadowTemplate, TheShadowSurroundsTheContentWithoutTouchingIt) {
  auto tpl = Positions(64, 64);
  auto img = Noise(200, 150, pf32, 5);
  auto before = Copy(*img);
  const TRect shadow{11, 7, 11, 11};
  kx::ApplyShadowTemplate(img.get(), tpl.get(), shadow, 8);
  EXPECT_TRUE(SameRect(*img, *before, TRect{11, 7, 189, 139}));
  EXPECT_EQ(Color(*img, 0, 0), Pos(0, 0));
  EXPECT_EQ(Color(*img, 10, 6), Pos(10, 6));
  EXPECT_EQ(Color(*img, 199, 149), Pos(63, 63));
  EXPECT_EQ(Color(*img, 189, 10), Pos(53, 10)) << "right of the content, in the corner's margin (11 + 8)";
  EXPECT_TRUE(FromTemplate(*img, 100, 3));
  EXPECT_TRUE(FromTemplate(*img, 100, 145));
  EXPECT_TRUE(FromTemplate(*img, 5, 70));
}

TEST(WindowImageAlpha, OpaqueContentAndTitleDrawingThatKeepsTheStripsAlpha) {
  auto img = Solid(20, 10, pf32, 0x102030, 9);
  kx::MakeOpaque(img.get(), TRect{2, 3, 40, 8});  // cut to the image
  EXPECT_EQ(Alpha(*img, 2, 3), 255);
  EXPECT_EQ(Alpha(*img, 19, 7), 255);
  EXPECT_EQ(Alpha(*img, 1, 3), 9);
  EXPECT_EQ(Alpha(*img, 2, 8), 9);

  auto copy = Copy(*img);
  // Text drawn through GDI clears the alpha of what it touches.
  for (int x = 0; x < 20; ++x) {
    Put(*img, x, 5, 0xFFFFFF);
    At(*img, x, 5)[3] = 0;
  }
  kx::KeepAlphaOf(img.get(), copy.get(), TRect{0, 0, 12, 10});
  EXPECT_EQ(Alpha(*img, 0, 5), 9) << "the shadow's alpha comes back";
  EXPECT_EQ(Alpha(*img, 5, 5), 255);
  EXPECT_EQ(Color(*img, 5, 5), TColor(0xFFFFFF)) << "the colour stays as drawn";
  EXPECT_EQ(Alpha(*img, 15, 5), 0) << "outside R nothing changes";

  auto rgb = Solid(20, 10, pf24, 0x102030);
  auto rgbBefore = Copy(*rgb);
  kx::MakeOpaque(rgb.get(), TRect{0, 0, 20, 10});
  kx::ApplyFrameTemplate(rgb.get(), copy.get(), TkxWidths{4, 4, 4, 4}, 2, TRect{}, 2);
  EXPECT_TRUE(SameBytes(*rgb, *rgbBefore)) << "only 32-bit images carry alpha";
}
