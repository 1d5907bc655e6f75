// Cross-fades of a control's look between two states. A state change keeps
// a snapshot of the old look, lets the control rebuild its cache for the new
// state and then blends the two in steps of 10 ms: TsFadeTimer for windowed
// controls (the frame goes to the window's DC), TsAnimTimer for window-less
// ones (the control paints the frame itself). Both talk to their control
// through the engine commands KX_BUILDCACHE, KX_FADEFRAME, KX_SETUPDATING,
// KX_REPAINTNOW and KX_STOPFADE.
//
// A fade timer belongs to its control through a timer variable; the control
// frees it with StopFade, which is safe from anywhere, also from the control's
// answer to KX_STOPFADE inside the timer's own last tick: a timer let go
// inside its tick is freed once the tick has returned. Exceptions raised in a
// tick go to the application's handler.
//
// The classes run on Windows only (sFadeTimer_win.cpp); the step arithmetic
// at the end (sFadeTimer.cpp) is pure and builds natively. UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "skin/data/sSkinManager.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Timers.h"

namespace kx {

class TsCommonData;

enum TFadeDirection : uint8_t { fdNone, fdUp, fdDown };

// A control's fading events: the manager's four button events, plus
// aeGlobalDef, which lets the manager decide for the events not listed.
using TkxAnimatEvents = TacAnimEvents;
constexpr TacAnimEvent aeGlobalDef = static_cast<TacAnimEvent>(aeMouseUp + 1);
constexpr TkxAnimatEvents kxDefaultAnimatEvents{aeGlobalDef};

// The base of both fade timers: a message timer, created disabled, that may
// be let go from inside its own tick.
class TkxFadeTimerBase : public tk::TTimer {
 public:
  TK_CLASS_NAME(TkxFadeTimerBase)
  explicit TkxFadeTimerBase(tk::TComponent* AOwner);
  ~TkxFadeTimerBase() override;
  // Disables the timer for good and frees it: at once, or, inside its own
  // tick, once that tick has returned (its owner then no longer owns it).
  void Release();
  bool InTick() const { return FTickDepth > 0; }
  bool Released() const { return FReleased; }
  TsCommonData* OwnerData() const { return FOwnerData; }

 protected:
  // The tick: runs Tick, hands its exceptions to the application's handler
  // and frees a timer released meanwhile once it is over.
  void Timer() final;
  virtual void Tick() = 0;
  // Ends the fade after a tick failed (a failing tick would fail again on
  // every later one).
  virtual void Halt() { SetEnabled(false); }
  // No control to fade any more (or the application is ending).
  bool ControlGone() const;

  TsCommonData* FOwnerData = nullptr;  // not owned

 private:
  int FTickDepth = 0;
  bool FReleased = false;
};

// The cross-fade of a windowed control.
class TsFadeTimer : public TkxFadeTimerBase {
 public:
  TK_CLASS_NAME(TsFadeTimer)
  // Owner: the control; created stopped (fdNone).
  explicit TsFadeTimer(tk::TComponent* AOwner);
  ~TsFadeTimer() override;

  TFadeDirection Direction() const { return FDirection; }
  // Enabled exactly when not fdNone; a negative FadeLevel becomes 1.
  void SetDirection(TFadeDirection Value);
  // Snapshots Data's look (building the cache first when it is stale and
  // empty) and sets the step count for a fade with Half (see
  // FadeStartIterations). The caller then has the new look built.
  void SetOwnerData(TsCommonData* Data, bool Half);

  // The fade is over (KX_STOPFADE sent), or its control is gone (stopped).
  bool ToEnd();
  // The next frame onto the control's window.
  void Change();

  int Iterations = 0;
  int FadeLevel = 0;
  std::unique_ptr<tk::TBitmap> BmpFrom;

 protected:
  void Tick() override;
  void Halt() override;

 private:
  TFadeDirection FDirection = fdNone;
  std::unique_ptr<tk::TBitmap> FFrame;  // reused from frame to frame
};

// The cross-fade of a window-less control: each frame is left in TmpBmp and
// the control, told to repaint, paints it while the fade runs.
class TsAnimTimer : public TkxFadeTimerBase {
 public:
  TK_CLASS_NAME(TsAnimTimer)
  // Created disabled, without owner.
  TsAnimTimer();
  ~TsAnimTimer() override;

  // Interval 10 ms and Iterations := the section's FadingIterations.
  void SetOwnerData(TsCommonData* Data);

  bool ToEnd();
  void DoFade();
  // KX_SETUPDATING 0, then KX_REPAINTNOW, to the control.
  void Repaint();

  bool FadeInProcess = false;
  std::unique_ptr<tk::TBitmap> BmpFrom;
  std::unique_ptr<tk::TBitmap> TmpBmp;
  int Iterations = 0;
  int FadeLevel = 0;

 protected:
  void Tick() override;
};

// True when Event is in the control's Events, or when those contain
// aeGlobalDef and Event is among the manager's button events (null = the
// default manager; without any manager only the control's own events count).
bool FadeAllowed(TacAnimEvent Event, TkxAnimatEvents Events, TsSkinManager* Manager = nullptr);

// Starts a fade of Data's control, or redirects the running one (Timer),
// unless its section does not fade. Half halves the steps (press and release).
void StartFade(TsFadeTimer*& Timer, TsCommonData& Data, bool Half, TFadeDirection Direction);
// A windowed control's state change: faded when Fade and the section and the
// control's cache allow it, else repainted at once; then the glow follows.
void ChangeStateFaded(TsFadeTimer*& Timer, TsCommonData& Data, bool Pressed, TFadeDirection Direction, bool Fade);
// Stops Timer and lets it go (see TkxFadeTimerBase::Release); the variable
// is cleared. Safe inside the timer's own tick.
void StopFade(TsFadeTimer*& Timer, TsCommonData& Data);
void StopFade(TsAnimTimer*& Timer);

// --- Pure arithmetic (sFadeTimer.cpp) --------------------------------------------

// Weight of the old look in frame Step of Iterations:
// min(255, max(0, 255 - Step * 256 div Iterations)); n = 20 gives 243, 230,
// 217, ..., 0. 0 (the new look) for Iterations <= 0.
uint8_t FadeFrameAlpha(int Step, int Iterations);

// FadeAllowed against the manager's button events ManagerEvents.
bool FadeAllowed(TacAnimEvent Event, TkxAnimatEvents Events, TacAnimEvents ManagerEvents);

// The steps of a fade that starts (always at step 1) on a timer going in
// Current (fdNone: a new or stopped timer): FadingIterations, halved with
// Half. Redirecting a running fdUp fade thus restarts it with every step,
// while a running fdDown one gets no steps and ends at the next tick.
int FadeStartIterations(TFadeDirection Current, int FadingIterations, bool Half);

// Frame := From blended with To at FadeFrameAlpha(Step, Iterations) (the
// old look's weight), reusing Frame's pixels when it has From's size and
// format. A pair that does not fit (other size or format, or smaller than
// 2 x 2) gives the new look alone.
void BuildFadeFrame(tk::TBitmap& Frame, tk::TBitmap& From, tk::TBitmap& To, int Step, int Iterations);

}  // namespace kx
