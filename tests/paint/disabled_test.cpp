#include <gtest/gtest.h>

#include "skin/data/sSkinData.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sSkinItemPaint.h"
#include "tests/paint/PaintTest.h"

using namespace painttest;
using kx::TCacheInfo;
using tk::TPoint;
using tk::TRect;

namespace {

const kx::TkxColorQuery NoOwner;

}  // namespace

TEST(MakeDisabledLook, FadesIntoTheParentPictureUnderTheControl) {
  // The parent is grey 100 except at (3, 3), where the image's top-left
  // lands: cache offset (2, 1) plus the control's offset (1, 2).
  auto parent = Solid(10, 10, pf24, tk::RGBColor(100, 100, 100));
  Put(*parent, 3, 3, 0);
  auto img = Solid(3, 3, pf24, tk::RGBColor(200, 200, 200));
  TCacheInfo ci{parent.get(), 2, 1, 0xFF00FF, true};
  kx::MakeDisabledLook(img.get(), kx::dkBlended, NoOwner, TPoint{1, 2}, ci);
  EXPECT_EQ(Color(*img, 0, 0), tk::RGBColor(80, 80, 80)) << "40% image over black";
  EXPECT_EQ(Color(*img, 2, 2), tk::RGBColor(140, 140, 140)) << "40% of 200 and 60% of 100";
}

TEST(MakeDisabledLook, WithoutAParentPictureBlendsHalfWithTheParentsColour) {
  auto img = Solid(2, 2, pf24, tk::RGBColor(200, 0, 100));
  kx::MakeDisabledLook(img.get(), kx::dkBlended, NoOwner, TPoint{}, TCacheInfo{nullptr, 0, 0, 0x000000, false});
  EXPECT_EQ(Color(*img, 1, 1), tk::RGBColor(100, 0, 50));
}

TEST(MakeDisabledLook, AnUnknownParentColourAsksTheOwnerInsteadOfBlendingWithMagenta) {
  auto img = Solid(2, 2, pf24, tk::RGBColor(200, 0, 100));
  int asked = 0;
  const kx::TkxColorQuery owner = [&] {
    ++asked;
    return tk::RGBColor(0, 200, 0);
  };
  kx::MakeDisabledLook(img.get(), kx::dkBlended, owner, TPoint{}, TCacheInfo{nullptr, 0, 0, 0xFF00FF, false});
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Color(*img, 0, 0), tk::RGBColor(100, 100, 50));
}

TEST(MakeDisabledLook, GreyComesFirstAndNoFlagsLeaveTheImage) {
  auto img = Solid(2, 2, pf24, tk::RGBColor(30, 60, 90));
  kx::MakeDisabledLook(img.get(), kx::dkGrayed, NoOwner, TPoint{}, TCacheInfo{nullptr, 0, 0, 0x0000FF, false});
  EXPECT_EQ(Color(*img, 0, 0), tk::RGBColor(60, 60, 60)) << "grey only, no blend";
  kx::MakeDisabledLook(img.get(), kx::dkGrayed | kx::dkBlended, NoOwner, TPoint{},
                       TCacheInfo{nullptr, 0, 0, 0x000000, false});
  EXPECT_EQ(Color(*img, 1, 1), tk::RGBColor(30, 30, 30));
  kx::MakeDisabledLook(img.get(), 0, NoOwner, TPoint{}, TCacheInfo{nullptr, 0, 0, 0x000000, false});
  EXPECT_EQ(Color(*img, 1, 1), tk::RGBColor(30, 30, 30));
}

namespace {

// Destination: grey with magenta (any alpha) on its diagonal.
std::unique_ptr<TBitmap> KeyedDestination() {
  auto d = Solid(6, 6, pf32, tk::RGBColor(50, 50, 50), 255);
  for (int i = 0; i < 6; ++i) {
    Put(*d, i, i, 0xFF00FF);
    At(*d, i, i)[3] = static_cast<uint8_t>(i * 40);
  }
  return d;
}

}  // namespace

TEST(RestoreKeyedPixels, WithoutAMaskReplacesTheDestinationsKeyPixels) {
  auto dst = KeyedDestination();
  auto before = Copy(*dst);
  auto src = Noise(8, 8, pf32, 4);
  kx::RestoreKeyedPixels(dst.get(), src.get(), TRect{1, 1, 4, 5}, kx::ckTopLeft, nullptr, -1, TPoint{3, 2});
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool restored = x == y && x >= 1 && x < 4;
      const uint8_t* want = restored ? At(*src, 3 + x - 1, 2 + y - 1) : At(*before, x, y);
      EXPECT_EQ(0, std::memcmp(At(*dst, x, y), want, 4)) << x << "," << y;
    }
}

TEST(RestoreKeyedPixels, CutsTheCopyToWhatBothBitmapsHold) {
  auto dst = Solid(4, 4, pf32, 0xFF00FF, 0);
  auto src = Solid(3, 3, pf32, 0x00FF00, 255);
  kx::RestoreKeyedPixels(dst.get(), src.get(), TRect{-2, 1, 9, 9}, kx::ckTopLeft, nullptr, -1, TPoint{0, 0});
  // Destination x maps to source x + 2; source row 0 to destination row 1.
  EXPECT_EQ(Color(*dst, 0, 1), 0x00FF00);
  EXPECT_EQ(Color(*dst, 0, 3), 0x00FF00);
  EXPECT_EQ(Color(*dst, 1, 1), 0xFF00FF) << "source column 3 does not exist";
  EXPECT_EQ(Color(*dst, 0, 0), 0xFF00FF) << "above the rectangle";
}

TEST(RestoreKeyedPixels, WithAMaskTestsTheMaskCornerNamedByTheKind) {
  // A mask of two frames over two state rows: frame 10 x 10, corners 3 wide.
  kx::TkxSkinContent skin;
  skin.MasterBitmap = std::make_unique<TBitmap>(40, 20, pf24);
  skin.ma.emplace_back();
  kx::TsMaskData& m = skin.ma.back();
  m.R = TRect{10, 0, 30, 20};
  m.ImageCount = 2;
  m.MaskType = 1;
  m.WR = 3;
  m.WB = 3;
  // Bottom-right corner of the first frame starts at (17, 7).
  Put(*skin.MasterBitmap, 17, 7, 0xFF00FF);
  Put(*skin.MasterBitmap, 19, 9, 0xFF00FF);

  auto src = Solid(10, 10, pf32, 0x00FF00, 255);
  auto dst = Solid(10, 10, pf32, 0xFF00FF, 0);
  kx::RestoreKeyedPixels(dst.get(), src.get(), TRect{5, 5, 8, 8}, kx::ckBottomRight, &skin, 0, TPoint{0, 0});
  EXPECT_EQ(Color(*dst, 5, 5), 0x00FF00);
  EXPECT_EQ(Color(*dst, 7, 7), 0x00FF00);
  EXPECT_EQ(Color(*dst, 6, 6), 0xFF00FF) << "the mask decides, not the destination";

  // The top-right corner of the same mask: (10 + 10 - 3, 0).
  Put(*skin.MasterBitmap, 18, 0, 0xFF00FF);
  auto dst2 = Solid(10, 10, pf32, 0x0000FF, 0);
  kx::RestoreKeyedPixels(dst2.get(), src.get(), TRect{0, 0, 3, 3}, kx::ckTopRight, &skin, 0, TPoint{0, 0});
  EXPECT_EQ(Color(*dst2, 1, 0), 0x00FF00);
  EXPECT_EQ(Color(*dst2, 0, 0), 0x0000FF);

  // A mask with a picture of its own tests that picture.
  skin.ma.emplace_back();
  kx::TsMaskData& own = skin.ma.back();
  own.Bmp = Solid(4, 4, pf24, 0);
  own.R = TRect{0, 0, 4, 4};
  own.ImageCount = 1;
  Put(*own.Bmp, 0, 0, 0xFF00FF);
  auto dst3 = Solid(4, 4, pf32, 0, 0);
  kx::RestoreKeyedPixels(dst3.get(), src.get(), TRect{2, 2, 4, 4}, kx::ckTopLeft, &skin, 1, TPoint{0, 0});
  EXPECT_EQ(Color(*dst3, 2, 2), 0x00FF00);
  EXPECT_EQ(Color(*dst3, 3, 3), 0);

  auto keep = Copy(*dst3);
  kx::RestoreKeyedPixels(dst3.get(), src.get(), TRect{0, 0, 4, 4}, kx::ckTopLeft, &skin, 7, TPoint{0, 0});
  kx::RestoreKeyedPixels(dst3.get(), src.get(), TRect{0, 0, 4, 4}, kx::ckTopLeft, nullptr, 0, TPoint{0, 0});
  EXPECT_TRUE(SameBytes(*dst3, *keep)) << "an index the skin does not have";
}
