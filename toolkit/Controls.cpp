// Pure part of the controls: the popup-menu hooks live here so that code
// using them links in every build.
#include "toolkit/Controls.h"

namespace tk {

TPopupMenuHooks PopupMenuHooks;

}  // namespace tk
