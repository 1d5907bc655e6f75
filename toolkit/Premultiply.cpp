#include "toolkit/Premultiply.h"

namespace tk {

void PremultiplyRow(uint8_t* bgra, int width) {
  for (int x = 0; x < width; ++x, bgra += 4) {
    const unsigned a = bgra[3];
    if (a == 255) continue;
    // t = c*a + 128; (t + (t >> 8)) >> 8 is (c*a + 127) / 255 for every
    // byte pair, without the division.
    for (int i = 0; i < 3; ++i) {
      const unsigned t = bgra[i] * a + 128;
      bgra[i] = static_cast<uint8_t>((t + (t >> 8)) >> 8);
    }
  }
}

}  // namespace tk
