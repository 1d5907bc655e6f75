// Native stand-in for the speed button's drawing: nothing to draw on.
#include "toolkit/Buttons.h"

namespace tk {

void TSpeedButton::CalcLayout(const TRect& Client, TRect& GlyphRect, TRect& TextRect) {
  GlyphRect = TRect{Client.Left, Client.Top, Client.Left, Client.Top};
  TextRect = GlyphRect;
}

void TSpeedButton::Paint() {}

}  // namespace tk
