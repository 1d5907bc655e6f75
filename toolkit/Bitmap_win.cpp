// Windows pixel store of TBitmap: a top-down DIB section (row 0 on top,
// rows 4-byte aligned, 8-bit with a grey palette) and the bitmap's canvas,
// a memory DC with the section selected.
#include "toolkit/Bitmap.h"
#include "toolkit/Graphics.h"
#include "toolkit/SysUtils.h"

#include <windows.h>

#include <cstdint>
#include <new>

namespace tk {
namespace detail {

TPixelStore AllocPixelStore(int width, int height, TPixelFormat format) {
  TPixelStore s;
  const int bpp = BytesPerPixel(format);
  if (width <= 0 || height <= 0 || bpp == 0) return s;
  const int64_t stride = (static_cast<int64_t>(width) * bpp + 3) & ~int64_t{3};
  if (stride * height > INT32_MAX) throw EOutOfResources(L"Out of system resources");

  struct {
    BITMAPINFOHEADER h;
    RGBQUAD grey[256];
  } info{};
  info.h.biSize = sizeof(BITMAPINFOHEADER);
  info.h.biWidth = width;
  info.h.biHeight = -height;  // top-down: row 0 is the top row
  info.h.biPlanes = 1;
  info.h.biBitCount = static_cast<WORD>(bpp * 8);
  info.h.biCompression = BI_RGB;
  if (bpp == 1) {
    info.h.biClrUsed = 256;
    for (int i = 0; i < 256; ++i)
      info.grey[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
  }
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp || !bits) {
    if (bmp) ::DeleteObject(bmp);
    throw EOutOfResources(L"Out of system resources");
  }
  // Fresh DIB sections come zero-filled from the system.
  s.bits = static_cast<uint8_t*>(bits);
  s.stride = static_cast<intptr_t>(stride);
  s.handle = bmp;
  return s;
}

void FreePixelStore(TPixelStore& s) {
  if (s.handle) ::DeleteObject(static_cast<HBITMAP>(s.handle));
  s = TPixelStore{};
}

void FlushPixelStore() { ::GdiFlush(); }

}  // namespace detail

namespace {

// A memory DC that selects the bitmap's current DIB section when asked for.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap* Owner) : FBitmap(Owner) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    if (!FDC) return;
    SetHandle(nullptr);
    if (FOldBitmap) ::SelectObject(FDC, FOldBitmap);
    ::DeleteDC(FDC);
    FDC = nullptr;
    FOldBitmap = nullptr;
  }

 protected:
  void CreateHandle() override {
    if (FDC) return;
    FDC = ::CreateCompatibleDC(nullptr);
    if (!FDC) throw EOutOfResources(L"Out of system resources");
    if (HBITMAP h = static_cast<HBITMAP>(FBitmap->Handle())) FOldBitmap = ::SelectObject(FDC, h);
    SetHandle(FDC);
  }

 private:
  TBitmap* FBitmap;
  HDC FDC = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
};

}  // namespace

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) FCanvas = new TBitmapCanvas(this);
  return FCanvas;
}

// The canvas object stays (callers may hold it across a resize); only its
// DC goes, and the next drawing call selects the new section.
void TBitmap::ReleaseCanvas() {
  if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas)->FreeContext();
}

// With its DC the canvas frees the brush, pen and font handles it made.
void TBitmap::FreeCanvas() {
  delete static_cast<TBitmapCanvas*>(FCanvas);
  FCanvas = nullptr;
}

}  // namespace tk
