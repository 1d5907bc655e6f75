#include "skin/controls/kxStdWndPaint.h"

#include <windows.h>

#include <cstdlib>
#include <memory>

#include "skin/framework/kxColors.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/sAlphaGraph.h"
#include "toolkit/Handles.h"

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

std::unique_ptr<tk::TBitmap> CopyOfBitmap(HBITMAP Source) {
  BITMAP info{};
  if (!Source || !::GetObjectW(Source, sizeof(info), &info)) return nullptr;
  auto bmp = std::make_unique<tk::TBitmap>(info.bmWidth, std::abs(info.bmHeight), tk::TPixelFormat::pf24bit);
  if (bmp->Empty()) return nullptr;
  HDC dc = bmp->Canvas()->Handle();
  tk::TOwnedDC src(::CreateCompatibleDC(dc));
  tk::TSelectObject sel(src.Get(), Source);
  ::BitBlt(dc, 0, 0, bmp->Width(), bmp->Height(), src.Get(), 0, 0, SRCCOPY);
  return bmp;
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
    BlendFromBitmap(Cache, 0, 0, NoKeyColor, 0.4, tk::TRect{x, y, x + Cache->Width() - 1, y + Cache->Height() - 1},
                    Ci.Bmp);
    return;
  }
  // Fading toward the "unknown" magenta would paint the window pink.
  const tk::TColor c = Ci.FillColor == kxKeyColor ? Fallback : Ci.FillColor;
  TintTowardsColor(Cache, c, kxKeyColor, 0.4);
}

}  // namespace kx
