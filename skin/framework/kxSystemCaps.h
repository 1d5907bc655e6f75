// Optional system functions and platform facts, looked up once at start-up
// into one record; code reads the record and never probes again. Windows
// build only (the functions are implemented in kxSystemCaps_win.cpp).
#pragma once

#include "toolkit/WinTypes.h"

namespace kx {

struct TkxSystemCaps {
  bool NTFamily = false;
  // A 32-bit process on 64-bit Windows.
  bool Wow64 = false;
  // user32 UpdateLayeredWindow (extended borders, glows).
  void* UpdateLayeredWindow = nullptr;
  // uxtheme SetWindowTheme (switching visual styles off on adapted windows).
  void* SetWindowTheme = nullptr;
  // dwmapi DwmIsCompositionEnabled; composition itself can change at run time.
  void* DwmIsCompositionEnabled = nullptr;
  // dwmapi DwmSetWindowAttribute (switching a window's DWM transitions off).
  void* DwmSetWindowAttribute = nullptr;
  // uxtheme IsAppThemed; themes too can be switched at run time.
  void* IsAppThemed = nullptr;
};

const TkxSystemCaps& SystemCaps();
// Desktop composition is on now (false when the system has no DWM), or
// what OverrideDesktopComposition set.
bool DesktopComposition();
// Tests take either branch of "composition on": 0 off, 1 on, -1 the system's answer again.
void OverrideDesktopComposition(int On);
// Visual themes are on for this program now (false without uxtheme).
bool VisualThemes();

}  // namespace kx
