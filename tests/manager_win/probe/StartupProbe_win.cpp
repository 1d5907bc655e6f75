// Start-up cost of the internal skin: milliseconds from the process's start
// to the end of Loaded of a form whose description holds the skin manager as
// the notepad's does ("with") or holds none ("without"). Prints one number.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "skin/data/sSkinManager.h"
#include "toolkit/Forms.h"
#include "toolkit/Streams.h"

namespace {

double MsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  auto v = [](const FILETIME& f) { return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  return static_cast<double>(v(now) - v(created)) / 10000.0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool with = argc > 1 && std::wstring(argv[1]) == L"with";
  tk::Application->Initialize();
  tk::Application->SetTitle(L"Probe");
  if (with) kx::InitializeEngine();
  auto* form = tk::Create<tk::TForm>(tk::Application);
  form->BeginReading();
  kx::TsSkinManager* m = nullptr;
  if (with) {
    m = tk::Create<kx::TsSkinManager>(form);
    m->BeginReading();
    m->SetExtendedBorders(true);
    kx::TsStoredSkin& s = m->InternalSkins()->Add();
    s.Name = L"Pearlmist (internal)";
    tk::TResourceStream res(nullptr, L"SKIN_PEARLMIST");
    s.PackedData = std::make_shared<tk::TMemoryStream>();
    s.PackedData->LoadFromStream(&res);
    m->SetSkinDirectory(L"c:\\Skins");
    m->SetSkinName(L"Pearlmist (internal)");
    m->EndReading();
  }
  form->EndReading();
  form->Loaded();
  if (m) m->Loaded();
  const double ms = MsSinceProcessStart();
  std::printf("%.1f\n", ms);
  std::fflush(stdout);
  tk::DoneApplication();
  return 0;
}
