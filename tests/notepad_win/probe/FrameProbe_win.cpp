// Measurements of the skinned frame, printed, not asserted:
//   start with | start without   milliseconds from the process's start to the
//                                first frame on the screen: the notepad's form
//                                with its skin (the border window shown), or
//                                a plain form of the same size without skin;
//                                the process ends right after
//   start unskinned              the same for the notepad's form with its skin
//                                manager switched off before it is shown: the
//                                same windows in the system's look
//   paint                        the window image rebuilt (PaintAll) at the
//                                designed size and maximised beside a copy of
//                                its bytes, and the layered update, in µs
//   idle SECONDS [without]       processor time the shown form uses while
//                                idle; without: a plain form without skin,
//                                for what the system's own idle costs
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "skin/data/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "toolkit/Forms.h"

namespace {

uint64_t Ticks(const FILETIME& f) { return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; }

double MsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  return static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
}

double CpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return static_cast<double>(Ticks(kernel) + Ticks(user)) / 10000.0;
}

void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

template <class F>
double MedianUs(int Runs, F&& Fn) {
  std::vector<double> t;
  for (int i = 0; i < Runs; ++i) {
    const auto a = std::chrono::steady_clock::now();
    Fn();
    t.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

void PaintFigures(TForm1* Form, const char* What) {
  kx::TsSkinProvider* p = Form->sSkinProvider1;
  kx::TsCommonData* d = p->SkinData();
  const double paint = MedianUs(50, [&] {
    d->BGChanged = true;
    p->PaintAll();
  });
  tk::TBitmap* image = d->FCacheBmp.get();
  std::vector<uint8_t> copy(size_t(image->Width()) * image->Height() * 4);
  const tk::TPixelView v = image->View();
  const double memcpyUs = MedianUs(50, [&] {
    for (int row = 0; row < v.height; ++row)
      std::memcpy(copy.data() + size_t(row) * v.width * 4, v.Row(row), size_t(v.width) * 4);
  });
  const double layered = MedianUs(50, [&] { p->BorderForm()->UpdateExBordersPos(true); });
  std::printf("%s %dx%d: PaintAll %.0f us, memcpy %.1f us (%.0f x), layered update %.0f us\n", What, image->Width(),
              image->Height(), paint, memcpyUs, paint / memcpyUs, layered);
}

}  // namespace

// The start figure ends the process at once: timed from outside, the run is
// then the start and the first frame, not the teardown of every window.
[[noreturn]] void ShownAt(double Ms, bool Framed) {
  std::printf("%.1f%s\n", Ms, Framed ? "" : " (no border window)");
  std::fflush(stdout);
  ExitProcess(0);
}

void IdleFigure(int Seconds) {
  const double before = CpuMs();
  const DWORD until = GetTickCount() + DWORD(Seconds) * 1000;
  while (static_cast<int>(until - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, until - GetTickCount(), QS_ALLINPUT);
    Pump();
  }
  std::printf("idle %d s: %.0f ms of processor time\n", Seconds, CpuMs() - before);
}

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  const std::wstring arg = argc > 2 ? argv[2] : L"";
  tk::Application->Initialize();
  tk::Application->SetTitle(L"Probe");
  const bool plain =
      (mode == L"start" && arg == L"without") || (mode == L"idle" && argc > 3 && std::wstring(argv[3]) == L"without");
  if (plain) {
    auto* form = tk::Create<tk::TForm>(tk::Application);
    form->SetBounds(0, 0, 750, 541);
    form->Show();
    form->Update();
    Pump();
    if (mode == L"start") ShownAt(MsSinceProcessStart(), true);
    else IdleFigure(arg.empty() ? 60 : std::stoi(arg));
    tk::DoneApplication();
    return 0;
  }
  kx::InitializeEngine();
  auto* form = tk::Create<TForm1>(tk::Application);
  if (mode == L"start" && arg == L"unskinned") form->sSkinManager1->SetActive(false);
  form->Show();
  form->Update();
  Pump();
  if (mode == L"start") {
    HWND border = form->sSkinProvider1->BorderForm() ? form->sSkinProvider1->BorderForm()->Handle() : nullptr;
    ShownAt(MsSinceProcessStart(), arg == L"unskinned" || (border && IsWindowVisible(border)));
  } else if (mode == L"paint") {
    PaintFigures(form, "designed");
    ShowWindow(form->Handle(), SW_MAXIMIZE);
    Pump();
    PaintFigures(form, "maximised");
  } else if (mode == L"idle") {
    IdleFigure(arg.empty() ? 60 : std::stoi(arg));
  }
  tk::DoneApplication();
  return 0;
}
