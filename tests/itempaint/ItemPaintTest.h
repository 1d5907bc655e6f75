// A skin made in code for the item-painting tests: sections and masks are
// added one by one, mask frames are painted into a master bitmap or into
// pictures of their own, so each case states exactly the pixels it needs.
#pragma once

#include <memory>

#include "skin/data/sSkinData.h"
#include "skin/paint/sAlphaGraph.h"
#include "tests/paint/PaintTest.h"

namespace itemtest {

using tk::TRect;

struct TTestSkin {
  kx::TkxSkinContent c;

  explicit TTestSkin(int masterW = 64, int masterH = 64) {
    c.MasterBitmap = painttest::Solid(masterW, masterH, painttest::pf24, 0x000000);
  }

  int Section(const wchar_t* name, tk::TColor color = 0x808080) {
    kx::TsGeneralData g;
    g.ClassName = name;
    g.Color = g.HotColor = color;
    g.BorderIndex = -1;
    c.gd.push_back(g);
    return static_cast<int>(c.gd.size()) - 1;
  }
  kx::TsGeneralData& G(int si) { return c.gd[si]; }

  // A mask over r of the master bitmap (or of pic, which it then owns).
  int Mask(TRect r, int images, int maskType, int drawMode, std::unique_ptr<tk::TBitmap> pic = nullptr,
           const wchar_t* section = L"", const wchar_t* property = L"") {
    kx::TsMaskData m;
    m.R = r;
    m.ImageCount = static_cast<int16_t>(images);
    m.MaskType = static_cast<int16_t>(maskType);
    m.DrawMode = static_cast<int16_t>(drawMode);
    m.Bmp = std::move(pic);
    m.Manager = &c;
    m.ClassName = section;
    m.PropertyName = property;
    c.ma.push_back(std::move(m));
    return static_cast<int>(c.ma.size()) - 1;
  }
  kx::TsMaskData& M(int i) { return c.ma[i]; }
  void Margins(int i, int l, int t, int r, int b) {
    M(i).WL = static_cast<int16_t>(l), M(i).WT = static_cast<int16_t>(t);
    M(i).WR = static_cast<int16_t>(r), M(i).WB = static_cast<int16_t>(b);
  }

  void Fill(TRect r, tk::TColor color) { kx::FillBitmapRect(c.MasterBitmap.get(), r, color); }
  void Dot(int x, int y, tk::TColor color) { Fill(TRect{x, y, x + 1, y + 1}, color); }
};

inline kx::TCacheInfo Unknown() { return kx::TCacheInfo{nullptr, 0, 0, kxKeyColor, false}; }
inline kx::TCacheInfo Colour(tk::TColor c) { return kx::TCacheInfo{nullptr, 0, 0, c, false}; }
inline kx::TCacheInfo Picture(tk::TBitmap* b, int x = 0, int y = 0) {
  return kx::TCacheInfo{b, x, y, kxKeyColor, true};
}

}  // namespace itemtest
