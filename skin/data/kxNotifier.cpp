#include "skin/data/kxNotifier.h"

namespace kx {

namespace {
IkxNotifier* gNotifier = nullptr;
}

IkxNotifier* SetNotifier(IkxNotifier* Notifier) {
  IkxNotifier* old = gNotifier;
  gNotifier = Notifier;
  return old;
}

IkxNotifier* GetNotifier() { return gNotifier; }

void Notify(const tk::String& Text) {
  if (gNotifier) gNotifier->Notify(Text);
}

}  // namespace kx
