#include "tests/e2e/Harness_win.h"

#include "tests/support/Pump_win.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <thread>

#ifndef TABULO_EXE_PATH
#error "TABULO_EXE_PATH must name the Tabulo.exe under test"
#endif

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::wstring WindowText(HWND h) {
  wchar_t buf[512];
  int n = GetWindowTextW(h, buf, 512);
  return std::wstring(buf, n > 0 ? n : 0);
}

std::wstring ClassOf(HWND h) {
  wchar_t buf[256];
  int n = GetClassNameW(h, buf, 256);
  return std::wstring(buf, n > 0 ? n : 0);
}

std::vector<HWND> DirectChildren(HWND parent) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
  return out;
}

// Last click, to keep clicks on one spot more than a double-click time apart.
POINT gLastClick{-1000, -1000};
Clock::time_point gLastClickTime{};

void SendKey(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_END || vk == VK_HOME || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN ||
      vk == VK_DELETE || vk == VK_INSERT || vk == VK_PRIOR || vk == VK_NEXT)
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  SendInput(1, &in, sizeof in);
}

void SendUnicode(wchar_t ch) {
  INPUT in[2]{};
  for (int i = 0; i < 2; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wScan = ch;
    in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
  }
  SendInput(2, in, sizeof(INPUT));
}

}  // namespace

// The build gives a host path ("/work/.../Tabulo.exe"); under Wine the host
// root is drive Z:. A Windows path is taken as it is.
std::wstring TabuloExePath() {
  wchar_t env[MAX_PATH];
  if (GetEnvironmentVariableW(L"TABULO_EXE", env, MAX_PATH) > 0) return env;
  return HostPath(TABULO_EXE_PATH);
}

std::wstring HostPath(const std::string& Path) {
  std::wstring w(Path.begin(), Path.end());
  if (!w.empty() && w[0] == L'/') {
    std::replace(w.begin(), w.end(), L'/', L'\\');
    w = L"Z:" + w;
  }
  return w;
}

bool WaitFor(const std::function<bool()>& pred, int timeoutMs) {
  auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (pred()) return true;
    if (Clock::now() >= end) return false;
    SleepMs(15);
  }
}

Bytes Ansi(const std::wstring& s, bool* lossless) {
  if (s.empty()) {
    if (lossless) *lossless = true;
    return {};
  }
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, &usedDefault);
  Bytes out(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, &usedDefault);
  if (lossless) {
    // Best-fit mappings ("e" for an accented letter) are losses too.
    int m = MultiByteToWideChar(CP_ACP, 0, out.data(), n, nullptr, 0);
    std::wstring back(m, L'\0');
    MultiByteToWideChar(CP_ACP, 0, out.data(), n, back.data(), m);
    *lossless = !usedDefault && back == s;
  }
  return out;
}

Bytes Utf8(const std::wstring& s) {
  int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  Bytes out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

Bytes Utf16Le(const std::wstring& s) {
  Bytes out;
  for (wchar_t c : s) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>((c >> 8) & 0xFF);
  }
  return out;
}

Bytes Utf16Be(const std::wstring& s) {
  Bytes out;
  for (wchar_t c : s) {
    out += static_cast<char>((c >> 8) & 0xFF);
    out += static_cast<char>(c & 0xFF);
  }
  return out;
}

// --- TabuloApp ----------------------------------------------------------------

TabuloApp::TabuloApp() {
  static int counter = 0;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring base = tmp;
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  for (;;) {
    FDir = base + L"\\tabulo-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(FDir.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create the test directory");
  }
  std::wstring exe = TabuloExePath();
  if (!CopyFileW(exe.c_str(), PathOf(L"Tabulo.exe").c_str(), FALSE))
    throw std::runtime_error("cannot copy Tabulo.exe (set TABULO_EXE or build the Tabulo target)");
}

TabuloApp::~TabuloApp() {
  Kill();
  if (FPi.hProcess) CloseHandle(FPi.hProcess);
  if (FPi.hThread) CloseHandle(FPi.hThread);
  bool failed = ::testing::Test::HasFailure();
  if (failed) {
    std::wstring d = FDir;
    fprintf(stderr, "note: files of the failed run kept in %ls\n", d.c_str());
    return;
  }
  for (const std::wstring& f : Files()) {
    SetFileAttributesW(PathOf(f).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(PathOf(f).c_str());
  }
  RemoveDirectoryW(FDir.c_str());
}

void TabuloApp::WriteFile(const std::wstring& name, const Bytes& data) const {
  HANDLE h =
      CreateFileW(PathOf(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a test file");
  size_t done = 0;
  while (done < data.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1 << 20)), w = 0;
    if (!::WriteFile(h, data.data() + done, chunk, &w, nullptr) || w == 0) break;
    done += w;
  }
  CloseHandle(h);
  if (done != data.size()) throw std::runtime_error("short write of a test file");
}

Bytes TabuloApp::ReadFile(const std::wstring& name) const {
  HANDLE h = CreateFileW(PathOf(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  Bytes out;
  char buf[65536];
  DWORD r = 0;
  while (::ReadFile(h, buf, sizeof buf, &r, nullptr) && r > 0) out.append(buf, r);
  CloseHandle(h);
  return out;
}

bool TabuloApp::Exists(const std::wstring& name) const {
  return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TabuloApp::SetReadOnly(const std::wstring& name, bool ro) const {
  SetFileAttributesW(PathOf(name).c_str(), ro ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

std::vector<std::wstring> TabuloApp::Files() const {
  std::vector<std::wstring> out;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((FDir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    std::wstring n = fd.cFileName;
    if (n != L"." && n != L"..") out.push_back(n);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  std::sort(out.begin(), out.end());
  return out;
}

void TabuloApp::WriteSetting(const std::wstring& key, const std::wstring& value) const {
  WritePrivateProfileStringW(L"Main", key.c_str(), value.c_str(), PathOf(L"Tabulo.ini").c_str());
}

std::wstring TabuloApp::ReadSetting(const std::wstring& key) const {
  wchar_t buf[256];
  GetPrivateProfileStringW(L"Main", key.c_str(), L"<none>", buf, 256, PathOf(L"Tabulo.ini").c_str());
  return buf;
}

std::vector<std::wstring> TabuloApp::SettingKeys() const {
  std::vector<wchar_t> buf(4096);
  DWORD n = GetPrivateProfileStringW(L"Main", nullptr, L"", buf.data(), static_cast<DWORD>(buf.size()),
                                     PathOf(L"Tabulo.ini").c_str());
  std::vector<std::wstring> keys;
  for (DWORD i = 0; i < n;) {
    std::wstring k(buf.data() + i);
    if (k.empty()) break;
    keys.push_back(k);
    i += static_cast<DWORD>(k.size()) + 1;
  }
  return keys;
}

void TabuloApp::Launch() {
  std::wstring exe = PathOf(L"Tabulo.exe");
  std::wstring cmd = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (FPi.hProcess) {
    CloseHandle(FPi.hProcess);
    CloseHandle(FPi.hThread);
    FPi = {};
  }
  FForm = nullptr;
  // The working directory is deliberately not the program's: pages and the
  // settings file must be found through the executable's path.
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &FPi))
    throw std::runtime_error("cannot start Tabulo.exe");
}

void TabuloApp::Start() {
  Launch();
  WaitForInputIdle(FPi.hProcess, 10000);
  WaitForWindow();
}

void TabuloApp::WaitForWindow() {
  bool found = WaitFor(
      [&] {
    FindForm();
    return FForm != nullptr && Editor() != nullptr;
      },
      20000);
  if (!found) {
    ADD_FAILURE() << "Tabulo's window did not appear";
    return;
  }
  // Let activation and the first paint finish before input arrives.
  SleepMs(250);
}

void TabuloApp::FindForm() {
  FForm = nullptr;
  for (HWND h = FindWindowW(nullptr, L"Tabulo"); h; h = FindWindowExW(nullptr, h, nullptr, L"Tabulo")) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == FPi.dwProcessId && IsWindowVisible(h)) {
      FForm = h;
      return;
    }
  }
}

bool TabuloApp::Running() const { return FPi.hProcess && WaitForSingleObject(FPi.hProcess, 0) == WAIT_TIMEOUT; }

void TabuloApp::PostClose() {
  if (FForm) PostMessageW(FForm, WM_CLOSE, 0, 0);
}

bool TabuloApp::CloseAndWait(int timeoutMs) {
  PostClose();
  return WaitExit(timeoutMs);
}

bool TabuloApp::WaitExit(int timeoutMs) {
  if (!FPi.hProcess) return true;
  return WaitForSingleObject(FPi.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD TabuloApp::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (FPi.hProcess) GetExitCodeProcess(FPi.hProcess, &code);
  return code;
}

void TabuloApp::Kill() {
  if (Running()) {
    TerminateProcess(FPi.hProcess, 99);
    WaitForSingleObject(FPi.hProcess, 5000);
  }
}

RECT TabuloApp::FormClient() const {
  RECT r{};
  GetClientRect(FForm, &r);
  POINT p{0, 0};
  ClientToScreen(FForm, &p);
  OffsetRect(&r, p.x, p.y);
  return r;
}

RECT TabuloApp::ClientRectOf(HWND child) const {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, FForm, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HWND TabuloApp::Editor() const {
  if (!FForm) return nullptr;
  for (HWND c : DirectChildren(FForm)) {
    RECT r = ClientRectOf(c);
    if (r.left == 178 && r.top == 0 && !(r.right - r.left == 310 && r.bottom - r.top == 200)) return c;
  }
  return nullptr;
}

HWND TabuloApp::AboutPanel() const {
  if (!FForm) return nullptr;
  for (HWND c : DirectChildren(FForm)) {
    RECT r = ClientRectOf(c);
    if (r.right - r.left == 310 && r.bottom - r.top == 200) return c;
  }
  return nullptr;
}

HWND TabuloApp::ButtonColumn() const {
  if (!FForm) return nullptr;
  for (HWND c : DirectChildren(FForm)) {
    RECT r = ClientRectOf(c);
    if (r.left == 0 && r.right == 178) return c;
  }
  return nullptr;
}

HWND TabuloApp::AboutOk() const {
  HWND panel = AboutPanel();
  if (!panel) return nullptr;
  for (HWND c : DirectChildren(panel)) {
    RECT r;
    GetWindowRect(c, &r);
    if (r.right - r.left == 75 && r.bottom - r.top == 25) return c;
  }
  return nullptr;
}

std::wstring TabuloApp::EditorText() const {
  HWND e = Editor();
  if (!e) return L"<no editor>";
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(e, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len)) return L"<no answer>";
  std::wstring s(len + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(e, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG, 10000, &got);
  s.resize(got);
  return s;
}

bool TabuloApp::EditorEnabled() const {
  HWND e = Editor();
  return e && IsWindowEnabled(e);
}

HWND TabuloApp::FocusWindow() const {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  DWORD tid = GetWindowThreadProcessId(FForm, nullptr);
  if (!GetGUIThreadInfo(tid, &gti)) return nullptr;
  return gti.hwndFocus;
}

ModalBox TabuloApp::FindModalBox() const {
  ModalBox box;
  for (HWND h = FindWindowW(L"#32770", nullptr); h; h = FindWindowExW(nullptr, h, L"#32770", nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != FPi.dwProcessId || !IsWindowVisible(h)) continue;
    box.Wnd = h;
    for (HWND c : DirectChildren(h)) {
      std::wstring cls = ClassOf(c);
      if (_wcsicmp(cls.c_str(), L"Static") == 0) {
        std::wstring t = WindowText(c);
        if (!t.empty()) box.Text += (box.Text.empty() ? L"" : L"\n") + t;
      }
    }
    return box;
  }
  return box;
}

ModalBox TabuloApp::WaitModalBox(int timeoutMs) const {
  ModalBox box;
  WaitFor(
      [&] {
    box = FindModalBox();
    return box.Wnd != nullptr;
      },
      timeoutMs);
  return box;
}

Capture TabuloApp::CaptureClient() const { return Capture::Screen(FormClient()); }

void TabuloApp::Foreground() const {
  if (GetForegroundWindow() != FForm) {
    SetForegroundWindow(FForm);
    WaitFor([&] { return GetForegroundWindow() == FForm; }, 2000);
  }
}

POINT TabuloApp::PageButtonCentre(int index) const {
  return POINT{8 + (index % 3) * 56 + 25, 8 + (index / 3) * 56 + 25};
}

void TabuloApp::ClickPage(wchar_t letter) {
  POINT p = PageButtonCentre(PageIndex(letter));
  ClickClient(p.x, p.y);
}

void TabuloApp::ClickClient(int x, int y, bool right) {
  POINT p{x, y};
  ClientToScreen(FForm, &p);
  ClickScreen(p.x, p.y, right);
}

namespace {

// A mouse event at screen point (x, y) in SendInput's absolute units.
INPUT MouseAt(int x, int y, DWORD flags) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  // Rounded up: the units map back to pixels truncating.
  in.mi.dx = static_cast<LONG>((x * 65536LL + w - 1) / w);
  in.mi.dy = static_cast<LONG>((y * 65536LL + h - 1) / h);
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}

}  // namespace

void TabuloApp::MoveTo(int x, int y) {
  INPUT in = MouseAt(x, y, 0);
  SendInput(1, &in, sizeof in);
  if (!WaitFor(
          [&] {
    POINT c;
    GetCursorPos(&c);
    return c.x == x && c.y == y;
          },
          500)) {
    SetCursorPos(x, y);
    // A move of nothing, so the program hears where the pointer is now.
    INPUT still{};
    still.type = INPUT_MOUSE;
    still.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &still, sizeof still);
  }
  // The program sees the move before the button goes down.
  SleepMs(30);
}

void TabuloApp::LeftButton(bool down, POINT at) {
  // The event carries its place: under Wine the pointer can still be read
  // at its previous place for a moment after a move, and a button event
  // without one takes it.
  INPUT in = MouseAt(at.x, at.y, down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  SendInput(1, &in, sizeof in);
}

namespace {

// The form holds the mouse: the system's move or size loop, or the
// program's own outline drag, has begun. Capture by a child (a press that
// reached the editor) is no drag.
bool HoldsMouse(HWND Form) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  return GetGUIThreadInfo(GetWindowThreadProcessId(Form, nullptr), &gti) &&
         (gti.hwndCapture == Form || (gti.flags & GUI_INMOVESIZE));
}

// What a press met that began no loop, for the log of a failing run.
std::string PressState(HWND Form, POINT At) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  GetGUIThreadInfo(GetWindowThreadProcessId(Form, nullptr), &gti);
  POINT c{};
  GetCursorPos(&c);
  HWND under = WindowFromPoint(At), fg = GetForegroundWindow();
  DWORD underPid = 0, fgPid = 0;
  GetWindowThreadProcessId(under, &underPid);
  GetWindowThreadProcessId(fg, &fgPid);
  auto narrow = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };
  char buf[512];
  std::snprintf(buf, sizeof buf,
                "pointer at (%ld, %ld), under it %s of process %lu, foreground %s of process %lu; the program's active "
                "%p, capture %p, flags %lx; form %s",
                c.x, c.y, narrow(ClassOf(under)).c_str(), underPid, narrow(ClassOf(fg)).c_str(), fgPid,
                static_cast<void*>(gti.hwndActive), static_cast<void*>(gti.hwndCapture), gti.flags,
                IsWindowEnabled(Form) ? "enabled" : "disabled");
  return buf;
}

}  // namespace

// The move and size loops take the pointer's path from the moves between
// press and release; each step waits for the program to have seen it.
bool TabuloApp::DragScreen(POINT from, POINT to) {
  // The moves count only once the program holds the mouse; on a slow run a
  // loop begun after them starts where they already ended. A press lost on
  // the way (the display's pointer events racing the injected ones) is made
  // once more.
  bool held = false;
  for (int attempt = 0; attempt < 2 && !held; ++attempt) {
    MoveTo(from.x, from.y);
    LeftButton(true, from);
    held = WaitFor([&] { return HoldsMouse(Form()); }, 3000);
    if (!held) {
      std::printf("[ drag ] a press at (%ld, %ld) began no loop: %s\n", from.x, from.y,
                  PressState(Form(), from).c_str());
      std::fflush(stdout);
      LeftButton(false, from);
      // The next press is no double click.
      SleepMs(static_cast<int>(GetDoubleClickTime()) + 50);
    }
  }
  if (!held) return false;
  SleepMs(50);
  const int steps = 6;
  for (int i = 1; i <= steps; ++i) {
    MoveTo(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    SleepMs(40);
  }
  LeftButton(false, to);
  gLastClick = to;
  gLastClickTime = Clock::now();
  return true;
}

void TabuloApp::DoubleClickScreen(int x, int y) {
  ClickScreen(x, y);
  INPUT in[2] = {MouseAt(x, y, MOUSEEVENTF_LEFTDOWN), MouseAt(x, y, MOUSEEVENTF_LEFTUP)};
  SendInput(1, &in[0], sizeof(INPUT));
  SleepMs(40);
  SendInput(1, &in[1], sizeof(INPUT));
  // The next click there must not continue the double click.
  gLastClickTime = Clock::now();
}

void TabuloApp::ClickScreen(int x, int y, bool right) {
  auto since = Clock::now() - gLastClickTime;
  int dbl = static_cast<int>(GetDoubleClickTime()) + 50;
  if (std::abs(x - gLastClick.x) <= 4 && std::abs(y - gLastClick.y) <= 4 && since < std::chrono::milliseconds(dbl))
    SleepMs(dbl - static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count()));
  MoveTo(x, y);
  // The press and release carry the position too: under Wine a button event
  // without one may still take the pointer's previous place.
  INPUT in[2] = {MouseAt(x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                 MouseAt(x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)};
  SendInput(1, &in[0], sizeof(INPUT));
  SleepMs(40);
  SendInput(1, &in[1], sizeof(INPUT));
  gLastClick = POINT{x, y};
  gLastClickTime = Clock::now();
}

void TabuloApp::ClickEditor() {
  Foreground();
  RECT r = ClientRectOf(Editor());
  // Alternate between two spots so repeated calls never make a double click.
  static int flip = 0;
  flip ^= 1;
  ClickClient(r.left + 40 + flip * 20, r.bottom - 30);
  WaitFor([&] { return FocusWindow() == Editor(); }, 2000);
  Key(VK_END, true);
}

void TabuloApp::Type(const std::wstring& text) {
  Foreground();
  for (wchar_t ch : text) {
    if (ch == L'\n') {
      SendKey(VK_RETURN, false);
      SendKey(VK_RETURN, true);
    } else if (ch == L'\r') {
      continue;
    } else {
      SendUnicode(ch);
    }
  }
}

void TabuloApp::Key(WORD vk, bool ctrl, bool shift, bool alt) {
  Foreground();
  if (ctrl) SendKey(VK_CONTROL, false);
  if (shift) SendKey(VK_SHIFT, false);
  if (alt) SendKey(VK_MENU, false);
  SendKey(vk, false);
  SendKey(vk, true);
  if (alt) SendKey(VK_MENU, true);
  if (shift) SendKey(VK_SHIFT, true);
  if (ctrl) SendKey(VK_CONTROL, true);
}

void TabuloApp::TypeAndWait(const std::wstring& text, const std::wstring& expected) {
  Type(text);
  if (!WaitFor([&] { return EditorText() == expected; }, 5000))
    ADD_FAILURE() << "the editor did not show the typed text";
}

HWND TabuloApp::OpenContextMenu() {
  Foreground();
  RECT r = ClientRectOf(Editor());
  static int flip = 0;
  flip ^= 1;
  ClickClient(r.left + 60 + flip * 30, r.top + 60, true);
  HWND menu = nullptr;
  WaitFor(
      [&] {
    menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
      },
      5000);
  if (menu) SleepMs(100);  // the menu loop takes input once it has shown
  return menu;
}

// "About Tabulo ..." is the menu's last item: a click just above the bottom
// edge of the menu window lands on it whatever the item heights are.
bool TabuloApp::ShowAboutPanel() {
  HWND menu = OpenContextMenu();
  if (!menu) return false;
  RECT m;
  GetWindowRect(menu, &m);
  ClickScreen((m.left + m.right) / 2, m.bottom - 8);
  // Shown is not yet done: the menu's handler goes on after showing the panel.
  return WaitFor([&] { return IsWindowVisible(AboutPanel()) != 0; }) && tk::test::RoundTrip(FForm);
}

int PageIndex(wchar_t letter) { return letter == L'9' ? 26 : letter - L'A'; }

// --- Clipboard ------------------------------------------------------------------

std::wstring ClipboardText() {
  std::wstring out = L"<no clipboard>";
  if (!WaitFor([] { return OpenClipboard(nullptr) != 0; }, 2000)) return out;
  out = L"<no text>";
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      out = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return out;
}

void SetClipboardText(const std::wstring& s) {
  if (!WaitFor([] { return OpenClipboard(nullptr) != 0; }, 2000)) return;
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, (s.size() + 1) * sizeof(wchar_t));
  if (auto* p = static_cast<wchar_t*>(GlobalLock(g))) {
    memcpy(p, s.c_str(), (s.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(g);
    SetClipboardData(CF_UNICODETEXT, g);
  }
  CloseClipboard();
}

std::vector<HWND> LayeredToolWindows(DWORD Pid, bool ClickThrough) {
  struct TFind {
    DWORD Pid;
    LONG_PTR Need;
    std::vector<HWND> Found;
    static BOOL CALLBACK Each(HWND w, LPARAM p) {
      auto* f = reinterpret_cast<TFind*>(p);
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      const LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
      if (pid == f->Pid && IsWindowVisible(w) && (ex & f->Need) == f->Need) f->Found.push_back(w);
      return TRUE;
    }
  } find{Pid, WS_EX_LAYERED | WS_EX_TOOLWINDOW | (ClickThrough ? WS_EX_TRANSPARENT : 0), {}};
  EnumWindows(&TFind::Each, reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

}  // namespace e2e
