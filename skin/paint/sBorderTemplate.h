// The extended-border template step of a form's window image: the frame and
// shadow taken from the skin's template picture (32 bits, straight alpha)
// around the content the provider painted. Pure: builds natively.
#pragma once

#include "skin/paint/NineSlices.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

// Every pixel of R (cut to the image) gets alpha 255.
void MakeOpaque(tk::TBitmap* Image, tk::TRect R);

// Draw mode 1: the template stretched over the whole image in nine slices
// with the template mask's margins (left and right as given; top limited to
// (image height - TitleHeight) / 2 + TitleHeight, bottom to (image height -
// TitleHeight) / 2), leaving untouched the inside of the frame: the image
// shrunk by Shadow + FrameWidth on the left, right and bottom, and by
// Shadow.Top + TitleHeight on the top. Shadow holds four margins.
void ApplyFrameTemplate(tk::TBitmap* Image, tk::TBitmap* Template, TkxWidths Margins, int TitleHeight,
                        const tk::TRect& Shadow, int FrameWidth);

// Draw mode 0: the template drawn around the content rectangle (the image
// without the Shadow margins) as a shadow, in nine slices whose margins are
// the shadow sizes plus ContentOffs; the content itself is left as it is.
void ApplyShadowTemplate(tk::TBitmap* Image, tk::TBitmap* Template, const tk::TRect& Shadow, int ContentOffs);

// After painting over a strip whose copy was taken first: every pixel of R
// that differs from Copy (same size as the image) takes Copy's alpha, so
// painting text and title never changes the window's transparency.
void KeepAlphaOf(tk::TBitmap* Image, tk::TBitmap* Copy, tk::TRect R);

}  // namespace kx
