// Where the push-button adapters put a caption and a glyph: pure arithmetic
// over a record of measures, which the adapters fill from the window (and,
// for a toolkit bit button, from its glyph and layout properties). All
// divisions truncate toward zero.
#pragma once

#include "toolkit/Buttons.h"
#include "toolkit/Types.h"

namespace kx {

struct TkxBtnWndMeasures {
  int W = 0, H = 0;    // the window
  int GW = 0, GH = 0;  // one glyph frame; 0 wide: no glyph
  int TW = 0, TH = 0;  // the caption as DrawText measures it
  bool HasCaption = false;
  bool Down = false;  // pressed: caption and glyph move by (1, 1)
  // A toolkit bit button places glyph and caption by its own Layout,
  // Margin and Spacing; any other button puts the glyph left of a centred
  // caption.
  bool OwnLayout = false;
  tk::TButtonLayout Layout = tk::blGlyphLeft;
  int Margin = -1;
  int Spacing = 4;
};

// The width the caption may wrap in; 0 for no caption.
int BtnWndCaptionLimit(const TkxBtnWndMeasures& M);
// The caption rectangle. A plain push button (no glyph): centred, widened
// by one pixel left and two right so that an outline pass is not clipped.
// A glyph without own layout moves that right by half the glyph; with own
// layout the caption sits beside the glyph on the side Layout names,
// Spacing away from it, and never overlaps it.
tk::TRect BtnWndCaptionRect(const TkxBtnWndMeasures& M);
// GW x GH where the glyph goes; empty without a glyph.
tk::TRect BtnWndGlyphRect(const TkxBtnWndMeasures& M);

}  // namespace kx
