#include "skin/controls/kxStdWndPaint.h"

#include <windows.h>

#include <memory>

#include "skin/framework/kxColors.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/sAlphaGraph.h"

namespace kx {

tk::TBitmap* SizedCache(TsCommonData& Data, tk::TSize Size) {
  if (!Data.FCacheBmp) Data.FCacheBmp = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf24bit);
  tk::TBitmap* bmp = Data.FCacheBmp.get();
  if (bmp->PixelFormat() != tk::TPixelFormat::pf24bit) bmp->SetPixelFormat(tk::TPixelFormat::pf24bit);
  if (bmp->Width() != Size.cx || bmp->Height() != Size.cy) bmp->SetSize(Size.cx, Size.cy);
  return bmp;
}

void TakeWindowFont(tk::TCanvas* Canvas, HWND Wnd) {
  auto font = reinterpret_cast<HFONT>(::SendMessageW(Wnd, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  Canvas->Font()->SetHandle(font);
}

void CopyWholeCache(TsCommonData& Data, HDC DC, tk::TSize Size) {
  tk::TBitmap* cache = Data.FCacheBmp.get();
  if (!DC || !cache || cache->Empty()) return;
  tk::detail::FlushPixelStore();
  ::BitBlt(DC, 0, 0, Size.cx, Size.cy, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void FadeDisabled(tk::TBitmap* Cache, const TCacheInfo& Ci, tk::TPoint Pos, tk::TColor Fallback) {
  if (!Cache || Cache->Empty()) return;
  if (Ci.Ready && Ci.Bmp) {
    const int x = Pos.X + Ci.X, y = Pos.Y + Ci.Y;
    BlendFromBitmap(Cache, 0, 0, NoKeyColor, 0.4,
                    tk::TRect{x, y, x + Cache->Width() - 1, y + Cache->Height() - 1}, Ci.Bmp);
    return;
  }
  // Fading toward the "unknown" magenta would paint the window pink.
  const tk::TColor c = Ci.FillColor == kxKeyColor ? Fallback : Ci.FillColor;
  TintTowardsColor(Cache, c, kxKeyColor, 0.4);
}

}  // namespace kx
