// Native stand-ins for the Windows half of the menus: no keyboard, no
// system menu. The tree and the shortcut dispatch stay fully usable.
#include "toolkit/Menus.h"

namespace tk {

// No keyboard natively: the key's own code with no modifiers.
bool TMenu::IsShortCut(const TMessage& KeyMessage) {
  return DispatchShortCut(static_cast<TShortCut>(KeyMessage.WParam & 0xFF));
}

void TMenuItem::MeasureItem(TCanvas*, int& Width, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, nullptr, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State) {
  if (OnAdvancedDrawItem) OnAdvancedDrawItem(this, ACanvas, ARect, State);
  else if (OnDrawItem) OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
}

void TMenuItem::DoDrawText(TCanvas*, const String&, TRect&, bool, unsigned) {}

void TPopupMenu::Popup(int X, int Y) {
  FPopupPoint = Point(X, Y);
  OnPopup(this);
  OnClose(this);
}

}  // namespace tk
