// TSpeedButton: a window-less push button with an optional glyph, that can
// stay down and form exclusive groups with its siblings. The skin engine
// replaces its painting; Paint here is the classic unskinned look.
// UI thread only.
//
// State: bsUp, bsDown (pressed with the mouse over it), bsExclusive (held
// down: Down in a group), bsDisabled. Buttons of one parent with the same
// non-zero GroupIndex keep at most one of them down; a button going down
// tells its siblings with CM_BUTTONPRESSED (WParam = group, LParam = the
// button).
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/Bitmap.h"
#include "toolkit/Controls.h"

namespace tk {

enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState : uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };
using TNumGlyphs = int;

class TSpeedButton : public TGraphicControl {
 public:
  TK_CLASS_NAME(TSpeedButton)
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  // Readable and writable: the skin engine sets it while it tracks the mouse.
  TButtonState State() const { return FState; }
  void SetState(TButtonState v) { FState = v; }
  // The mouse is over the button (set on enter, cleared on leave and when
  // the button is disabled or hidden).
  bool MouseInControl() const { return FMouseInControl; }
  void SetMouseInControl(bool v) { FMouseInControl = v; }

  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int v);
  // Only a button with a group stays down.
  bool Down() const { return FDown; }
  void SetDown(bool v);
  // A group may have no button down (a down button comes up when clicked).
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool v);

  // Owned; its OnChange repaints the button (a handler installed later can
  // keep the previous one and call it).
  TBitmap* Glyph() { return FGlyph.get(); }
  void SetGlyph(const TBitmap* v);
  // Frames side by side in Glyph: up, disabled, clicked, down (1..4).
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TNumGlyphs v);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout v);
  // Distance of glyph and caption from the edge; -1 centres them.
  int Margin() const { return FMargin; }
  void SetMargin(int v);
  // Gap between glyph and caption.
  int Spacing() const { return FSpacing; }
  void SetSpacing(int v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  // Flat buttons show a frame only while the mouse is over them.
  bool Flat() const { return FFlat; }
  void SetFlat(bool v);

  void Click() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Tells the siblings of the group that this button is down.
  void UpdateExclusive();
  virtual void GlyphChanged(TObject* Sender);
  // The glyph frame for the current state, and where glyph and caption go
  // inside Client (both measured with the canvas font).
  void CalcLayout(const TRect& Client, TRect& GlyphRect, TRect& TextRect);

 private:
  void ButtonPressed(TMessage& Message);
  void EnabledChanged();
  void CMEnabledChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMMouseEnter(TMessage& Message, TControl* Entered);
  void CMMouseLeave(TMessage& Message);
  bool Inside(int X, int Y) const { return X >= 0 && X < Width() && Y >= 0 && Y < Height(); }
  TButtonState RestingState() const { return FDown ? bsExclusive : bsUp; }

  TButtonState FState = bsUp;
  bool FMouseInControl = false;
  bool FDragging = false;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  bool FTransparent = true;
  bool FFlat = false;
};

}  // namespace tk
