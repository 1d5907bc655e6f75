#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "skin/paint/BlendRow.h"
#include "skin/paint/sAlphaGraph.h"
#include "tests/paint/PaintTest.h"

using namespace painttest;
using kx::BlendBitmapRect;
using kx::BlendBitmapsEqual;
using kx::BlendByte;
using tk::TPoint;
using tk::TRect;

TEST(BlendByte, FadeDividesBy256SoNeitherOpacityEndIsExact) {
  EXPECT_EQ(BlendByte(200, 0, 255), 199) << "A = 255 does not keep the destination exactly";
  EXPECT_EQ(BlendByte(0, 200, 0), 199) << "A = 0 does not give the source exactly";
  EXPECT_EQ(BlendByte(255, 255, 128), 254);
  EXPECT_EQ(BlendByte(0, 0, 77), 0);
  EXPECT_EQ(BlendByte(1, 0, 255), 1) << "(255 + 127) >> 8";
}

TEST(BlendRow, VectorLoopsAreExactForEveryOpacityByteCombinationAndLength) {
  // Every (d, s) pair through each vector loop the processor has, for a
  // spread of opacities; then every opacity over random lengths for the
  // tails (the wide loop hands its remainder to the narrower ones).
  using TLoop = void (*)(uint8_t*, const uint8_t*, size_t, uint8_t);
  std::vector<std::pair<const char*, TLoop>> loops{{"sse2", kx::BlendRowSse2}, {"fast", kx::BlendRowFast}};
  if (kx::CpuHasAvx2()) loops.emplace_back("avx2", kx::BlendRowAvx2);
  std::vector<uint8_t> d(65536), s(65536);
  for (int i = 0; i < 65536; ++i) {
    d[i] = static_cast<uint8_t>(i >> 8);
    s[i] = static_cast<uint8_t>(i);
  }
  for (const auto& [name, loop] : loops) {
    for (int A : {0, 1, 2, 127, 128, 129, 200, 254, 255}) {
      std::vector<uint8_t> fast = d;
      loop(fast.data(), s.data(), fast.size(), static_cast<uint8_t>(A));
      for (int i = 0; i < 65536; ++i)
        ASSERT_EQ(fast[i], (d[i] * A + s[i] * (255 - A) + 127) >> 8)
            << name << " A " << A << " d " << int(d[i]) << " s " << int(s[i]);
    }
    std::mt19937 rng(7);
    for (int A = 0; A < 256; ++A) {
      std::vector<uint8_t> ref(rng() % 300), src(ref.size());
      for (size_t i = 0; i < ref.size(); ++i)
        ref[i] = static_cast<uint8_t>(rng()), src[i] = static_cast<uint8_t>(rng());
      std::vector<uint8_t> fast = ref;
      kx::BlendRowScalar(ref.data(), src.data(), ref.size(), static_cast<uint8_t>(A));
      loop(fast.data(), src.data(), fast.size(), static_cast<uint8_t>(A));
      ASSERT_EQ(fast, ref) << name << " A " << A << ", n " << ref.size();
    }
  }
}

namespace {

// What BlendBitmapRect must do, worked out geometrically: source pixel
// (sx, sy) of r lands on (sx - r.Left + at.X, sy - r.Top + at.Y); only pixels
// inside r, the source and the destination take part.
void ReferenceBlendRect(TBitmap& dst, TBitmap& src, uint8_t A, TPoint at, TRect r) {
  if (dst.PixelFormat() != src.PixelFormat()) return;
  if (dst.Width() < 2 || dst.Height() < 2 || src.Width() < 2 || src.Height() < 2) return;
  const int bpp = dst.PixelFormat() == pf32 ? 4 : 3;
  for (int sy = std::max(r.Top, 0); sy < std::min(r.Bottom, src.Height()); ++sy)
    for (int sx = std::max(r.Left, 0); sx < std::min(r.Right, src.Width()); ++sx) {
      const int dx = sx - r.Left + at.X, dy = sy - r.Top + at.Y;
      if (dx < 0 || dy < 0 || dx >= dst.Width() || dy >= dst.Height()) continue;
      for (int c = 0; c < bpp; ++c) At(dst, dx, dy)[c] = BlendByte(At(dst, dx, dy)[c], At(src, sx, sy)[c], A);
    }
}

}  // namespace

TEST(BlendBitmapRect, ClipsAgainstBothBitmapsLikeTheGeometricReference) {
  std::mt19937 rng(11);
  auto rnd = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
  for (int i = 0; i < 600; ++i) {
    const TPixelFormat f = i % 2 ? pf32 : pf24;
    auto dst = Noise(rnd(1, 23), rnd(1, 19), f, rng());
    auto src = Noise(rnd(1, 21), rnd(1, 17), f, rng());
    const TPoint at{rnd(-25, 25), rnd(-25, 25)};
    const int l = rnd(-25, 25), t = rnd(-25, 25);
    const TRect r{l, t, l + rnd(-2, 30), t + rnd(-2, 30)};
    const uint8_t A = static_cast<uint8_t>(rng());
    auto want = Copy(*dst);
    ReferenceBlendRect(*want, *src, A, at, r);
    BlendBitmapRect(dst.get(), src.get(), A, at, r);
    ASSERT_TRUE(SameBytes(*dst, *want)) << "case " << i << " at (" << at.X << ", " << at.Y << ") r (" << r.Left << ", "
                                        << r.Top << ", " << r.Right << ", " << r.Bottom << ") dst " << dst->Width()
                                        << "x" << dst->Height() << " src " << src->Width() << "x" << src->Height();
  }
}

TEST(BlendBitmapRect, NegativePointBlendsOnlyTheVisiblePartFromTheMatchingSourcePart) {
  auto dst = Solid(4, 4, pf24, 0);
  auto src = Noise(4, 4, pf24, 3);
  BlendBitmapRect(dst.get(), src.get(), 0, TPoint{-1, -2}, TRect{0, 0, 4, 4});
  // Destination (0, 0) shows source (1, 2); columns 3 and rows 2.. stay black.
  EXPECT_EQ(At(*dst, 0, 0)[0], BlendByte(0, At(*src, 1, 2)[0], 0));
  EXPECT_EQ(At(*dst, 2, 1)[2], BlendByte(0, At(*src, 3, 3)[2], 0));
  EXPECT_EQ(Color(*dst, 3, 0), 0);
  EXPECT_EQ(Color(*dst, 0, 2), 0);
}

TEST(BlendBitmapRect, MixedFormatsAndTinyBitmapsAreLeftAlone) {
  auto d24 = Noise(8, 8, pf24, 1);
  auto s32 = Noise(8, 8, pf32, 2);
  auto before = Copy(*d24);
  BlendBitmapRect(d24.get(), s32.get(), 100, TPoint{0, 0}, TRect{0, 0, 8, 8});
  EXPECT_TRUE(SameBytes(*d24, *before)) << "24-bit destination, 32-bit source";

  for (auto [w, h] : {std::pair{1, 8}, std::pair{8, 1}}) {
    auto thin = Noise(w, h, pf24, 3);
    auto keep = Copy(*thin);
    auto src = Noise(8, 8, pf24, 4);
    BlendBitmapRect(thin.get(), src.get(), 100, TPoint{0, 0}, TRect{0, 0, 8, 8});
    EXPECT_TRUE(SameBytes(*thin, *keep)) << w << "x" << h << " destination";
    BlendBitmapRect(src.get(), thin.get(), 100, TPoint{0, 0}, TRect{0, 0, 8, 8});
  }
}

TEST(BlendBitmapsEqual, BlendsEveryByteOfSameSizedBitmapsAndIgnoresOthers) {
  for (TPixelFormat f : {pf24, pf32}) {
    auto dst = Noise(13, 5, f, 5);
    auto src = Noise(13, 5, f, 6);
    auto want = Copy(*dst);
    const int bpp = f == pf32 ? 4 : 3;
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13 * bpp; ++x)
        want->View().Row(y)[x] = BlendByte(want->View().Row(y)[x], src->View().Row(y)[x], 90);
    BlendBitmapsEqual(dst.get(), src.get(), 90);
    EXPECT_TRUE(SameBytes(*dst, *want)) << (f == pf32 ? "32" : "24") << "-bit";
  }
  auto dst = Noise(13, 5, pf24, 5);
  auto other = Noise(13, 6, pf24, 6);
  auto keep = Copy(*dst);
  BlendBitmapsEqual(dst.get(), other.get(), 90);
  EXPECT_TRUE(SameBytes(*dst, *keep)) << "different heights";
}

namespace {

// Blends the source's top-left part into dst from (x1, y1) to its far corner.
template <class Sum>
void BlendCorner(const tk::TPixelView& dst, const tk::TPixelView& src, uint8_t A, int x1, int y1) {
  Sum fs;
  ASSERT_TRUE(fs.AttachViews(src, dst));
  fs.Alpha = A;
  fs.DstX1 = x1, fs.DstY1 = y1, fs.DstX2 = dst.width, fs.DstY2 = dst.height;
  fs.SrcX1 = 0, fs.SrcY1 = 0, fs.SrcX2 = dst.width - x1, fs.SrcY2 = dst.height - y1;
  fs.BlendBitmapsRect();
}

// The same picture stored bottom-up: row 0 last in memory, negative stride.
tk::TPixelView BottomUp(TBitmap& b, std::vector<uint8_t>& store) {
  const tk::TPixelView v = b.View();
  store.resize(static_cast<size_t>(v.stride) * v.height);
  for (int y = 0; y < v.height; ++y) std::memcpy(&store[(v.height - 1 - y) * v.stride], v.Row(y), v.stride);
  return tk::TPixelView{&store[(v.height - 1) * v.stride], -v.stride, v.width, v.height, v.format};
}

}  // namespace

TEST(TkxFastSum, BlendsThroughNegativeStridesAsThroughPositiveOnes) {
  std::mt19937 rng(21);
  for (int i = 0; i < 80; ++i) {
    const TPixelFormat f = i % 2 ? pf32 : pf24;
    const int w = 2 + int(rng() % 37), h = 2 + int(rng() % 9), x1 = int(rng() % w), y1 = int(rng() % h);
    const uint8_t A = static_cast<uint8_t>(rng());
    auto d = Noise(w, h, f, rng()), s = Noise(w, h, f, rng());
    std::vector<uint8_t> du, su;
    const tk::TPixelView up = BottomUp(*d, du), sup = BottomUp(*s, su);
    if (f == pf24) {
      BlendCorner<kx::TkxFastSum24>(d->View(), s->View(), A, x1, y1);
      BlendCorner<kx::TkxFastSum24>(up, sup, A, x1, y1);
    } else {
      BlendCorner<kx::TkxFastSum32>(d->View(), s->View(), A, x1, y1);
      BlendCorner<kx::TkxFastSum32>(up, sup, A, x1, y1);
    }
    for (int y = 0; y < h; ++y)
      ASSERT_EQ(0, std::memcmp(d->View().Row(y), up.Row(y), size_t(w) * d->View().Bpp())) << "row " << y;
  }
}

TEST(BlendBitmapRect, BlendingABitmapIntoItselfReadsEveryByteBeforeItIsWritten) {
  // The walk runs from the last row and byte backwards, so a source lying up
  // and left of the destination is read unchanged.
  for (TPixelFormat f : {pf24, pf32}) {
    auto b = Noise(9, 7, f, 31);
    auto original = Copy(*b);
    auto want = Copy(*b);
    BlendBitmapRect(want.get(), original.get(), 60, TPoint{2, 1}, TRect{0, 0, 9, 7});
    BlendBitmapRect(b.get(), b.get(), 60, TPoint{2, 1}, TRect{0, 0, 9, 7});
    EXPECT_TRUE(SameBytes(*b, *want)) << (f == pf32 ? "32" : "24") << "-bit";
  }
}

TEST(RoundHalfEven, AgreesWithTheToolkitRoundingOnHalvesNeighboursAndNoise) {
  for (int k = -70000; k <= 70000; ++k) {
    for (double v : {double(k), k + 0.5, k - 0.5, k + 0.49999999999999994, k + 0.5000000000000001,
                     double(static_cast<float>(k + 0.5f)), double(static_cast<float>(k * 0.37f))})
      ASSERT_EQ(kx::RoundHalfEven(v), tk::Round(v)) << v;
  }
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> d(-1e9, 1e9);
  for (int i = 0; i < 200000; ++i) {
    const double v = d(rng);
    ASSERT_EQ(kx::RoundHalfEven(v), tk::Round(v)) << v;
  }
}

TEST(FillRowPixels, WritesExactlyTheRunForEveryLengthAndPhase) {
  const uint8_t px[4] = {0x11, 0x22, 0x33, 0x44};
  for (int bpp : {3, 4}) {
    for (int count = 0; count <= 70; ++count) {
      std::vector<uint8_t> row(8 + 70 * 4 + 8, 0xEE);
      kx::FillRowPixels(row.data() + 8, count, bpp, px);
      for (size_t i = 0; i < row.size(); ++i) {
        const bool in = i >= 8 && i < 8 + size_t(count) * bpp;
        ASSERT_EQ(row[i], in ? px[(i - 8) % bpp] : 0xEE) << "bpp " << bpp << ", count " << count << ", byte " << i;
      }
    }
  }
}
