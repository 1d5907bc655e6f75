#include "skin/data/kxJpegReader.h"

// jpeglib.h needs FILE and size_t declared first.
#include <cstdio>
#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "skin/data/kxPictureLimits.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

constexpr int kxMaxJpegScans = 256;

struct TJpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
  char text[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->text);
  longjmp(err->jump, 1);
}

// Warnings let libjpeg go on, and so do we, except for data that ends early
// (the file, or a scan cut short by the next marker): libjpeg would fill the
// missing rows with grey and call it a picture, and a few hundred bytes could
// declare millions of pixels that way.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level == -1 && (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER)) OnError(cinfo);
}

void OnProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->is_decompressor && d->input_scan_number > kxMaxJpegScans) {
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    std::snprintf(err->text, sizeof err->text, "the picture has more than %d scans", kxMaxJpegScans);
    longjmp(err->jump, 1);
  }
}

// What the decoder hands back; lives in the caller's frame so that nothing
// with a destructor sits between setjmp and longjmp.
struct TJpegResult {
  std::vector<uint8_t>* pixels = nullptr;  // BGR rows, width * 3 bytes each
  int width = 0, height = 0;
  std::string error;
};

// Plain C-style frame: the only automatic objects are PODs.
bool Decode(const uint8_t* data, size_t size, TJpegResult& out) {
  jpeg_decompress_struct cinfo;
  TJpegError err;
  jpeg_progress_mgr progress;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnError;
  err.mgr.emit_message = OnMessage;
  err.text[0] = 0;
  if (setjmp(err.jump)) {
    out.error = err.text;
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  progress.progress_monitor = OnProgress;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  if (!PictureSizeOk(cinfo.image_width, cinfo.image_height)) {
    std::snprintf(err.text, sizeof err.text, "the picture is too large (%u x %u pixels)", cinfo.image_width,
                  cinfo.image_height);
    longjmp(err.jump, 1);
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  out.width = static_cast<int>(cinfo.output_width);
  out.height = static_cast<int>(cinfo.output_height);
  const size_t comps = static_cast<size_t>(cinfo.output_components);
  const size_t row = static_cast<size_t>(out.width) * 3;
  out.pixels->assign(row * static_cast<size_t>(out.height), 0);
  std::vector<uint8_t>& px = *out.pixels;
  // CMYK rows need a scratch row; the vector outlives the jump (caller frame).
  uint8_t* scratch = nullptr;
  if (cmyk) {
    px.resize(px.size() + static_cast<size_t>(out.width) * comps);
    scratch = px.data() + row * static_cast<size_t>(out.height);
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    uint8_t* dst = px.data() + row * cinfo.output_scanline;
    JSAMPROW rp = cmyk ? scratch : dst;
    if (jpeg_read_scanlines(&cinfo, &rp, 1) != 1) break;
    if (cmyk) {
      // Adobe writes CMYK inverted; that is what every CMYK JPEG in the wild is.
      for (int x = 0; x < out.width; ++x) {
        const uint8_t* s = scratch + 4 * x;
        unsigned k = s[3];
        dst[3 * x] = static_cast<uint8_t>(s[2] * k / 255);
        dst[3 * x + 1] = static_cast<uint8_t>(s[1] * k / 255);
        dst[3 * x + 2] = static_cast<uint8_t>(s[0] * k / 255);
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

bool LooksLikeJpeg(const uint8_t* data, size_t size) {
  return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

std::unique_ptr<tk::TBitmap> ReadJpeg(const uint8_t* data, size_t size) {
  if (!data || size < 3) throw tk::EInvalidGraphic(L"JPEG image is not valid: the file is too short");
  std::vector<uint8_t> pixels;
  TJpegResult res;
  res.pixels = &pixels;
  if (!Decode(data, size, res)) throw tk::EInvalidGraphic(L"JPEG image is not valid: " + tk::FromUtf8(res.error));
  auto bmp = std::make_unique<tk::TBitmap>(res.width, res.height, tk::TPixelFormat::pf24bit);
  const size_t row = static_cast<size_t>(res.width) * 3;
  for (int y = 0; y < res.height; ++y) std::memcpy(bmp->ScanLine(y), pixels.data() + row * y, row);
  return bmp;
}

std::unique_ptr<TkxJpegImage> TkxJpegImage::Clone() const {
  std::unique_ptr<tk::TBitmap> copy;
  if (FBitmap) {
    copy = std::make_unique<tk::TBitmap>();
    copy->Assign(FBitmap.get());
  }
  return std::make_unique<TkxJpegImage>(std::move(copy));
}

}  // namespace kx
