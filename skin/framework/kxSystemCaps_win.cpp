#include "skin/framework/kxSystemCaps.h"

#include <windows.h>

namespace kx {

namespace {

void* Lookup(const wchar_t* module, const char* name) {
  HMODULE m = ::GetModuleHandleW(module);
  if (!m) m = ::LoadLibraryW(module);
  return m ? reinterpret_cast<void*>(::GetProcAddress(m, name)) : nullptr;
}

TkxSystemCaps Probe() {
  TkxSystemCaps c;
  // GetVersionEx is deprecated and lies without a manifest; every system we
  // run on is of the NT family, which the platform id still tells truly.
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  c.NTFamily = ::GetVersionExW(&v) && v.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
  using TIsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
  if (auto f = reinterpret_cast<TIsWow64>(Lookup(L"kernel32.dll", "IsWow64Process"))) {
    BOOL w = FALSE;
    c.Wow64 = f(::GetCurrentProcess(), &w) && w;
  }
  c.UpdateLayeredWindow = Lookup(L"user32.dll", "UpdateLayeredWindow");
  c.SetWindowTheme = Lookup(L"uxtheme.dll", "SetWindowTheme");
  c.DwmIsCompositionEnabled = Lookup(L"dwmapi.dll", "DwmIsCompositionEnabled");
  c.DwmSetWindowAttribute = Lookup(L"dwmapi.dll", "DwmSetWindowAttribute");
  c.IsAppThemed = Lookup(L"uxtheme.dll", "IsAppThemed");
  return c;
}

}  // namespace

const TkxSystemCaps& SystemCaps() {
  static const TkxSystemCaps caps = Probe();
  return caps;
}

namespace {
int gCompositionOverride = -1;
}  // namespace

void OverrideDesktopComposition(int On) { gCompositionOverride = On < 0 ? -1 : (On ? 1 : 0); }

bool DesktopComposition() {
  if (gCompositionOverride >= 0) return gCompositionOverride == 1;
  using TDwmIsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);
  auto f = reinterpret_cast<TDwmIsCompositionEnabled>(SystemCaps().DwmIsCompositionEnabled);
  BOOL on = FALSE;
  return f && SUCCEEDED(f(&on)) && on;
}

bool VisualThemes() {
  using TIsAppThemed = BOOL(WINAPI*)();
  auto f = reinterpret_cast<TIsAppThemed>(SystemCaps().IsAppThemed);
  return f && f();
}

}  // namespace kx
