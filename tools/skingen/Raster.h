// The generator's drawing surface: a picture in premultiplied floating-point
// RGBA on which antialiased shapes are laid one over another, and the two
// ways it leaves the generator - a 24-bit frame with its mask layer (what the
// skin's MaskType 1 pictures hold) and a 32-bit picture with premultiplied
// alpha (what layered windows show).
//
// Transparent places of a canvas are where the engine shows its destination;
// places marked as key become magenta, which the engine treats as "not part
// of the element" (window regions, parent pixels in corners).
#pragma once

#include <functional>
#include <vector>

#include "toolkit/Bitmap.h"
#include "tools/skingen/Design.h"

namespace skingen {

// How much of pixel (x, y) a shape covers, 0..1.
using TCoverage = std::function<double(int x, int y)>;

// Shapes in pixel coordinates: edges on whole numbers cover whole pixels.
TCoverage RoundRect(double l, double t, double r, double b, double radius);
// The band of width w just inside the rounded rectangle's edge.
TCoverage RoundRing(double l, double t, double r, double b, double radius, double w);
// A stroke of width w along the polyline through the points (x0, y0, x1, y1, ...).
TCoverage Polyline(std::vector<double> points, double w);
TCoverage Minus(TCoverage a, TCoverage b);
TCoverage Union(TCoverage a, TCoverage b);
// A Gaussian blur of a shape over a w x h area (outside it counts as empty).
TCoverage Blurred(const TCoverage& shape, int w, int h, double sigma);

struct TPx {
  float R = 0, G = 0, B = 0, A = 0;  // premultiplied, 0..1
};

class TCanvas {
 public:
  TCanvas() = default;
  TCanvas(int w, int h);

  int Width() const { return FW; }
  int Height() const { return FH; }
  TPx& At(int x, int y) { return FPx[size_t(y) * FW + x]; }
  const TPx& At(int x, int y) const { return FPx[size_t(y) * FW + x]; }
  bool IsKey(int x, int y) const { return FKey[size_t(y) * FW + x] != 0; }

  // Lays colour c with opacity alpha x coverage over what is there.
  void Fill(const TCoverage& shape, TRgb c, double alpha = 1.0);
  void FillAll(TRgb c, double alpha = 1.0);
  // Adds colour c with opacity alpha x coverage as a disjoint part of the
  // pixel (shapes that partition a pixel add up to exactly opaque).
  void Add(const TCoverage& shape, TRgb c, double alpha = 1.0);
  // Paints each row with the colour of a vertical gradient from top to bottom.
  void FillVertical(const TCoverage& shape, TRgb top, TRgb bottom, int y0, int y1);
  // Pixels the shape does not touch at all become key pixels.
  void KeyOutside(const TCoverage& shape);
  // Pixels nothing was painted on become key pixels.
  void KeyTransparent();

  TCanvas Transposed() const;
  // Copies src into this canvas at (x, y).
  void Blit(const TCanvas& src, int x, int y);

 private:
  int FW = 0, FH = 0;
  std::vector<TPx> FPx;
  std::vector<uint8_t> FKey;
};

// Writes c as a picture at (x, y) of a 24-bit bitmap and its mask layer at
// (x, y + maskOffset): mask 0 shows the picture, 255 the destination. Key
// pixels are magenta over mask 255; no other pixel comes out magenta.
void WriteMasked(const TCanvas& c, tk::TBitmap& dst, int x, int y, int maskOffset);
// The same without a mask layer: transparency is not kept, key pixels and
// fully transparent ones become magenta.
void WriteKeyed(const TCanvas& c, tk::TBitmap& dst, int x, int y);
// Writes c into a 32-bit bitmap as premultiplied B, G, R, A bytes; no colour
// byte exceeds its alpha.
void WritePremultiplied(const TCanvas& c, tk::TBitmap& dst, int x, int y);

}  // namespace skingen
