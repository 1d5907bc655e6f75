// The arithmetic of a control's skin frame and of a panel's caption: which
// bands between the border mask and a wider frame the frame painter fills
// with the control's colour, what stays inside, and where the caption goes
// once the bevels are taken off. Pure: builds natively.
#pragma once

#include "toolkit/Types.h"

namespace kx {

// What painting a frame FrameWidth wide over R leaves to do after the
// border mask (margins WL, WT, WR, WB) has been drawn: the widths of the
// four bands inside the mask's margins that are filled with the control's
// colour, where those bands start (R shrunk by the margins), and Inner, the
// part inside the whole frame. The bands never go negative and never reach
// past the opposite margin of a rectangle too small for the frame.
struct TkxFrameBands {
  tk::TRect MaskInner;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  tk::TRect Inner;
};
TkxFrameBands SkinFrameBands(const tk::TRect& R, int FrameWidth, int WL, int WT, int WR, int WB);

// The caption's rectangle in a panel: the client rectangle shrunk by the
// bevel inset on every side, then a band TextHeight high whose top is
// centred in that height and counted from 0 plus BorderWidth (so without
// bevels the caption is centred in the whole panel). A negative text
// height counts as 0; the division truncates toward zero.
tk::TRect PanelCaptionRect(const tk::TRect& Client, int Inset, int BorderWidth, int TextHeight);

}  // namespace kx
