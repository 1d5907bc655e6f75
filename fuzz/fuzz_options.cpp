// The options reader with the whole section build and every value notation:
// the input is the options text; the pictures it may name are small valid
// ones, so that the notations reach the decoders and the colour adjustment.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/FuzzPictures.h"
#include "skin/data/sSkinLoad.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

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
    auto content = kx::TkxSkinLoad(s).FromOptions(*ini, &fuzzpics::Pictures());
    for (size_t i = 0; i < content->gd.size(); ++i) {
      int si = static_cast<int>(i);
      int m = content->GetMaskIndex(si, content->gd[i].ClassName, L"BORDERSMASK");
      content->MaskSize(m);
      content->MaskWidthLeft(m);
      content->MaskWidthBottom(m);
      content->GetPatternIndex(si, content->gd[i].ClassName, L"PATTERN");
    }
  } catch (const tk::Exception&) {}
  return 0;
}
