#include <gtest/gtest.h>

#include "skin/paint/sSkinItemPaint.h"
#include "tests/itempaint/ItemPaintTest.h"

using namespace itemtest;
using namespace painttest;
using tk::TPoint;

namespace {

constexpr tk::TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kKey = 0xFF00FF;

// A 16 x 4 frame: six red columns, four green, six blue; margins 6 and 6.
TEST(BorderFromMask, MarginsShrinkOnNarrowRectangles) {
  TTestSkin s;
  s.Fill(TRect{0, 0, 6, 4}, kRed);
  s.Fill(TRect{6, 0, 10, 4}, kGreen);
  s.Fill(TRect{10, 0, 16, 4}, kBlue);
  const int m = s.Mask(TRect{0, 0, 16, 4}, 1, 0, 0);
  s.Margins(m, 6, 1, 6, 1);
  for (int w : {10, 9}) {
    auto bmp = Solid(w, 4, pf24, 0);
    kx::DrawBorderFromMask(bmp.get(), TRect{0, 0, w, 4}, false, false, 0, s.M(m), Unknown());
    const int left = 5;  // both lose one; a 9-wide one gives the right the odd pixel less
    for (int x = 0; x < w; ++x) EXPECT_EQ(Color(*bmp, x, 0), x < left ? kRed : kBlue) << "width " << w << " x " << x;
  }
  auto tiny = Noise(1, 4, pf24, 1), before = Copy(*tiny);
  kx::DrawBorderFromMask(tiny.get(), TRect{0, 0, 1, 4}, false, false, 0, s.M(m), Unknown());
  EXPECT_TRUE(SameBytes(*tiny, *before)) << "narrower than 2 pixels: nothing";
}

// Counts that reach the painters without a load's checks (a stored skin, a
// mask built in code): none of them may divide by zero or walk off the picture.
TEST(MaskCounts, CountsThatCannotDivideDrawNothing) {
  const struct { int images, layers; } counts[] = {{1, -1}, {0, 0}, {-1, 0}, {3, -2}, {1, 32767}, {32767, 1}};
  for (const auto& k : counts) {
    TTestSkin s;
    s.Fill(TRect{0, 0, 12, 8}, kKey);
    const int si = s.Section(L"PANEL", kGreen);
    const int m = s.Mask(TRect{0, 0, 12, 8}, k.images, k.layers, 4);
    s.Margins(m, 2, 2, 2, 2);
    s.G(si).BorderIndex = s.G(si).ImgTL = s.G(si).ImgBR = m;
    s.G(si).ImagePercent = 50;
    auto bmp = Solid(9, 7, pf24, 0);
    const kx::TkxControlSkin c{si, L"PANEL", m, m, &s.c, kxKeyColor};
    for (int state = 0; state <= 2; ++state) {
      kx::PaintControlLook(c, Unknown(), true, true, bmp.get(), TPoint{}, TRect{0, 0, 9, 7}, state);
      kx::PaintSectionLook(si, L"PANEL", Colour(kRed), m, m, &s.c, bmp.get(), TPoint{}, TRect{1, 1, 8, 6}, state, true);
      kx::DrawMaskImage(bmp.get(), TPoint{-1, 2}, state, Unknown(), s.M(m), 0);
    }
    TRect r{0, 0, 9, 7};
    kx::FillWithTexture(bmp.get(), r, nullptr, 10, s.M(m));
    kx::FillWithMaskedTexture(bmp.get(), TRect{0, 0, 9, 7}, Unknown(), 10, s.M(m));
    kx::TAOR corners;
    kx::AddTransparentCornerRects(corners, 20, s.M(m), true, 0);
    if (k.images <= 0 || k.layers < 0) {
      EXPECT_EQ(kx::MaskFrameSize(s.M(m)), (tk::TSize{0, 0})) << k.images << " " << k.layers;
      EXPECT_EQ(Color(*bmp, 4, 3), kGreen) << "only the section's colour: no frame to draw";
      EXPECT_TRUE(corners.empty());
    }
  }
}

TEST(BorderFromMask, StretchedPiecesTakeOnlyWhatThePictureHolds) {
  // A rectangle ten times the master's height: stretching it once walked
  // every row of it, the ones below the picture as copies of its last row.
  TTestSkin s;
  for (int y = 0; y < 64; ++y) s.Fill(TRect{0, y, 12, y + 1}, tk::RGBColor(uint8_t(y), 0, 0));
  const int m = s.Mask(TRect{0, 0, 12, 640}, 1, 0, 1);
  s.Margins(m, 2, 2, 2, 2);
  auto bmp = Solid(8, 10, pf24, 0);
  kx::DrawBorderFromMask(bmp.get(), TRect{0, 0, 8, 10}, false, false, 0, s.M(m), Unknown());
  EXPECT_LT(tk::GetRValue(Color(*bmp, 0, 5)), 45) << "the middle of the side shows the middle of the picture";
}

// Three 4 x 4 frames in red, green, blue; margins 1.
TEST(BorderFromMask, StateChoosesTheFrameAndDrawModeTwoHidesStateZero) {
  TTestSkin s;
  s.Fill(TRect{0, 0, 4, 4}, kRed);
  s.Fill(TRect{4, 0, 8, 4}, kGreen);
  s.Fill(TRect{8, 0, 12, 4}, kBlue);
  const int one = s.Mask(TRect{0, 0, 4, 4}, 1, 0, 0);
  const int three = s.Mask(TRect{0, 0, 12, 4}, 3, 0, 2);
  s.Margins(one, 1, 1, 1, 1);
  s.Margins(three, 1, 1, 1, 1);
  auto bmp = Solid(6, 6, pf24, 0);
  kx::DrawBorderFromMask(bmp.get(), TRect{0, 0, 6, 6}, false, false, 1, s.M(one), Unknown());
  EXPECT_EQ(Color(*bmp, 0, 0), kRed) << "hot state, one image: frame 0";
  kx::DrawBorderFromMask(bmp.get(), TRect{0, 0, 6, 6}, false, false, 2, s.M(three), Unknown());
  EXPECT_EQ(Color(*bmp, 0, 0), kBlue);
  kx::DrawBorderFromMask(bmp.get(), TRect{0, 0, 6, 6}, false, false, 7, s.M(three), Unknown());
  EXPECT_EQ(Color(*bmp, 5, 5), kBlue) << "states beyond the frames use the last";

  auto fresh = Solid(6, 6, pf24, 0x777777);
  kx::DrawBorderFromMask(fresh.get(), TRect{0, 0, 6, 6}, false, false, 0, s.M(three), Unknown());
  EXPECT_EQ(Color(*fresh, 0, 0), 0x777777) << "DrawMode 2: no border in state 0";
  kx::DrawBorderFromMask(fresh.get(), TRect{0, 0, 6, 6}, false, false, 1, s.M(three), Unknown());
  EXPECT_EQ(Color(*fresh, 0, 0), kGreen);
  EXPECT_EQ(Color(*fresh, 3, 3), 0x777777) << "the centre only on request";
}

TEST(BorderFromMask, SidesAndCentreAreTiledAndAFrameWithoutMiddleDrawsOnlyCorners) {
  TTestSkin s;
  s.Fill(TRect{0, 0, 6, 6}, kRed);
  s.Fill(TRect{2, 2, 3, 4}, kGreen);  // middle columns: green, blue
  s.Fill(TRect{3, 2, 4, 4}, kBlue);
  const int m = s.Mask(TRect{0, 0, 6, 6}, 1, 0, 4);
  s.Margins(m, 2, 2, 2, 2);
  auto bmp = Solid(11, 8, pf24, 0);
  kx::DrawBorderFromMask(bmp.get(), TRect{0, 0, 11, 8}, true, false, 0, s.M(m), Unknown());
  for (int x = 2; x < 9; ++x) EXPECT_EQ(Color(*bmp, x, 4), (x % 2) ? kBlue : kGreen) << x;

  s.Fill(TRect{10, 0, 14, 4}, kRed);
  const int flat = s.Mask(TRect{10, 0, 14, 4}, 1, 0, 4);
  s.Margins(flat, 2, 2, 2, 2);
  auto big = Solid(20, 20, pf24, 0x777777);
  kx::DrawBorderFromMask(big.get(), TRect{0, 0, 20, 20}, true, false, 0, s.M(flat), Unknown());
  EXPECT_EQ(Color(*big, 0, 0), kRed);
  EXPECT_EQ(Color(*big, 19, 19), kRed);
  EXPECT_EQ(Color(*big, 10, 0), 0x777777) << "a side of zero length is not drawn";
  EXPECT_EQ(Color(*big, 10, 10), 0x777777);
}

// A 4 x 4 picture above its mask; the top-left corner pixel is the key.
TEST(BorderFromMask, MaskTypeOneMixesAndCornerKeysTakeTheParent) {
  TTestSkin s;
  s.Fill(TRect{0, 0, 4, 4}, tk::RGBColor(200, 100, 40));
  s.Fill(TRect{0, 4, 4, 8}, 0x404040);
  s.Dot(0, 0, kKey);
  s.Dot(2, 0, kKey);  // in the top side
  const int m = s.Mask(TRect{0, 0, 4, 8}, 1, 1, 0);
  s.Margins(m, 1, 1, 1, 1);
  auto parent = Solid(20, 20, pf24, 0x0A0B0C);
  Put(*parent, 5, 6, 0x123456);
  auto bmp = Solid(6, 6, pf24, 0);
  kx::DrawBorderFromMask(bmp.get(), TRect{0, 0, 6, 6}, false, true, 0, s.M(m), Picture(parent.get(), 5, 6));
  EXPECT_EQ(Color(*bmp, 5, 5), tk::RGBColor(150, 75, 30)) << "(s * 192 + d * 64) >> 8";
  EXPECT_EQ(Color(*bmp, 0, 0), 0x123456) << "corner key pixel: the parent at (X + x, Y + y)";
  EXPECT_EQ(Color(*bmp, 2, 0), 0) << "a key pixel of a side keeps the destination";

  auto plain = Solid(6, 6, pf24, 0x777777);
  kx::DrawBorderFromMask(plain.get(), TRect{0, 0, 6, 6}, false, false, 0, s.M(m), Picture(parent.get()));
  EXPECT_EQ(Color(*plain, 0, 0), 0x777777) << "without the corner flag the key is see-through";
  kx::DrawBorderFromMask(plain.get(), TRect{0, 0, 6, 6}, false, true, 0, s.M(m), Colour(0x00AA00));
  EXPECT_EQ(Color(*plain, 0, 0), 0x00AA00) << "a parent without picture gives its colour";
  kx::DrawBorderFromMask(plain.get(), TRect{0, 0, 6, 6}, false, true, 0, s.M(m), Unknown());
  EXPECT_EQ(Color(*plain, 0, 0), 0x00AA00) << "an unknown parent colour is never painted as the key";

  s.M(m).MaskType = 0;
  s.M(m).R = TRect{0, 0, 4, 4};
  auto keyed = Solid(6, 6, pf24, 0x777777);
  kx::DrawBorderFromMask(keyed.get(), TRect{0, 0, 6, 6}, false, true, 0, s.M(m), Colour(0x00AA00));
  EXPECT_EQ(Color(*keyed, 0, 0), 0x777777) << "MaskType 0 takes only a ready parent";
  kx::DrawBorderFromMask(keyed.get(), TRect{0, 0, 6, 6}, false, true, 0, s.M(m), Picture(parent.get(), 5, 6));
  EXPECT_EQ(Color(*keyed, 0, 0), 0x123456);
}

// A layered window shows the alpha of what is framed into its 32-bit picture.
TEST(BorderFromMask, ThirtyTwoBitPicturesKeepTheirAlphaInThirtyTwoBitTargets) {
  TTestSkin s;
  for (int drawMode : {4, 1}) {  // tiled sides, stretched sides
    auto pic = Solid(6, 6, pf32, 0x202020, 0x20);
    const int m = s.Mask(TRect{0, 0, 6, 6}, 1, 0, drawMode, std::move(pic));
    s.Margins(m, 2, 2, 2, 2);
    auto bmp = Solid(12, 10, pf32, 0, 0);
    kx::DrawBorderFromMask(bmp.get(), TRect{0, 0, 12, 10}, false, false, 0, s.M(m), Unknown());
    EXPECT_EQ(Alpha(*bmp, 0, 0), 0x20) << "corner, draw mode " << drawMode;
    EXPECT_EQ(Alpha(*bmp, 6, 0), 0x20) << "side, draw mode " << drawMode;
    EXPECT_EQ(Alpha(*bmp, 6, 5), 0) << "the centre stays clear";
  }
  s.Fill(TRect{0, 0, 6, 6}, kRed);
  const int opaque = s.Mask(TRect{0, 0, 6, 6}, 1, 0, 4);
  s.Margins(opaque, 2, 2, 2, 2);
  auto bmp = Solid(12, 10, pf32, 0, 0);
  kx::DrawBorderFromMask(bmp.get(), TRect{0, 0, 12, 10}, false, false, 0, s.M(opaque), Unknown());
  EXPECT_EQ(Alpha(*bmp, 6, 0), 255) << "a picture without alpha is opaque";
}

TEST(ControlLook, CornerImagesArePlacedFromTheRectanglesEdges) {
  TTestSkin s;
  const int si = s.Section(L"PANEL", 0x777777);
  const tk::TColor colours[4] = {kRed, kGreen, kBlue, 0x00FFFF};
  int* img[4] = {&s.G(si).ImgTL, &s.G(si).ImgTR, &s.G(si).ImgBL, &s.G(si).ImgBR};
  for (int k = 0; k < 4; ++k) *img[k] = s.Mask(TRect{0, 0, 3, 2}, 1, 0, 0, Solid(3, 2, pf24, colours[k]));
  auto bmp = Solid(30, 30, pf24, 0);
  const kx::TkxControlSkin c{si, L"PANEL", -1, -1, &s.c, kxKeyColor};
  kx::PaintControlLook(c, Unknown(), true, true, bmp.get(), TPoint{}, TRect{5, 4, 25, 20}, 0);
  EXPECT_EQ(Color(*bmp, 5, 4), kRed);
  EXPECT_EQ(Color(*bmp, 22, 4), kGreen);
  EXPECT_EQ(Color(*bmp, 21, 4), 0x777777);
  EXPECT_EQ(Color(*bmp, 5, 18), kBlue);
  EXPECT_EQ(Color(*bmp, 24, 19), 0x00FFFF);
  EXPECT_EQ(Color(*bmp, 4, 4), 0) << "nothing outside the rectangle";
}

TEST(MaskImage, NegativePointsSkipIntoTheFrameAndModesMixOrHalve) {
  TTestSkin s;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) s.Dot(x, y, tk::RGBColor(uint8_t(x * 40), uint8_t(y * 40), 0));
  const int m = s.Mask(TRect{0, 0, 6, 3}, 2, 0, 0);
  auto bmp = Solid(4, 4, pf24, 0x777777);
  kx::DrawMaskImage(bmp.get(), TPoint{-1, -1}, 1, Unknown(), s.M(m), 1);
  EXPECT_EQ(Color(*bmp, 0, 0), tk::RGBColor(160, 40, 0)) << "frame 1 from its pixel (1, 1)";
  EXPECT_EQ(Color(*bmp, 2, 2), 0x777777);

  auto half = Solid(4, 4, pf24, 0);
  kx::DrawMaskImage(half.get(), TPoint{0, 0}, 1, Unknown(), s.M(m), 0);
  EXPECT_EQ(Color(*half, 2, 1), tk::RGBColor(100, 20, 0)) << "translucent: half of the picture";
}

TEST(Texture, StripModesReportWhatTheyLeaveUncovered) {
  TTestSkin s;
  s.Fill(TRect{0, 0, 4, 3}, kRed);
  const int m = s.Mask(TRect{0, 0, 4, 3}, 1, 0, 0);
  struct TCase {
    int mode;
    TRect rest;
  };
  const TCase cases[] = {{0, {-1, -1, -1, -1}}, {1, {-1, -1, -1, -1}}, {2, {0, 3, 10, 10}}, {3, {4, 0, 10, 10}},
                         {4, {0, 3, 10, 10}},   {5, {4, 0, 10, 10}},   {6, {0, 0, 10, 7}},  {7, {0, 0, 6, 10}},
                         {42, {0, 0, 6, 10}},   {10, {0, 9, 10, 10}}};
  for (const TCase& c : cases) {
    auto bmp = Solid(10, 10, pf24, 0);
    TRect r{0, 0, 10, 10};
    kx::FillWithTexture(bmp.get(), r, nullptr, c.mode, s.M(m));
    EXPECT_EQ(r, c.rest) << "mode " << c.mode;
    if (c.rest.Left >= 0) {
      EXPECT_EQ(Color(*bmp, c.rest.Left, c.rest.Top), 0) << "mode " << c.mode << " leaves the rest as it was";
      EXPECT_EQ(Color(*bmp, c.rest.Right - 1, c.rest.Bottom - 1), 0) << "mode " << c.mode;
    }
  }
  auto bmp = Solid(10, 10, pf24, 0);
  TRect r{0, 0, 10, 10};
  kx::FillWithTexture(bmp.get(), r, nullptr, 10, s.M(m));
  EXPECT_EQ(Color(*bmp, 9, 8), kRed) << "mode 10 cuts the last column";
  TRect exact{0, 0, 10, 9};
  kx::FillWithTexture(bmp.get(), exact, nullptr, 10, s.M(m));
  EXPECT_EQ(exact, (TRect{0, 6, 10, 9})) << "a bottom strip of a whole tile height stays";
}

TEST(Texture, MaskedModeTenFillsTheStripsFromTheParent) {
  TTestSkin s;
  s.Fill(TRect{0, 0, 4, 3}, kRed);  // the mask half (rows 3..5) is 0: opaque
  const int m = s.Mask(TRect{0, 0, 4, 6}, 1, 1, 10);
  auto parent = Noise(12, 12, pf24, 9);
  auto bmp = Solid(10, 10, pf24, 0);
  kx::FillWithMaskedTexture(bmp.get(), TRect{0, 0, 10, 10}, Picture(parent.get(), 1, 2), 10, s.M(m));
  EXPECT_EQ(Color(*bmp, 7, 8), kRed);
  EXPECT_EQ(Color(*bmp, 8, 0), Color(*parent, 9, 2));
  EXPECT_EQ(Color(*bmp, 3, 9), Color(*parent, 4, 11));
  kx::FillWithMaskedTexture(bmp.get(), TRect{0, 0, 10, 10}, Colour(kGreen), 10, s.M(m));
  EXPECT_EQ(Color(*bmp, 9, 9), kGreen);
  kx::FillWithMaskedTexture(bmp.get(), TRect{0, 0, 10, 10}, Colour(kGreen), 0, s.M(m));
  EXPECT_EQ(Color(*bmp, 9, 9), kRed) << "mode 0 cuts the last tiles instead";
}

TEST(TransparentCornerRects, KeyRunsOfTheCornersBecomeRectangles) {
  TTestSkin s;
  s.Fill(TRect{0, 0, 10, 6}, 0x808080);
  s.Fill(TRect{0, 0, 3, 1}, kKey);
  s.Dot(0, 1, kKey);
  s.Dot(9, 0, kKey);      // top-right corner
  s.Dot(1, 5, kKey);      // bottom-left corner
  s.Dot(1, 2, 0xFE00FF);  // almost the key
  const int m = s.Mask(TRect{0, 0, 10, 6}, 1, 0, 0);
  s.Margins(m, 3, 3, 3, 2);
  kx::TAOR list{TRect{7, 7, 8, 8}};
  kx::AddTransparentCornerRects(list, 40, s.M(m), false, 0);
  const kx::TAOR want{{7, 7, 8, 8}, {0, 0, 3, 1}, {0, 1, 1, 2}, {39, 0, 40, 1}};
  EXPECT_EQ(list, want) << "appended; the right corner meets the edge's width";
  list.clear();
  kx::AddTransparentCornerRects(list, 40, s.M(m), true, 100);
  EXPECT_EQ(list, (kx::TAOR{{1, 101, 2, 102}})) << "bottom rows from fh - WB, placed at Y";

  s.M(m).R = TRect{0, 60, 10, 64};  // the master bitmap is 64 high
  s.Margins(m, 3, 5, 3, 2);
  list.clear();
  kx::AddTransparentCornerRects(list, 40, s.M(m), false, 0);
  EXPECT_TRUE(list.empty()) << "corner rows outside the picture add nothing";
}

}  // namespace
