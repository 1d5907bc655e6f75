// Worker threads and events. A TThread runs Execute on its own thread;
// Synchronize hands a call to the UI thread and blocks the worker until it
// ran there (the message loop and WaitFor serve such calls). Any thread may
// call Terminate, Terminated, Start/Resume/Suspend and WaitFor; the
// TThread object itself is freed by its owner (or by the thread at its end
// with FreeOnTerminate).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "toolkit/Object.h"
#include "toolkit/WinTypes.h"

namespace tk {

enum TThreadPriority : uint8_t { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

enum TWaitResult : uint8_t { wrSignaled, wrTimeout, wrAbandoned, wrError };

constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFF;

// A manual-reset event.
class TSimpleEvent : public TObject {
 public:
  TK_CLASS_NAME(TSimpleEvent)
  TSimpleEvent();
  ~TSimpleEvent() override;
  TSimpleEvent(const TSimpleEvent&) = delete;
  TSimpleEvent& operator=(const TSimpleEvent&) = delete;
  void SetEvent();
  void ResetEvent();
  TWaitResult WaitFor(uint32_t Timeout = INFINITE_WAIT);
  void* Handle() const { return FHandle; }

 private:
  void* FHandle;
};

class TThread : public TObject {
 public:
  TK_CLASS_NAME(TThread)
  // Suspended: nothing runs until Start (or Resume).
  explicit TThread(bool CreateSuspended);
  // Terminates and waits when still running (unless it frees itself).
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Start();
  // Pausing waits on a condition at the worker's next CheckSuspended (or
  // Synchronize), never stops the thread at an arbitrary point.
  void Resume();
  void Suspend();
  bool Suspended() const { return FSuspended.load(); }
  void Terminate();
  bool Terminated() const { return FTerminated.load(); }
  bool Finished() const { return FFinished.load(); }
  // Waits for Execute to end; on the UI thread it keeps serving
  // Synchronize calls meanwhile. Returns ReturnValue.
  int WaitFor();
  bool FreeOnTerminate() const { return FFreeOnTerminate; }
  void SetFreeOnTerminate(bool v) { FFreeOnTerminate = v; }
  TThreadPriority Priority() const { return FPriority; }
  void SetPriority(TThreadPriority v);
  uint32_t ThreadID() const { return FThreadID; }
  int ReturnValue() const { return FReturnValue; }

  // Runs Method on the UI thread and returns when it has run there (at once
  // when called on the UI thread). An exception in Method is raised again
  // in the caller.
  void Synchronize(const std::function<void()>& Method);
  static void Synchronize(TThread* Thread, const std::function<void()>& Method);

  // Runs after Execute, on the UI thread (through Synchronize).
  std::function<void(TObject*)> OnTerminate;

 protected:
  virtual void Execute() = 0;
  // The worker waits here while suspended.
  void CheckSuspended();
  void SetReturnValue(int v) { FReturnValue = v; }

 private:
  friend struct TThreadRunner;
  struct TState;
  std::unique_ptr<TState> FState;
  void* FHandle = nullptr;
  uint32_t FThreadID = 0;
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FSuspended{false};
  std::atomic<bool> FFinished{false};
  std::atomic<bool> FStarted{false};
  bool FFreeOnTerminate = false;
  TThreadPriority FPriority = tpNormal;
  int FReturnValue = 0;
};

// Runs the pending Synchronize calls; true when any ran. The message loop
// calls it; UI thread only.
bool CheckSynchronize(uint32_t Timeout = 0);
// The thread that created the application (the UI thread).
uint32_t MainThreadID();
// Set by the application: a window that is woken when a call is queued.
void SetSynchronizeWakeWindow(HWND Wnd);

}  // namespace tk
