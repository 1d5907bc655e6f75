// Worker threads, the Synchronize queue and events.
#include "toolkit/Threads.h"

#include "toolkit/SysUtils.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

#include "toolkit/WinSupport.h"

namespace tk {

namespace {

// Whoever loads the program first is the UI thread.
const DWORD gMainThreadID = ::GetCurrentThreadId();

struct TSyncRequest {
  std::function<void()> Method;
  std::exception_ptr Error;
  bool Done = false;
};

struct TSyncQueue {
  std::mutex Lock;
  std::condition_variable Finished;
  std::deque<TSyncRequest*> Pending;
  HANDLE Signal = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);  // auto-reset: something queued
  HWND WakeWindow = nullptr;
};

// Never freed: worker threads may still queue during the program's exit.
TSyncQueue& Queue() {
  static auto* q = new TSyncQueue;
  return *q;
}

}  // namespace

uint32_t MainThreadID() { return gMainThreadID; }

void SetSynchronizeWakeWindow(HWND Wnd) {
  std::lock_guard<std::mutex> g(Queue().Lock);
  Queue().WakeWindow = Wnd;
}

namespace detail {
bool RunSynchronizeQueue() {
  TSyncQueue& q = Queue();
  bool ran = false;
  for (;;) {
    TSyncRequest* r;
    {
      std::lock_guard<std::mutex> g(q.Lock);
      if (q.Pending.empty()) break;
      r = q.Pending.front();
      q.Pending.pop_front();
    }
    try {
      r->Method();
    } catch (...) { r->Error = std::current_exception(); }
    {
      std::lock_guard<std::mutex> g(q.Lock);
      r->Done = true;
    }
    q.Finished.notify_all();
    ran = true;
  }
  return ran;
}
}  // namespace detail

bool CheckSynchronize(uint32_t Timeout) {
  if (::GetCurrentThreadId() != gMainThreadID) return false;
  if (detail::RunSynchronizeQueue()) return true;
  if (Timeout == 0) return false;
  ::WaitForSingleObject(Queue().Signal, Timeout);
  return detail::RunSynchronizeQueue();
}

// --- TSimpleEvent ---------------------------------------------------------------------

TSimpleEvent::TSimpleEvent() : FHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (!FHandle) throw EOutOfResources(L"Cannot create event: " + SysErrorMessage(GetLastOSError()));
}

TSimpleEvent::~TSimpleEvent() { ::CloseHandle(FHandle); }

void TSimpleEvent::SetEvent() { ::SetEvent(FHandle); }

void TSimpleEvent::ResetEvent() { ::ResetEvent(FHandle); }

TWaitResult TSimpleEvent::WaitFor(uint32_t Timeout) {
  switch (::WaitForSingleObject(FHandle, Timeout == INFINITE_WAIT ? INFINITE : Timeout)) {
    case WAIT_OBJECT_0: return wrSignaled;
    case WAIT_TIMEOUT: return wrTimeout;
    case WAIT_ABANDONED: return wrAbandoned;
    default: return wrError;
  }
}

// --- TThread ------------------------------------------------------------------------------

struct TThread::TState {
  std::mutex Lock;
  std::condition_variable Resumed;
};

struct TThreadRunner {
  static DWORD WINAPI Run(void* p) {
    auto* t = static_cast<TThread*>(p);
    t->CheckSuspended();
    try {
      if (!t->Terminated()) t->Execute();
    } catch (...) {
      // Nothing crosses the thread's edge; the UI thread reports it.
      std::exception_ptr e = std::current_exception();
      try {
        t->Synchronize([e] {
          try {
            std::rethrow_exception(e);
          } catch (...) { detail::HandleCallbackException(nullptr); }
        });
      } catch (...) {}
    }
    const bool freeSelf = t->FFreeOnTerminate;
    if (t->OnTerminate) {
      try {
        t->Synchronize([t] { t->OnTerminate(t); });
      } catch (...) {}
    }
    const DWORD rv = static_cast<DWORD>(t->FReturnValue);
    t->FFinished = true;
    if (freeSelf) delete t;
    return rv;
  }
};

TThread::TThread(bool CreateSuspended) : FState(std::make_unique<TState>()) {
  DWORD id = 0;
  FHandle = ::CreateThread(nullptr, 0, &TThreadRunner::Run, this, CREATE_SUSPENDED, &id);
  if (!FHandle) throw EOutOfResources(L"Thread creation error: " + SysErrorMessage(GetLastOSError()));
  FThreadID = id;
  if (!CreateSuspended) Start();
}

TThread::~TThread() {
  if (FStarted && !FFinished && ::GetCurrentThreadId() != FThreadID) {
    Terminate();
    Resume();
    WaitFor();
  } else if (!FStarted && FHandle) {
    // Never ran: let it run to its end without Execute.
    FTerminated = true;
    FStarted = true;
    ::ResumeThread(FHandle);
    ::WaitForSingleObject(FHandle, INFINITE);
  }
  if (FHandle) ::CloseHandle(FHandle);
}

void TThread::Start() {
  bool expected = false;
  if (!FStarted.compare_exchange_strong(expected, true)) {
    Resume();
    return;
  }
  ::ResumeThread(FHandle);
}

void TThread::Resume() {
  if (!FStarted) {
    Start();
    return;
  }
  {
    std::lock_guard<std::mutex> g(FState->Lock);
    FSuspended = false;
  }
  FState->Resumed.notify_all();
}

void TThread::Suspend() {
  std::lock_guard<std::mutex> g(FState->Lock);
  FSuspended = true;
}

void TThread::CheckSuspended() {
  std::unique_lock<std::mutex> g(FState->Lock);
  FState->Resumed.wait(g, [this] { return !FSuspended.load(); });
}

void TThread::Terminate() { FTerminated = true; }

void TThread::SetPriority(TThreadPriority v) {
  FPriority = v;
  static const int map[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,       THREAD_PRIORITY_BELOW_NORMAL,
                            THREAD_PRIORITY_NORMAL,       THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                            THREAD_PRIORITY_TIME_CRITICAL};
  ::SetThreadPriority(FHandle, map[v]);
}

int TThread::WaitFor() {
  if (::GetCurrentThreadId() == FThreadID) throw EInvalidOperation(L"A thread cannot wait for itself");
  if (!FStarted) return FReturnValue;
  HANDLE h = FHandle;
  if (::GetCurrentThreadId() == gMainThreadID) {
    // The worker may be blocked in Synchronize: keep serving it, and sent
    // messages too, until the thread has ended.
    HANDLE handles[2] = {h, Queue().Signal};
    for (;;) {
      DWORD r = ::MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, QS_SENDMESSAGE);
      if (r == WAIT_OBJECT_0) break;
      if (r == WAIT_OBJECT_0 + 1) {
        detail::RunSynchronizeQueue();
      } else if (r == WAIT_OBJECT_0 + 2) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
      } else {
        break;
      }
    }
    detail::RunSynchronizeQueue();
  } else {
    ::WaitForSingleObject(h, INFINITE);
  }
  DWORD code = 0;
  ::GetExitCodeThread(h, &code);
  return static_cast<int>(code);
}

void TThread::Synchronize(const std::function<void()>& Method) { Synchronize(this, Method); }

void TThread::Synchronize(TThread* Thread, const std::function<void()>& Method) {
  if (::GetCurrentThreadId() == gMainThreadID) {
    Method();
    return;
  }
  if (Thread && Thread->FThreadID == ::GetCurrentThreadId()) Thread->CheckSuspended();
  TSyncQueue& q = Queue();
  TSyncRequest r;
  r.Method = Method;
  HWND wake;
  {
    std::lock_guard<std::mutex> g(q.Lock);
    q.Pending.push_back(&r);
    wake = q.WakeWindow;
  }
  ::SetEvent(q.Signal);
  // Wake the UI thread's message wait (a thread message when there is no
  // application window yet).
  if (!wake || !::PostMessageW(wake, WM_NULL, 0, 0)) ::PostThreadMessageW(gMainThreadID, WM_NULL, 0, 0);
  {
    std::unique_lock<std::mutex> g(q.Lock);
    q.Finished.wait(g, [&r] { return r.Done; });
  }
  if (r.Error) std::rethrow_exception(r.Error);
}

}  // namespace tk
