#include "tools/kxskin/kxSkinRender.h"

#include <algorithm>
#include <cwctype>

#include "skin/paint/StretchHalftone.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sSkinItemPaint.h"

namespace kxtool {

using tk::String;
using tk::TBitmap;
using tk::TRect;

namespace {

// Rows of five bits, the top row first and bit 4 the leftmost pixel.
struct TGlyph {
  wchar_t Ch;
  uint8_t Rows[7];
};
constexpr TGlyph kFont[] = {
    {L'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {L'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {L'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {L'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {L'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {L'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {L'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {L'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {L'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {L'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {L'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {L'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {L'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {L'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {L'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {L'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {L'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {L'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {L'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {L'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {L'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {L'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {L'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {L'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {L'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {L'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {L'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {L'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {L'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {L'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {L'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {L'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {L'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {L'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {L'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {L'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {L'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}}, {L'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {L'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {L' ', {0, 0, 0, 0, 0, 0, 0}},
};
constexpr TGlyph kBox = {L'?', {0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F}};

const TGlyph& GlyphOf(wchar_t c) {
  c = static_cast<wchar_t>(std::towupper(c));
  for (const TGlyph& g : kFont)
    if (g.Ch == c) return g;
  return kBox;
}

// The sizes every section is shown at: a small glyph-like item, a page
// button, a wide bar.
struct TSheetSize {
  int W, H;
};
constexpr TSheetSize kSizes[] = {{22, 22}, {50, 50}, {96, 28}};
constexpr int kStates = 3;
constexpr int kGap = 6, kLabelWidth = 112, kHeader = 16;
constexpr int kRowHeight = 50 + kGap;

int GroupWidth() {
  int w = 0;
  for (const TSheetSize& s : kSizes) w += s.W + kGap;
  return w;
}

void Checkerboard(TBitmap* bmp, TRect r) {
  constexpr int cell = 6;
  for (int y = r.Top; y < r.Bottom; y += cell)
    for (int x = r.Left; x < r.Right; x += cell) {
      const bool dark = ((x - r.Left) / cell + (y - r.Top) / cell) % 2;
      kx::FillBitmapRect(bmp, TRect{x, y, std::min(x + cell, r.Right), std::min(y + cell, r.Bottom)},
                         dark ? 0xCCCCCC : 0xFFFFFF);
    }
}

}  // namespace

int DrawLabel(TBitmap* bmp, int x, int y, const String& text, tk::TColor color) {
  const int x0 = x;
  for (wchar_t c : text) {
    const TGlyph& g = GlyphOf(c);
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col)
        if (g.Rows[row] & (0x10 >> col))
          kx::FillBitmapRect(bmp, TRect{x + col, y + row, x + col + 1, y + row + 1}, color);
    x += 6;
  }
  return x - x0;
}

std::unique_ptr<TBitmap> RenderSection(const kx::TkxSkinContent& skin, const String& section, int w, int h, int state,
                                       const TRenderParent& parent) {
  const int si = skin.GetSkinIndex(section);
  if (!skin.IsValidSkinIndex(si) || w <= 0 || h <= 0) return nullptr;
  kx::TCacheInfo ci{nullptr, 0, 0, kxKeyColor, false};
  std::unique_ptr<TBitmap> behind;
  if (parent.Kind == TRenderParent::rpColor) {
    ci.FillColor = parent.Color;
  } else if (parent.Kind == TRenderParent::rpSection) {
    behind = RenderSection(skin, parent.Section, w, h, 0, TRenderParent{});
    if (!behind) return nullptr;
    ci = kx::MakeCacheInfo(behind.get());
  }
  auto bmp = kx::NewBitmap24(w, h);
  // What the parent shows is where the item starts, as in a cache rebuild.
  if (behind) kx::CopyPixels(bmp->View(), 0, 0, behind->View(), TRect{0, 0, w, h});
  kx::PaintSectionLook(si, section, ci, -1, -1, &skin, bmp.get(), tk::TPoint{0, 0}, TRect{0, 0, w, h}, state, true);
  return bmp;
}

std::unique_ptr<TBitmap> RenderSheet(const kx::TkxSkinContent& skin) {
  const int rows = static_cast<int>(skin.gd.size());
  const int width = kGap + kLabelWidth + kStates * GroupWidth();
  const int height = kHeader + std::max(1, rows) * kRowHeight;
  auto sheet = kx::NewBitmap24(width, height);
  kx::FillBitmapRect(sheet.get(), TRect{0, 0, width, height}, 0xFFFFFF);
  constexpr tk::TColor ink = 0x404040;
  for (int s = 0; s < kStates; ++s)
    DrawLabel(sheet.get(), kGap + kLabelWidth + s * GroupWidth(), 4, L"STATE " + tk::IntToStr(s), ink);
  for (int i = 0; i < rows; ++i) {
    const kx::TsGeneralData& g = skin.gd[i];
    const int top = kHeader + i * kRowHeight;
    DrawLabel(sheet.get(), kGap, top + 2, g.ClassName.substr(0, kLabelWidth / 6 - 1), ink);
    int x = kGap + kLabelWidth;
    for (int s = 0; s < kStates; ++s)
      for (const TSheetSize& z : kSizes) {
        const TRect r{x, top, x + z.W, top + z.H};
        Checkerboard(sheet.get(), r);
        // The sheet is its own parent (so no offset): see-through places
        // show the board.
        kx::PaintSectionLook(i, g.ClassName, kx::MakeCacheInfo(sheet.get()), -1, -1, &skin, sheet.get(),
                             tk::TPoint{0, 0}, r, s, true);
        x += z.W + kGap;
      }
  }
  return sheet;
}

}  // namespace kxtool
