// JPEG pictures of skins (pattern images) through libjpeg.
//
// Decodes to a pf24bit bitmap; greyscale and CMYK/YCCK pictures are turned
// into colour. Damaged data raises tk::EInvalidGraphic with libjpeg's text;
// progressive files with an absurd number of scans are refused, since each
// scan re-runs the whole decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "toolkit/Bitmap.h"

namespace kx {

std::unique_ptr<tk::TBitmap> ReadJpeg(const uint8_t* data, size_t size);

bool LooksLikeJpeg(const uint8_t* data, size_t size);

// A decoded JPEG picture kept as such: the painter draws a pattern whole into
// a clip instead of tiling it, so it must be told apart from a plain bitmap.
class TkxJpegImage {
 public:
  explicit TkxJpegImage(std::unique_ptr<tk::TBitmap> bmp) : FBitmap(std::move(bmp)) {}
  int Width() const { return FBitmap ? FBitmap->Width() : 0; }
  int Height() const { return FBitmap ? FBitmap->Height() : 0; }
  tk::TBitmap* Bitmap() const { return FBitmap.get(); }
  std::unique_ptr<TkxJpegImage> Clone() const;

 private:
  std::unique_ptr<tk::TBitmap> FBitmap;
};

}  // namespace kx
