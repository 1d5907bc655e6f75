// The options reader with the whole section build and every value notation:
// the input is the options text; the pictures it may name are small valid
// ones, so that the notations reach the decoders and the colour adjustment.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "skin/data/kxImageWrite.h"
#include "skin/data/kxSkinPack.h"
#include "skin/data/sSkinData.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

namespace {

kx::TkxSkinConvertor& Pictures() {
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
    add(L"Master.bmp", kx::WriteBmp(b24));
    add(L"A.png", kx::WritePng(b32));
    add(L"B.bmp", kx::WriteBmp(b32));
    add(L"C.jpg", kx::WriteJpeg(b24));
    conv.ImageCount = static_cast<int>(conv.Files.size());
    return owned;
  }();
  return *c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kx::TkxLoadSettings s;
  if (size > 0) {
    s.HueOffset = data[0] % 4 == 1 ? 77 : 0;
    s.Saturation = data[0] % 4 == 2 ? 40 : 0;
    if (data[0] % 4 == 3)
      s.CommonSections = kx::PrepareCommonSections({L"[MYPANEL]", L"PARENTCLASS=PANEL", L"M=#(0,0,4,4) 1"});
  }
  try {
    tk::TMemoryStream text(data, size);
    auto ini = kx::ReadOptions(&text);
    auto content = kx::TkxSkinContent::Load(*ini, &Pictures(), s);
    for (size_t i = 0; i < content->gd.size(); ++i) {
      int si = static_cast<int>(i);
      int m = content->GetMaskIndex(si, content->gd[i].ClassName, L"BORDERSMASK");
      content->MaskSize(m);
      content->MaskWidthLeft(m);
      content->MaskWidthBottom(m);
      content->GetPatternIndex(si, content->gd[i].ClassName, L"PATTERN");
    }
  } catch (const tk::Exception&) {
  }
  return 0;
}
