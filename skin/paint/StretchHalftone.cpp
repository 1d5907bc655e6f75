#include "skin/paint/StretchHalftone.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kx {

using tk::TPixelFormat;
using tk::TPixelView;
using tk::TRect;

namespace {

// Pixels as a little-endian word in memory order: B | G << 8 | R << 16 | A << 24.
uint32_t ReadPx(const uint8_t* p, TPixelFormat f) {
  switch (f) {
    case TPixelFormat::pf8bit: return p[0] | (p[0] << 8) | (p[0] << 16);
    case TPixelFormat::pf24bit: return p[0] | (p[1] << 8) | (p[2] << 16);
    default: {
      uint32_t w;
      std::memcpy(&w, p, 4);
      return w;
    }
  }
}

void WritePx(uint8_t* p, TPixelFormat f, uint32_t w) {
  switch (f) {
    case TPixelFormat::pf8bit:
      p[0] = static_cast<uint8_t>((((w >> 16) & 255) * 77 + ((w >> 8) & 255) * 150 + (w & 255) * 29) >> 8);
      break;
    case TPixelFormat::pf24bit:
      p[0] = static_cast<uint8_t>(w);
      p[1] = static_cast<uint8_t>(w >> 8);
      p[2] = static_cast<uint8_t>(w >> 16);
      break;
    default: std::memcpy(p, &w, 4); break;
  }
}

bool Usable(const TPixelView& v) { return v.Valid() && v.Bpp() != 0; }

}  // namespace

void CopyPixels(const TPixelView& dst, int dx, int dy, const TPixelView& src, TRect r) {
  if (!Usable(dst) || !Usable(src)) return;
  if (r.Left < 0) {
    dx -= r.Left;
    r.Left = 0;
  }
  if (r.Top < 0) {
    dy -= r.Top;
    r.Top = 0;
  }
  r.Right = std::min(r.Right, src.width);
  r.Bottom = std::min(r.Bottom, src.height);
  if (dx < 0) {
    r.Left -= dx;
    dx = 0;
  }
  if (dy < 0) {
    r.Top -= dy;
    dy = 0;
  }
  r.Right = std::min(r.Right, r.Left + dst.width - dx);
  r.Bottom = std::min(r.Bottom, r.Top + dst.height - dy);
  if (r.IsEmpty()) return;
  const int sb = src.Bpp(), db = dst.Bpp(), w = r.Width();
  for (int y = r.Top; y < r.Bottom; ++y) {
    const uint8_t* s = src.Row(y) + static_cast<intptr_t>(r.Left) * sb;
    uint8_t* d = dst.Row(dy + y - r.Top) + static_cast<intptr_t>(dx) * db;
    if (src.format == dst.format) {
      std::memmove(d, s, static_cast<size_t>(w) * sb);
    } else {
      for (int x = 0; x < w; ++x) {
        uint32_t px = ReadPx(s + x * sb, src.format);
        if (src.format != TPixelFormat::pf32bit) px &= 0x00FFFFFF;
        WritePx(d + x * db, dst.format, px);
      }
    }
  }
}

namespace {

// The source taps of one destination index along one axis.
struct TAxisMap {
  std::vector<int> first, count;  // per destination index, into src
  std::vector<uint32_t> weight;   // halftone only: count weights each
  std::vector<int> wstart;
};

int64_t FloorDiv(int64_t a, int64_t b) { return a / b; }  // a, b >= 0 here
int64_t CeilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

// The last source index of destination index i's share as the system's
// stretch deals them out: enlarging, the pixel under i's centre, a centre on
// a boundary taking the pixel before it; shrinking, shares rounded half up.
// (Worked out from the system's results; the two directions do not follow
// one formula.)
int NearestSource(int i, int dlen, int slen) {
  if (slen == dlen) return i;
  // A shrink to a single pixel leaves the last source pixel out.
  if (dlen == 1) return slen - 2;
  const int64_t d2 = 2 * static_cast<int64_t>(dlen);
  if (slen < dlen) return static_cast<int>(CeilDiv((2 * static_cast<int64_t>(i) + 1) * slen, d2)) - 1;
  return static_cast<int>(FloorDiv((static_cast<int64_t>(i) + 1) * 2 * slen + dlen, d2)) - 1;
}

// firstOfShare: a shrinking nearest-pixel stretch keeps the first pixel of
// each share (the system does so along y) instead of the last (along x).
TAxisMap MapAxis(int dlen, int slen, int mode, bool firstOfShare) {
  TAxisMap m;
  m.first.resize(dlen);
  m.count.resize(dlen);
  if (mode == stmHalftone) m.wstart.resize(dlen);
  for (int i = 0; i < dlen; ++i) {
    if (mode == stmHalftone) {
      // Destination pixel i covers [i*slen, (i+1)*slen) in units of 1/dlen
      // source pixel; source pixel j covers [j*dlen, (j+1)*dlen).
      const int64_t a = static_cast<int64_t>(i) * slen, b = a + slen;
      const int j0 = static_cast<int>(FloorDiv(a, dlen)), j1 = static_cast<int>(CeilDiv(b, dlen));
      m.first[i] = j0;
      m.count[i] = j1 - j0;
      m.wstart[i] = static_cast<int>(m.weight.size());
      for (int j = j0; j < j1; ++j) {
        const int64_t lo = std::max<int64_t>(a, static_cast<int64_t>(j) * dlen);
        const int64_t hi = std::min<int64_t>(b, static_cast<int64_t>(j + 1) * dlen);
        m.weight.push_back(static_cast<uint32_t>(hi - lo));
      }
    } else {
      // Shrinking in black-on-white mode ANDs the whole share together;
      // otherwise one pixel of it is kept.
      const int last = NearestSource(i, dlen, slen);
      const int first = slen > dlen ? (i > 0 ? NearestSource(i - 1, dlen, slen) + 1 : 0) : last;
      if (mode == stmBlackOnWhite) {
        m.first[i] = first;
        m.count[i] = last - first + 1;
      } else {
        m.first[i] = firstOfShare ? first : last;
        m.count[i] = 1;
      }
    }
  }
  return m;
}

void StretchSameFormat(const TPixelView& dst, TRect dr, const TPixelView& src, TRect sr, int mode) {
  const int dw = dr.Width(), dh = dr.Height(), sw = sr.Width(), sh = sr.Height();
  const int bpp = dst.Bpp();
  // Visible destination range, relative to dr.
  const int i0 = std::max(0, -dr.Left), i1 = std::min(dw, dst.width - dr.Left);
  const int k0 = std::max(0, -dr.Top), k1 = std::min(dh, dst.height - dr.Top);
  if (i0 >= i1 || k0 >= k1) return;
  const TAxisMap mx = MapAxis(dw, sw, mode, false), my = MapAxis(dh, sh, mode, true);
  auto sxOf = [&](int j) { return std::clamp(sr.Left + j, 0, src.width - 1); };
  auto syOf = [&](int j) { return std::clamp(sr.Top + j, 0, src.height - 1); };

  if (mode == stmHalftone) {
    const uint64_t total = static_cast<uint64_t>(sw) * sh;
    std::vector<uint64_t> acc(static_cast<size_t>(sw) * bpp);
    for (int k = k0; k < k1; ++k) {
      std::fill(acc.begin(), acc.end(), 0);
      for (int t = 0; t < my.count[k]; ++t) {
        const uint64_t w = my.weight[my.wstart[k] + t];
        const uint8_t* row = src.Row(syOf(my.first[k] + t));
        for (int j = 0; j < sw; ++j) {
          const uint8_t* p = row + static_cast<intptr_t>(sxOf(j)) * bpp;
          for (int c = 0; c < bpp; ++c) acc[j * bpp + c] += w * p[c];
        }
      }
      uint8_t* out = dst.Row(dr.Top + k) + static_cast<intptr_t>(dr.Left) * bpp;
      for (int i = i0; i < i1; ++i) {
        for (int c = 0; c < bpp; ++c) {
          uint64_t sum = 0;
          for (int t = 0; t < mx.count[i]; ++t) sum += mx.weight[mx.wstart[i] + t] * acc[(mx.first[i] + t) * bpp + c];
          out[i * bpp + c] = static_cast<uint8_t>((sum + total / 2) / total);
        }
      }
    }
    return;
  }

  const auto one = [](const std::vector<int>& c) {
    return std::all_of(c.begin(), c.end(), [](int n) { return n == 1; });
  };
  if (one(mx.count) && one(my.count)) {
    // One source pixel per destination pixel (no shrinking share to AND):
    // a copy of those bytes, and a row whose source row repeats the one
    // above it is that row again (a frame's side stretched along its length).
    const uint8_t* lastSrc = nullptr;
    const uint8_t* lastOut = nullptr;
    const size_t span = static_cast<size_t>(i1 - i0) * bpp;
    for (int k = k0; k < k1; ++k) {
      const uint8_t* row = src.Row(syOf(my.first[k]));
      uint8_t* out = dst.Row(dr.Top + k) + static_cast<intptr_t>(dr.Left) * bpp;
      if (row == lastSrc) {
        std::memcpy(out + static_cast<intptr_t>(i0) * bpp, lastOut + static_cast<intptr_t>(i0) * bpp, span);
      } else if (bpp == 4) {
        // A copy of a constant size is inlined; a call per pixel is not
        // (where the library's copy is a call into another module, as under
        // Wine, it is most of the time).
        for (int i = i0; i < i1; ++i) std::memcpy(out + intptr_t(i) * 4, row + intptr_t(sxOf(mx.first[i])) * 4, 4);
      } else if (bpp == 3) {
        for (int i = i0; i < i1; ++i) std::memcpy(out + intptr_t(i) * 3, row + intptr_t(sxOf(mx.first[i])) * 3, 3);
      } else {
        for (int i = i0; i < i1; ++i)
          std::memcpy(out + intptr_t(i) * bpp, row + intptr_t(sxOf(mx.first[i])) * bpp, size_t(bpp));
      }
      lastSrc = row;
      lastOut = out;
    }
    return;
  }

  for (int k = k0; k < k1; ++k) {
    uint8_t* out = dst.Row(dr.Top + k) + static_cast<intptr_t>(dr.Left) * bpp;
    for (int i = i0; i < i1; ++i) {
      uint32_t px = 0xFFFFFFFFu;
      for (int ty = 0; ty < my.count[k]; ++ty) {
        const uint8_t* row = src.Row(syOf(my.first[k] + ty));
        for (int tx = 0; tx < mx.count[i]; ++tx)
          px &= ReadPx(row + static_cast<intptr_t>(sxOf(mx.first[i] + tx)) * bpp, src.format);
      }
      WritePx(out + i * bpp, dst.format, px);
    }
  }
}

}  // namespace

void StretchPixels(const TPixelView& dst, TRect dr, const TPixelView& src, TRect sr, int mode) {
  if (!Usable(dst) || !Usable(src) || dr.IsEmpty() || sr.IsEmpty()) return;
  if (mode != stmBlackOnWhite && mode != stmHalftone) mode = stmColorOnColor;
  if (dst.format == src.format) {
    StretchSameFormat(dst, dr, src, sr, mode);
    return;
  }
  // Stretch in the source's format, then convert with a block copy.
  const int bpp = src.Bpp();
  const intptr_t stride = (static_cast<intptr_t>(dr.Width()) * bpp + 3) & ~intptr_t{3};
  std::vector<uint8_t> buf(static_cast<size_t>(stride) * dr.Height());
  TPixelView tmp{buf.data(), stride, dr.Width(), dr.Height(), src.format};
  StretchSameFormat(tmp, TRect{0, 0, dr.Width(), dr.Height()}, src, sr, mode);
  CopyPixels(dst, dr.Left, dr.Top, tmp, TRect{0, 0, dr.Width(), dr.Height()});
}

}  // namespace kx
