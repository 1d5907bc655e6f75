// Our png decoder on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "skin/data/kxPngReader.h"
#include "toolkit/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    auto b = kx::ReadPng(data, size);
    // Touch every row so that a wrong size shows up under the sanitizer.
    volatile uint8_t sum = 0;
    for (int y = 0; y < b->Height(); ++y) sum = static_cast<uint8_t>(sum + b->ScanLine(y)[0]);
  } catch (const tk::Exception&) {}
  return 0;
}
