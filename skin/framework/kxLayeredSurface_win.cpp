#include "skin/framework/kxLayeredSurface.h"

#include <windows.h>

#include <cstring>
#include <optional>

#include "skin/framework/kxSystemCaps.h"
#include "toolkit/Handles.h"
#include "toolkit/Premultiply.h"

namespace kx {

using TUpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

// A top-down 32-bit DIB section selected into a memory DC for as long as
// it lives. Members go in reverse: the bitmap is deselected, then deleted,
// then the DC.
struct TkxLayeredSurface::TPushed {
  tk::TOwnedDC DC;
  tk::TBitmapHandle DIB;
  std::optional<tk::TSelectObject> Selected;
  uint8_t* Bits = nullptr;
  int Width, Height;

  TPushed(int W, int H) : Width(W), Height(H) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = W;
    bi.bmiHeader.biHeight = -H;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    DC.Reset(::CreateCompatibleDC(nullptr));
    DIB.Reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!DC || !DIB) return;
    Bits = static_cast<uint8_t*>(bits);
    Selected.emplace(DC.Get(), DIB.Get());
  }
  bool Valid() const { return Bits != nullptr; }
};

TkxLayeredSurface::TkxLayeredSurface(HWND Wnd)
    : FWnd(Wnd),
      FImage(std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf32bit)),
      FUpdateFn(SystemCaps().UpdateLayeredWindow) {}

TkxLayeredSurface::~TkxLayeredSurface() = default;

void TkxLayeredSurface::SetSize(int W, int H) {
  W = W > 0 ? W : 0;
  H = H > 0 ? H : 0;
  if (FImage->PixelFormat() != tk::TPixelFormat::pf32bit) FImage->SetPixelFormat(tk::TPixelFormat::pf32bit);
  else if (W == Width() && H == Height()) return;
  FPushed.reset();
  // The same bitmap (and canvas) at the new size; SetSize keeps the overlap,
  // which is cleared.
  FImage->SetSize(W, H);
  const tk::TPixelView v = FImage->View();
  for (int y = 0; y < v.height; ++y) std::memset(v.Row(y), 0, size_t(v.width) * 4);
}

bool TkxLayeredSurface::Update(tk::TPoint Pos, uint8_t Opacity, TkxAlphaKind Kind) {
  const tk::TPixelView v = FImage->View();  // flushes GDI's drawing into it
  if (!FUpdateFn || !v.Valid() || v.format != tk::TPixelFormat::pf32bit) return false;
  if (!FPushed || FPushed->Width != v.width || FPushed->Height != v.height) {
    FPushed.reset();
    auto p = std::make_unique<TPushed>(v.width, v.height);
    if (!p->Valid()) return false;
    FPushed = std::move(p);
  }
  const size_t rowBytes = size_t(v.width) * 4;
  for (int y = 0; y < v.height; ++y) {
    uint8_t* d = FPushed->Bits + rowBytes * y;
    std::memcpy(d, v.Row(y), rowBytes);
    if (Kind == TkxAlphaKind::akStraight) tk::PremultiplyRow(d, v.width);
  }
  return Push(&Pos, Opacity);
}

bool TkxLayeredSurface::UpdateOpacity(uint8_t Opacity) {
  if (!FUpdateFn || !FPushed) return false;
  return Push(nullptr, Opacity);
}

bool TkxLayeredSurface::Push(const tk::TPoint* Pos, uint8_t Opacity) {
  const LONG_PTR ex = ::GetWindowLongPtrW(FWnd, GWL_EXSTYLE);
  if (!(ex & WS_EX_LAYERED)) ::SetWindowLongPtrW(FWnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  tk::TWindowDC screen(nullptr);
  POINT dst{Pos ? Pos->X : 0, Pos ? Pos->Y : 0};
  POINT src{0, 0};
  SIZE size{FPushed->Width, FPushed->Height};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, Opacity, AC_SRC_ALPHA};
  auto fn = reinterpret_cast<TUpdateLayeredWindowFn>(FUpdateFn);
  return fn(FWnd, screen, Pos ? &dst : nullptr, &size, FPushed->DC, &src, 0, &blend, ULW_ALPHA) != FALSE;
}

}  // namespace kx
