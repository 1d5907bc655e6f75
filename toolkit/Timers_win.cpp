// Message timers on a utility window.
#include "toolkit/Timers.h"

#include "toolkit/Controls.h"
#include "toolkit/SysUtils.h"

#include <windows.h>

#include "toolkit/WinSupport.h"

namespace tk {

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd(TWndMethod(this, &TTimer::WndProc));
}

TTimer::~TTimer() {
  FEnabled = false;
  if (FWindowHandle) {
    if (FRunning) ::KillTimer(FWindowHandle, 1);
    DeallocateHWnd(FWindowHandle);
    FWindowHandle = nullptr;
  }
}

void TTimer::AfterConstruction() {
  TComponent::AfterConstruction();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (!FWindowHandle) return;
  if (FRunning) ::KillTimer(FWindowHandle, 1);
  FRunning = false;
  if (FEnabled && FInterval > 0 && !IsLoading()) {
    if (!::SetTimer(FWindowHandle, 1, FInterval, nullptr)) throw EOutOfResources(L"Not enough timers available");
    FRunning = true;
  }
}

void TTimer::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
  if (v == FInterval) return;
  FInterval = v;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}

void TTimer::WndProc(TMessage& Msg) {
  if (Msg.Msg == WM_TIMER) {
    // A handler that throws is reported and the timer keeps running.
    try {
      if (FEnabled) Timer();
    } catch (...) { detail::HandleCallbackException(this); }
    return;
  }
  Msg.Result = ::DefWindowProcW(FWindowHandle, Msg.Msg, Msg.WParam, Msg.LParam);
}

}  // namespace tk
