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

// Commands whose LParam points into this process (KX_QUERYSKININDEX,
// KX_QUERYBACKGROUND and the like) travel only through this sender. The
// message number is an ordinary one that any program on the desktop may
// send or post, so a receiver writes through such a pointer only when
// IsTrustedPointerCommand finds the message to be the one this thread is
// sending right now. Delivered to Control (SendMessage to its window when it
// has one, else Perform), or with Control null to the window Wnd; the answer,
// 0 when there is no receiver.
intptr_t SendTrustedCommand(tk::TControl* Control, HWND Wnd, uint16_t Command, const void* Pointer, uint16_t Arg = 0);
inline intptr_t SendTrustedCommand(HWND Wnd, uint16_t Command, const void* Pointer, uint16_t Arg = 0) {
  return SendTrustedCommand(nullptr, Wnd, Command, Pointer, Arg);
}
inline intptr_t SendTrustedCommand(tk::TControl* Control, uint16_t Command, const void* Pointer, uint16_t Arg = 0) {
  return SendTrustedCommand(Control, nullptr, Command, Pointer, Arg);
}
// True when Message is the innermost command SendTrustedCommand is
// delivering on this thread: its LParam may be dereferenced. Posted
// messages, sends from other threads or programs, and anything arriving in
// a nested message loop while another command is on its way are not.
bool IsTrustedPointerCommand(const tk::TMessage& Message);

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
