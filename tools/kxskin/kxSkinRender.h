// The pictures of the skin tool: one section's full look for a state, and
// the contact sheet of every section in states 0, 1 and 2 at a few typical
// sizes on a checkerboard, labelled. Both paint through PaintSectionLook,
// the way the program builds a cached look. Pure.
#pragma once

#include <memory>

#include "skin/data/sSkinData.h"
#include "toolkit/Bitmap.h"

namespace kxtool {

// What lies behind a rendered section: nothing known, a colour, or another
// section's look of the same size (in state 0).
struct TRenderParent {
  enum TKind { rpNone, rpColor, rpSection } Kind = rpNone;
  tk::TColor Color = 0;
  tk::String Section;
};

// Null when the skin has no such section (or the parent section is none).
std::unique_ptr<tk::TBitmap> RenderSection(const kx::TkxSkinContent& Skin, const tk::String& Section, int Width,
                                           int Height, int State, const TRenderParent& Parent);

std::unique_ptr<tk::TBitmap> RenderSheet(const kx::TkxSkinContent& Skin);

// Draws Text in the tool's 5 x 7 capitals with its top-left at (X, Y);
// unknown characters show as a box. Returns the width drawn.
int DrawLabel(tk::TBitmap* Bmp, int X, int Y, const tk::String& Text, tk::TColor Color);

}  // namespace kxtool
