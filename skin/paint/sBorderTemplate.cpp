#include "skin/paint/sBorderTemplate.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace kx {

using tk::TPixelView;
using tk::TRect;

namespace {

bool Is32(const TPixelView& v) { return v.Valid() && v.format == tk::TPixelFormat::pf32bit; }

TRect CutTo(const TRect& R, int W, int H) {
  TRect r{std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, W), std::min(R.Bottom, H)};
  return r.IsEmpty() ? TRect{} : r;
}

// The pixels of a rectangle, kept while nine slices are stretched over it.
class TKeptRect {
 public:
  TKeptRect(const TPixelView& V, const TRect& R) : FView(V), FRect(CutTo(R, V.width, V.height)) {
    if (FRect.IsEmpty()) return;
    FBytes.resize(size_t(FRect.Width()) * 4 * size_t(FRect.Height()));
    for (int y = FRect.Top; y < FRect.Bottom; ++y)
      std::memcpy(RowCopy(y), FView.Row(y) + size_t(FRect.Left) * 4, size_t(FRect.Width()) * 4);
  }
  ~TKeptRect() {
    for (int y = FRect.Top; y < FRect.Bottom; ++y)
      std::memcpy(FView.Row(y) + size_t(FRect.Left) * 4, RowCopy(y), size_t(FRect.Width()) * 4);
  }
  TKeptRect(const TKeptRect&) = delete;
  TKeptRect& operator=(const TKeptRect&) = delete;

 private:
  uint8_t* RowCopy(int y) { return FBytes.data() + size_t(y - FRect.Top) * size_t(FRect.Width()) * 4; }
  TPixelView FView;
  TRect FRect;
  std::vector<uint8_t> FBytes;
};

// The part of Inside that slices with margins M over an image W x H reach
// (all of it when the centre is drawn too), kept while they are drawn:
// keeping only that band spares copying the whole content twice.
class TKeptBands {
 public:
  TKeptBands(const TPixelView& V, const TRect& Inside, const TkxWidths& M, bool Centre) {
    if (Centre) {
      FBands[0].emplace(V, Inside);
      return;
    }
    const int w = V.width, h = V.height;
    auto cut = [&](TRect r) {
      r = TRect{std::max(r.Left, Inside.Left), std::max(r.Top, Inside.Top), std::min(r.Right, Inside.Right),
                std::min(r.Bottom, Inside.Bottom)};
      return r.IsEmpty() ? TRect{} : r;
    };
    FBands[0].emplace(V, cut(TRect{0, 0, w, M.Top}));
    FBands[1].emplace(V, cut(TRect{0, h - M.Bottom, w, h}));
    FBands[2].emplace(V, cut(TRect{0, M.Top, M.Left, h - M.Bottom}));
    FBands[3].emplace(V, cut(TRect{w - M.Right, M.Top, w, h - M.Bottom}));
  }

 private:
  std::optional<TKeptRect> FBands[4];
};

const int kStretchAll[4] = {nsStretch, nsStretch, nsStretch, nsStretch};

}  // namespace

void MakeOpaque(tk::TBitmap* Image, TRect R) {
  if (!Image) return;
  const TPixelView v = Image->View();
  if (!Is32(v)) return;
  R = CutTo(R, v.width, v.height);
  // Whole pixels rather than every fourth byte, so that the loop vectorises
  // (B, G, R, A in memory: alpha is the top byte of the little-endian word).
  for (int y = R.Top; y < R.Bottom; ++y) {
    uint8_t* p = v.Row(y) + size_t(R.Left) * 4;
    for (int x = R.Left; x < R.Right; ++x, p += 4) {
      uint32_t px;
      std::memcpy(&px, p, 4);
      px |= 0xFF000000u;
      std::memcpy(p, &px, 4);
    }
  }
}

void ApplyFrameTemplate(tk::TBitmap* Image, tk::TBitmap* Template, TkxWidths Margins, int TitleHeight,
                        const TRect& Shadow, int FrameWidth) {
  if (!Image || !Template || !Is32(Template->View())) return;
  const TPixelView v = Image->View();
  if (!Is32(v)) return;
  const int w = v.width, h = v.height;
  // A small image shares its height between the title-side and the bottom
  // slices; an image lower than its title leaves no bottom slice at all
  // (a negative margin would reach outside the template).
  const int rest = (h - TitleHeight) / 2;
  TkxWidths m = Margins;
  m.Top = std::max(0, std::min(m.Top, rest + TitleHeight));
  m.Bottom = std::max(0, std::min(m.Bottom, rest));
  m.Left = std::max(0, m.Left);
  m.Right = std::max(0, m.Right);

  const TRect inside{Shadow.Left + FrameWidth, Shadow.Top + TitleHeight, w - Shadow.Right - FrameWidth,
                     h - Shadow.Bottom - FrameWidth};
  // The template's centre only shows where the slices' middle reaches past
  // the inside of the frame; stretching it under the content is wasted work.
  const TRect centre{m.Left, m.Top, w - m.Right, h - m.Bottom};
  const bool fillCentre = !centre.IsEmpty() && (centre.Left < inside.Left || centre.Top < inside.Top ||
                                                centre.Right > inside.Right || centre.Bottom > inside.Bottom);
  // The template's corners are often larger than the frame; the content
  // under them stays as the provider painted it.
  const TKeptBands keep(v, inside, m, fillCentre);
  CopyNineSlices(Image, Template, TRect{0, 0, w, h}, TRect{0, 0, Template->Width(), Template->Height()}, m, m,
                 kStretchAll, fillCentre, nsStretch);
}

void ApplyShadowTemplate(tk::TBitmap* Image, tk::TBitmap* Template, const TRect& Shadow, int ContentOffs) {
  if (!Image || !Template || !Is32(Template->View())) return;
  const TPixelView v = Image->View();
  if (!Is32(v)) return;
  const TkxWidths m{std::max(0, Shadow.Left + ContentOffs), std::max(0, Shadow.Top + ContentOffs),
                    std::max(0, Shadow.Right + ContentOffs), std::max(0, Shadow.Bottom + ContentOffs)};
  const TKeptBands keep(v, TRect{Shadow.Left, Shadow.Top, v.width - Shadow.Right, v.height - Shadow.Bottom}, m, false);
  CopyNineSlices(Image, Template, TRect{0, 0, v.width, v.height}, TRect{0, 0, Template->Width(), Template->Height()}, m,
                 m, kStretchAll, false, nsStretch);
}

// A pixel equal to the copy already has the copy's alpha, so taking the
// copy's alpha everywhere in R is the same as taking it where they differ.
void KeepAlphaOf(tk::TBitmap* Image, tk::TBitmap* Copy, TRect R) {
  if (!Image || !Copy) return;
  const TPixelView d = Image->View(), s = Copy->View();
  if (!Is32(d) || !Is32(s)) return;
  R = CutTo(R, std::min(d.width, s.width), std::min(d.height, s.height));
  for (int y = R.Top; y < R.Bottom; ++y) {
    uint8_t* p = d.Row(y) + size_t(R.Left) * 4 + 3;
    const uint8_t* q = s.Row(y) + size_t(R.Left) * 4 + 3;
    for (int x = R.Left; x < R.Right; ++x, p += 4, q += 4) *p = *q;
  }
}

}  // namespace kx
