#include <windows.h>

#include <algorithm>
#include <vector>

#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/kxFormRegistry.h"
#include "toolkit/Forms.h"

namespace kx {

namespace {

UINT gRegistered = 0;

// The commands SendTrustedCommand is delivering on this thread, innermost
// last. The receiving window is not part of the record: a receiver sees
// only the message, and one that hands it on (an adapter to the window's
// previous procedure) still holds the same pointer.
struct TTrustedSend {
  uintptr_t WParam;
  intptr_t LParam;
};
thread_local std::vector<TTrustedSend> gTrusted;

// Keeps the record for exactly the length of one delivery, also when the
// receiver raises.
class TTrustedScope {
 public:
  explicit TTrustedScope(const tk::TMessage& m) { gTrusted.push_back({m.WParam, m.LParam}); }
  ~TTrustedScope() { gTrusted.pop_back(); }
  TTrustedScope(const TTrustedScope&) = delete;
  TTrustedScope& operator=(const TTrustedScope&) = delete;
};

intptr_t Send(HWND Wnd, const tk::TMessage& m) {
  return static_cast<intptr_t>(::SendMessageW(Wnd, m.Msg, m.WParam, m.LParam));
}

// The MDI client window of an MDI parent form (the toolkit keeps none of its
// own, so it is the child window of that system class).
HWND MDIClientOf(tk::TCustomForm* Form) {
  if (Form->FormStyle() != tk::fsMDIForm || !Form->HandleAllocated()) return nullptr;
  return ::FindWindowExW(Form->Handle(), nullptr, L"MDICLIENT", nullptr);
}

BOOL CALLBACK CollectWindow(HWND Wnd, LPARAM List) {
  reinterpret_cast<std::vector<HWND>*>(List)->push_back(Wnd);
  return TRUE;
}

bool Reachable(tk::TCustomForm* Form) {
  return !Form->IsDestroying() && !Form->IsLoading() && Form->FormStyle() != tk::fsMDIChild;
}

// A form without a window yet is told through Perform, as children are:
// asking must not create its window.
void SendToForm(tk::TCustomForm* Form, tk::TMessage& m) {
  m.Result = Form->HandleAllocated() ? Send(Form->Handle(), m) : Form->Perform(m.Msg, m.WParam, m.LParam);
  BroadcastToChildren(Form, m);
  if (HWND client = MDIClientOf(Form)) m.Result = Send(client, m);
}

}  // namespace

void RegisterCommandMessage() {
  if (!gRegistered) gRegistered = ::RegisterWindowMessageW(SM_KESTRIXCMD_NAME);
}

uint32_t RegisteredCommandMessage() { return gRegistered; }

intptr_t SendCommand(HWND Wnd, uint16_t Command, intptr_t LParam, uint16_t Arg) {
  if (!Wnd) return 0;
  return Send(Wnd, MakeCommand(Command, LParam, Arg));
}

bool IsCommandHandled(HWND Wnd, uint16_t Command) { return SendCommand(Wnd, Command) == 1; }

intptr_t SendControlCommand(tk::TControl* Control, uint16_t Command, intptr_t LParam, uint16_t Arg) {
  if (!Control) return 0;
  const tk::TMessage m = MakeCommand(Command, LParam, Arg);
  if (auto* wc = dynamic_cast<tk::TWinControl*>(Control)) {
    if (wc->IsDestroying() || !wc->HandleAllocated()) return 0;
    return Send(wc->Handle(), m);
  }
  return Control->Perform(m.Msg, m.WParam, m.LParam);
}

intptr_t SendTrustedCommand(tk::TControl* Control, HWND Wnd, uint16_t Command, const void* Pointer, uint16_t Arg) {
  const tk::TMessage m = MakeCommand(Command, reinterpret_cast<intptr_t>(Pointer), Arg);
  auto* wc = dynamic_cast<tk::TWinControl*>(Control);
  if (wc && wc->HandleAllocated()) Wnd = wc->Handle();
  if (Control && Wnd == nullptr) {
    TTrustedScope scope(m);
    return Control->Perform(m.Msg, m.WParam, m.LParam);
  }
  if (!Wnd) return 0;
  TTrustedScope scope(m);
  return Send(Wnd, m);
}

bool IsTrustedPointerCommand(const tk::TMessage& Message) {
  if (Message.Msg != SM_KESTRIXCMD || gTrusted.empty()) return false;
  const TTrustedSend& top = gTrusted.back();
  return top.WParam == Message.WParam && top.LParam == Message.LParam;
}

void BroadcastToChildren(tk::TWinControl* Container, tk::TMessage& Message) {
  if (!Container) return;
  // The count is read again each step: a handler may add or remove children.
  for (int i = 0; i < Container->ControlCount(); ++i) {
    tk::TControl* c = Container->Controls(i);
    if (c->IsDestroying()) break;
    auto* wc = dynamic_cast<tk::TWinControl*>(c);
    if (!wc || !wc->HandleAllocated()) {
      Message.Result = c->Perform(Message.Msg, Message.WParam, Message.LParam);
    } else if (IsCommandHandled(wc->Handle())) {
      Message.Result = Send(wc->Handle(), Message);
    } else if (!Engine.ExcludeFromSkinning || !Engine.ExcludeFromSkinning(wc)) {
      BroadcastToChildren(wc, Message);
    }
  }
}

void BroadcastToChildWindows(HWND Wnd, tk::TMessage& Message) {
  if (!Wnd) return;
  std::vector<HWND> children;
  ::EnumChildWindows(Wnd, CollectWindow, reinterpret_cast<LPARAM>(&children));
  // Collected first: a child that reacts by creating or destroying windows
  // must not disturb the enumeration.
  for (HWND child : children)
    if (::IsWindow(child) && ::GetParent(child) == Wnd) Message.Result = Send(child, Message);
}

void BroadcastToForms(tk::TMessage& Message) {
  std::vector<tk::TCustomForm*> reached;
  if (tk::Application) {
    for (int i = tk::Application->ComponentCount() - 1; i >= 0; --i) {
      if (i >= tk::Application->ComponentCount()) continue;
      auto* form = dynamic_cast<tk::TCustomForm*>(tk::Application->Components(i));
      if (!form || !Reachable(form)) continue;
      if (form->HandleAllocated() && IsCommandHandled(form->Handle())) continue;
      reached.push_back(form);
      SendToForm(form, Message);
    }
  }
  // A registered form that does not handle the command itself was reached
  // above already; sending again would announce the skin to it twice.
  for (IkxSkinnedForm* entry : SkinnedForms()) {
    const auto now = SkinnedForms();
    if (std::find(now.begin(), now.end(), entry) == now.end()) continue;
    tk::TCustomForm* form = entry->SkinnedForm();
    if (!form || !Reachable(form)) continue;
    if (std::find(reached.begin(), reached.end(), form) != reached.end()) continue;
    reached.push_back(form);
    SendToForm(form, Message);
  }
  for (HWND wnd : SubclassedWindows())
    if (::IsWindow(wnd) && ::IsWindowVisible(wnd)) Message.Result = Send(wnd, Message);
}

}  // namespace kx
