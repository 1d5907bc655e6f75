// Native pixel store of TBitmap: a zeroed heap block with 4-byte aligned rows,
// row 0 on top. There is no GDI here, so no handle and no canvas.
#include <cstdlib>
#include <new>

#include "toolkit/Bitmap.h"
#include "toolkit/SysUtils.h"

namespace tk {
namespace detail {

TPixelStore AllocPixelStore(int width, int height, TPixelFormat format) {
  TPixelStore s;
  const int bpp = BytesPerPixel(format);
  if (width <= 0 || height <= 0 || bpp == 0) return s;
  const size_t stride = (static_cast<size_t>(width) * bpp + 3) & ~static_cast<size_t>(3);
  if (stride > SIZE_MAX / static_cast<size_t>(height)) throw std::bad_alloc();
  void* p = std::calloc(stride * static_cast<size_t>(height), 1);
  if (!p) throw std::bad_alloc();
  s.bits = static_cast<uint8_t*>(p);
  s.stride = static_cast<intptr_t>(stride);
  return s;
}

void FreePixelStore(TPixelStore& s) {
  std::free(s.bits);
  s = TPixelStore{};
}

void FlushPixelStore() {}

}  // namespace detail

TCanvas* TBitmap::Canvas() { throw EInvalidOperation(L"A bitmap canvas needs the Windows build"); }

void TBitmap::ReleaseCanvas() {}
void TBitmap::FreeCanvas() {}

}  // namespace tk
