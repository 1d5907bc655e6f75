#include "tests/support/Pump_win.h"

#include <chrono>

#include "toolkit/Forms.h"

namespace tk::test {

bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  for (;;) {
    Application->ProcessMessages();
    if (Done()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    // Workers' synchronized calls do not wake the queue, hence the short wait.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

void PumpPending() { Application->ProcessMessages(); }

void PumpFor(int Ms) {
  PumpUntil([] { return false; }, Ms);
}

}  // namespace tk::test
