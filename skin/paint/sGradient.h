// Multi-band colour gradients of skin sections: the record array parsed from
// a section's "GRADIENTDATA" text and the painter that fills a rectangle of a
// 24- or 32-bit bitmap from it. The array is owned by its section record;
// painting only reads it. UI thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

// One band. Only the first band's Mode1 counts: 0 vertical bands, 1
// horizontal bands, 2 four triangles.
struct TsGradPie {
  tk::TColor Color1 = 0;
  tk::TColor Color2 = 0;
  uint8_t Percent = 0;
  int32_t Mode1 = 0;
  int32_t Mode2 = 0;
};
using TsGradArray = std::vector<TsGradPie>;

// Five ';'-separated words per band (runs of ';' count as one): Color1,
// Color2, Percent, Mode, reserved. Raises the toolkit's integer-conversion
// error on a word that is no decimal integer; arr then holds the bands read
// so far and zero bands up to the counted length.
void ParseGradientData(const tk::String& text, TsGradArray& arr);

// Paints r (cut to the bitmap) from arr; 32-bit pixels get alpha 255.
void PaintGradient(tk::TBitmap* bmp, tk::TRect r, const TsGradArray& arr);

// The five vertices of mode 2 and their colours, in the order top-left,
// centre, top-right, bottom-right, bottom-left.
struct TkxGradVertex {
  int X = 0, Y = 0;
  tk::TColor Color = 0;
};

// Our own Gouraud fill of the four triangles over r (already cut to the
// view); pixel (x, y) takes the colour interpolated at the point (x, y),
// truncated, as the system's fill gives it.
void FillGradientTriangles(const tk::TPixelView& v, tk::TRect r, const TkxGradVertex vx[5]);

namespace detail {
// Platform half of mode 2 (sGradient_win.cpp / sGradient_posix.cpp): the
// system's triangle fill where there is one, else FillGradientTriangles.
void PaintTriangles(tk::TBitmap* bmp, tk::TRect r, const TkxGradVertex vx[5]);
// Windows build only: the system's fill (msimg32 GradientFill, looked up
// once); false, with nothing drawn, when the system has none.
bool PaintTrianglesBySystem(tk::TBitmap* bmp, tk::TRect r, const TkxGradVertex vx[5]);
}  // namespace detail

}  // namespace kx
