// Pure half of TBitmap: sizes, format conversions and row access. The pixel
// store itself comes from the platform half (Bitmap_win.cpp / Bitmap_posix.cpp).
#include "toolkit/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "toolkit/SysUtils.h"

namespace tk {

int BytesPerPixel(TPixelFormat f) {
  switch (f) {
    case TPixelFormat::pf8bit: return 1;
    case TPixelFormat::pf24bit: return 3;
    case TPixelFormat::pf32bit: return 4;
    default: return 0;
  }
}

namespace {

// Only grey, B,G,R and B,G,R,A are stored. A device bitmap is a 32-bit DIB
// here; the palette and 16-bit formats have no store of their own and hold
// their pixels as 24-bit colour, which is what converting them would give.
TPixelFormat StoredFormat(TPixelFormat f) {
  switch (f) {
    case TPixelFormat::pf8bit:
    case TPixelFormat::pf24bit:
    case TPixelFormat::pf32bit: return f;
    case TPixelFormat::pfDevice: return TPixelFormat::pf32bit;
    default: return TPixelFormat::pf24bit;
  }
}

uint8_t GreyOf(const uint8_t* p) { return static_cast<uint8_t>((p[2] * 77 + p[1] * 150 + p[0] * 29) >> 8); }

void ConvertRow(const uint8_t* s, TPixelFormat sf, uint8_t* d, TPixelFormat df, int width) {
  const int sb = BytesPerPixel(sf), db = BytesPerPixel(df);
  for (int x = 0; x < width; ++x, s += sb, d += db) {
    if (df == TPixelFormat::pf8bit) {
      d[0] = GreyOf(s);
    } else if (sf == TPixelFormat::pf8bit) {
      d[0] = d[1] = d[2] = s[0];
      if (db == 4) d[3] = 0;
    } else {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      // A DIB conversion from 24 bits leaves the alpha byte clear.
      if (db == 4) d[3] = sb == 4 ? s[3] : 0;
    }
  }
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) : FFormat(StoredFormat(format)) {
  Reallocate(width, height, FFormat, false);
}

TBitmap::~TBitmap() {
  FreeCanvas();
  detail::FreePixelStore(FStore);
}

void TBitmap::Reallocate(int w, int h, TPixelFormat f, bool keep) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  detail::TPixelStore fresh;
  if (w > 0 && h > 0) fresh = detail::AllocPixelStore(w, h, f);
  ReleaseCanvas();
  if (keep && FStore.bits && fresh.bits) {
    detail::FlushPixelStore();
    const int rows = std::min(h, FHeight);
    const size_t bytes = static_cast<size_t>(std::min(w, FWidth)) * BytesPerPixel(f);
    for (int y = 0; y < rows; ++y) std::memcpy(fresh.bits + fresh.stride * y, FStore.bits + FStore.stride * y, bytes);
  }
  detail::FreePixelStore(FStore);
  FStore = fresh;
  FWidth = w;
  FHeight = h;
  FFormat = f;
}

void TBitmap::SetSize(int w, int h) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (w == FWidth && h == FHeight) return;
  Reallocate(w, h, FFormat, true);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat f) {
  f = StoredFormat(f);
  if (f == FFormat) return;
  if (Empty()) {
    FFormat = f;
    Changed();
    return;
  }
  detail::TPixelStore fresh = detail::AllocPixelStore(FWidth, FHeight, f);
  detail::FlushPixelStore();
  for (int y = 0; y < FHeight; ++y)
    ConvertRow(FStore.bits + FStore.stride * y, FFormat, fresh.bits + fresh.stride * y, f, FWidth);
  ReleaseCanvas();
  detail::FreePixelStore(FStore);
  FStore = fresh;
  FFormat = f;
  Changed();
}

uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= FHeight || !FStore.bits) throw EInvalidGraphic(L"Scan line index out of range");
  detail::FlushPixelStore();
  return FStore.bits + FStore.stride * y;
}

const uint8_t* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

TPixelView TBitmap::View() {
  detail::FlushPixelStore();
  TPixelView v;
  v.row0 = FStore.bits;
  v.stride = FStore.stride;
  v.width = FStore.bits ? FWidth : 0;
  v.height = FStore.bits ? FHeight : 0;
  v.format = FFormat;
  return v;
}

void TBitmap::Changed() {
  if (OnChange) OnChange(this);
}

void TBitmap::Assign(const TPersistent* Source) {
  if (Source == this) return;
  if (!Source) {
    Reallocate(0, 0, FFormat, false);
    Changed();
    return;
  }
  const auto* src = dynamic_cast<const TBitmap*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  Reallocate(src->FWidth, src->FHeight, src->FFormat, false);
  if (FStore.bits && src->FStore.bits) {
    detail::FlushPixelStore();
    const size_t bytes = static_cast<size_t>(FWidth) * BytesPerPixel(FFormat);
    for (int y = 0; y < FHeight; ++y)
      std::memcpy(FStore.bits + FStore.stride * y, src->FStore.bits + src->FStore.stride * y, bytes);
  }
  Transparent = src->Transparent;
  TransparentColor = src->TransparentColor;
  Changed();
}

}  // namespace tk
