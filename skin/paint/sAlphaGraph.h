// Bitmap access and blending: the lowest layer of every look the engine
// composes. Row-pointer access objects, the constant-opacity fade blend,
// colour blends and mixes, grey conversion, the disabled look, keyed
// restoring of corners and solid fills of 24- and 32-bit bitmaps.
//
// Everything here is pure code over TBitmap/TPixelView and never raises: a
// missing bitmap, a wrong format or a size that does not fit makes an
// operation do nothing. Colours are 0x00BBGGRR; system colours are resolved
// through ColorToRGB before any arithmetic. UI thread only (KeyColor).
#pragma once

#include <cstdint>
#include <memory>

#include "skin/framework/sCacheInfo.h"
#include "skin/paint/PaintTypes.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

// The engine's key for see-through places; kxKeyColor from the start.
extern tk::TColor KeyColor;

// A key argument whose top byte is 0xFF means "no key".
constexpr tk::TColor NoKeyColor = -1;

// The word a colour is written as into a 32-bit pixel: 0xFFRRGGBB.
uint32_t ColorToArgb(tk::TColor c);

// Row access to a 24-bit bitmap. FStart is row 0, FDelta the signed distance
// from one row to the next. Owns nothing; attach, use and drop within a call.
struct TkxFast24 {
  tk::TBitmap* FBitmap = nullptr;
  int32_t FWidth = 0, FHeight = 0;
  int32_t FDelta = 0;
  uint8_t* FStart = nullptr;
  int32_t FLength = 0, DstStart = 0;

  // False (and FWidth 0) unless bmp is a 24-bit bitmap of at least 2 x 2.
  bool Attach(tk::TBitmap* bmp);
  // 0x00BBGGRR; no bounds check.
  tk::TColor GetPixel(int x, int y) const;
};

// The same for a 32-bit bitmap; GetPixel and SetPixel use 0xAABBGGRR.
struct TkxFast32 {
  tk::TBitmap* FBitmap = nullptr;
  int32_t FWidth = 0, FHeight = 0;
  int32_t FDelta = 0;
  uint8_t* FStart = nullptr;
  int32_t FLength = 0, DstStart = 0;

  // False (and FWidth 0) unless bmp is a 32-bit bitmap with pixels; unlike
  // the 24-bit reader no minimum size.
  bool Attach(tk::TBitmap* bmp);
  tk::TColor GetPixel(int x, int y) const;
  void SetPixel(int x, int y, tk::TColor value);
  // Stores word (as a little-endian 32-bit value) into every pixel of r,
  // cut to the attached bitmap.
  void FillRect(const tk::TRect& r, uint32_t word);
};

// A source and a destination of one format and the rectangles of one blend.
// The F*Width/F*Height fields beyond the destination minimum guard the rows
// against rectangles that were not clipped.
template <int Bpp>
struct TkxFastSum {
  tk::TBitmap* FBmpSrc = nullptr;
  tk::TBitmap* FBmpDst = nullptr;
  int32_t FWidthDst = 0, FHeightDst = 0;
  uint8_t* FStartSrc = nullptr;
  uint8_t* FStartDst = nullptr;
  int32_t FDeltaSrc = 0, FDeltaDst = 0;
  uint8_t Alpha = 0;
  int32_t DstX1 = 0, DstY1 = 0, DstX2 = 0, DstY2 = 0;
  int32_t SrcX1 = 0, SrcY1 = 0, SrcX2 = 0, SrcY2 = 0;
  int32_t FSrcWidth = 0, FSrcHeight = 0, FDstWidth = 0, FDstHeight = 0;

  // False unless both are bitmaps of this format and at least 2 x 2.
  bool Attach(tk::TBitmap* src, tk::TBitmap* dst);
  // The same over raw views (any stride sign).
  bool AttachViews(const tk::TPixelView& src, const tk::TPixelView& dst);
  // Blends the source rectangle at (SrcX1, SrcY1) into Dst[XY][12] with
  // Alpha as the weight of the destination. Rectangles reaching outside
  // either bitmap make it do nothing.
  void BlendBitmapsRect();
};
using TkxFastSum24 = TkxFastSum<3>;
using TkxFastSum32 = TkxFastSum<4>;

// Both bitmaps of one format (24 or 32 bits), the same size and at least
// 2 x 2: every byte of dst := BlendByte(dst, src, A).
void BlendBitmapsEqual(tk::TBitmap* dst, tk::TBitmap* src, uint8_t A);
// Clips the source rectangle r at destination point (x, y) and blends it;
// 24 onto 24 or 32 onto 32 only.
void BlendBitmapRect(tk::TBitmap* dst, tk::TBitmap* src, uint8_t A, tk::TPoint at, tk::TRect r);

// Each channel c in r (Right and Bottom inclusive, cut to the bitmap) :=
// round(P/100 * c + (1 - P/100) * colour channel).
void BlendRectWithColor(tk::TBitmap* bmp, tk::TRect r, int percent, tk::TColor colour);
// Per channel round(f * A + (1 - f) * B); A's top byte is kept unless A is a
// system colour.
tk::TColor MixColors(tk::TColor a, tk::TColor b, double f);
// dst channel c at (x + i, y + j) := round(s + d * (c - s)), s the source
// pixel (i, j) of srcRect (Right and Bottom inclusive). Source pixels equal
// to key are left out unless the key's top byte is 0xFF; a 24-bit source
// pixel is compared as a colour, a 32-bit one as 0xAABBGGRR. Pairings: 32
// onto 24, 24 onto 32 and 24 onto 24; any other does nothing.
void BlendFromBitmap(tk::TBitmap* dst, int x, int y, tk::TColor key, double d, tk::TRect srcRect, tk::TBitmap* src);
// Every pixel other than key: c := round(C + d * (c - C)). 24-bit pixels
// are compared as a colour, 32-bit ones as 0xAABBGGRR.
void TintTowardsColor(tk::TBitmap* bmp, tk::TColor colour, tk::TColor key, double d);
// Mixes bmp towards colour through a 24-bit mask of the same size, each
// channel through the mask byte of that channel.
void ColorizeByMask(tk::TBitmap* bmp, tk::TBitmap* mask, tk::TColor colour);
void GrayscaleBitmap(tk::TBitmap* bmp);
void GrayscaleExceptKey(tk::TBitmap* bmp, tk::TColor key);

// The look of a control that is not enabled: grey first with dkGrayed, then
// with dkBlended 40% image over 60% of what lies behind (the parent's
// picture at ci.X + offset.X, ci.Y + offset.Y), or, without a ready
// picture, half and half with the parent's solid colour (what ownerColor
// answers when that colour is unknown).
void MakeDisabledLook(tk::TBitmap* bmp, TsDisabledKinds flags, const TkxColorQuery& ownerColor, tk::TPoint offset,
                      const TCacheInfo& ci);

// Copies the source from srcPoint into dstRect of dst (both 32-bit) wherever
// KeyColor marks the pixel: in mask at maskCorner plus the pixel's place in
// dstRect, or, with an empty mask view, in dst itself. A mask view that is
// neither 24 nor 32 bits does nothing.
void RestoreKeyedPixels(tk::TBitmap* dst, tk::TBitmap* src, tk::TRect dstRect, tk::TPoint srcPoint,
                        const tk::TPixelView& mask, tk::TPoint maskCorner);

void SetAlphaRect(tk::TBitmap* bmp, tk::TRect r, uint8_t alpha);
void FillRect32(tk::TBitmap* bmp, tk::TRect r, tk::TColor colour);
// A solid fill of a 24- or 32-bit bitmap (32 bits: alpha 255), cut to it.
void FillBitmapRect(tk::TBitmap* bmp, tk::TRect r, tk::TColor colour);
// Repeats pic from r's top-left corner, the last column and row cut.
void TileBitmap(tk::TBitmap* dst, tk::TRect r, tk::TBitmap* pic);
// A JPEG pattern is not repeated: pic is drawn once, whole, at r's top-left
// corner into a clip of r.
void DrawPictureOnce(tk::TBitmap* dst, tk::TRect r, tk::TBitmap* pic);

std::unique_ptr<tk::TBitmap> NewBitmap24(int width, int height);
std::unique_ptr<tk::TBitmap> NewBitmap32(int width, int height);
std::unique_ptr<tk::TBitmap> NewBitmapLike(const tk::TBitmap* bmp);

// The colour with its HSV hue turned by degrees.
tk::TColor RotateHue(int degrees, tk::TColor colour);
// Moves each channel amount percent towards the grey of the colour
// (negative amounts away from it).
tk::TColor ShiftSaturation(tk::TColor colour, int amount);

}  // namespace kx
