// Work-area coordinates: window placements hold a top-level window's normal
// rectangle relative to its monitor's work area, positions are relative to
// the screen. The two differ by the offset of the work area from the
// monitor's origin: the room a task bar takes at the top or left.
// Free functions; the monitor look-ups are UI thread only.
#pragma once

#include "toolkit/Types.h"

namespace tk {

// Monitor and WorkArea are the monitor's rectangles in screen coordinates.
TRect WorkAreaToScreen(TRect R, const TRect& Monitor, const TRect& WorkArea);
TRect ScreenToWorkArea(TRect R, const TRect& Monitor, const TRect& WorkArea);

// The same on the monitor nearest to R (Windows only).
TRect WorkAreaToScreen(const TRect& R);
TRect ScreenToWorkArea(const TRect& R);

}  // namespace tk
