// Message timers, Synchronize from worker threads, waiting for a thread
// while it synchronizes, pausing a worker, simple events.
#include "toolkit/Forms.h"
#include "toolkit/Threads.h"
#include "toolkit/Timers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "tests/support/Pump_win.h"

using namespace tk;

namespace {
// Waits until a timer of the same 10 ms interval ticked Count times: by then
// a stopped timer would have ticked too, had it still been running.
bool WitnessTicks(int Count) {
  auto* witness = Create<TTimer>(nullptr);
  int ticks = 0;
  witness->OnTimer = [&](TObject*) { ++ticks; };
  witness->SetInterval(10);
  const bool ticked = tk::test::PumpUntil([&] { return ticks >= Count; });
  witness->Free();
  return ticked;
}
}  // namespace

TEST(Timers, AnEnabledTimerTicksOnTheUiThreadAndStopsWhenDisabled) {
  auto* t = Create<TTimer>(nullptr);
  int ticks = 0;
  DWORD thread = 0;
  t->OnTimer = [&](TObject* s) {
    ++ticks;
    thread = ::GetCurrentThreadId();
    EXPECT_EQ(s, t);
  };
  t->SetInterval(10);
  EXPECT_TRUE(tk::test::PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(thread, ::GetCurrentThreadId());
  t->SetEnabled(false);
  const int stopped = ticks;
  EXPECT_TRUE(WitnessTicks(3));
  EXPECT_EQ(ticks, stopped);
  t->Free();
}

TEST(Timers, TheUtilityWindowHasTheToolkitsClassName) {
  // The dialog skinning tells utility windows apart by this class name.
  HWND found = ::FindWindowExW(nullptr, nullptr, L"TPUtilWindow", nullptr);
  auto* t = Create<TTimer>(nullptr);
  found = ::FindWindowExW(nullptr, nullptr, L"TPUtilWindow", nullptr);
  EXPECT_NE(found, nullptr);
  t->Free();
}

TEST(Timers, AnOwnedTimerGoesWithItsOwner) {
  auto* owner = Create<TComponent>(nullptr);
  auto* t = Create<TTimer>(owner);
  int ticks = 0;
  t->OnTimer = [&](TObject*) { ++ticks; };
  t->SetInterval(10);
  owner->Free();
  EXPECT_TRUE(WitnessTicks(3));
  EXPECT_EQ(ticks, 0);
}

namespace {
class TWorker : public TThread {
 public:
  explicit TWorker(std::function<void(TWorker*)> body) : TThread(true), FBody(std::move(body)) {}
  using TThread::CheckSuspended;

 protected:
  void Execute() override { FBody(this); }

 private:
  std::function<void(TWorker*)> FBody;
};
}  // namespace

TEST(Threads, SynchronizeRunsOnTheUiThreadAndBlocksTheWorkerUntilDone) {
  DWORD ranOn = 0;
  std::atomic<bool> returned{false};
  bool ranBeforeReturn = false;
  TWorker w([&](TWorker* self) {
    self->Synchronize([&] {
      ranOn = ::GetCurrentThreadId();
      ranBeforeReturn = !returned;
    });
    returned = true;
  });
  w.Start();
  EXPECT_TRUE(tk::test::PumpUntil([&] { return returned.load(); }));
  w.WaitFor();
  EXPECT_EQ(ranOn, ::GetCurrentThreadId());
  EXPECT_TRUE(ranBeforeReturn);
}

TEST(Threads, WaitForKeepsServingSynchronizeCalls) {
  // Without that, waiting for a worker blocked in Synchronize never ends.
  int served = 0;
  TWorker w([&](TWorker* self) {
    for (int i = 0; i < 5; ++i) self->Synchronize([&] { ++served; });
  });
  w.Start();
  w.WaitFor();
  EXPECT_EQ(served, 5);
  EXPECT_TRUE(w.Finished());
}

TEST(Threads, AnExceptionInASynchronizedCallReachesTheWorker) {
  std::wstring caught;
  TWorker w([&](TWorker* self) {
    try {
      self->Synchronize([] { throw Exception(L"in the UI thread"); });
    } catch (const Exception& e) { caught = e.Message(); }
  });
  w.Start();
  w.WaitFor();
  EXPECT_EQ(caught, L"in the UI thread");
}

TEST(Threads, ASuspendedWorkerPausesAtItsNextSynchronizeAndResumes) {
  std::atomic<int> steps{0};
  TWorker w([&](TWorker* self) {
    while (!self->Terminated()) {
      self->Synchronize([&] { ++steps; });
      ::Sleep(2);
    }
  });
  w.Start();
  EXPECT_TRUE(tk::test::PumpUntil([&] { return steps >= 3; }));
  w.Suspend();
  // A paused worker shows only by taking no steps, so here time must pass.
  tk::test::PumpFor(50);
  const int paused = steps;
  tk::test::PumpFor(100);
  EXPECT_LE(steps - paused, 1);
  w.Resume();
  EXPECT_TRUE(tk::test::PumpUntil([&] { return steps >= paused + 3; }));
  w.Terminate();
  w.WaitFor();
}

TEST(Threads, FreeingARunningThreadTerminatesAndWaitsForIt) {
  std::atomic<bool> started{false}, ended{false};
  {
    TWorker w([&](TWorker* self) {
      started = true;
      while (!self->Terminated()) ::Sleep(1);
      ended = true;
    });
    w.Start();
    while (!started) ::Sleep(1);
  }
  EXPECT_TRUE(ended);
}

TEST(Threads, OnTerminateRunsOnTheUiThread) {
  DWORD on = 0;
  TWorker w([](TWorker*) {});
  w.OnTerminate = [&](TObject*) { on = ::GetCurrentThreadId(); };
  w.Start();
  w.WaitFor();
  EXPECT_EQ(on, ::GetCurrentThreadId());
}

TEST(SimpleEvents, WaitTimesOutUntilSetAndStaysSetUntilReset) {
  TSimpleEvent e;
  EXPECT_EQ(e.WaitFor(10), wrTimeout);
  e.SetEvent();
  EXPECT_EQ(e.WaitFor(0), wrSignaled);
  EXPECT_EQ(e.WaitFor(0), wrSignaled);
  e.ResetEvent();
  EXPECT_EQ(e.WaitFor(0), wrTimeout);
}

TEST(Application, TheFirstCreatedFormIsTheMainFormAlreadyWhileItIsBuilt) {
  struct TMain : TForm {
    explicit TMain(TComponent* o) : TForm(o) { WasMainInConstructor = Application->MainForm() == this; }
    bool WasMainInConstructor = false;
  };
  ASSERT_EQ(Application->MainForm(), nullptr);
  auto* main = Application->CreateForm<TMain>();
  auto* second = Application->CreateForm<TMain>();
  EXPECT_EQ(Application->MainForm(), main);
  EXPECT_TRUE(main->WasMainInConstructor);
  EXPECT_FALSE(second->WasMainInConstructor);
  EXPECT_EQ(main->Owner(), Application);
  bool listed = false;
  for (int i = 0; i < Screen->FormCount(); ++i) listed = listed || Screen->Forms(i) == second;
  EXPECT_TRUE(listed);
  second->Free();
  main->Free();
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(Application, MainWindowHooksSeeMessagesFirstAndCanBeRemoved) {
  int seen = 0;
  TWindowHook hook([&](TMessage& m, bool& handled) {
    if (m.Msg == CM_ACTIVATE) {
      ++seen;
      handled = true;
    }
  });
  Application->HookMainWindow(hook);
  Application->HookMainWindow(hook);  // once only
  ::SendMessageW(Application->Handle(), CM_ACTIVATE, 0, 0);
  EXPECT_EQ(seen, 1);
  Application->UnhookMainWindow(hook);
  ::SendMessageW(Application->Handle(), CM_ACTIVATE, 0, 0);
  EXPECT_EQ(seen, 1);
}
