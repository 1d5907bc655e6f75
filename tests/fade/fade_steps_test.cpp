// The arithmetic of fades: the old look's weight per step, the steps a fade
// starts with, which events fade, and the frame blend.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

#include "skin/framework/sFadeTimer.h"
#include "skin/paint/BlendRow.h"

namespace kx {
namespace {

TEST(FadeSteps, TheOldLooksWeightFallsFrom255To0OverTheSteps) {
  struct {
    int Step, Iterations;
    int Weight;
  } cases[] = {
      {1, 20, 243}, {2, 20, 230},      {3, 20, 217},          {10, 20, 127}, {19, 20, 12}, {20, 20, 0},
      {21, 20, 0},  {0, 20, 255},      {-3, 20, 255},         {1, 10, 230},  {1, 1, 0},    {5, 0, 0},
      {1, -4, 0},   {1, INT_MAX, 255}, {INT_MAX, INT_MAX, 0},  // no overflow for a skin's huge step count
  };
  for (const auto& c : cases)
    EXPECT_EQ(FadeFrameAlpha(c.Step, c.Iterations), c.Weight) << c.Step << " of " << c.Iterations;
}

TEST(FadeSteps, AFadeStartsWithTheSectionsStepsHalvedForPressesAndNoneWhenRedirectingADownFade) {
  struct {
    TFadeDirection Current;
    int FadingIterations;
    bool Half;
    int Iterations;
  } cases[] = {
      {fdNone, 20, false, 20}, {fdNone, 20, true, 10}, {fdUp, 20, false, 20}, {fdUp, 20, true, 10},
      {fdDown, 20, false, 0},  {fdDown, 20, true, 0},  {fdNone, 5, true, 2},  {fdNone, 0, false, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FadeStartIterations(c.Current, c.FadingIterations, c.Half), c.Iterations)
        << int(c.Current) << " " << c.FadingIterations << " " << c.Half;
}

TEST(FadeSteps, AControlsOwnEventsFadeWhateverTheManagerSaysAndGlobalDefFollowsTheManager) {
  const TacAnimEvents all{aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp};
  struct {
    TkxAnimatEvents Control;
    TacAnimEvents Manager;
    TacAnimEvent Event;
    bool Fades;
  } cases[] = {
      {{aeMouseEnter}, {}, aeMouseEnter, true},
      {{aeMouseEnter}, all, aeMouseLeave, false},
      {kxDefaultAnimatEvents, all, aeMouseUp, true},
      {kxDefaultAnimatEvents, {aeMouseDown}, aeMouseEnter, false},
      {{}, all, aeMouseDown, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FadeAllowed(c.Event, c.Control, c.Manager), c.Fades) << int(c.Event) << " " << c.Control.Bits();
}

std::unique_ptr<tk::TBitmap> Filled(int W, int H, uint8_t Byte, tk::TPixelFormat F = tk::TPixelFormat::pf24bit) {
  auto b = std::make_unique<tk::TBitmap>(W, H, F);
  const tk::TPixelView v = b->View();
  for (int y = 0; y < v.height; ++y) std::memset(v.Row(y), Byte, static_cast<size_t>(v.width) * v.Bpp());
  return b;
}

TEST(FadeSteps, AFrameBlendsTheOldLookIntoTheNewAndAPairThatDoesNotFitShowsTheNew) {
  auto from = Filled(5, 3, 200), to = Filled(5, 3, 40);
  tk::TBitmap frame;
  for (int step : {1, 7, 20}) {
    BuildFadeFrame(frame, *from, *to, step, 20);
    ASSERT_EQ(frame.Width(), 5);
    EXPECT_EQ(frame.ScanLine(2)[14], BlendByte(200, 40, FadeFrameAlpha(step, 20))) << step;
  }
  EXPECT_EQ(from->ScanLine(0)[0], 200) << "the snapshot stays for the next frame";
  struct {
    std::unique_ptr<tk::TBitmap> From, To;
  } misfits[] = {
      {Filled(5, 3, 200), Filled(4, 3, 90)},
      {Filled(5, 3, 200), Filled(5, 3, 90, tk::TPixelFormat::pf32bit)},
      {Filled(1, 3, 200), Filled(1, 3, 90)},  // too small to blend
  };
  for (auto& m : misfits) {
    BuildFadeFrame(frame, *m.From, *m.To, 5, 20);
    EXPECT_EQ(frame.Width(), m.To->Width());
    EXPECT_EQ(frame.PixelFormat(), m.To->PixelFormat());
    EXPECT_EQ(frame.ScanLine(0)[0], 90);
  }
}

}  // namespace
}  // namespace kx
