#include "tests/controls_win/Support_win.h"

namespace tk::test {

TTestForm::TTestForm(int Width, int Height) : FForm(Create<TForm>(Application)) {
  FForm->SetBounds(60, 60, Width, Height);
  FForm->SetCaption(L"controls test");
  FForm->Show();
  Activate();
}

TTestForm::~TTestForm() {
  FForm->Free();
  PumpPending();
}

void TTestForm::Activate() {
  ::SetForegroundWindow(FForm->Handle());
  ::SetActiveWindow(FForm->Handle());
  // The display server confirms the focus later, as queued messages.
  PumpUntil([this] { return ::GetForegroundWindow() == FForm->Handle(); }, 1000);
  PumpPending();
}

POINT ScreenPoint(TControl* Control, int X, int Y) {
  TPoint p = Control->ClientToScreen(TPoint{X, Y});
  return POINT{p.X, p.Y};
}

namespace {

// Where the injected mouse is; every event carries it, so a press never
// lands where the cursor was before a move had been taken in.
POINT gMousePos{0, 0};

void SendMouse(DWORD Flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = static_cast<LONG>((gMousePos.x * 65535LL + (w - 1) / 2) / (w - 1));
  in.mi.dy = static_cast<LONG>((gMousePos.y * 65535LL + (h - 1) / 2) / (h - 1));
  in.mi.dwFlags = Flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof(in));
}

}  // namespace

void MoveMouse(POINT P) {
  gMousePos = P;
  SendMouse(0);
  ::Sleep(40);
}

void MouseButton(bool Right, bool Down) {
  SendMouse(Right ? (Down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                  : (Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP));
  ::Sleep(60);
}

void Click(POINT P, bool Right) {
  MoveMouse(P);
  MouseButton(Right, true);
  MouseButton(Right, false);
}

namespace {

void Key(WORD Vk, bool Down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = Vk;
  in.ki.dwFlags = Down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &in, sizeof(in));
  ::Sleep(30);
}

}  // namespace

void KeyTap(WORD Vk) {
  Key(Vk, true);
  Key(Vk, false);
}

void KeyChord(WORD Modifier, WORD Vk) {
  Key(Modifier, true);
  Key(Vk, true);
  Key(Vk, false);
  Key(Modifier, false);
}

HWND WaitForMenuWindow(int TimeoutMs) {
  for (int t = 0; t < TimeoutMs; t += 20) {
    HWND w = ::FindWindowW(L"#32768", nullptr);
    if (w && ::IsWindowVisible(w)) {
      ::Sleep(150);  // let the menu finish showing before keys arrive
      return w;
    }
    ::Sleep(20);
  }
  return nullptr;
}

}  // namespace tk::test
