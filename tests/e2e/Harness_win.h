// End-to-end harness: runs a private copy of Tabulo.exe in a fresh directory
// and drives it from this process the way a person does (SendInput mouse and
// keyboard, the context menu, closing the window), then reads back the files
// it wrote, its window geometry and the pixels on the screen.
//
// Everything here runs on the test's thread; Tabulo runs in its own process,
// so injected input never waits on our message loop.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

using Bytes = std::string;

// The Tabulo.exe under test (a Windows path).
std::wstring TabuloExePath();
// A path of the build machine as Wine sees it (an absolute one on drive Z:).
std::wstring HostPath(const std::string& Path);

// Polls pred every few milliseconds until it holds or timeoutMs passes.
bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 5000);

// Text of the system ANSI code page and UTF-8, as the program writes them.
Bytes Ansi(const std::wstring& s, bool* lossless = nullptr);
Bytes Utf8(const std::wstring& s);
Bytes Utf16Le(const std::wstring& s);
Bytes Utf16Be(const std::wstring& s);

// A screen capture of a rectangle (screen coordinates), 32-bit BGRA rows.
class Capture {
 public:
  static Capture Screen(const RECT& r);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Colour at (x, y) relative to the captured rectangle, as 0x00RRGGBB.
  uint32_t At(int x, int y) const;
  // Pixels of sub-rectangle r (capture coordinates) for which pred holds.
  int Count(const RECT& r, const std::function<bool(uint8_t r, uint8_t g, uint8_t b)>& pred) const;
  // Pixels that differ (any channel by more than tol) inside r, same size captures.
  int Differences(const Capture& other, const RECT& r, int tol = 8) const;
  bool SavePng(const std::wstring& path) const;

 private:
  int FWidth = 0, FHeight = 0;
  std::vector<uint8_t> FBgra;
};

// Saves the capture as "<suite>.<test>-<what>.png" in the working directory
// and returns the file name (for failure messages).
std::string SaveFailureShot(const Capture& c, const char* what);

// A process's visible layered tool windows: the frame's border window and
// the glows; with ClickThrough only those that let clicks through (glows).
std::vector<HWND> LayeredToolWindows(DWORD Pid, bool ClickThrough);

struct ModalBox {
  HWND Wnd = nullptr;
  std::wstring Text;  // the message (text of its static controls)
};

// One run of Tabulo: its own directory (exe, page files, settings file).
class TabuloApp {
 public:
  TabuloApp();
  ~TabuloApp();
  TabuloApp(const TabuloApp&) = delete;
  TabuloApp& operator=(const TabuloApp&) = delete;

  // --- Files beside the program ------------------------------------------
  const std::wstring& Dir() const { return FDir; }
  std::wstring PathOf(const std::wstring& name) const { return FDir + L"\\" + name; }
  void WriteFile(const std::wstring& name, const Bytes& data) const;
  Bytes ReadFile(const std::wstring& name) const;
  bool Exists(const std::wstring& name) const;
  void SetReadOnly(const std::wstring& name, bool ro) const;
  std::vector<std::wstring> Files() const;  // names in the directory, sorted
  // Settings file access with the platform's profile functions.
  void WriteSetting(const std::wstring& key, const std::wstring& value) const;
  std::wstring ReadSetting(const std::wstring& key) const;  // "<none>" when absent
  std::vector<std::wstring> SettingKeys() const;

  // --- Process -------------------------------------------------------------
  // Starts the program and waits until its main window is shown and idle.
  void Start();
  // The two halves of Start, for a program that shows a box before its window.
  void Launch();
  void WaitForWindow();
  bool Running() const;
  // Sends WM_CLOSE (a person's close); waits for the process to end.
  bool CloseAndWait(int timeoutMs = 10000);
  void PostClose();
  bool WaitExit(int timeoutMs);
  DWORD ExitCode() const;
  void Kill();

  // --- Windows ---------------------------------------------------------------
  HWND Form() const { return FForm; }
  HWND Editor() const;        // the memo: direct child at client x 178, y 0
  HWND AboutPanel() const;    // direct child of 310 x 200
  HWND ButtonColumn() const;  // the page buttons' panel: direct child at client x 0, 178 wide
  HWND AboutOk() const;       // the "OK" button inside the about panel
  // Rectangles relative to the form's client area.
  RECT ClientRectOf(HWND child) const;
  RECT FormClient() const;  // the form's client area in screen coordinates
  std::wstring EditorText() const;
  bool EditorEnabled() const;
  HWND FocusWindow() const;
  // First visible dialog box (#32770) of the program, if any.
  ModalBox FindModalBox() const;
  ModalBox WaitModalBox(int timeoutMs = 5000) const;
  Capture CaptureClient() const;

  // --- Input -----------------------------------------------------------------
  void Foreground() const;
  // Index 0..25 for "A".."Z", 26 for "0-9".
  POINT PageButtonCentre(int index) const;  // client coordinates
  void ClickPage(wchar_t letter);           // 'A'..'Z', or '9' for "0-9"
  void ClickClient(int x, int y, bool right = false);
  void ClickScreen(int x, int y, bool right = false);
  void MoveTo(int x, int y);  // screen coordinates
  // Left button down at one screen point, moved in steps, up at another;
  // false when no press there began the program's move or size loop.
  bool DragScreen(POINT from, POINT to);
  void DoubleClickScreen(int x, int y);
  // Left button down (or up) at a screen point.
  void LeftButton(bool down, POINT at);
  void ClickEditor();                   // into the editor's text, then caret to the end
  void Type(const std::wstring& text);  // Unicode keystrokes; '\n' is Enter
  void Key(WORD vk, bool ctrl = false, bool shift = false, bool alt = false);
  // Types text and waits until the editor shows expected.
  void TypeAndWait(const std::wstring& text, const std::wstring& expected);
  // Right click into the editor and wait for the context menu window.
  HWND OpenContextMenu();
  // "About Tabulo ..." from the context menu; true once the about panel shows.
  bool ShowAboutPanel();

  DWORD Pid() const { return FPi.dwProcessId; }

 private:
  void FindForm();
  std::wstring FDir;
  PROCESS_INFORMATION FPi{};
  HWND FForm = nullptr;
};

// Clipboard of the session (shared with Tabulo).
std::wstring ClipboardText();
void SetClipboardText(const std::wstring& s);

// Page index of a letter: 'A'..'Z' -> 0..25, '9' -> 26.
int PageIndex(wchar_t letter);

}  // namespace e2e
