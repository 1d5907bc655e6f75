// winctl: waits for, closes or checks a top-level window from a script.
//   winctl wait TITLE SECONDS    exit 0 once a visible window titled TITLE exists
//   winctl close TITLE SECONDS   post WM_CLOSE to it and wait until it is gone
// Used by `make run` to close the notepad normally after its screenshot.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

HWND FindVisible(const wchar_t* title) {
  HWND w = FindWindowW(nullptr, title);
  return (w && IsWindowVisible(w)) ? w : nullptr;
}

bool WaitFor(const wchar_t* title, bool present, DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    if ((FindVisible(title) != nullptr) == present) return true;
    Sleep(100);
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    fwprintf(stderr, L"usage: winctl wait|close TITLE SECONDS\n");
    return 2;
  }
  std::wstring verb = argv[1];
  const wchar_t* title = argv[2];
  DWORD ms = static_cast<DWORD>(_wtoi(argv[3])) * 1000;
  if (verb == L"wait") return WaitFor(title, true, ms) ? 0 : 1;
  if (verb == L"close") {
    HWND w = FindVisible(title);
    if (!w) return 1;
    PostMessageW(w, WM_CLOSE, 0, 0);
    return WaitFor(title, false, ms) ? 0 : 1;
  }
  fwprintf(stderr, L"winctl: unknown command\n");
  return 2;
}
