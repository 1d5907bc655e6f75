// The packed skin reader on arbitrary bytes, and the whole load of what it
// unpacked: options, notations and the pictures found by their entry names.
#include <cstddef>
#include <cstdint>

#include "skin/data/kxSkinPack.h"
#include "skin/data/sSkinLoad.h"
#include "toolkit/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tk::TMemoryStream stream(data, size);
  kx::TkxSkinConvertor c;
  c.LendPackedData(&stream);
  try {
    c.Unpack();
    for (const kx::TkxImageItem& f : c.Files) c.FindImage(tk::UpperCaseAscii(f.FileName));
  } catch (const tk::Exception&) {}
  c.ReturnPackedData();
  try {
    kx::TkxSkinLoad().FromPacked(&stream);
  } catch (const tk::Exception&) {}
  return 0;
}
