// What GetScrollBarInfo tells of an edit control's vertical bar: with text
// that fits (the edit keeps the bar, disabled), with text that scrolls, on
// a disabled window, after EnableScrollBar, and after the scroll styles
// were hidden from the frame calculation.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

WNDPROC gOld = nullptr;

LRESULT CALLBACK Hide(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m != WM_NCCALCSIZE) return CallWindowProcW(gOld, w, m, wp, lp);
  const LONG style = GetWindowLongW(w, GWL_STYLE);
  SetWindowLongW(w, GWL_STYLE, style & ~(WS_VSCROLL | WS_HSCROLL));
  const LRESULT r = CallWindowProcW(gOld, w, m, wp, lp);
  SetWindowLongW(w, GWL_STYLE, style);
  reinterpret_cast<RECT*>(lp)->right -= GetSystemMetrics(SM_CXVSCROLL);
  return r;
}

void Show(HWND e, const char* what) {
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof sbi;
  const BOOL ok = GetScrollBarInfo(e, OBJID_VSCROLL, &sbi);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(e, SB_VERT, &si);
  std::printf("%-26s ok=%d state=[%#lx %#lx %#lx %#lx %#lx %#lx] rect=(%ld,%ld,%ld,%ld) min=%d max=%d page=%u pos=%d\n",
              what, ok, sbi.rgstate[0], sbi.rgstate[1], sbi.rgstate[2], sbi.rgstate[3], sbi.rgstate[4],
              sbi.rgstate[5], sbi.rcScrollBar.left, sbi.rcScrollBar.top, sbi.rcScrollBar.right,
              sbi.rcScrollBar.bottom, si.nMin, si.nMax, si.nPage, si.nPos);
}

std::wstring Lines(int n) {
  std::wstring s;
  for (int i = 0; i < n; ++i) s += L"line " + std::to_wstring(i) + L"\r\n";
  return s;
}

}  // namespace

int wmain() {
  HWND host = CreateWindowExW(0, L"STATIC", L"bar info probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 340,
                              nullptr, nullptr, nullptr, nullptr);
  HWND e = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 10, 10,
                           300, 260, host, nullptr, nullptr, nullptr);
  SetWindowTextW(e, L"one\r\ntwo\r\nthree");
  Show(e, "3 lines");
  SetWindowTextW(e, Lines(300).c_str());
  Show(e, "300 lines");
  EnableWindow(e, FALSE);
  Show(e, "300 lines, window disabled");
  EnableWindow(e, TRUE);
  EnableScrollBar(e, SB_VERT, ESB_DISABLE_BOTH);
  Show(e, "ESB_DISABLE_BOTH");
  EnableScrollBar(e, SB_VERT, ESB_ENABLE_BOTH);
  gOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Hide)));
  SetWindowPos(e, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Show(e, "300 lines, styles hidden");
  SetWindowTextW(e, L"one");
  Show(e, "1 line, styles hidden");
  DestroyWindow(host);
  return 0;
}
