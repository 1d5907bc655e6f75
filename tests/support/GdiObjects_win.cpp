#include "tests/support/GdiObjects_win.h"

#include <windows.h>

#include <cstdint>

#include "tests/support/Pump_win.h"

namespace tk::test {

namespace {

std::size_t SystemCount() { return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS); }

// Wine's GetGuiResources is a stub that answers 0 with
// ERROR_CALL_NOT_IMPLEMENTED. Wine accepts a GDI handle whose upper word is
// 0 for any generation, so asking every index for its type finds each live
// object once.
std::size_t ScannedCount() {
  std::size_t n = 0;
  for (std::uintptr_t index = 1; index <= 0xFFFF; ++index)
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++n;
  return n;
}

bool SystemCounts() {
  ::SetLastError(ERROR_SUCCESS);
  return SystemCount() != 0 || ::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
}

struct TWindowTally {
  DWORD Process;
  std::size_t Count = 0;
};

BOOL CALLBACK CountOwn(HWND Wnd, LPARAM Param) {
  auto& tally = *reinterpret_cast<TWindowTally*>(Param);
  DWORD process = 0;
  ::GetWindowThreadProcessId(Wnd, &process);
  if (process == tally.Process) ++tally.Count;
  return TRUE;
}

// A window and its whole subtree (EnumChildWindows descends on its own).
// Children of another process's window may still be ours, so all are asked.
BOOL CALLBACK CountTree(HWND Wnd, LPARAM Param) {
  CountOwn(Wnd, Param);
  ::EnumChildWindows(Wnd, CountOwn, Param);
  return TRUE;
}

}  // namespace

std::size_t GdiObjects() {
  static const bool system = SystemCounts();
  return system ? SystemCount() : ScannedCount();
}

std::size_t ProcessWindows() {
  TWindowTally tally{::GetCurrentProcessId()};
  ::EnumWindows(CountTree, reinterpret_cast<LPARAM>(&tally));
  // Message-only windows are not top-level windows, so EnumWindows skips them.
  for (HWND w = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = ::FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    CountTree(w, reinterpret_cast<LPARAM>(&tally));
  return tally.Count;
}

void ParkPointerAwayFrom(HWND Wnd) {
  RECT w{};
  ::GetWindowRect(Wnd, &w);
  const int cx = (w.left + w.right) / 2, cy = (w.top + w.bottom) / 2;
  const int sw = ::GetSystemMetrics(SM_CXSCREEN) - 1, sh = ::GetSystemMetrics(SM_CYSCREEN) - 1;
  ::SetCursorPos(cx * 2 > sw ? 0 : sw, cy * 2 > sh ? 0 : sh);
  // A fade is 20 steps of 10 ms.
  PumpFor(350);
}

}  // namespace tk::test
