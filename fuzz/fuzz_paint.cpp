// A skin loaded and then painted: every section through the item painter in
// states 0 to 2 at sizes from 0 x 0 up (smaller than the borders among them),
// over each kind of parent, and every mask drawn on its own. Loading alone
// never divides a picture into frames; painting does.
//
// An input that starts with the packed magic is a packed skin; any other is
// an options text whose pictures are the small valid ones of FuzzPictures.h,
// so that mutations reach the notations and the painters quickly.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>

#include "fuzz/FuzzPictures.h"
#include "skin/data/sSkinLoad.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

namespace {

struct TSize {
  int W, H;
};
const TSize kSizes[] = {{0, 0}, {1, 1}, {2, 3}, {5, 4}, {9, 7}, {37, 23}};
// Painting is the point; a skin of thousands of sections adds nothing.
constexpr size_t kMaxSections = 80;
constexpr size_t kMaxMasks = 160;

tk::TBitmap& ParentPicture() {
  static const std::unique_ptr<tk::TBitmap> b = [] {
    auto p = std::make_unique<tk::TBitmap>(48, 32, tk::TPixelFormat::pf24bit);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 48 * 3; ++x) p->ScanLine(y)[x] = static_cast<uint8_t>(x * 5 + y * 11);
    return p;
  }();
  return *b;
}

tk::TBitmap& EmptyPicture() {
  static tk::TBitmap b(0, 0, tk::TPixelFormat::pf24bit);
  return b;
}

// Unknown, a colour, a picture (offset so that some pieces fall outside it),
// and "ready" with an empty picture.
kx::TCacheInfo Parent(int kind) {
  switch (kind % 4) {
    case 0: return kx::TCacheInfo{nullptr, 0, 0, kxKeyColor, false};
    case 1: return kx::TCacheInfo{nullptr, 0, 0, 0x336699, false};
    case 2: return kx::TCacheInfo{&ParentPicture(), 20, -3, kxKeyColor, true};
    default: return kx::TCacheInfo{&EmptyPicture(), 0, 0, kxKeyColor, true};
  }
}

void PaintAll(const kx::TkxSkinContent& skin) {
  const size_t sections = std::min(skin.gd.size(), kMaxSections);
  for (size_t i = 0; i < sections; ++i) {
    const int si = static_cast<int>(i);
    const kx::TsGeneralData& g = skin.gd[i];
    const int texture = skin.GetTextureIndex(si, g.ClassName, L"PATTERN");
    const int hotTexture = skin.GetTextureIndex(si, g.ClassName, L"HOTPATTERN");
    for (int state = 0; state <= 2; ++state) {
      int n = 0;
      for (const TSize& sz : kSizes) {
        const auto format = (n % 2) ? tk::TPixelFormat::pf32bit : tk::TPixelFormat::pf24bit;
        tk::TBitmap bmp(sz.W, sz.H, format);
        const tk::TRect r{0, 0, sz.W, sz.H};
        const kx::TCacheInfo ci = Parent(si + state + n);
        kx::PaintSectionLook(si, g.ClassName, ci, -1, -1, &skin, &bmp, tk::TPoint{3, 2}, r, state, true);
        const kx::TkxControlSkin control{si,      g.ClassName, hotTexture,
                                         texture, &skin,       n == 3 ? tk::TColor(0x102030) : kxKeyColor};
        kx::PaintControlLook(control, ci, state != 1, state == 2, &bmp, tk::TPoint{-4, 1}, r, state);
        ++n;
      }
    }
    // The section by name over a bitmap that holds its own background.
    tk::TBitmap own(6, 5, tk::TPixelFormat::pf24bit);
    kx::PaintSectionByName(&own, g.ClassName, L"PANEL", (i % 2) != 0, 0x808080, &skin, static_cast<int>(i % 3));
  }
  const size_t masks = std::min(skin.ma.size(), kMaxMasks);
  for (size_t i = 0; i < masks; ++i) {
    const kx::TsMaskData& m = skin.ma[i];
    tk::TBitmap bmp(17, 11, tk::TPixelFormat::pf24bit);
    const kx::TCacheInfo self = kx::MakeCacheInfo(&bmp);
    for (int state = 0; state <= 2; ++state) {
      kx::DrawMaskImage(&bmp, tk::TPoint{-2, -1}, state, self, m, 1);
      kx::DrawMaskImage(&bmp, tk::TPoint{3, 2}, state, Parent(state), m, 0);
      kx::DrawBorderFromMask(&bmp, tk::TRect{1, 1, 16, 10}, true, true, state, m, Parent(state + 2));
    }
    for (int mode : {0, 1, 2, 3, 4, 5, 6, 7, 10}) {
      tk::TRect r{2, 1, 15, 10};
      kx::FillWithTexture(&bmp, r, nullptr, mode, m);
    }
    kx::FillWithMaskedTexture(&bmp, tk::TRect{0, 0, 17, 11}, Parent(2), 10, m);
    kx::FillWithMaskedTexture(&bmp, tk::TRect{1, 2, 9, 9}, Parent(1), 0, m);
    kx::TAOR corners;
    kx::AddTransparentCornerRects(corners, 40, m, false, 0);
    kx::AddTransparentCornerRects(corners, 3, m, true, 7);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kx::TkxLoadSettings s;
  // Enough for the internal skin's pictures; a few megapixels more only slow
  // the run down.
  s.MaxPicturePixels = 4 << 20;
  std::unique_ptr<kx::TkxSkinContent> skin;
  try {
    tk::TMemoryStream in(data, size);
    if (size >= 4 && std::memcmp(data, "KXzf", 4) == 0) {
      skin = kx::TkxSkinLoad(s).FromPacked(&in);
    } else {
      auto ini = kx::ReadOptions(&in);
      skin = kx::TkxSkinLoad(s).FromOptions(*ini, &fuzzpics::Pictures());
    }
  } catch (const tk::Exception&) { return 0; }
  skin->InitConstantIndexes();
  PaintAll(*skin);
  return 0;
}
