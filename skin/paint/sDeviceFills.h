// Solid fills, frames and tiling straight onto a device context, for the
// few places that paint a window's DC rather than a cache bitmap. Windows
// build only (sDeviceFills_win.cpp). Each call leaves the DC as it found it
// and deletes every GDI object it made. UI thread only.
#pragma once

#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace tk {
class TCanvas;
}

namespace kx {

// Fills r (exclusive edges) with ColorToRGB(colour).
void FillDeviceRect(HDC dc, tk::TRect r, tk::TColor colour);
// The four border strips of r with the given widths: top full width, left
// below it, bottom right of the left strip, right between top and bottom.
void FillDeviceFrame(HDC dc, tk::TRect r, int left, int top, int right, int bottom, tk::TColor colour);
// count nested one-pixel frames from r inwards: top and left lines light,
// right and bottom lines dark (the top-right and bottom-left corner pixels
// are dark).
void DrawBevelFrame(HDC dc, tk::TRect r, tk::TColor light, int count, tk::TColor dark);

// Repeats pic from r's top-left corner, the last column and row cut.
void TileBitmap(tk::TCanvas* canvas, tk::TRect r, tk::TBitmap* pic);
// A JPEG pattern is drawn once, whole, at r's top-left corner into a clip of r.
void DrawPictureOnce(tk::TCanvas* canvas, tk::TRect r, tk::TBitmap* pic);

}  // namespace kx
