#include "skin/data/kxImageWrite.h"

#include <cstdio>
#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

#include "toolkit/SysUtils.h"

namespace kx {

namespace {

void Put16(std::vector<uint8_t>& o, uint32_t v) {
  o.push_back(static_cast<uint8_t>(v));
  o.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& o, uint32_t v) {
  Put16(o, v & 0xFFFF);
  Put16(o, v >> 16);
}

// Rows as B, G, R (and A) bytes, top row first.
std::vector<uint8_t> PackedRows(const tk::TBitmap& b, int bpp) {
  std::vector<uint8_t> out(static_cast<size_t>(b.Width()) * bpp * b.Height());
  const int src = b.PixelFormat() == tk::TPixelFormat::pf32bit  ? 4
                  : b.PixelFormat() == tk::TPixelFormat::pf8bit ? 1
                                                                : 3;
  uint8_t* o = out.data();
  for (int y = 0; y < b.Height(); ++y) {
    const uint8_t* p = b.ScanLine(y);
    for (int x = 0; x < b.Width(); ++x, p += src, o += bpp) {
      if (src == 1) o[0] = o[1] = o[2] = p[0];
      else o[0] = p[0], o[1] = p[1], o[2] = p[2];
      if (bpp == 4) o[3] = src == 4 ? p[3] : 0xFF;
    }
  }
  return out;
}

struct TJpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};

void OnError(j_common_ptr cinfo) { longjmp(reinterpret_cast<TJpegError*>(cinfo->err)->jump, 1); }

// POD-only frame around setjmp; the buffers live in the caller.
bool Compress(const uint8_t* rows, int w, int h, int quality, unsigned char** out, unsigned long* size) {
  jpeg_compress_struct cinfo;
  TJpegError err;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnError;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, out, size);
  cinfo.image_width = static_cast<JDIMENSION>(w);
  cinfo.image_height = static_cast<JDIMENSION>(h);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(rows) + static_cast<size_t>(cinfo.next_scanline) * w * 3;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

std::vector<uint8_t> WriteBmp(const tk::TBitmap& Bmp) {
  const int bpp = Bmp.PixelFormat() == tk::TPixelFormat::pf32bit ? 4 : 3;
  const int w = Bmp.Width(), h = Bmp.Height();
  const uint32_t stride = (static_cast<uint32_t>(w) * bpp + 3) & ~3u;
  const uint32_t bits = stride * static_cast<uint32_t>(h);
  std::vector<uint8_t> o;
  o.reserve(54 + bits);
  o.push_back('B'), o.push_back('M');
  Put32(o, 54 + bits), Put32(o, 0), Put32(o, 54);
  Put32(o, 40), Put32(o, static_cast<uint32_t>(w)), Put32(o, static_cast<uint32_t>(h));
  Put16(o, 1), Put16(o, static_cast<uint32_t>(bpp * 8));
  Put32(o, 0), Put32(o, bits), Put32(o, 2835), Put32(o, 2835), Put32(o, 0), Put32(o, 0);
  std::vector<uint8_t> rows = PackedRows(Bmp, bpp);
  for (int y = h - 1; y >= 0; --y) {
    const uint8_t* r = rows.data() + static_cast<size_t>(y) * w * bpp;
    o.insert(o.end(), r, r + static_cast<size_t>(w) * bpp);
    o.insert(o.end(), stride - static_cast<uint32_t>(w) * bpp, 0);
  }
  return o;
}

std::vector<uint8_t> WritePng(const tk::TBitmap& Bmp) {
  const bool alpha = Bmp.PixelFormat() == tk::TPixelFormat::pf32bit;
  std::vector<uint8_t> rows = PackedRows(Bmp, alpha ? 4 : 3);
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  img.width = static_cast<png_uint_32>(Bmp.Width());
  img.height = static_cast<png_uint_32>(Bmp.Height());
  img.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&img, nullptr, &size, 0, rows.data(), 0, nullptr))
    throw tk::EInvalidGraphic(tk::FromUtf8(img.message));
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&img, out.data(), &size, 0, rows.data(), 0, nullptr))
    throw tk::EInvalidGraphic(tk::FromUtf8(img.message));
  out.resize(size);
  return out;
}

std::vector<uint8_t> WriteJpeg(const tk::TBitmap& Bmp, int Quality) {
  std::vector<uint8_t> rows = PackedRows(Bmp, 3);
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  bool ok = Compress(rows.data(), Bmp.Width(), Bmp.Height(), Quality, &buf, &size);
  std::vector<uint8_t> out;
  if (ok) out.assign(buf, buf + size);
  std::free(buf);
  if (!ok) throw tk::EInvalidGraphic(L"The picture can't be written as JPEG");
  return out;
}

}  // namespace kx
