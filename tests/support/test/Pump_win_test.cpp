// The waits that "nothing happened" checks rely on: were they to return
// early, those checks would pass whatever the program did.
#include "tests/support/Pump_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using tk::test::PumpPending;
using tk::test::RoundTrip;

namespace {

std::atomic<int> gHandled{0};

// WM_APP takes a while and queues WM_APP + 1 behind it; both are counted.
LRESULT CALLBACK CountingProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_APP) {
    ::Sleep(20);
    ::PostMessageW(Wnd, WM_APP + 1, 0, 0);
  }
  if (Msg == WM_APP || Msg == WM_APP + 1) {
    ++gHandled;
    return 0;
  }
  return ::DefWindowProcW(Wnd, Msg, W, L);
}

HWND CountingWindow() {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PumpTestCounter";
    return ::RegisterClassW(&wc);
  }();
  return ::CreateWindowExW(0, MAKEINTATOM(atom), L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(PumpPending, HandlesWhatIsQueuedAndWhatThatQueuesInTurn) {
  gHandled = 0;
  HWND w = CountingWindow();
  ::PostMessageW(w, WM_APP, 0, 0);
  ::PostMessageW(w, WM_APP, 0, 0);
  PumpPending();
  EXPECT_EQ(gHandled, 4);
  ::DestroyWindow(w);
}

TEST(RoundTrip, ReturnsOnlyAfterTheOtherThreadHandledWhatWasQueuedBefore) {
  gHandled = 0;
  std::atomic<HWND> window{nullptr};
  std::thread other([&] {
    HWND w = CountingWindow();
    window = w;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    ::DestroyWindow(w);
  });
  while (!window) ::Sleep(1);
  ::PostMessageW(window, WM_APP, 0, 0);
  ::PostMessageW(window, WM_APP, 0, 0);
  EXPECT_TRUE(RoundTrip(window));
  EXPECT_EQ(gHandled, 4);
  ::PostThreadMessageW(::GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0);
  other.join();
  EXPECT_FALSE(RoundTrip(window));  // gone with its thread
}
