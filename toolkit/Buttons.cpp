// The speed button's state machine and groups (pure half of Buttons.h).
#include "toolkit/Buttons.h"

#include <algorithm>

namespace tk {

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks});
  SetBounds(0, 0, 23, 22);
  FGlyph->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
}

TSpeedButton::~TSpeedButton() {
  // The glyph may outlive its handler's target while it is torn down.
  if (FGlyph) FGlyph->OnChange = nullptr;
}

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::SetGlyph(const TBitmap* v) {
  FGlyph->Assign(v);
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs v) {
  v = std::clamp(v, 1, 4);
  if (FNumGlyphs == v) return;
  FNumGlyphs = v;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
  if (FLayout == v) return;
  FLayout = v;
  Invalidate();
}

void TSpeedButton::SetMargin(int v) {
  if (v < -1) v = -1;
  if (FMargin == v) return;
  FMargin = v;
  Invalidate();
}

void TSpeedButton::SetSpacing(int v) {
  if (FSpacing == v) return;
  FSpacing = v;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool v) {
  if (FTransparent == v) return;
  FTransparent = v;
  TControlStyle s = ControlStyle();
  s.Set(csOpaque, !v);
  SetControlStyle(s);
  Invalidate();
}

void TSpeedButton::SetFlat(bool v) {
  if (FFlat == v) return;
  FFlat = v;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int v) {
  if (FGroupIndex == v) return;
  FGroupIndex = v;
  if (v == 0 && FDown) {
    // Without a group nothing holds the button down.
    FDown = false;
    if (FState == bsExclusive) FState = bsUp;
    Invalidate();
  }
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (FAllowAllUp == v) return;
  FAllowAllUp = v;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool v) {
  if (FGroupIndex == 0) v = false;
  if (v == FDown) return;
  // The last button down of a group that must keep one stays down.
  if (FDown && !FAllowAllUp) return;
  FDown = v;
  if (FState != bsDisabled) FState = RestingState();
  Invalidate();
  if (v) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage m = MakeMessage(CM_BUTTONPRESSED, static_cast<uintptr_t>(FGroupIndex), reinterpret_cast<intptr_t>(this));
  Parent()->Broadcast(m);
}

void TSpeedButton::ButtonPressed(TMessage& Message) {
  if (Message.WParam != static_cast<uintptr_t>(FGroupIndex) || FGroupIndex == 0) return;
  auto* control = reinterpret_cast<TControl*>(Message.LParam);
  // Only a sibling is trusted as the sender: the value is compared with the
  // parent's children before it is ever dereferenced.
  if (control == this || !Parent()) return;
  bool sibling = false;
  for (int i = 0; i < Parent()->ControlCount() && !sibling; ++i) sibling = Parent()->Controls(i) == control;
  if (!sibling) return;
  auto* sender = dynamic_cast<TSpeedButton*>(control);
  if (!sender) return;
  if (sender->Down() && FDown) {
    FDown = false;
    if (FState != bsDisabled) FState = bsUp;
    Invalidate();
  }
  // The group shares one rule.
  FAllowAllUp = sender->AllowAllUp();
}

void TSpeedButton::EnabledChanged() {
  if (!Enabled()) {
    FState = bsDisabled;
    FDragging = false;
    // A disabled button is not entered; it must not stay "under the mouse".
    FMouseInControl = false;
  } else if (FState == bsDisabled) {
    FState = RestingState();
  }
  Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  TButtonState s = Inside(X, Y) ? (FDown ? bsExclusive : bsDown) : RestingState();
  if (s != FState) {
    FState = s;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FDragging) return;
  FDragging = false;
  bool click = Inside(X, Y);
  if (FGroupIndex != 0 && click) SetDown(!FDown);
  if (FState != bsDisabled) FState = RestingState();
  Invalidate();
  if (click) Click();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BUTTONPRESSED: return ButtonPressed(Message);
    case CM_ENABLEDCHANGED: return CMEnabledChanged(Message);
    case CM_VISIBLECHANGED: return CMVisibleChanged(Message);
    case CM_MOUSEENTER: return CMMouseEnter(Message, reinterpret_cast<TControl*>(Message.LParam));
    case CM_MOUSELEAVE: return CMMouseLeave(Message);
    default: return TGraphicControl::Dispatch(Message);
  }
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  EnabledChanged();
}

void TSpeedButton::CMVisibleChanged(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  FMouseInControl = false;
}

void TSpeedButton::CMMouseEnter(TMessage& Message, TControl* Entered) {
  TGraphicControl::Dispatch(Message);
  // Null or this button: the mouse came to this button, not to a child.
  if ((!Entered || Entered == this) && Enabled() && !FMouseInControl) {
    FMouseInControl = true;
    if (FFlat) Invalidate();
  }
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  // Cleared whatever the enabled state: a button disabled under the
  // mouse must be enterable again once it is enabled.
  if (FMouseInControl) {
    FMouseInControl = false;
    if (FFlat) Invalidate();
  }
}

}  // namespace tk
