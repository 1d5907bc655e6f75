// TBitmap: a device-independent bitmap with direct row access, and the
// portable pixel view that all pixel routines take.
//
// The pixels live in a DIB section on Windows (so GDI can draw into them
// through Canvas()) and in a plain heap block natively; the layout is the
// same in both: 8-bit grey, 24-bit B,G,R or 32-bit B,G,R,A, row 0 on top,
// rows 4-byte aligned. Pixel code never assumes a positive stride.
// Owned by whoever created it; UI thread only on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "toolkit/Object.h"

namespace tk {

enum class TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

int BytesPerPixel(TPixelFormat f);  // 1, 3 or 4 for the stored formats, else 0

// What a pixel routine works on: rows of bytes `stride` apart (may be
// negative), `width` x `height` pixels of `format`.
struct TPixelView {
  uint8_t* row0 = nullptr;
  intptr_t stride = 0;
  int width = 0;
  int height = 0;
  TPixelFormat format = TPixelFormat::pf24bit;

  uint8_t* Row(int y) const { return row0 + stride * y; }
  int Bpp() const { return BytesPerPixel(format); }
  bool Valid() const { return row0 != nullptr && width > 0 && height > 0; }
};

class TCanvas;

namespace detail {
// Platform half of TBitmap (Bitmap_win.cpp / Bitmap_posix.cpp).
struct TPixelStore {
  uint8_t* bits = nullptr;  // top row
  intptr_t stride = 0;
  void* handle = nullptr;  // HBITMAP of the DIB section on Windows
};
TPixelStore AllocPixelStore(int width, int height, TPixelFormat format);  // zero-filled
void FreePixelStore(TPixelStore& s);
void FlushPixelStore();  // GdiFlush before the CPU touches DIB bits
}  // namespace detail

class TBitmap : public TPersistent {
 public:
  TK_CLASS_NAME(TBitmap)
  TBitmap();
  TBitmap(int width, int height, TPixelFormat format);
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Only the changed dimension is reallocated; the overlap keeps its pixels.
  void SetWidth(int w) { SetSize(w, FHeight); }
  void SetHeight(int h) { SetSize(FWidth, h); }
  void SetSize(int w, int h);
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }

  TPixelFormat PixelFormat() const { return FFormat; }
  // Converts the content: 32->24 drops alpha, 24->32 sets alpha 0 (as a DIB
  // conversion does), 8-bit is grey (to colour: replicated; from colour:
  // (R*77 + G*150 + B*29) >> 8). pfDevice is stored as 32-bit.
  void SetPixelFormat(TPixelFormat f);

  uint8_t* ScanLine(int y);
  const uint8_t* ScanLine(int y) const;
  intptr_t Stride() const { return FStore.stride; }
  TPixelView View();

  bool Transparent = false;
  TColor TransparentColor = clFuchsia;
  std::function<void(TObject* Sender)> OnChange;
  void Changed();

  // Copies size, format, pixels and transparency.
  void Assign(const TPersistent* Source) override;

  // Windows build only: the DIB section's HBITMAP and a canvas whose DC has
  // it selected. Natively Handle() is null and Canvas() must not be called.
  void* Handle() const { return FStore.handle; }
  TCanvas* Canvas();

 private:
  void Reallocate(int w, int h, TPixelFormat f, bool keep);
  // Platform half: deselect and free the canvas before the DIB goes; called
  // before every reallocation and from the destructor. Canvas() makes a new
  // one on demand.
  void ReleaseCanvas();
  // Platform half: the canvas object itself goes with the bitmap.
  void FreeCanvas();

  int FWidth = 0, FHeight = 0;
  TPixelFormat FFormat = TPixelFormat::pf24bit;
  detail::TPixelStore FStore;
  TCanvas* FCanvas = nullptr;  // owned; created on demand (Windows)
};

}  // namespace tk
