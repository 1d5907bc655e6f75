// Skin item painting: one skin section turned into pixels. A section's
// background for a state (flat colour, texture, gradient, see-through over
// the parent), its nine-slice border from the border mask, the four corner
// images, single mask images (glyphs) and textures, and the see-through
// corner runs that windows cut out of their regions.
//
// Everything paints into a 24- or 32-bit memory bitmap. The skin content
// (sections, masks, patterns, master bitmap) belongs to the skin manager and
// is only read here. Nothing raises: an invalid index, a missing bitmap or
// skin, or a rectangle outside the target makes a routine do nothing. UI
// thread only (the key colour is engine-wide state).
#pragma once

#include <vector>

#include "skin/data/sSkinData.h"
#include "skin/framework/kxColors.h"
#include "skin/framework/sCacheInfo.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"

namespace kx {

// One-pixel-high see-through runs of a window's corners, in window
// coordinates; the owner empties it before collecting a window's corners.
using TAOR = std::vector<tk::TRect>;

// The section an item is painted from: the skin content, the section's index
// and name, the texture indexes chosen for it (-1: the section's own) and a
// colour of its own (kxKeyColor: none; a control sets its owner's colour
// through ColorToRGB when its CustomColor is set).
struct TkxSectionRef {
  int SkinIndex = -1;
  String SkinSection;
  int HotTexture = -1;
  int Texture = -1;
  const TkxSkinContent* Skin = nullptr;
  tk::TColor CustomColor = kxKeyColor;
};
// What a control adds to its section when it paints.
using TkxControlSkin = TkxSectionRef;

// Where an item is painted: the rectangle R of Bmp (which it must lie
// inside), R's place in the parent's coordinates, the state (0 normal, any
// other hot) and what lies behind.
struct TkxPaintTarget {
  tk::TBitmap* Bmp = nullptr;
  tk::TRect R;
  tk::TPoint Offset;
  int State = 0;
  TCacheInfo Ci;
};

// The background of the target with the section's values for its state.
void PaintSectionBackground(const TkxSectionRef& s, const TkxPaintTarget& t);
// Background, border (skipped in state 0 for bdmNoNormalBorder), corner images.
void PaintControlLook(const TkxSectionRef& s, const TkxPaintTarget& t, bool fillCentre, bool corner);
// For items without a control: background, corner images, then the border
// with the corner flag set.
void PaintSectionLook(const TkxSectionRef& s, const TkxPaintTarget& t, bool fillCentre);
// Scroll-bar parts: the background, then the border from the given mask.
void PaintScrollPart(const TkxSectionRef& s, int BorderIndex, const TkxPaintTarget& t, bool fillCentre);

// The same with their parameters one by one. hot selects the section's hot
// values; offset is r's place in the parent's coordinates.
void PaintSectionBackground(int SkinIndex, const String& SkinSection, const TCacheInfo& ci, tk::TColor CustomColor,
                            int HotTexture, int Texture, const TkxSkinContent* skin, tk::TBitmap* bmp,
                            tk::TPoint offset, tk::TRect r, bool hot);
void PaintControlBackground(const TkxControlSkin& c, const TCacheInfo& ci, int state, tk::TBitmap* bmp,
                            tk::TPoint offset, tk::TRect r);
void PaintControlLook(const TkxControlSkin& c, const TCacheInfo& ci, bool fillCentre, bool corner, tk::TBitmap* bmp,
                      tk::TPoint offset, tk::TRect r, int state);
void PaintSectionLook(int SkinIndex, const String& SkinSection, const TCacheInfo& ci, int HotTexture, int Texture,
                      const TkxSkinContent* skin, tk::TBitmap* bmp, tk::TPoint offset, tk::TRect r, int state,
                      bool fillCentre);
// Paints the section named name (or fallback when name is no section) over
// the whole of bmp and returns its index (-1: none painted). With
// bmpHoldsBackground the caller has already copied what lies behind into
// bmp, which then is its own parent; else the parent is fillColor.
int PaintSectionByName(tk::TBitmap* bmp, const String& name, const String& fallback, bool bmpHoldsBackground,
                       tk::TColor fillColor, const TkxSkinContent* skin, int state);
void PaintScrollPart(int SkinIndex, int BorderIndex, int HotTexture, int Texture, const TkxSkinContent* skin,
                     tk::TBitmap* bmp, tk::TPoint offset, tk::TRect r, int state, bool fillCentre, const TCacheInfo& ci,
                     const String& SkinSection);

// Nine-slice border of r from the mask's frame for the state. corner lets
// see-through pixels of the corner pieces take the parent's pixels.
void DrawBorderFromMask(tk::TBitmap* bmp, tk::TRect r, bool fillCentre, bool corner, int state, const TsMaskData& mask,
                        const TCacheInfo& ci);
// DrawMaskImage's mode for an opaque image; any other is translucent.
constexpr int mimOpaque = 1;
// The state's frame of a mask image with its top-left at p.
void DrawMaskImage(tk::TBitmap* bmp, tk::TPoint p, int state, const TCacheInfo& ci, const TsMaskData& mask, int mode);
// A plain texture by its DrawMode. picture non-null is a whole picture of
// its own, tiled over all of r; else the mask's first frame is the tile. On
// return r is the part left uncovered, or (-1, -1, -1, -1).
void FillWithTexture(tk::TBitmap* bmp, tk::TRect& r, const tk::TBitmap* picture, int drawMode, const TsMaskData& mask);
// A MaskType 1 texture: tdmWholeTiles whole tiles only, the strips right and below
// from the parent; any other mode tiles all of r.
void FillWithMaskedTexture(tk::TBitmap* bmp, tk::TRect r, const TCacheInfo& ci, int drawMode, const TsMaskData& mask);
// Appends the key-coloured runs of the mask's two top (or bottom) corners
// in its frame Frame for an edge of width W placed at y = Y.
void AddTransparentCornerRects(TAOR& list, int W, const TsMaskData& mask, bool bottom, int Y, int Frame = 0);

// Corner kinds of RestoreKeyedPixels.
enum : int { ckTopLeft = 13, ckTopRight = 14, ckBottomLeft = 16, ckBottomRight = 17 };
// Copies the source from srcPoint into dstRect of dst (both 32-bit) wherever
// KeyColor marks the pixel: with maskIndex -1 dst's own pixel, else the
// picture of skin->ma[maskIndex] at the corner that cornerKind names. An
// index that skin does not have does nothing.
void RestoreKeyedPixels(tk::TBitmap* dst, tk::TBitmap* src, tk::TRect dstRect, int cornerKind,
                        const TkxSkinContent* skin, int maskIndex, tk::TPoint srcPoint);

}  // namespace kx
