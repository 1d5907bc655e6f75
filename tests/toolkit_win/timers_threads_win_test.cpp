// Message timers, Synchronize from worker threads, waiting for a thread
// while it synchronizes, pausing a worker, simple events.
#include "toolkit/Forms.h"
#include "toolkit/Threads.h"
#include "toolkit/Timers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "TestSupport.h"

using namespace tk;

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
  EXPECT_TRUE(tktest::PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(thread, ::GetCurrentThreadId());
  t->SetEnabled(false);
  tktest::Pump(30);
  const int stopped = ticks;
  tktest::Pump(80);
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
  tktest::Pump(60);
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
  EXPECT_TRUE(tktest::PumpUntil([&] { return returned.load(); }));
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
    } catch (const Exception& e) {
      caught = e.Message();
    }
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
  EXPECT_TRUE(tktest::PumpUntil([&] { return steps >= 3; }));
  w.Suspend();
  tktest::Pump(50);
  const int paused = steps;
  tktest::Pump(100);
  EXPECT_LE(steps - paused, 1);
  w.Resume();
  EXPECT_TRUE(tktest::PumpUntil([&] { return steps >= paused + 3; }));
  w.Terminate();
  w.WaitFor();
}

TEST(Threads, FreeingARunningThreadTerminatesAndWaitsForIt) {
  std::atomic<bool> running{false}, ended{false};
  {
    TWorker w([&](TWorker* self) {
      running = true;
      while (!self->Terminated()) ::Sleep(1);
      ended = true;
    });
    w.Start();
    // A busy machine may not have started it yet; a thread that never ran is freed without running.
    for (int i = 0; i < 5000 && !running; ++i) ::Sleep(1);
    ASSERT_TRUE(running);
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
