// Captions in skin colours: a control's text (WriteSkinText) or a section's
// (WriteSectionText) drawn with the section's main colour and up to four
// one-pixel offset copies (outline or shadow), a blurred glow behind it and
// a dimmed colour when disabled; the font section a control's text takes its
// colours from; the text format for an alignment; captions cut with "...".
//
// Windows only (sSkinText_win.cpp); the pixel work is in skin/paint/sGlyphs.
// Nothing here raises: no manager, an invalid section or empty text draws
// nothing or falls back to plain DrawTextW. Every DC state a writer changes
// is restored before it returns; the canvas keeps the font and the colour it
// was last given. UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/Graphics.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace tk {
class TControl;
}

namespace kx {

class TsCommonData;
class TsSkinManager;

// Draws a control's caption into Canvas at R (clipped to R) with the colours
// of its font section: Hot takes the hot colours and glow and underlines a
// "WEBBUTTON"; a disabled caption is 40% its colour over 60% the skin's
// global colour. The canvas font becomes the owner control's font.
void WriteSkinText(tk::TCanvas* Canvas, const tk::String& Text, bool Enabled, bool Hot, TsCommonData& Data,
                   uint32_t Format, tk::TRect R);

// The same for an item without TsCommonData, in the colours of section
// SectionIndex of Manager (null = the default manager) and the canvas font;
// disabled: 40% its colour over 60% the section's colour.
void WriteSectionText(tk::TCanvas* Canvas, const tk::String& Text, bool Enabled, TsSkinManager* Manager, bool Hot,
                      int SectionIndex, uint32_t Format, tk::TRect R);

// DrawTextW over the whole text; R receives what DrawTextW leaves in it.
void DrawTextUnicode(HDC DC, const tk::String& Text, tk::TRect& R, uint32_t Format);

// DT_LEFT, DT_RIGHT or DT_CENTER with DT_VCENTER and DT_EXPANDTABS, through
// the control's right-to-left adjustment (none for a null control).
uint32_t TextFormatFor(tk::TControl* Control, tk::TAlignment Alignment);

// The section whose font colours Control's text takes when it has none of
// its own: the nearest parent (looking through parents that are more than
// half see-through) that gives its font, else OwnIndex. Manager null = the
// default manager.
int FindFontSection(tk::TControl* Control, int OwnIndex, TsSkinManager* Manager);

// kx::CutWithEllipsis (sGlyphs.h) measured with the canvas's font.
tk::String CutWithEllipsis(tk::TCanvas* Canvas, const tk::String& Text, int Width);

// The grey mask of a text glow, kept by a caller that repaints the same
// caption: it is rebuilt only when the text, font, radius, offsets, format
// or size it was made for change.
struct TkxGlowMask {
  std::unique_ptr<tk::TBitmap> Bmp;  // 8-bit: 0 under the text, 255 far from it
  tk::String Text;
  tk::TFont Font;
  int Radius = -1;
  uint32_t Flags = 0, Format = 0;
};

// Paints a halo of Text (drawn into R with Format and Font) into Target: the
// text in black, and once more moved by one pixel for each bit of Flags (1
// left, 2 up, 4 right, 8 down), blurred by Radius, mixes Glow into Target
// around R (ApplyGlowMask). Nothing for empty text or a radius below 1.
void DrawTextGlow(tk::TBitmap* Target, const tk::String& Text, tk::TRect R, TkxGlowMask& Mask, tk::TColor Glow,
                  int Radius, uint32_t Flags, uint32_t Format, tk::TFont* Font);

// The engine's dotted focus frame (sGlyphs.h) on any canvas.
void DrawDottedFocus(tk::TCanvas* Canvas, tk::TRect R);

}  // namespace kx
