// Toolkit-internal glue between the Windows halves (Graphics_win,
// Controls_win, Forms_win, Timers_win, Threads_win). Windows only: include
// from *_win.cpp files, after the toolkit's public headers.
#pragma once

#include <windows.h>

#include "toolkit/Controls.h"

namespace tk::detail {

// Control canvases holding a DC of their own give it back: those of Wnd
// (locked or not) when Wnd is given, else every unlocked one.
void FreeControlCanvases(HWND Wnd);

// Hands the exception being handled to Application->HandleException (or,
// before the application exists, drops it). Never throws.
void HandleCallbackException(TObject* Sender) noexcept;

// The module of the program (window classes are registered on it).
HINSTANCE ProgramInstance();

// Runs the queued Synchronize calls (Threads_win).
bool RunSynchronizeQueue();

}  // namespace tk::detail
