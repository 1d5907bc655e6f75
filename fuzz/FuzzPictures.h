// The small valid pictures that the options-text fuzz targets offer under the
// names their notations use, as the image entries of a packed skin.
#pragma once

#include <memory>
#include <vector>

#include "skin/data/kxImageWrite.h"
#include "skin/data/kxSkinPack.h"
#include "toolkit/Bitmap.h"

namespace fuzzpics {

inline kx::TkxSkinConvertor& Pictures() {
  static std::unique_ptr<kx::TkxSkinConvertor> c = [] {
    auto owned = std::make_unique<kx::TkxSkinConvertor>();
    kx::TkxSkinConvertor& conv = *owned;
    auto add = [&](const wchar_t* name, std::vector<uint8_t> bytes) {
      kx::TkxImageItem item;
      item.FileName = name;
      item.FileStream = std::make_unique<tk::TMemoryStream>(bytes.data(), bytes.size());
      conv.Files.push_back(std::move(item));
    };
    tk::TBitmap b24(24, 16, tk::TPixelFormat::pf24bit), b32(9, 6, tk::TPixelFormat::pf32bit);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 72; ++x) b24.ScanLine(y)[x] = static_cast<uint8_t>(x * 7 + y * 3);
    // Some key-coloured pixels, so that see-through corners are walked.
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 9; ++x) {
        uint8_t* p = b32.ScanLine(y) + 4 * x;
        const bool key = (x + y) % 3 == 0;
        p[0] = key ? 0xFF : uint8_t(x * 20), p[1] = key ? 0 : uint8_t(y * 30), p[2] = key ? 0xFF : 0x40;
        p[3] = uint8_t(x * 28);
      }
    add(L"Master.bmp", kx::WriteBmp(b24));
    add(L"A.png", kx::WritePng(b32));
    add(L"B.bmp", kx::WriteBmp(b32));
    add(L"C.jpg", kx::WriteJpeg(b24));
    conv.ImageCount = static_cast<int>(conv.Files.size());
    return owned;
  }();
  return *c;
}

}  // namespace fuzzpics
