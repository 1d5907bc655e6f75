#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sFadeTimer.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"
#include "toolkit/ObjectInstances.h"

namespace kx {

namespace {

void ReportException(tk::TObject* Sender) noexcept {
  try {
    if (tk::Application) tk::Application->HandleException(Sender);
  } catch (...) {
    // The handler itself failed: nothing may leave the timer's callback.
  }
}

bool ApplicationEnding() {
  return !tk::Application || tk::Application->IsDestroying() || tk::Application->Terminated();
}

// Timers let go inside their own tick, freed from a message posted once the
// tick has returned: the toolkit is still running the timer's window method
// when the control answers the last tick's KX_STOPFADE by freeing it.
class TReleaseQueue {
 public:
  void Add(TkxFadeTimerBase* Timer) {
    FPending.push_back(Timer);
    if (FPosted) return;
    if (!FWnd) FWnd = tk::AllocateHWnd(tk::TWndMethod(this, &TReleaseQueue::WndProc));
    FPosted = ::PostMessageW(FWnd, kRelease, 0, 0) != 0;
  }
  void Forget(TkxFadeTimerBase* Timer) { std::erase(FPending, Timer); }

 private:
  static constexpr UINT kRelease = WM_APP;
  void WndProc(tk::TMessage& Msg) {
    if (Msg.Msg != kRelease) {
      Msg.Result = ::DefWindowProcW(FWnd, Msg.Msg, Msg.WParam, Msg.LParam);
      return;
    }
    FPosted = false;
    // A timer may still be inside a tick when a modal loop of that tick
    // brought this message: it waits for the next round.
    std::vector<TkxFadeTimerBase*> later;
    while (!FPending.empty()) {
      TkxFadeTimerBase* t = FPending.back();
      FPending.pop_back();
      if (t->InTick()) later.push_back(t);
      else t->Free();
    }
    for (TkxFadeTimerBase* t : later) Add(t);
  }

  HWND FWnd = nullptr;
  bool FPosted = false;
  std::vector<TkxFadeTimerBase*> FPending;
};

// Lives as long as the program: a posted release may arrive during its exit.
TReleaseQueue& Releases() {
  static auto* q = new TReleaseQueue;
  return *q;
}

// Raises FadeLevel when the scope ends, also when a frame fails.
struct TNextStep {
  int& Level;
  ~TNextStep() { ++Level; }
};

}  // namespace

// --- TkxFadeTimerBase -------------------------------------------------------------

TkxFadeTimerBase::TkxFadeTimerBase(tk::TComponent* AOwner) : tk::TTimer(AOwner) { SetEnabled(false); }

TkxFadeTimerBase::~TkxFadeTimerBase() {
  if (FReleased) Releases().Forget(this);
}

void TkxFadeTimerBase::Release() {
  if (FReleased || IsDestroying()) return;
  SetEnabled(false);
  if (FTickDepth == 0) {
    Free();
    return;
  }
  FReleased = true;
  // From now on the queue alone frees it: the owner going first must not.
  if (Owner()) Owner()->RemoveComponent(this);
}

bool TkxFadeTimerBase::ControlGone() const {
  return !FOwnerData || !FOwnerData->FOwnerControl || FOwnerData->FOwnerControl->IsDestroying() || ApplicationEnding();
}

void TkxFadeTimerBase::Timer() {
  if (FReleased) return;
  ++FTickDepth;
  try {
    Tick();
  } catch (...) {
    try {
      Halt();
    } catch (...) { SetEnabled(false); }
    ReportException(this);
  }
  --FTickDepth;
  if (FReleased && FTickDepth == 0) {
    try {
      Releases().Add(this);
    } catch (...) { ReportException(this); }
  }
}

// --- TsFadeTimer ------------------------------------------------------------------

TsFadeTimer::TsFadeTimer(tk::TComponent* AOwner)
    : TkxFadeTimerBase(AOwner), BmpFrom(std::make_unique<tk::TBitmap>()), FFrame(std::make_unique<tk::TBitmap>()) {}

TsFadeTimer::~TsFadeTimer() = default;

void TsFadeTimer::SetDirection(TFadeDirection Value) {
  FDirection = Value;
  if (FadeLevel < 0) FadeLevel = 1;
  SetEnabled(Value != fdNone && !Released());
}

void TsFadeTimer::SetOwnerData(TsCommonData* Data, bool Half) {
  FOwnerData = Data;
  if (!Data) return;
  if (Data->BGChanged && Data->FCacheBmp && Data->FCacheBmp->Empty())
    SendControlCommand(Data->FOwnerControl, KX_BUILDCACHE);
  if (Data->FCacheBmp) BmpFrom->Assign(Data->FCacheBmp.get());
  SetInterval(10);
  const TsGeneralData* s = Data->Section();
  Iterations = FadeStartIterations(FDirection, s ? s->FadingIterations : 0, Half);
  FadeLevel = 1;
}

void TsFadeTimer::Tick() {
  if (IsDestroying() || !FOwnerData || ToEnd()) return;
  if (FDirection != fdNone) Change();
}

bool TsFadeTimer::ToEnd() {
  if (ControlGone()) {
    SetDirection(fdNone);
    return false;
  }
  if (FadeLevel <= Iterations && FadeLevel >= 0) return false;
  // The control usually lets the timer go here (StopFade). A send that
  // raises reaches Timer, which stops the timer before reporting.
  SendControlCommand(FOwnerData->FOwnerControl, KX_STOPFADE);
  // A control that keeps its finished timer leaves it stopped, not asking
  // again every 10 ms; one that started a new fade on it keeps that going.
  if (!Released() && (FadeLevel > Iterations || FadeLevel < 0)) SetDirection(fdNone);
  return true;
}

void TsFadeTimer::Change() {
  tk::TControl* c = FOwnerData ? FOwnerData->FOwnerControl : nullptr;
  if (!c || c->IsDestroying() || Iterations == 0) return;
  if (!c->Enabled()) {
    SetEnabled(false);
    Iterations = 0;
    FOwnerData->Invalidate();
    return;
  }
  TNextStep next{FadeLevel};
  auto* wc = dynamic_cast<tk::TWinControl*>(c);
  if (!FOwnerData->FCacheBmp || !wc || !wc->HandleAllocated()) return;
  BuildFadeFrame(*FFrame, *BmpFrom, *FOwnerData->FCacheBmp, FadeLevel, Iterations);
  tk::TWindowDC dc(wc->Handle(), true);
  tk::TDCState state(dc);
  if (SendTrustedCommand(c, KX_FADEFRAME, FFrame.get()) == 0)
    ::BitBlt(dc, 0, 0, FFrame->Width(), FFrame->Height(), FFrame->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsFadeTimer::Halt() {
  SetDirection(fdNone);
  // The control shows its new look rather than the last frame.
  if (!ControlGone()) FOwnerData->Invalidate();
}

// --- TsAnimTimer ------------------------------------------------------------------

TsAnimTimer::TsAnimTimer()
    : TkxFadeTimerBase(nullptr), BmpFrom(std::make_unique<tk::TBitmap>()), TmpBmp(std::make_unique<tk::TBitmap>()) {}

TsAnimTimer::~TsAnimTimer() = default;

void TsAnimTimer::SetOwnerData(TsCommonData* Data) {
  FOwnerData = Data;
  if (!Data) return;
  SetInterval(10);
  const TsGeneralData* s = Data->Section();
  Iterations = s ? s->FadingIterations : 0;
}

void TsAnimTimer::Tick() {
  if (IsDestroying()) return;
  if (!ToEnd()) DoFade();
}

bool TsAnimTimer::ToEnd() {
  if (IsDestroying() || ControlGone()) {
    // Nothing is left to fade: no more ticks.
    SetEnabled(false);
    return true;
  }
  if (FadeLevel >= 0 && FadeLevel <= Iterations) return false;
  SendControlCommand(FOwnerData->FOwnerControl, KX_STOPFADE);
  if (!Released() && (FadeLevel < 0 || FadeLevel > Iterations)) SetEnabled(false);
  return true;
}

void TsAnimTimer::DoFade() {
  TNextStep next{FadeLevel};
  if (FadeInProcess || ControlGone() || Iterations == 0 || FadeLevel < 0 || !FOwnerData->FCacheBmp) return;
  FadeInProcess = true;
  struct TClear {
    bool& Flag;
    ~TClear() { Flag = false; }
  } clear{FadeInProcess};
  BuildFadeFrame(*TmpBmp, *BmpFrom, *FOwnerData->FCacheBmp, FadeLevel, Iterations);
  Repaint();
}

void TsAnimTimer::Repaint() {
  if (ControlGone()) return;
  SendControlCommand(FOwnerData->FOwnerControl, KX_SETUPDATING, 0, 0);
  SendControlCommand(FOwnerData->FOwnerControl, KX_REPAINTNOW);
}

// --- Starting and stopping ----------------------------------------------------------

bool FadeAllowed(TacAnimEvent Event, TkxAnimatEvents Events, TsSkinManager* Manager) {
  TsSkinManager* m = Manager ? Manager : DefaultManager();
  return FadeAllowed(Event, Events, m ? m->AnimEffects()->Buttons.Events : TacAnimEvents{});
}

void StartFade(TsFadeTimer*& Timer, TsCommonData& Data, bool Half, TFadeDirection Direction) {
  const TsGeneralData* s = Data.Section();
  if (!s || !s->FadingEnabled) return;
  if (!Timer) Timer = tk::Create<TsFadeTimer>(Data.FOwnerControl);
  Timer->SetOwnerData(&Data, Half);
  SendControlCommand(Data.FOwnerControl, KX_BUILDCACHE);
  Timer->SetDirection(Direction);
}

void ChangeStateFaded(TsFadeTimer*& Timer, TsCommonData& Data, bool Pressed, TFadeDirection Direction, bool Fade) {
  if (!Data.Skinned()) return;
  const TsGeneralData* s = Data.Section();
  const bool fades = Fade && !Engine.SkinLoading && s->FadingEnabled && Data.FCacheBmp && !Data.BGChanged;
  Data.BGChanged = true;
  if (fades) {
    StartFade(Timer, Data, Pressed, Direction);
  } else {
    if (Timer) StopFade(Timer, Data);
    if (Data.FOwnerControl) Data.FOwnerControl->Repaint();
  }
  Data.UpdateGlow(Pressed);
}

void StopFade(TsFadeTimer*& Timer, TsCommonData&) {
  TsFadeTimer* t = std::exchange(Timer, nullptr);
  if (!t || t->IsDestroying()) return;
  t->SetDirection(fdNone);
  t->Release();
}

void StopFade(TsAnimTimer*& Timer) {
  TsAnimTimer* t = std::exchange(Timer, nullptr);
  if (t && !t->IsDestroying()) t->Release();
}

}  // namespace kx
