// Where the skin data's message boxes go (the skin version notice, the errors
// of the extract operations). The pure code only knows this interface; the
// Windows build installs one that shows MessageBoxW, tests install a recorder.
// Without a notifier the messages are dropped. UI thread only.
#pragma once

#include "toolkit/Types.h"

namespace kx {

struct IkxNotifier {
  virtual ~IkxNotifier() = default;
  virtual void Notify(const tk::String& Text) = 0;
};

// Returns the previous notifier; pass null to remove it.
IkxNotifier* SetNotifier(IkxNotifier* Notifier);
IkxNotifier* GetNotifier();
void Notify(const tk::String& Text);

}  // namespace kx
