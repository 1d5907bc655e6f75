#include "skin/paint/sPushButtonLayout.h"

#include <algorithm>

namespace kx {

int PushButtonTextLimit(int W, bool HasCaption) { return HasCaption ? W - 2 : 0; }

tk::TRect PushButtonImageRect(const TkxPushButtonMeasures& M) {
  if (!M.HasImage) return tk::TRect{};
  int l = (M.W - M.IW) / 2, t = (M.H - M.IH) / 2;
  switch (M.Alignment) {
    case iaLeft: l = M.MarginLeft + 3; break;
    case iaRight: l = M.W - M.MarginRight - 3 - M.IW; break;
    case iaTop: t = M.MarginTop + 3; break;
    case iaBottom: t = M.H - M.MarginBottom - 3 - M.IH; break;
    case iaCenter: break;
  }
  const int d = M.Pressed ? 1 : 0;
  return tk::TRect{l + d, t + d, l + M.IW + d, t + M.IH + d};
}

tk::TRect PushButtonCaptionRect(const TkxPushButtonMeasures& M) {
  int l = (M.W - M.TW) / 2, t = (M.H - M.TH) / 2;
  int r = M.W - l, b = M.H - t;
  if (M.HasImage) {
    switch (M.Alignment) {
      case iaLeft: {
        const int a = M.MarginLeft + M.IW + 3;
        l = a + (M.W - a - M.TW) / 2;
        r = l + M.TW;
        break;
      }
      case iaRight:
        l = (M.W - M.MarginRight - M.IW - M.TW - 3) / 2;
        r = l + M.TW;
        break;
      case iaTop: {
        const int a = M.MarginTop + M.IH + 3;
        t = a + (M.H - a - M.TH) / 2;
        b = t + M.TH;
        break;
      }
      case iaBottom:
        t = (M.H - M.MarginBottom - M.IH - M.TH - 3) / 2;
        b = t + M.TH;
        break;
      case iaCenter: break;
    }
  }
  const int d = M.Pressed ? 1 : 0;
  return tk::TRect{l - 1 + d, t + d, r + 2 + d, b + d};
}

int MaskFrameFor(int State, int ImageCount) { return std::clamp(State, 0, std::max(ImageCount - 1, 0)); }

}  // namespace kx
