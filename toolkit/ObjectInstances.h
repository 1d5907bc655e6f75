// Window procedures that lead to a method: object instances (a procedure for
// subclassing a foreign window, bound to one method) and utility windows
// (hidden windows whose messages go to a method: timers, popup lists).
// Exceptions in the method reach the application's handler, never the
// system. UI thread for the windows; instances may be made and freed from any
// thread.
#pragma once

#include "toolkit/Classes.h"
#include "toolkit/Messages.h"
#include "toolkit/WinTypes.h"

namespace tk {

using TWndMethod = TEvent<TMessage&>;

// A window procedure that calls Method with the message record (nothing is
// stored on the window). It is one of a fixed pool of procedures in the
// program's code; when all are taken, EOutOfResources. Free it only when no
// window uses it any more; a freed one is handed out again.
void* MakeObjectInstance(TWndMethod Method);
void FreeObjectInstance(void* ObjectInstance);

// A hidden utility window of class "TPUtilWindow" whose messages go to
// Method (timers, popup lists). Exceptions in Method reach the
// application's handler.
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);

}  // namespace tk
