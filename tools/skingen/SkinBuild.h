// Builds the internal skin "Pearlmist (internal)" from the design of
// Design.h: the options text, the ten pictures (in the order the packed skin
// keeps them) and the two built-in window shadow pictures. Pure and
// deterministic: the same design gives the same pixels.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace skingen {

struct TSkinFiles {
  std::string Options;  // Options.dat, plain ASCII with CR LF line ends
  // Entry name and file bytes, in pack order (Options.dat itself not included).
  std::vector<std::pair<std::string, std::vector<uint8_t>>> Pictures;
  std::vector<uint8_t> ShadowActive;    // kxSHDA.png, 32 x 32
  std::vector<uint8_t> ShadowInactive;  // kxSHDI.png, 31 x 31
};

TSkinFiles BuildPearlmist();

// Writes Root/Pearlmist (Options.dat, the pictures and the pack order file)
// and Root/Shadows (kxSHDA.png, kxSHDI.png); raises on a write failure.
void WriteSkinFiles(const TSkinFiles& Files, const std::string& Root);

}  // namespace skingen
