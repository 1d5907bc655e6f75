// Delivery of the engine command message (sMessages.h): to one window, to a
// control, to the children of a container, to all forms. Every send is
// synchronous and runs on the UI thread; a window that does not know the
// engine answers 0, which every sender takes as "no answer". Sends to
// controls that are being destroyed or have no window are skipped, never
// forcing a window into existence.
#pragma once

#include <cstdint>

#include "skin/framework/sMessages.h"
#include "toolkit/WinTypes.h"

namespace tk {
class TControl;
class TWinControl;
}  // namespace tk

namespace kx {

// Registers SM_KESTRIXCMD_NAME with the system once (start-up); the number
// it gets is kept for callers that want it but never used for sending.
void RegisterCommandMessage();
uint32_t RegisteredCommandMessage();

intptr_t SendCommand(HWND Wnd, uint16_t Command, intptr_t LParam = 0, uint16_t Arg = 0);
// True when Wnd answers Command (LParam 0) with 1.
bool IsCommandHandled(HWND Wnd, uint16_t Command = KX_QUERYHANDLED);

// A windowed control gets SendMessage (nothing, answer 0, while it is being
// destroyed or has no window); a window-less one gets Perform.
intptr_t SendControlCommand(tk::TControl* Control, uint16_t Command, intptr_t LParam = 0, uint16_t Arg = 0);

// Message (any window message) to Container's children in index order; stops
// at the first child that is being destroyed. Window-less children and
// windowed ones without a window get Perform; a windowed child that handles
// engine commands itself gets SendMessage and passes it on on its own; into
// any other windowed child the broadcast descends. Result holds the last answer.
void BroadcastToChildren(tk::TWinControl* Container, tk::TMessage& Message);
// SendMessage to the direct child windows of Wnd.
void BroadcastToChildWindows(HWND Wnd, tk::TMessage& Message);
// To every form of the application (last first) that is neither being
// destroyed, nor loading, nor an MDI child, and does not handle engine
// commands itself - the form, its children, an MDI parent's client window -;
// then in the same way to the forms of the registry not reached so far;
// then to every visible subclassed top-level window.
void BroadcastToForms(tk::TMessage& Message);

}  // namespace kx
