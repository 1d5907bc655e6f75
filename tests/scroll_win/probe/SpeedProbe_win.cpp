// Time to scroll a 10,000-line edit window from top to bottom, by line and
// by dragging the thumb pixel by pixel, with the skinned bars and with the
// system's, in one run. Each step lets the window repaint, as a person
// would see it (by line: every 100 lines). Prints milliseconds and the ratio; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "skin/controls/kxScrollWnd.h"
#include "skin/data/sSkinManager.h"
#include "toolkit/Streams.h"

namespace {

constexpr int kLines = 10000;

double Now() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

bool AtBottom(HWND e) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(e, SB_VERT, &si);
  return si.nPos >= si.nMax - int(si.nPage) + 1;
}

// One pass from top to bottom in chunks of 250 lines, every other chunk
// with the adapter attached, so that both see the same load on the machine
// and the same parts of the text. Adds each chunk's time to its side.
void ByLine(HWND e, kx::TsSkinManager* m, double& plain, double& skinned) {
  SendMessageW(e, EM_LINESCROLL, 0, -kLines);
  Pump();
  for (int chunk = 0; !AtBottom(e); ++chunk) {
    kx::TkxScrollWnd* a = nullptr;
    if (chunk % 2) a = kx::AttachAdapter<kx::TkxScrollWnd>(e, true, tk::String(L"EDIT"), m, nullptr);
    Pump();
    const double t0 = Now();
    for (int i = 0; i < 250 && !AtBottom(e); ++i) {
      SendMessageW(e, WM_VSCROLL, SB_LINEDOWN, 0);
      // The client is repainted every 50 lines: a repaint per line would
      // time the display server rather than the bars.
      if (i % 50 == 49) UpdateWindow(e);
    }
    UpdateWindow(e);
    (a ? skinned : plain) += Now() - t0;
    if (a) kx::DetachScrollBars(e, true, true, a);
    Pump();
  }
  SendMessageW(e, WM_VSCROLL, SB_ENDSCROLL, 0);
}

// With the adapter: a press on the thumb, a move per pixel, the release.
double DragSkinned(HWND e, kx::TkxScrollWnd* a) {
  SendMessageW(e, EM_LINESCROLL, 0, -kLines);
  Pump();
  const tk::TRect b = kx::VertBarRect(*a);
  const int x = (b.Left + b.Right) / 2, arrow = GetSystemMetrics(SM_CXHSCROLL);
  const double t0 = Now();
  SendMessageW(e, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, b.Top + arrow + 2));
  for (int y = b.Top + arrow + 3; y < b.Bottom; ++y) {
    POINT p{x, y};
    ScreenToClient(e, &p);
    SendMessageW(e, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    UpdateWindow(e);
  }
  SendMessageW(e, WM_LBUTTONUP, 0, 0);
  return Now() - t0;
}

// Without it: the commands the system's own drag sends for the same pixels.
double DragPlain(HWND e, int trackPixels) {
  SendMessageW(e, EM_LINESCROLL, 0, -kLines);
  Pump();
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(e, SB_VERT, &si);
  const int steps = si.nMax - int(si.nPage) + 1;
  const double t0 = Now();
  int last = -1;
  for (int px = 0; px <= trackPixels; ++px) {
    const int pos = MulDiv(px, steps, trackPixels);
    if (pos == last) continue;
    last = pos;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(e, SB_VERT, &si, TRUE);
    SendMessageW(e, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, std::min(pos, 0xFFFF)), 0);
    UpdateWindow(e);
  }
  SendMessageW(e, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::min(last, 0xFFFF)), 0);
  SendMessageW(e, WM_VSCROLL, SB_ENDSCROLL, 0);
  return Now() - t0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int wmain() {
  auto* m = tk::Create<kx::TsSkinManager>(nullptr);
  m->BeginReading();
  kx::TsStoredSkin& s = m->InternalSkins()->Add();
  s.Name = L"Pearlmist (internal)";
  tk::TResourceStream res(nullptr, L"SKIN_PEARLMIST");
  s.PackedData = std::make_shared<tk::TMemoryStream>();
  s.PackedData->LoadFromStream(&res);
  m->SetSkinName(s.Name);
  m->EndReading();
  m->Loaded();

  HWND host = CreateWindowExW(0, L"STATIC", L"speed", WS_POPUP | WS_VISIBLE, 100, 100, 400, 340, nullptr, nullptr,
                              nullptr, nullptr);
  HWND e = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 10, 10,
                           300, 260, host, nullptr, nullptr, nullptr);
  std::wstring text;
  for (int i = 0; i < kLines; ++i) text += L"line " + std::to_wstring(i) + L"\r\n";
  SetWindowTextW(e, text.c_str());
  Pump();
  const int track = 260 - 4 - 2 * GetSystemMetrics(SM_CXHSCROLL);

  double lp = 0, ls = 0;
  ByLine(e, m, lp, ls);
  std::printf("by line (%d lines, alternating chunks of 250): system bar %.0f ms, skinned %.0f ms, ratio %.2f\n",
              kLines, lp, ls, ls / lp);
  std::fflush(stdout);
  std::vector<double> dragPlain, dragSkin;
  for (int round = 0; round < 5; ++round) {
    dragPlain.push_back(DragPlain(e, track));
    auto* a = kx::AttachAdapter<kx::TkxScrollWnd>(e, true, tk::String(L"EDIT"), m, nullptr);
    Pump();
    dragSkin.push_back(DragSkinned(e, a));
    kx::DetachScrollBars(e, true, true, a);
    Pump();
  }
  const double dp = Median(dragPlain), ds = Median(dragSkin);
  std::printf("by thumb drag (%d pixels, median of 5): system bar %.0f ms, skinned %.0f ms, ratio %.2f\n", track, dp,
              ds, ds / dp);
  DestroyWindow(host);
  tk::FreeAndNil(m);
  return 0;
}
