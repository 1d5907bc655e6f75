#include <gtest/gtest.h>

#include <vector>

#include "skin/paint/sGlyphs.h"
#include "tests/paint/PaintTest.h"

using namespace painttest;
using kx::TCacheInfo;
using tk::TPoint;
using tk::TRect;

namespace {

std::unique_ptr<TBitmap> Grey(int w, int h, uint8_t v) {
  auto b = std::make_unique<TBitmap>(w, h, TPixelFormat::pf8bit);
  for (int y = 0; y < h; ++y) std::fill_n(b->ScanLine(y), w, v);
  return b;
}

uint8_t GreyAt(TBitmap& b, int x, int y) { return b.ScanLine(y)[x]; }

// A 32-bit pixel (colour 0x00BBGGRR and alpha).
void Put32(TBitmap& b, int x, int y, TColor c, uint8_t a) {
  Put(b, x, y, c);
  At(b, x, y)[3] = a;
}

const TCacheInfo NotReady{nullptr, 0, 0, 0, false};

}  // namespace

TEST(BlurGray, KeepsEvenAreasAndSpreadsADotSymmetrically) {
  auto white = Grey(30, 20, 255);
  kx::BlurGray(white.get(), 7);
  EXPECT_EQ(GreyAt(*white, 0, 0), 255);
  EXPECT_EQ(GreyAt(*white, 15, 10), 255) << "a blur sum of 255 stays 255";

  auto dot = Grey(21, 21, 255);
  dot->ScanLine(10)[10] = 0;
  kx::BlurGray(dot.get(), 2);
  EXPECT_GT(GreyAt(*dot, 10, 10), 0);
  EXPECT_LT(GreyAt(*dot, 10, 10), GreyAt(*dot, 11, 10));
  EXPECT_EQ(GreyAt(*dot, 8, 10), GreyAt(*dot, 12, 10));
  EXPECT_EQ(GreyAt(*dot, 10, 8), GreyAt(*dot, 10, 12));
  EXPECT_EQ(GreyAt(*dot, 0, 0), 255) << "far pixels untouched";
}

TEST(BlurGray, DoesNothingForARadiusBelowOneOrAnotherFormat) {
  for (int radius : {0, -3}) {
    auto b = Grey(5, 5, 255);
    b->ScanLine(2)[2] = 0;
    kx::BlurGray(b.get(), radius);
    EXPECT_EQ(GreyAt(*b, 2, 2), 0) << radius;
  }
  auto colour = Noise(6, 6, pf24, 1);
  auto before = Copy(*colour);
  kx::BlurGray(colour.get(), 3);
  EXPECT_TRUE(SameBytes(*colour, *before));
  kx::BlurGray(nullptr, 3);
}

TEST(ApplyGlowMask, MixesTheGlowThroughTheMaskAndClipsToTheTarget) {
  auto target = Solid(4, 4, pf32, tk::RGBColor(200, 100, 0), 200);
  auto mask = Grey(3, 3, 255);
  mask->ScanLine(0)[0] = 0;    // lands outside (origin -1, -1)
  mask->ScanLine(1)[1] = 0;    // (0, 0): full glow
  mask->ScanLine(1)[2] = 128;  // (1, 0): half
  mask->ScanLine(2)[2] = 254;  // (1, 1)
  kx::ApplyGlowMask(target.get(), mask.get(), TPoint{-1, -1}, tk::RGBColor(0, 0, 255));
  EXPECT_EQ(Color(*target, 0, 0), tk::RGBColor(0, 0, 255));
  EXPECT_EQ(Alpha(*target, 0, 0), 0) << "alpha 200 + 0 - 255 limited to 0";
  EXPECT_EQ(Color(*target, 1, 0), tk::RGBColor(100, 50, 127)) << "255 + (0 - 255) * 128 / 255 truncates to 127";
  EXPECT_EQ(Alpha(*target, 1, 1), 199);
  EXPECT_EQ(Color(*target, 2, 2), tk::RGBColor(200, 100, 0)) << "white mask keeps the target";
  EXPECT_EQ(Alpha(*target, 2, 2), 200);

  auto small = Solid(2, 2, pf24, 0);
  auto big = Grey(8, 8, 0);
  kx::ApplyGlowMask(small.get(), big.get(), TPoint{-3, 1}, tk::clWhite);  // clipped on every side
  EXPECT_EQ(Color(*small, 0, 1), tk::clWhite);
  EXPECT_EQ(Color(*small, 0, 0), 0);
}

TEST(CutWithEllipsis, ShortensToTheWidthAndNeverSplitsASurrogatePair) {
  const auto width = [](const tk::String& s) { return static_cast<int>(s.size()) * 10; };  // 10 per unit
  const tk::String pair{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  struct Case {
    tk::String text;
    int w;
    tk::String want;
  } cases[] = {
      {L"Hello", 50, L"Hello"},
      {L"Hello", 0, L""},
      {L"Hello", -5, L""},
      {L"Hello", 49, L"H..."},
      {L"Hello", 29, L""},
      {L"Hello", 40, L"H..."},
      {L"ab" + pair + L"cde", 60, L"ab..."},
      {L"a" + pair + L"bcde", 69, L"a" + pair + L"..."},
      {L"", 10, L""},
  };
  for (const Case& c : cases) EXPECT_EQ(kx::CutWithEllipsis(c.text, c.w, width), c.want) << c.w;
}

TEST(CopyKeyed, CopiesAllButTheKeyClippedWithOpaqueAlpha) {
  auto src = Solid(3, 2, pf24, tk::clRed);
  Put(*src, 1, 0, tk::clFuchsia);
  for (TPixelFormat f : {pf24, pf32}) {
    auto dst = Solid(3, 3, f, tk::clBlue);
    kx::CopyKeyed(dst.get(), src.get(), 1, tk::clFuchsia, 2);
    EXPECT_EQ(Color(*dst, 1, 2), tk::clRed);
    EXPECT_EQ(Color(*dst, 2, 2), tk::clBlue) << "key pixel left out";
    EXPECT_EQ(Color(*dst, 1, 1), tk::clBlue);
    if (f == pf32) { EXPECT_EQ(Alpha(*dst, 1, 2), 255); }
    kx::CopyKeyed(dst.get(), src.get(), -2, tk::clFuchsia, -1);
    EXPECT_EQ(Color(*dst, 0, 0), tk::clRed) << "source (2, 1)";
  }
}

TEST(DrawDottedFocus, EveryThirdPixelBlackWithWhiteAboveLeftAndClipped) {
  auto b = Solid(12, 10, pf24, tk::clGray);
  kx::DrawDottedFocus(b.get(), TRect{1, 1, 10, 7});
  const std::vector<TPoint> black{{1, 1}, {4, 1}, {7, 1}, {10, 1}, {1, 7}, {10, 7}, {1, 4}, {10, 4}};
  for (TPoint p : black) EXPECT_EQ(Color(*b, p.X, p.Y), tk::clBlack) << p.X << "," << p.Y;
  const std::vector<TPoint> white{{0, 0}, {3, 0}, {9, 0}, {3, 6}, {9, 3}, {0, 3}};
  for (TPoint p : white) EXPECT_EQ(Color(*b, p.X, p.Y), tk::clWhite) << p.X << "," << p.Y;
  for (TPoint p : std::vector<TPoint>{{2, 1}, {1, 2}, {5, 5}, {11, 9}}) EXPECT_EQ(Color(*b, p.X, p.Y), tk::clGray);

  auto edge = Solid(4, 4, pf32, tk::clGray);
  kx::DrawDottedFocus(edge.get(), TRect{0, 0, 6, 6});  // dots at -1 and 6 fall outside
  EXPECT_EQ(Color(*edge, 3, 0), tk::clBlack);
  EXPECT_EQ(Alpha(*edge, 3, 0), 255);
}

TEST(GlyphStrip, FrameFollowsTheButtonStateNotTheHoverState) {
  struct Case {
    int kind, down, frames;
    bool enabled, fourBit;
    int want;
  } cases[] = {
      {kx::gkUp, 0, 4, true, false, 0},        {kx::gkDisabled, 0, 4, true, false, 1},
      {kx::gkDisabled, 0, 4, true, true, 0},   {kx::gkDown, 0, 4, true, false, 2},
      {kx::gkDown, 1, 4, true, false, 3},      {kx::gkDown, 0, 2, true, false, 1},
      {kx::gkDown, 0, 2, true, true, 0},       {kx::gkDown, 3, 4, true, false, 1},
      {kx::gkDown, 1, 1, true, false, 0},      {kx::gkDown, 1, 4, false, false, 0},
      {kx::gkDisabled, 0, 4, false, false, 0}, {kx::gkDown, -4, 4, true, false, 2},
  };
  for (const Case& c : cases)
    EXPECT_EQ(kx::GlyphStripFrame(c.kind, c.down, c.frames, c.enabled, c.fourBit), c.want)
        << c.kind << " " << c.down << " " << c.frames;
}

TEST(GlyphStrip, DrawsTheChosenFrameKeyedAndNothingWithoutFrames) {
  // Four 2 x 2 frames: red, green, blue, white; each frame's bottom-left is magenta.
  auto glyph = Solid(8, 2, pf24, 0);
  const TColor colours[] = {tk::clRed, tk::clLime, tk::clBlue, tk::clWhite};
  for (int f = 0; f < 4; ++f) {
    for (int x = 0; x < 2; ++x)
      for (int y = 0; y < 2; ++y) Put(*glyph, 2 * f + x, y, colours[f]);
    Put(*glyph, 2 * f, 1, tk::clFuchsia);
  }
  auto target = Solid(4, 4, pf24, tk::clGray);
  kx::DrawGlyphStrip(glyph.get(), target.get(), TRect{1, 1, 3, 3}, 1, 0, kx::gkDown, 0, true, 4);
  EXPECT_EQ(Color(*target, 1, 1), tk::clWhite);
  EXPECT_EQ(Color(*target, 1, 2), tk::clGray) << "key shows the target";

  kx::DrawGlyphStrip(glyph.get(), target.get(), TRect{0, 0, 2, 2}, 0, 50, kx::gkUp, 0, true, 4);
  EXPECT_EQ(Color(*target, 0, 0), tk::RGBColor(192, 64, 64)) << "half of red over grey";

  for (int frames : {0, -1, 9}) {
    auto before = Copy(*target);
    kx::DrawGlyphStrip(glyph.get(), target.get(), TRect{0, 0, 2, 2}, 0, 0, kx::gkUp, 0, true, frames);
    EXPECT_TRUE(SameBytes(*target, *before)) << frames;
  }
}

TEST(GlyphStrip, ADisabledSingleGlyphIsGreyedOrHalfBlended) {
  auto glyph = Solid(2, 2, pf24, tk::RGBColor(90, 30, 0));
  Put(*glyph, 0, 1, tk::clFuchsia);
  auto target = Solid(2, 2, pf24, tk::RGBColor(0, 0, 200));
  kx::DrawGlyphStrip(glyph.get(), target.get(), TRect{0, 0, 2, 2}, 0, 0, kx::gkUp, kx::dgGrayed, false, 1);
  EXPECT_EQ(Color(*target, 0, 0), tk::RGBColor(40, 40, 40));
  EXPECT_EQ(Color(*target, 0, 1), tk::RGBColor(0, 0, 200)) << "key kept through the grey";
  kx::DrawGlyphStrip(glyph.get(), target.get(), TRect{0, 0, 2, 2}, 0, 0, kx::gkUp, kx::dgBlended, false, 1);
  EXPECT_EQ(Color(*target, 1, 1), tk::RGBColor(65, 35, 20));
}

TEST(DrawAlphaImage, BlendsByAlphaSeeThroughAndTint) {
  auto src = Solid(2, 1, pf32, tk::RGBColor(200, 100, 0), 128);
  struct Case {
    int see;
    TColor tint;
    TColor want;
  } cases[] = {
      {0, tk::clNone, tk::RGBColor(150, 100, 50)},   // ((200 - 100) * 128 + 100 * 256) >> 8
      {50, tk::clNone, tk::RGBColor(125, 100, 75)},  // alpha 64
      {100, tk::clNone, tk::RGBColor(100, 100, 100)},
      {0, tk::RGBColor(255, 0, 0), tk::RGBColor(100, 50, 50)},  // grey 100 -> (100, 0, 0)
  };
  for (const Case& c : cases) {
    auto dst = Solid(2, 1, pf24, tk::RGBColor(100, 100, 100));
    kx::DrawAlphaImage(TRect{0, 0, 2, 1}, TRect{0, 0, 2, 1}, dst.get(), false, c.see, c.tint, false, NotReady,
                       src.get());
    EXPECT_EQ(Color(*dst, 0, 0), c.want) << c.see;
  }
}

TEST(DrawAlphaImage, KeyPixelsShowTheParentOrStayWhileItIsReady) {
  auto src = Solid(2, 1, pf32, tk::clFuchsia, 0);
  auto parent = Solid(6, 6, pf24, tk::clLime);
  const TCacheInfo ready{parent.get(), 5, 5, 0, true};
  auto dst = Solid(3, 1, pf24, tk::clBlue);
  kx::DrawAlphaImage(TRect{0, 0, 2, 1}, TRect{0, 0, 2, 1}, dst.get(), false, 0, tk::clNone, true, ready, src.get());
  EXPECT_EQ(Color(*dst, 0, 0), tk::clLime);
  EXPECT_EQ(Color(*dst, 1, 0), tk::clBlue) << "(5, 5) + 1 lies outside the parent";
  auto kept = Solid(3, 1, pf24, tk::clBlue);
  kx::DrawAlphaImage(TRect{0, 0, 2, 1}, TRect{0, 0, 2, 1}, kept.get(), false, 0, tk::clNone, false, ready, src.get());
  EXPECT_EQ(Color(*kept, 0, 0), tk::clBlue);
}

TEST(DrawAlphaImage, ReflectionFadesFromAThirdBelowThePictureAndReadsOnlyItsFrame) {
  // A 20-pixel-high opaque white glyph over black, drawn at the top of a
  // 40-pixel-high destination.
  auto src = Solid(2, 20, pf32, tk::clWhite, 255);
  auto dst = Solid(2, 40, pf24, tk::clBlack);
  kx::DrawAlphaImage(TRect{0, 0, 2, 20}, TRect{0, 0, 2, 20}, dst.get(), true, 0, tk::clNone, false, NotReady,
                     src.get());
  EXPECT_EQ(Color(*dst, 0, 20), tk::clBlack) << "the row right under the picture is left";
  EXPECT_EQ(At(*dst, 0, 21)[0], 84) << "alpha 85: (255 * 85) >> 8";
  EXPECT_EQ(At(*dst, 0, 22)[0], 75) << "fade 230: alpha 76";
  EXPECT_GT(At(*dst, 0, 29)[0], 0) << "ninth row";
  EXPECT_EQ(Color(*dst, 0, 30), tk::clBlack) << "nine rows only";

  // A frame of 3 rows in a taller strip: nothing from rows above it.
  auto strip = Solid(1, 20, pf32, tk::clWhite, 255);
  for (int y = 10; y < 13; ++y) Put32(*strip, 0, y, tk::clRed, 255);
  auto out = Solid(1, 20, pf24, tk::clBlack);
  kx::DrawAlphaImage(TRect{0, 0, 1, 3}, TRect{0, 10, 1, 13}, out.get(), true, 0, tk::clNone, false, NotReady,
                     strip.get());
  EXPECT_EQ(Color(*out, 0, 4), tk::RGBColor(84, 0, 0));
  EXPECT_EQ(Color(*out, 0, 5), tk::RGBColor(75, 0, 0));
  EXPECT_EQ(Color(*out, 0, 6), tk::clBlack) << "the frame has only two rows above its last";
}

TEST(DrawAlphaImage, CutsTheAreaToBothBitmaps) {
  auto src = Solid(4, 4, pf32, tk::clRed, 255);
  Put32(*src, 1, 1, tk::clBlue, 255);
  auto dst = Solid(3, 3, pf24, tk::clBlack);
  kx::DrawAlphaImage(TRect{-1, -1, 5, 5}, TRect{0, 0, 6, 6}, dst.get(), false, 0, tk::clNone, false, NotReady,
                     src.get());
  EXPECT_EQ(Color(*dst, 0, 0), tk::RGBColor(0, 0, 254)) << "negative destination cut on both sides";
  EXPECT_EQ(Color(*dst, 2, 2), tk::RGBColor(254, 0, 0));
}

TEST(CopyMaskedPicture, MixesThroughTheMaskOrTheAlphaAndKeepsTheKey) {
  // 24 bits: picture row 0, mask row 1 (black = picture, white = destination).
  auto masked = Solid(3, 2, pf24, tk::clRed);
  Put(*masked, 2, 0, tk::clFuchsia);
  Put(*masked, 0, 1, tk::clBlack);
  Put(*masked, 1, 1, tk::clWhite);
  auto dst = Solid(3, 1, pf24, tk::clBlue);
  auto parent = Solid(3, 1, pf24, tk::clLime);
  kx::CopyMaskedPicture(TRect{0, 0, 3, 5}, TRect{0, 0, 3, 5}, dst.get(), true, kx::MakeCacheInfo(parent.get()),
                        masked.get());
  EXPECT_EQ(Color(*dst, 0, 0), tk::clRed);
  EXPECT_EQ(Color(*dst, 1, 0), tk::RGBColor(0, 0, 254)) << "((d - s) * 255 + s * 256) >> 8";
  EXPECT_EQ(Color(*dst, 2, 0), tk::clLime) << "key shows the parent";

  auto alpha = Solid(1, 1, pf32, tk::RGBColor(200, 0, 0), 128);
  auto dst32 = Solid(1, 1, pf32, tk::RGBColor(0, 0, 100), 7);
  kx::CopyMaskedPicture(TRect{0, 0, 1, 1}, TRect{0, 0, 1, 1}, dst32.get(), false, NotReady, alpha.get());
  EXPECT_EQ(Color(*dst32, 0, 0), tk::RGBColor(100, 0, 50));
  EXPECT_EQ(Alpha(*dst32, 0, 0), 255);
}
