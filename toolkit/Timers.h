// TTimer: a message timer on a hidden utility window ("TPUtilWindow"); its
// OnTimer runs on the UI thread from the message loop. Exceptions raised by
// OnTimer go to the application's handler. UI thread only.
#pragma once

#include <cstdint>

#include "toolkit/Classes.h"
#include "toolkit/Messages.h"
#include "toolkit/WinTypes.h"

namespace tk {

class TTimer : public TComponent {
 public:
  TK_CLASS_NAME(TTimer)
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  // Starts ticking (enabled, 1000 ms) unless loading.
  void AfterConstruction() override;
  void Loaded() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  // Milliseconds; 0 stops the timer while keeping Enabled.
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned v);
  TNotifyEvent OnTimer;

 protected:
  // Runs OnTimer; descendants override to tick without a handler.
  virtual void Timer();

 private:
  void UpdateTimer();
  void WndProc(TMessage& Msg);
  bool FEnabled = true;
  unsigned FInterval = 1000;
  HWND FWindowHandle = nullptr;
  bool FRunning = false;
};

}  // namespace tk
