// A timer whose ticks are timed by a worker thread and run on the UI thread,
// for animations that must keep their pace while the UI thread's message
// timers lag. The worker only waits: each tick reaches the UI thread through
// Synchronize, so OnTimer, like everything touching windows, bitmaps and the
// timer's fields, runs there. The worker reads only the interval (atomic)
// and the flags that end it.
//
// The timer owns its thread. Freeing the timer, or changing it, is safe from
// anywhere on the UI thread, also from inside its own OnTimer and while the
// worker waits for the UI thread to take a tick. Exceptions raised by OnTimer
// go to the application's handler; the timer keeps ticking. Windows only
// (kxThreadedTimer_win.cpp); the timer's members are UI thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "toolkit/Classes.h"
#include "toolkit/Threads.h"

namespace kx {

class TkxThreadedTimer;

class TkxTimerThread : public tk::TThread {
 public:
  TK_CLASS_NAME(TkxTimerThread)
  // Created suspended; the timer sets it up and starts it.
  TkxTimerThread();
  ~TkxTimerThread() override;

  // Cleared when the timer lets the thread go (UI thread).
  TkxThreadedTimer* OwnerTimer = nullptr;
  // Milliseconds between ticks, read by the worker before each wait.
  std::atomic<uint32_t> Interval{1000};
  // Signalled only to end the thread; owned by the thread.
  std::unique_ptr<tk::TSimpleEvent> TimeEvent;
  // DoTimer is running (UI thread): the worker waits for it to return.
  bool InTick() const { return FInTick; }

 protected:
  void Execute() override;

 private:
  // The tick, on the UI thread.
  void DoTimer();
  bool FInTick = false;
};

class TkxThreadedTimer : public tk::TComponent {
 public:
  TK_CLASS_NAME(TkxThreadedTimer)
  // Enabled, 1000 ms, the worker started (unless the application is ending).
  explicit TkxThreadedTimer(tk::TComponent* AOwner);
  ~TkxThreadedTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Milliseconds; 0 pauses the timer.
  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t Value);
  const tk::TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(tk::TNotifyEvent Value);
  tk::TThreadPriority ThreadPriority() const { return FThreadPriority; }
  void SetThreadPriority(tk::TThreadPriority Value);

  // A new worker in place of the old one.
  void Reset();
  // Runs on the UI thread for every tick the worker times (TkxTimerThread).
  void Tick();

 private:
  void StartThread();
  void StopThread();
  // Pauses the worker unless enabled with an interval and a handler.
  void UpdateTimer();
  bool Ticking() const { return FEnabled && FInterval != 0 && static_cast<bool>(FOnTimer); }

  bool FEnabled = true;
  uint32_t FInterval = 1000;
  tk::TNotifyEvent FOnTimer;
  TkxTimerThread* FTimerThread = nullptr;  // owned
  tk::TThreadPriority FThreadPriority = tk::tpNormal;
};

}  // namespace kx
