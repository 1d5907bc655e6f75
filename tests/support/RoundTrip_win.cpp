// Kept apart from the pumping: this needs no toolkit, so the end-to-end
// tests, which drive another process, link it without the toolkit coming along.
#include "tests/support/Pump_win.h"

#include <chrono>

namespace tk::test {

bool RoundTrip(HWND Wnd, int Rounds, int TimeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  for (int i = 0; i < Rounds; ++i) {
    // A moment between rounds: a thread that has just answered one send
    // would otherwise often find the next already waiting, taking sent
    // messages before queued ones round after round.
    if (i > 0) ::Sleep(1);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    DWORD_PTR result = 0;
    if (left.count() <= 0 ||
        !::SendMessageTimeoutW(Wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(left.count()), &result))
      return false;
  }
  return true;
}

}  // namespace tk::test
