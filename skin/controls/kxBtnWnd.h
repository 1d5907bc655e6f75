// The push-button adapters: TkxBtnWnd paints a system push button (a
// "button" window of a push style, or a toolkit button the skin does not
// paint itself) from a skin section, "BUTTON" unless its creator names
// another; TkxBitBtnWnd adds the glyph of a bit button. The window keeps its
// own behaviour (clicks, keyboard, default-button handling); the adapter
// draws it from its cache after every state change.
//
// DrawBitBtnGlyph is the bit button's glyph painting on its own, shared with
// the window-less speed-button handler.
//
// Ownership as for TkxMainWnd: the creator owns the adapter. Windows only;
// UI thread only.
#pragma once

#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

// Draws the glyph of a button into Target with its top-left at At. A
// single-frame 32-bit glyph is drawn with its per-pixel alpha; any other
// glyph is a strip of NumGlyphs frames (up, disabled, clicked, down) of
// which the frame for the button's state is copied keyed: the disabled
// frame when not Enabled, the clicked one while pressed (CurrentState 2),
// the down one while the button stays Down; a hot button (CurrentState 1)
// shows the up frame. Nothing for a missing or empty glyph.
void DrawBitBtnGlyph(tk::TBitmap* Target, tk::TBitmap* Glyph, int NumGlyphs, tk::TPoint At, bool Down,
                     int CurrentState, bool Enabled);

}  // namespace kx
