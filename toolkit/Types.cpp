#include "toolkit/Types.h"

#include <algorithm>
#include <cmath>

namespace tk {

namespace {

// The classic Windows scheme; natively it stands in for GetSysColor.
TColor ClassicSysColor(int index) {
  static const TColor table[] = {0xC8D0D4, 0x000000, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
                                 0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
                                 0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
                                 0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xFF0000, 0xC8D0D4};
  if (index < 0 || index >= static_cast<int>(std::size(table))) return 0;
  return table[index];
}

TSysColorFunc gSysColor = ClassicSysColor;

}  // namespace

void SetSysColorFunc(TSysColorFunc f) { gSysColor = f ? f : ClassicSysColor; }

TColor ColorToRGB(TColor c) {
  if (c < 0) return gSysColor(c & 0xFF);
  return c;
}

bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
  dst =
      TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (dst.IsEmpty()) {
    dst = TRect{};
    return false;
  }
  return true;
}

bool UnionRect(TRect& dst, const TRect& a, const TRect& b) {
  if (a.IsEmpty()) dst = b;
  else if (b.IsEmpty()) dst = a;
  else
    dst = TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                std::max(a.Bottom, b.Bottom)};
  return !dst.IsEmpty();
}

int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t p = static_cast<int64_t>(a) * b;
  // Rounds half away from zero, as the system function does.
  int64_t half = (c < 0 ? -static_cast<int64_t>(c) : c) / 2;
  bool neg = (p < 0) != (c < 0);
  int64_t ap = p < 0 ? -p : p, ac = c < 0 ? -static_cast<int64_t>(c) : c;
  int64_t q = (ap + half) / ac;
  return static_cast<int>(neg ? -q : q);
}

}  // namespace tk
