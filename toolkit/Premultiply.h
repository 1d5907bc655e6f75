// Straight to premultiplied alpha for 32-bit B,G,R,A rows. Our bitmaps hold
// straight alpha everywhere; GDI's AlphaBlend and layered windows take
// premultiplied pixels, and every conversion goes through this one helper so
// they round alike. Pure: builds natively.
#pragma once

#include <cstdint>

namespace tk {

// Each colour byte c of a pixel with alpha a becomes round(c * a / 255),
// halves up (c * a / 255 never lies exactly halfway, so this is the nearest
// value); alpha stays. In place, width pixels.
void PremultiplyRow(uint8_t* bgra, int width);

}  // namespace tk
