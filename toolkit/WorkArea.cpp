#include "toolkit/WorkArea.h"

namespace tk {

TRect WorkAreaToScreen(TRect R, const TRect& Monitor, const TRect& WorkArea) {
  R.Offset(WorkArea.Left - Monitor.Left, WorkArea.Top - Monitor.Top);
  return R;
}

TRect ScreenToWorkArea(TRect R, const TRect& Monitor, const TRect& WorkArea) {
  R.Offset(Monitor.Left - WorkArea.Left, Monitor.Top - WorkArea.Top);
  return R;
}

}  // namespace tk
