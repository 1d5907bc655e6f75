// Where the skin manager's window hooks hand over windows the program did not
// create as skinned components: popup-menu windows, standard dialogs and
// other top-level windows, and the menu border requests sent to the
// application window. The dialog skinning and the menu engine take these
// over; until then the entry points accept the calls and do nothing, so that
// the hooks already run their whole path. UI thread only; Windows build.
#pragma once

#include <cstdint>

#include "toolkit/WinTypes.h"

namespace kx {

class TsSkinManager;

// The thread-local window hook saw a popup-menu window (class #32768) being
// created while skinned popups are on and composition is off.
void AdoptPopupMenuWindow(HWND Wnd, TsSkinManager* Manager);
// A top-level window without a parent (a dialog, a form without provider)
// was created or activated: offered to the dialog skinning.
bool AdoptWindow(HWND Wnd);
// A window is being destroyed: adapters of destroyed windows are released.
void ReleaseDestroyedAdapters(HWND Wnd);
// The hook goes: every popup-menu adapter and every adapted-window entry.
void ReleaseMenuWindowAdapters();
void ReleaseAdaptedWindows();

// The menu engine's border width is unknown again (a new skin is coming).
void ResetMenuBorderWidth();
// Paints the skinned border of the menu window that shows Item (a menu item
// of the toolkit), or of the menu window Wnd.
void PaintMenuBorderOfItem(intptr_t Item);
void PaintMenuBorder(HWND Wnd);

}  // namespace kx
