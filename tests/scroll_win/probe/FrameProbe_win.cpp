// How an edit control's frame and its system scroll bar behave when the
// scroll styles are hidden around its own WM_NCCALCSIZE: the client
// rectangle it computes, whether the call recurses or reports style
// changes, and which edit operations redraw the system bar straight onto
// the window (without WM_NCPAINT) over what was painted there.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

WNDPROC gOld = nullptr;
bool gHide = false;
int gDepth = 0, gRecursions = 0, gCalcs = 0;
int gStyleMsgsInside = 0, gStyleMsgsOutside = 0, gNcPaints = 0;
constexpr COLORREF kMarker = RGB(255, 0, 128);

LRESULT CALLBACK Sub(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_STYLECHANGING || m == WM_STYLECHANGED) (gDepth ? gStyleMsgsInside : gStyleMsgsOutside)++;
  if (m == WM_NCPAINT) ++gNcPaints;
  if (m == WM_NCCALCSIZE && gHide) {
    ++gCalcs;
    if (gDepth) ++gRecursions;
    ++gDepth;
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    LRESULT r;
    if (style & (WS_VSCROLL | WS_HSCROLL)) {
      SetWindowLongW(w, GWL_STYLE, style & ~(WS_VSCROLL | WS_HSCROLL));
      r = CallWindowProcW(gOld, w, m, wp, lp);
      SetWindowLongW(w, GWL_STYLE, style);
    } else {
      r = CallWindowProcW(gOld, w, m, wp, lp);
    }
    auto* rc = reinterpret_cast<RECT*>(lp);
    if (style & WS_VSCROLL) rc->right -= GetSystemMetrics(SM_CXVSCROLL);
    --gDepth;
    return r;
  }
  return CallWindowProcW(gOld, w, m, wp, lp);
}

void Pump(int ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (GetTickCount() < end) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
}

std::wstring Lines(int n, const wchar_t* word) {
  std::wstring s;
  for (int i = 0; i < n; ++i) s += std::wstring(word) + std::to_wstring(i) + L"\r\n";
  return s;
}

RECT BarRect(HWND e) {  // the reserved strip, window coordinates
  RECT wr, cr;
  GetWindowRect(e, &wr);
  GetClientRect(e, &cr);
  POINT p{cr.right, 0};
  ClientToScreen(e, &p);
  return RECT{p.x - wr.left, 0, p.x - wr.left + GetSystemMetrics(SM_CXVSCROLL), wr.bottom - wr.top};
}

void Mark(HWND e) {
  HDC dc = GetWindowDC(e);
  RECT r = BarRect(e);
  HBRUSH b = CreateSolidBrush(kMarker);
  FillRect(dc, &r, b);
  DeleteObject(b);
  ReleaseDC(e, dc);
}

// Marked pixels left in the strip (arrow, middle, bottom arrow).
int MarkedLeft(HWND e) {
  HDC dc = GetWindowDC(e);
  RECT r = BarRect(e);
  const int x = (r.left + r.right) / 2;
  const int ys[] = {r.top + 8, (r.top + r.bottom) / 2, r.bottom - 8};
  int n = 0;
  for (int y : ys) n += GetPixel(dc, x, y) == kMarker;
  ReleaseDC(e, dc);
  return n;
}

void Op(HWND e, const char* name, void (*f)(HWND)) {
  Pump(50);
  Mark(e);
  gNcPaints = 0;
  f(e);
  Pump(150);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(e, SB_VERT, &si);
  std::printf("%-28s ncpaint=%d marker_left=%d/3 pos=%d max=%d\n", name, gNcPaints, MarkedLeft(e), si.nPos, si.nMax);
}

}  // namespace

int wmain() {
  HWND host = CreateWindowExW(0, L"STATIC", L"frame probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 340, nullptr,
                              nullptr, nullptr, nullptr);
  HWND e = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 10, 10,
                           300, 260, host, nullptr, nullptr, nullptr);
  SetWindowTextW(e, Lines(300, L"line ").c_str());
  SetForegroundWindow(host);
  SetFocus(e);
  Pump(200);
  RECT c0;
  GetClientRect(e, &c0);
  gOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Sub)));
  gHide = true;
  SetWindowPos(e, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Pump(100);
  RECT c1;
  GetClientRect(e, &c1);
  std::printf("client before %ldx%ld, hidden-style frame %ldx%ld\n", c0.right, c0.bottom, c1.right, c1.bottom);
  std::printf("nccalcsize calls=%d recursions=%d style msgs inside=%d outside=%d\n", gCalcs, gRecursions,
              gStyleMsgsInside, gStyleMsgsOutside);
  std::printf("style keeps WS_VSCROLL: %d\n", (GetWindowLongW(e, GWL_STYLE) & WS_VSCROLL) != 0);

  Op(e, "WM_CHAR x", [](HWND w) { SendMessageW(w, WM_CHAR, 'x', 0); });
  Op(e, "WM_CHAR return", [](HWND w) { SendMessageW(w, WM_CHAR, VK_RETURN, 0); });
  Op(e, "EM_LINESCROLL 5", [](HWND w) { SendMessageW(w, EM_LINESCROLL, 0, 5); });
  Op(e, "WM_MOUSEWHEEL down", [](HWND w) { SendMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-120)), 0); });
  Op(e, "EM_SETSEL end", [](HWND w) { SendMessageW(w, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF); });
  Op(e, "EM_SCROLLCARET", [](HWND w) { SendMessageW(w, EM_SCROLLCARET, 0, 0); });
  Op(e, "EM_SETSEL 0", [](HWND w) { SendMessageW(w, EM_SETSEL, 0, 0); });
  Op(e, "WM_CUT (first 40 lines)", [](HWND w) {
    SendMessageW(w, EM_SETSEL, 0, 400);
    SendMessageW(w, WM_CUT, 0, 0);
  });
  Op(e, "WM_PASTE", [](HWND w) { SendMessageW(w, WM_PASTE, 0, 0); });
  Op(e, "WM_UNDO", [](HWND w) { SendMessageW(w, WM_UNDO, 0, 0); });
  Op(e, "WM_SETTEXT 300 lines", [](HWND w) { SetWindowTextW(w, Lines(300, L"other ").c_str()); });
  Op(e, "WM_VSCROLL SB_PAGEDOWN", [](HWND w) { SendMessageW(w, WM_VSCROLL, SB_PAGEDOWN, 0); });
  Op(e, "WM_KEYDOWN VK_NEXT", [](HWND w) { SendMessageW(w, WM_KEYDOWN, VK_NEXT, 0); });
  Op(e, "SetScrollInfo same, redraw", [](HWND w) {
    SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
    GetScrollInfo(w, SB_VERT, &si);
    SetScrollInfo(w, SB_VERT, &si, TRUE);
  });
  Op(e, "WM_SETFOCUS", [](HWND w) { SendMessageW(w, WM_SETFOCUS, 0, 0); });
  Op(e, "InvalidateRect client", [](HWND w) { InvalidateRect(w, nullptr, TRUE); });
  DestroyWindow(host);
  return 0;
}
