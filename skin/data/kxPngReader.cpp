#include "skin/data/kxPngReader.h"

#include <png.h>

#include <cstring>

#include "skin/data/kxPictureLimits.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

[[noreturn]] void Fail(const tk::String& reason) { throw tk::EInvalidGraphic(L"PNG image is not valid: " + reason); }

// Frees libpng's reading state on every way out, exceptions included.
struct TImageGuard {
  png_image& img;
  ~TImageGuard() { png_image_free(&img); }
};

}  // namespace

bool LooksLikePng(const uint8_t* data, size_t size) {
  static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return size >= 8 && std::memcmp(data, sig, 8) == 0;
}

std::unique_ptr<tk::TBitmap> ReadPng(const uint8_t* data, size_t size) {
  if (!data || !LooksLikePng(data, size)) Fail(L"the signature is missing");
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  TImageGuard guard{img};
  if (!png_image_begin_read_from_memory(&img, data, size)) Fail(tk::FromUtf8(img.message));
  tk::String bad = CheckPictureSize(img.width, img.height);
  if (!bad.empty()) Fail(bad);
  const bool alpha = (img.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  img.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  const int w = static_cast<int>(img.width), h = static_cast<int>(img.height);
  auto bmp = std::make_unique<tk::TBitmap>(w, h, alpha ? tk::TPixelFormat::pf32bit : tk::TPixelFormat::pf24bit);
  // libpng wants the lowest address and a signed stride in components
  // (bytes here); it finds the top row itself when the stride is negative.
  intptr_t stride = bmp->Stride();
  uint8_t* lowest = stride >= 0 ? bmp->ScanLine(0) : bmp->ScanLine(h - 1);
  if (!png_image_finish_read(&img, nullptr, lowest, static_cast<png_int_32>(stride), nullptr))
    Fail(tk::FromUtf8(img.message));
  return bmp;
}

}  // namespace kx
