// The threaded timer: ticks timed by its worker, run on the UI thread;
// pausing; stopping it while a tick waits for the UI thread and from inside
// its own tick.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "skin/framework/kxThreadedTimer.h"
#include "tests/support/Pump_win.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

namespace kx {
namespace {

TEST(ThreadedTimer, TicksRunOnTheUiThreadAndPauseWhileTheIntervalIs0) {
  auto* t = tk::Create<TkxThreadedTimer>(nullptr);
  int ticks = 0;
  DWORD thread = 0;
  t->SetOnTimer([&](tk::TObject* Sender) {
    ++ticks;
    thread = ::GetCurrentThreadId();
    EXPECT_EQ(Sender, t);
  });
  t->SetInterval(10);
  ASSERT_TRUE(tk::test::PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(thread, ::GetCurrentThreadId());

  t->SetInterval(0);
  const int paused = ticks;
  // A paused worker shows only by taking no steps, so here time must pass.
  tk::test::PumpFor(100);
  EXPECT_EQ(ticks, paused);
  t->SetInterval(10);
  EXPECT_TRUE(tk::test::PumpUntil([&] { return ticks >= paused + 3; }));
  t->Free();
}

TEST(ThreadedTimer, StoppingWhileATickWaitsForTheUiThreadEndsWithoutThatTick) {
  auto* t = tk::Create<TkxThreadedTimer>(nullptr);
  int ticks = 0;
  t->SetOnTimer([&](tk::TObject*) { ++ticks; });
  t->SetInterval(1);
  ASSERT_TRUE(tk::test::PumpUntil([&] { return ticks >= 1; }));
  // Not pumping: the worker's next tick now waits for this thread.
  ::Sleep(30);
  const int before = ticks;
  t->Free();
  EXPECT_EQ(ticks, before);
}

TEST(ThreadedTimer, AHandlerThatRaisesIsReportedAndOneThatFreesTheTimerEndsIt) {
  std::vector<tk::String> reported;
  tk::Application->OnException = [&](tk::TObject*, const tk::Exception& e) { reported.push_back(e.Message()); };
  auto* t = tk::Create<TkxThreadedTimer>(nullptr);
  int ticks = 0;
  t->SetOnTimer([&](tk::TObject*) {
    if (++ticks == 1) throw tk::Exception(L"tick failed");
    t->Free();
  });
  t->SetInterval(10);
  ASSERT_TRUE(tk::test::PumpUntil([&] { return ticks >= 2; }));
  tk::test::PumpFor(60);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(reported, std::vector<tk::String>{L"tick failed"});
  tk::Application->OnException = nullptr;
}

}  // namespace
}  // namespace kx
