#include "skin/framework/kxThreadedTimer.h"

#include <utility>

#include "toolkit/Forms.h"

namespace kx {

namespace {

bool ApplicationEnding() {
  return !tk::Application || tk::Application->IsDestroying() || tk::Application->Terminated();
}

}  // namespace

// --- TkxTimerThread ---------------------------------------------------------------

TkxTimerThread::TkxTimerThread() : tk::TThread(true) {}

TkxTimerThread::~TkxTimerThread() = default;

void TkxTimerThread::Execute() {
  while (!Terminated()) {
    CheckSuspended();
    if (Terminated()) break;
    // Only the end of the thread signals the event; anything but the
    // time-out (a failed wait included) ends it.
    if (TimeEvent->WaitFor(Interval.load()) != tk::wrTimeout || Terminated()) break;
    Synchronize([this] { DoTimer(); });
  }
}

void TkxTimerThread::DoTimer() {
  // Reached also while the timer stops this thread and waits for it.
  if (Terminated() || !OwnerTimer || ApplicationEnding()) return;
  FInTick = true;
  OwnerTimer->Tick();  // may free the timer, which then lets this thread end on its own
  FInTick = false;
}

// --- TkxThreadedTimer -------------------------------------------------------------

TkxThreadedTimer::TkxThreadedTimer(tk::TComponent* AOwner) : tk::TComponent(AOwner) {
  if (ApplicationEnding()) return;
  StartThread();
  UpdateTimer();
}

TkxThreadedTimer::~TkxThreadedTimer() { StopThread(); }

void TkxThreadedTimer::StartThread() {
  auto t = std::make_unique<TkxTimerThread>();
  t->OwnerTimer = this;
  t->Interval = FInterval;
  t->SetPriority(FThreadPriority);
  t->SetFreeOnTerminate(false);
  t->TimeEvent = std::make_unique<tk::TSimpleEvent>();
  FTimerThread = t.release();
  FTimerThread->Start();
}

void TkxThreadedTimer::StopThread() {
  TkxTimerThread* t = std::exchange(FTimerThread, nullptr);
  if (!t) return;
  t->OwnerTimer = nullptr;
  t->Terminate();
  t->TimeEvent->SetEvent();
  t->Resume();
  if (t->InTick()) {
    // Called from this thread's own tick: the worker waits for that tick to
    // return, so waiting for the worker here would never end. It ends after
    // the tick and frees itself.
    t->SetFreeOnTerminate(true);
    return;
  }
  // Serves Synchronize meanwhile: a worker waiting to hand over a tick
  // gets its (now empty) tick and ends.
  t->WaitFor();
  delete t;
}

void TkxThreadedTimer::UpdateTimer() {
  if (!FTimerThread) return;
  if (Ticking()) FTimerThread->Resume();
  else FTimerThread->Suspend();
}

void TkxThreadedTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TkxThreadedTimer::SetInterval(uint32_t Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  if (FTimerThread) FTimerThread->Interval = Value;
  UpdateTimer();
}

void TkxThreadedTimer::SetOnTimer(tk::TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TkxThreadedTimer::SetThreadPriority(tk::TThreadPriority Value) {
  if (Value == FThreadPriority) return;
  FThreadPriority = Value;
  if (FTimerThread) FTimerThread->SetPriority(Value);
  UpdateTimer();
}

void TkxThreadedTimer::Reset() {
  StopThread();
  StartThread();
  UpdateTimer();
}

void TkxThreadedTimer::Tick() {
  // A worker paused just after it took its wait still hands over that tick.
  if (!Ticking()) return;
  // A copy: the handler may free the timer and its event with it.
  const tk::TNotifyEvent handler = FOnTimer;
  try {
    handler(this);
  } catch (...) {
    try {
      if (tk::Application) tk::Application->HandleException(this);
    } catch (...) {
      // Nothing may leave the tick.
    }
  }
}

}  // namespace kx
