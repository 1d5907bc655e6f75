// The pixel half of glyphs and skinned text: the grey blur and the glow mix
// behind captions, shortening a caption with "...", keyed copies, the dotted
// focus frame, frames of classic glyph strips and pictures drawn with their
// per-pixel alpha (with an optional mirrored reflection below them).
//
// Pure code over TBitmap; nothing here raises. A missing bitmap, a format a
// routine does not take or an empty area makes it do nothing, and every
// write is cut to its bitmap. The caller owns every bitmap passed in; none
// is kept. UI thread only (the colours go through ColorToRGB).
#pragma once

#include <cstdint>
#include <functional>

#include "skin/framework/sCacheInfo.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

// Separable Gaussian blur of an 8-bit bitmap in place (rows, then columns;
// edges clamped). The weights are fixed point and sum to exactly one, so an
// even area keeps its value: white stays 255. Other formats and a radius of
// 0 or less are left alone.
void BlurGray(tk::TBitmap* Bmp, int Radius);

// Mixes Glow into Target through the 8-bit Mask, whose top-left lies at
// MaskOrigin in Target: a mask value v < 255 makes each channel
// t := G + (t - G) * v / 255 (truncated), so black takes the glow colour and
// white keeps the target. A 32-bit target's alpha becomes
// max(0, alpha + v - 255). Cut to the target; a 24- or 32-bit target only.
void ApplyGlowMask(tk::TBitmap* Target, const tk::TBitmap* Mask, tk::TPoint MaskOrigin, tk::TColor Glow);

// Text cut so that it fits Width with "..." appended: unchanged when it fits,
// empty for Width <= 0 or when not even one character fits with the dots.
// A surrogate pair is removed as one character.
tk::String CutWithEllipsis(const tk::String& Text, int Width, const std::function<int(const tk::String&)>& TextWidth);

// Copies the 24-bit Source to (X, Y) of Target, leaving out pixels of the
// colour Key; a 32-bit target gets alpha 255 on the copied pixels.
void CopyKeyed(tk::TBitmap* Target, tk::TBitmap* Source, int X, tk::TColor Key, int Y);

// The engine's focus frame: every third pixel of the outline of R (its
// Right and Bottom edges included) black, each with a white pixel
// diagonally above-left of it. 24- or 32-bit targets (alpha 255).
void DrawDottedFocus(tk::TBitmap* Target, tk::TRect R);
// The dots of that frame in drawing order, for targets that are no bitmap.
void ForEachFocusDot(tk::TRect R, const std::function<void(int X, int Y, bool Black)>& Dot);

// How a glyph of a disabled control is dimmed: a set of bits.
enum TsDisabledGlyphKind : uint8_t { dgBlended = 1, dgGrayed = 2 };
using TsDisabledGlyphKinds = uint8_t;

// The button states a glyph strip has frames for. A hot button is drawn as
// up (or down): the state index of painting never selects a frame itself.
enum TsGlyphStripKind : int { gkUp = 0, gkDisabled = 1, gkDown = 2 };

// The frame of an N-frame strip for a button state Kind and its down flag
// (1 while the button stays down, giving the fourth, "exclusive", frame of
// a four-frame strip). A disabled control, a single frame or an up button
// use frame 0; a frame past the strip falls back to frame 1 (0 for 4-bit
// glyphs, which keep no disabled frame).
int GlyphStripFrame(int Kind, int DownFlag, int Frames, bool Enabled, bool FourBit);

// Draws one frame of a glyph strip at R's top-left. Kind is the button's
// state (TsGlyphStripKind; a hot button passes gkUp), StateIndex its down
// flag. One frame: keyed with its bottom-left pixel, mixed in by
// BlendPercent when up, grey and/or half transparent when disabled
// (Disabled). Several frames: the frame of GlyphStripFrame(Kind, StateIndex,
// ...), keyed with that frame's bottom-left pixel; an enabled up glyph with
// BlendPercent > 0 is mixed in by it. Fewer than one frame draws nothing.
void DrawGlyphStrip(tk::TBitmap* Glyph, tk::TBitmap* Target, tk::TRect R, int StateIndex, int BlendPercent, int Kind,
                    TsDisabledGlyphKinds Disabled, bool Enabled, int Frames);

// Draws S of the 32-bit Src with its per-pixel alpha into D of Dst (24 or 32
// bits; alpha untouched). SeeThrough (0..100) fades the picture; Tint
// (clNone = none) recolours its grey; a key pixel (0x00FF00FF, magenta with
// alpha 0) shows the parent picture with KeyShowsBackground, else is left
// out, while Parent is ready. Reflection adds a mirrored copy below D that
// starts at a third of the opacity and fades out, built only from rows of S.
// A source of another format is drawn from a 32-bit copy (alpha 0).
void DrawAlphaImage(tk::TRect D, tk::TRect S, tk::TBitmap* Dst, bool Reflection, int SeeThrough, tk::TColor Tint,
                    bool KeyShowsBackground, const TCacheInfo& Parent, tk::TBitmap* Src);

// The plain variant: a 24-bit Src is a masked picture (picture in the upper
// half, mask below it; S lies in the upper half), a 32-bit Src is blended
// with its alpha (a 32-bit Dst gets alpha 255 there). Key pixels (colour
// 0xFF00FF) as in DrawAlphaImage.
void CopyMaskedPicture(tk::TRect D, tk::TRect S, tk::TBitmap* Dst, bool KeyShowsBackground, const TCacheInfo& Parent,
                       tk::TBitmap* Src);

}  // namespace kx
