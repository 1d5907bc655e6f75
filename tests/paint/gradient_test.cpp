#include <gtest/gtest.h>

#include "skin/paint/sGradient.h"
#include "toolkit/SysUtils.h"
#include "tests/paint/PaintTest.h"

using namespace painttest;
using kx::PaintGradient;
using kx::TsGradArray;
using tk::TRect;

namespace {

TsGradArray Parse(const wchar_t* text) {
  TsGradArray a;
  kx::ParseGradientData(text, a);
  return a;
}

// Grey level of a 24-bit pixel's red channel.
int Red(TBitmap& b, int x, int y) { return tk::GetRValue(Color(b, x, y)); }

constexpr TColor kUntouched = 0x5A5A5A;

}  // namespace

TEST(ParseGradientData, ReadsFiveWordsABandAndIgnoresEmptyFieldsAndLeftovers) {
  const TsGradArray two = Parse(L"16777215;15856113;97;0;0;15856113;15856113;0;0;0");
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].Color1, 0xFFFFFF);
  EXPECT_EQ(two[0].Color2, 0xF1F1F1);
  EXPECT_EQ(two[0].Percent, 97);
  EXPECT_EQ(two[1].Color1, 0xF1F1F1);
  EXPECT_EQ(two[1].Percent, 0);

  EXPECT_TRUE(Parse(L"1;2;3").empty());
  EXPECT_TRUE(Parse(L"").empty());
  EXPECT_TRUE(Parse(L" ").empty()) << "a section's unset value";
  const TsGradArray runs = Parse(L"1;;2;;;3;4;5");
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].Color1, 1);
  EXPECT_EQ(runs[0].Color2, 2);
  EXPECT_EQ(runs[0].Percent, 3);
  EXPECT_EQ(runs[0].Mode1, 4);
  EXPECT_EQ(runs[0].Mode2, 0) << "the fifth word is read but not kept";
  EXPECT_EQ(Parse(L";1;2;3;4;5;6;7;8;9;").size(), 1u) << "a trailing incomplete band is ignored";
}

TEST(ParseGradientData, LimitsPercentAndNegativeColours) {
  const TsGradArray a = Parse(L"-5;-1;150;7;0;1;2;-3;0;x");
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].Color1, 0);
  EXPECT_EQ(a[0].Color2, 0);
  EXPECT_EQ(a[0].Percent, 100);
  EXPECT_EQ(a[0].Mode1, 7) << "the mode is stored unchanged";
  EXPECT_EQ(a[1].Percent, 0);
}

TEST(ParseGradientData, ANonNumericWordRaisesAndLeavesTheBandsReadSoFar) {
  TsGradArray a{kx::TsGradPie{9, 9, 9, 9, 9}};
  EXPECT_THROW(kx::ParseGradientData(L"1;2;3;0;0;4;x;6;0;0;7;8;9;0;0", a), tk::EConvertError);
  ASSERT_EQ(a.size(), 3u) << "the counted length";
  EXPECT_EQ(a[0].Color1, 1);
  EXPECT_EQ(a[0].Percent, 3);
  EXPECT_EQ(a[2].Color1, 0) << "bands after the bad word stay zero";
  EXPECT_EQ(a[2].Percent, 0);
}

TEST(PaintGradient, OneVerticalBandRunsFromTheFirstToTheLastRow) {
  auto b = Solid(3, 10, pf24, kUntouched);
  PaintGradient(b.get(), TRect{0, 0, 3, 10}, Parse(L"0;255;100;0;0"));
  for (int y = 0; y < 10; ++y) {
    // The ramp never sits on a half here, so rounding is plain.
    EXPECT_EQ(Color(*b, 0, y), tk::Round(y * 255.0 / 9)) << "row " << y;
    EXPECT_EQ(Color(*b, 2, y), Color(*b, 0, y));
  }
  EXPECT_EQ(Color(*b, 0, 9), 0x0000FF);
}

TEST(PaintGradient, ALastBandAlwaysReachesTheBottomAndLaterBandsRepaintTheSharedRow) {
  auto b = Solid(2, 10, pf24, kUntouched);
  PaintGradient(b.get(), TRect{0, 0, 2, 10}, Parse(L"0;0;0;0;0"));
  EXPECT_EQ(Color(*b, 0, 9), 0) << "percent 0 still fills the whole rectangle";

  // Band 0 ends at row 0 + 50 * 10 div 100 = 5; band 1 starts on that row.
  auto c = Solid(2, 10, pf24, kUntouched);
  PaintGradient(c.get(), TRect{0, 0, 2, 10}, Parse(L"0;255;50;0;0;16711680;65280;50;0;0"));
  EXPECT_EQ(Color(*c, 0, 0), 0);
  EXPECT_EQ(Color(*c, 0, 4), 204);
  EXPECT_EQ(Color(*c, 0, 5), 0xFF0000) << "the next band's first colour";
  EXPECT_EQ(Color(*c, 0, 9), 0x00FF00);

  // Shares above 100 push later bands off the bottom.
  auto d = Solid(2, 10, pf24, kUntouched);
  PaintGradient(d.get(), TRect{0, 0, 2, 10}, Parse(L"0;0;100;0;0;255;255;50;0;0"));
  for (int y = 0; y < 10; ++y) EXPECT_EQ(Color(*d, 1, y), 0) << "row " << y;
}

TEST(PaintGradient, PaintsOnlyTheRectangleCutToTheBitmap) {
  auto b = Solid(8, 20, pf24, kUntouched);
  PaintGradient(b.get(), TRect{2, 3, 6, 13}, Parse(L"0;255;100;0;0"));
  EXPECT_EQ(Color(*b, 2, 3), 0);
  EXPECT_EQ(Color(*b, 5, 12), 255);
  EXPECT_EQ(Color(*b, 1, 5), kUntouched);
  EXPECT_EQ(Color(*b, 6, 5), kUntouched);
  EXPECT_EQ(Color(*b, 3, 2), kUntouched);
  EXPECT_EQ(Color(*b, 3, 13), kUntouched);

  // Past the bottom: the band ends on the bitmap's last row. The share is
  // taken of the cut height.
  auto c = Solid(4, 6, pf24, kUntouched);
  PaintGradient(c.get(), TRect{-3, 1, 40, 60}, Parse(L"0;255;100;0;0"));
  EXPECT_EQ(Color(*c, 0, 1), 0);
  EXPECT_EQ(Color(*c, 3, 5), 255);
  EXPECT_EQ(Color(*c, 0, 0), kUntouched);
}

TEST(PaintGradient, HorizontalBandsSplitWithHalvesRoundedToEven) {
  // 50% of 5 columns ends band 0 at round(2.5) = 2; of 7 at round(3.5) = 4.
  for (auto [w, end] : {std::pair{5, 2}, std::pair{7, 4}}) {
    auto b = Solid(w, 2, pf24, kUntouched);
    PaintGradient(b.get(), TRect{0, 0, w, 2}, Parse(L"255;255;50;1;0;16711680;16711680;50;0;0"));
    for (int x = 0; x < w; ++x)
      EXPECT_EQ(Color(*b, x, 1), x < end ? 0x0000FF : 0xFF0000) << "width " << w << ", column " << x;
  }
  auto r = Solid(10, 1, pf24, kUntouched);
  PaintGradient(r.get(), TRect{0, 0, 10, 1}, Parse(L"0;255;100;1;0"));
  for (int x = 0; x < 10; ++x) EXPECT_EQ(Red(*r, x, 0), tk::Round(x * 255.0 / 9));
}

TEST(PaintGradient, LeavesPixelsAloneForOneRowInModeZeroALeadingModeThreeAndEmptyOrUnsupportedTargets) {
  auto b = Solid(6, 6, pf24, kUntouched);
  auto keep = Copy(*b);
  PaintGradient(b.get(), TRect{0, 2, 6, 3}, Parse(L"0;255;100;0;0"));
  EXPECT_TRUE(SameBytes(*b, *keep)) << "a one-row rectangle in mode 0";
  PaintGradient(b.get(), TRect{0, 0, 6, 6}, Parse(L"0;255;100;3;0;0;255;100;0;0"));
  EXPECT_TRUE(SameBytes(*b, *keep)) << "mode 3 in the first band";
  PaintGradient(b.get(), TRect{0, 0, 6, 6}, TsGradArray{});
  PaintGradient(b.get(), TRect{4, 4, 4, 6}, Parse(L"0;255;100;0;0"));
  PaintGradient(b.get(), TRect{7, 0, 9, 6}, Parse(L"0;255;100;0;0"));
  EXPECT_TRUE(SameBytes(*b, *keep)) << "empty array, empty or outside rectangle";
  auto grey = std::make_unique<TBitmap>(6, 6, TPixelFormat::pf8bit);
  PaintGradient(grey.get(), TRect{0, 0, 6, 6}, Parse(L"0;16777215;100;0;0"));
  EXPECT_EQ(grey->ScanLine(5)[0], 0) << "neither 24 nor 32 bits";
  PaintGradient(nullptr, TRect{0, 0, 6, 6}, Parse(L"0;16777215;100;0;0"));
}

TEST(PaintGradient, ThirtyTwoBitPixelsGetAlpha255InEveryMode) {
  for (const wchar_t* text : {L"0;255;100;0;0", L"0;255;100;1;0", L"255;0;0;2;0;65280"}) {
    auto b = Solid(6, 6, pf32, kUntouched, 7);
    PaintGradient(b.get(), TRect{1, 1, 5, 5}, Parse(text));
    EXPECT_EQ(Alpha(*b, 1, 1), 255) << text;
    EXPECT_EQ(Alpha(*b, 4, 4), 255) << text;
    EXPECT_EQ(Alpha(*b, 0, 0), 7) << text;
    EXPECT_EQ(Alpha(*b, 5, 5), 7) << text;
  }
}

TEST(PaintGradientTriangles, OneBandPaintsAFlatColour) {
  auto b = Solid(9, 7, pf24, kUntouched);
  PaintGradient(b.get(), TRect{1, 1, 8, 6}, Parse(L"3355443;0;0;2;0"));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) {
      const bool in = x >= 1 && x < 8 && y >= 1 && y < 6;
      EXPECT_EQ(Color(*b, x, y), in ? 0x333333 : kUntouched) << x << "," << y;
    }
}

TEST(PaintGradientTriangles, EachVertexShowsItsBandsColourAndMissingBandsRepeatTheLast) {
  auto b = Solid(100, 80, pf24, kUntouched);
  // Top-left red, centre white, top-right green, bottom-right blue, bottom-left black.
  PaintGradient(b.get(), TRect{0, 0, 100, 80},
                Parse(L"255;0;0;2;0;16777215;0;0;0;0;65280;0;0;0;0;16711680;0;0;0;0;0;0;0;0;0"));
  auto near = [&](int x, int y, TColor want) {
    const TColor got = Color(*b, x, y);
    for (int s = 0; s < 24; s += 8)
      if (std::abs(int((got >> s) & 255) - int((want >> s) & 255)) > 8) return false;
    return true;
  };
  EXPECT_TRUE(near(0, 0, 0x0000FF));
  EXPECT_TRUE(near(50, 40, 0xFFFFFF));
  EXPECT_TRUE(near(99, 0, 0x00FF00));
  EXPECT_TRUE(near(99, 79, 0xFF0000));
  EXPECT_TRUE(near(0, 79, 0x000000));

  auto two = Solid(100, 80, pf24, kUntouched);
  PaintGradient(two.get(), TRect{0, 0, 100, 80}, Parse(L"255;0;0;2;0;65280;0;0;0;0"));
  // Vertices 2 to 4 all take band 1's colour: the right and bottom
  // triangles are flat.
  EXPECT_EQ(Color(*two, 99, 10), 0x00FF00);
  EXPECT_EQ(Color(*two, 80, 40), 0x00FF00);
  EXPECT_EQ(Color(*two, 50, 79), 0x00FF00);
  EXPECT_EQ(Color(*two, 0, 0), 0x0000FF);
}

TEST(PaintGradientTriangles, TheCentreVertexSitsAtHalfTheWidthAndHeightRoundedDown) {
  // Only the centre is bright: the brightest pixels are among the four
  // around the vertex at (Left + W div 2, Top + H div 2).
  for (auto r : {TRect{0, 0, 20, 20}, TRect{3, 2, 24, 19}, TRect{1, 1, 12, 30}}) {
    auto b = Solid(30, 30, pf24, 0);
    PaintGradient(b.get(), r, Parse(L"0;0;0;2;0;16777215;0;0;0;0;0;0;0;0;0"));
    const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
    int best = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) best = std::max(best, Red(*b, x, y));
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Red(*b, x, y) == best) { EXPECT_TRUE(x >= cx - 1 && x <= cx && y >= cy - 1 && y <= cy) << x << "," << y; }
  }
}
