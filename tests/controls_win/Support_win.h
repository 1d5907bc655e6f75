// Test support for the controls: a shown form to put controls on, and real
// input (SendInput) from a helper thread, which is the only way to drive
// modal loops such as a tracked popup menu.
#pragma once

#include "tests/support/Pump_win.h"
#include "toolkit/Forms.h"

#include <windows.h>

#include <functional>
#include <thread>

namespace tk::test {

// A visible, active form at a fixed place on the desktop; freed at the end.
class TTestForm {
 public:
  TTestForm(int Width = 420, int Height = 320);
  ~TTestForm();
  TForm* operator->() const { return FForm; }
  TForm* Get() const { return FForm; }
  // Brings the form to the front and gives it the keyboard.
  void Activate();

 private:
  TForm* FForm;
};

// Screen point of a control's client point.
POINT ScreenPoint(TControl* Control, int X, int Y);

// Real input, meant for a helper thread.
void MoveMouse(POINT P);
void MouseButton(bool Right, bool Down);
void Click(POINT P, bool Right = false);
void KeyTap(WORD Vk);
void KeyChord(WORD Modifier, WORD Vk);
// The visible popup menu window, waiting up to TimeoutMs for it.
HWND WaitForMenuWindow(int TimeoutMs = 3000);

// Runs a script on a helper thread while the test's thread keeps pumping;
// the destructor waits for it.
class THelper {
 public:
  explicit THelper(std::function<void()> Script) : FThread(std::move(Script)) {}
  ~THelper() {
    if (FThread.joinable()) FThread.join();
  }
  void Join() {
    if (FThread.joinable()) FThread.join();
  }

 private:
  std::thread FThread;
};

}  // namespace tk::test
