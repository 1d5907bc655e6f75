#include "skin/data/kxPictureLimits.h"

#include "toolkit/SysUtils.h"

namespace kx {

bool PictureSizeOk(int64_t width, int64_t height) noexcept {
  return width > 0 && height > 0 && width <= kxMaxPictureSide && height <= kxMaxPictureSide &&
         width * height <= kxMaxPicturePixels;
}

tk::String CheckPictureSize(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) return L"the picture has no pixels";
  if (!PictureSizeOk(width, height))
    return tk::Fmt(L"the picture is too large (%s x %s pixels)", {tk::IntToStr(width), tk::IntToStr(height)});
  return {};
}

}  // namespace kx
