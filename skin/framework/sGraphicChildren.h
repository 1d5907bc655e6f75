// The painter of a skinned container's window-less children (speed buttons,
// labels): they are composed in one off-screen picture over the container's
// own background and each finished child reaches the screen in a single
// copy, so none flickers between background and foreground. The picture
// lives for one call; the only state kept is the engine-wide flag that makes
// a call nested in a child's painting (which may make its container paint
// again) paint nothing. UI thread only.
#pragma once

#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace tk {
class TWinControl;
}

namespace kx {

// Paints the qualifying graphic children of Container onto DC. Offset is
// added to each child's position on DC: (0, 0) for the container's client
// DC, the client origin inside the picture for a whole-window DC. A child
// whose top-left pixel stays the key colour is not copied.
void PaintGraphicChildren(HDC DC, tk::TWinControl* Container, tk::TPoint Offset);

}  // namespace kx
