// The step arithmetic of fades and the frame blend. Pure: builds natively.
#include <cstring>

#include "skin/framework/sFadeTimer.h"
#include "skin/paint/BlendRow.h"
#include "skin/paint/sAlphaGraph.h"

namespace kx {

uint8_t FadeFrameAlpha(int Step, int Iterations) {
  if (Iterations <= 0) return 0;
  // 64 bits: a skin may ask for any number of steps, and Step runs one past it.
  const int64_t a = 255 - int64_t{Step} * 256 / Iterations;
  return static_cast<uint8_t>(a < 0 ? 0 : a > 255 ? 255 : a);
}

bool FadeAllowed(TacAnimEvent Event, TkxAnimatEvents Events, TacAnimEvents ManagerEvents) {
  return Events.Contains(Event) || (Events.Contains(aeGlobalDef) && ManagerEvents.Contains(Event));
}

int FadeStartIterations(TFadeDirection Current, int FadingIterations, bool Half) {
  // A running timer's level is set to FadingIterations and its steps to what
  // its direction leaves of them (fdUp: the level, fdDown: the rest, none);
  // the level then lies beyond the steps and starts again at 1.
  const int steps = Current == fdDown ? 0 : FadingIterations;
  return Half ? steps / 2 : steps;
}

void BuildFadeFrame(tk::TBitmap& Frame, tk::TBitmap& From, tk::TBitmap& To, int Step, int Iterations) {
  const bool fits = From.Width() == To.Width() && From.Height() == To.Height() &&
                    From.PixelFormat() == To.PixelFormat() && From.Width() >= 2 && From.Height() >= 2;
  if (!fits) {
    Frame.Assign(&To);
    return;
  }
  if (Frame.Width() != From.Width() || Frame.Height() != From.Height() || Frame.PixelFormat() != From.PixelFormat())
    Frame.Assign(&From);
  const uint8_t a = FadeFrameAlpha(Step, Iterations);
  const tk::TPixelView d = Frame.View(), s = From.View(), t = To.View();
  if (d.stride == s.stride && d.stride == t.stride) {
    // Rows of one bitmap lie in one block, padding included: a button's 50
    // rows then cost one copy and one blend call instead of 50 of each.
    const size_t bytes = static_cast<size_t>(d.stride < 0 ? -d.stride : d.stride) * d.height;
    const auto block = [&](const tk::TPixelView& v) { return v.stride < 0 ? v.Row(v.height - 1) : v.row0; };
    std::memcpy(block(d), block(s), bytes);
    BlendRowFast(block(d), block(t), bytes, a);
    return;
  }
  const size_t n = static_cast<size_t>(d.width) * d.Bpp();
  for (int y = 0; y < d.height; ++y) std::memcpy(d.Row(y), s.Row(y), n);
  BlendBitmapsEqual(&Frame, &To, a);
}

}  // namespace kx
