// Windows half of work-area coordinates: the monitor of a rectangle.
#include "toolkit/WorkArea.h"

#include <windows.h>

namespace tk {

namespace {

// The monitor nearest to R and its work area, in screen coordinates.
bool MonitorRects(const TRect& R, TRect& monitor, TRect& work) {
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (!::GetMonitorInfoW(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) return false;
  monitor = TRect{mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom};
  work = TRect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
  return true;
}

}  // namespace

TRect WorkAreaToScreen(const TRect& R) {
  TRect monitor, work;
  return MonitorRects(R, monitor, work) ? WorkAreaToScreen(R, monitor, work) : R;
}

TRect ScreenToWorkArea(const TRect& R) {
  TRect monitor, work;
  return MonitorRects(R, monitor, work) ? ScreenToWorkArea(R, monitor, work) : R;
}

}  // namespace tk
