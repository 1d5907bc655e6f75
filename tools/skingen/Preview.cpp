#include "tools/skingen/Preview.h"

#include <algorithm>

#include "skin/paint/sAlphaGraph.h"

namespace skingen {

namespace {

constexpr int kSheetWidth = 1024;
constexpr int kMargin = 12;   // around the sheet and between pictures
constexpr int kFrameGap = 4;  // between the frames of one picture
constexpr int kChecker = 6;
constexpr uint8_t kCheckLight = 250, kCheckDark = 214;

int Magnification(int w, int h) {
  const int m = std::max(w, h);
  return m <= 16 ? 4 : m <= 40 ? 2 : 1;
}

uint8_t CheckerAt(int x, int y) { return ((x / kChecker + y / kChecker) & 1) ? kCheckDark : kCheckLight; }

// One frame of a mask as B, G, R rows over the checkerboard, unmagnified.
struct TTile {
  int W = 0, H = 0;
  std::vector<uint8_t> Px;
};

TTile FrameTile(const kx::TsMaskData& m, const tk::TBitmap& src, int frame) {
  const int frames = std::max<int>(1, m.ImageCount);
  TTile t;
  t.W = m.R.Width() / frames;
  t.H = m.R.Height() / (std::max<int>(0, m.MaskType) + 1);
  t.Px.resize(size_t(t.W) * t.H * 3);
  const int bpp = src.PixelFormat() == tk::TPixelFormat::pf32bit ? 4 : 3;
  for (int y = 0; y < t.H; ++y)
    for (int x = 0; x < t.W; ++x) {
      const int sx = m.R.Left + frame * t.W + x, sy = m.R.Top + y;
      if (sx >= src.Width() || sy + (m.MaskType ? t.H : 0) >= src.Height()) continue;
      const uint8_t* p = src.ScanLine(sy) + sx * bpp;
      uint8_t* o = &t.Px[(size_t(y) * t.W + x) * 3];
      const int bg = CheckerAt(x, y);
      const bool key = p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF;
      for (int c = 0; c < 3; ++c) {
        int v;
        if (bpp == 4) v = std::min(255, p[c] + bg * (255 - p[3]) / 255);
        else if (key) v = bg;
        else if (m.MaskType == 1) {
          const int mk = src.ScanLine(sy + t.H)[sx * 3 + c];
          v = (p[c] * (256 - mk) + bg * mk) >> 8;
        } else v = p[c];
        o[c] = uint8_t(v);
      }
    }
  return t;
}

TTile WholeTile(const tk::TBitmap& b) {
  kx::TsMaskData m;
  m.R = tk::Rect(0, 0, b.Width(), b.Height());
  m.ImageCount = 1;
  return FrameTile(m, b, 0);
}

// Lays tiles out in rows; a group's frames stay together.
class TSheet {
 public:
  void Group(std::vector<TTile> tiles) {
    if (tiles.empty() || tiles[0].W <= 0 || tiles[0].H <= 0) return;
    const int mag = Magnification(tiles[0].W, tiles[0].H);
    int w = 0;
    for (const TTile& t : tiles) w += t.W * mag + kFrameGap;
    w -= kFrameGap;
    if (FX + w > kSheetWidth - kMargin && FX > kMargin) FX = kMargin, FY += FRowH + kMargin, FRowH = 0;
    int x = FX;
    for (TTile& t : tiles) {
      FPlaced.push_back({std::move(t), x, FY, mag});
      x += FPlaced.back().T.W * mag + kFrameGap;
    }
    FX += w + kMargin;
    FRowH = std::max(FRowH, tiles[0].H * mag);
  }

  std::unique_ptr<tk::TBitmap> Render() const {
    auto bmp = std::make_unique<tk::TBitmap>(kSheetWidth, FY + FRowH + kMargin, tk::TPixelFormat::pf24bit);
    kx::FillBitmapRect(bmp.get(), tk::Rect(0, 0, bmp->Width(), bmp->Height()), 0x8C8680);
    for (const TPlaced& p : FPlaced)
      for (int y = 0; y < p.T.H * p.Mag; ++y) {
        uint8_t* row = bmp->ScanLine(p.Y + y) + p.X * 3;
        for (int x = 0; x < p.T.W * p.Mag; ++x) {
          const uint8_t* s = &p.T.Px[(size_t(y / p.Mag) * p.T.W + x / p.Mag) * 3];
          std::copy(s, s + 3, row + x * 3);
        }
      }
    return bmp;
  }

 private:
  struct TPlaced {
    TTile T;
    int X, Y, Mag;
  };
  std::vector<TPlaced> FPlaced;
  int FX = kMargin, FY = kMargin, FRowH = 0;
};

}  // namespace

std::unique_ptr<tk::TBitmap> ContactSheet(const kx::TkxSkinContent& Skin,
                                          const std::vector<const tk::TBitmap*>& Extras) {
  TSheet sheet;
  for (const kx::TsMaskData& m : Skin.ma) {
    const tk::TBitmap* src = m.Bmp ? m.Bmp.get() : Skin.MasterBitmap.get();
    if (!src) continue;
    std::vector<TTile> tiles;
    for (int f = 0; f < std::max<int>(1, m.ImageCount); ++f) tiles.push_back(FrameTile(m, *src, f));
    sheet.Group(std::move(tiles));
  }
  for (const tk::TBitmap* b : Extras)
    if (b) sheet.Group({WholeTile(*b)});
  return sheet.Render();
}

}  // namespace skingen
