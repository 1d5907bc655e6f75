// The packed skin reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "skin/data/kxSkinPack.h"
#include "toolkit/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tk::TMemoryStream stream(data, size);
  kx::TkxSkinConvertor c;
  c.LendPackedData(&stream);
  try {
    c.Unpack();
    for (const kx::TkxImageItem& f : c.Files) c.FindImage(tk::UpperCaseAscii(f.FileName));
  } catch (const tk::Exception&) {
  }
  c.ReturnPackedData();
  return 0;
}
