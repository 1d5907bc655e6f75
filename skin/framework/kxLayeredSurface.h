// TkxLayeredSurface: the picture of one layered window (a glow, the border
// window with its shadow, title-button animations, window animations). Its
// users paint a 32-bit picture with straight alpha, as every engine bitmap
// holds it; Update converts it into the surface's own premultiplied DIB and
// hands that to UpdateLayeredWindow at a screen position with a constant
// opacity. The surface never owns its window and never shows or hides it.
//
// UpdateLayeredWindow is taken from the capabilities record; where the
// system has none, Update does nothing and answers false. Windows only
// (kxLayeredSurface_win.cpp); UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/Bitmap.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace kx {

// What the painted picture holds: straight alpha (the engine's bitmaps), or
// pixels already premultiplied (the skin's shadow and glow pictures are
// stored that way), which are pushed as they are.
enum class TkxAlphaKind : uint8_t { akStraight, akPremultiplied };

class TkxLayeredSurface {
 public:
  explicit TkxLayeredSurface(HWND Wnd);
  ~TkxLayeredSurface();
  TkxLayeredSurface(const TkxLayeredSurface&) = delete;
  TkxLayeredSurface& operator=(const TkxLayeredSurface&) = delete;

  HWND Window() const { return FWnd; }
  int Width() const { return FImage->Width(); }
  int Height() const { return FImage->Height(); }
  // A new size clears the picture to transparent black; the same size keeps it.
  void SetSize(int W, int H);

  // The picture to paint (32-bit, row 0 on top, Width x Height); the view
  // and the bitmap show the same pixels.
  tk::TBitmap* Image() { return FImage.get(); }
  tk::TPixelView Pixels() { return FImage->View(); }

  // Pushes the picture with its top-left at Pos (screen coordinates) and the
  // constant Opacity over its own alpha. The window gets WS_EX_LAYERED when
  // it lacks it. False when the system has no layered windows, the surface
  // is empty or the call failed.
  bool Update(tk::TPoint Pos, uint8_t Opacity, TkxAlphaKind Kind = TkxAlphaKind::akStraight);
  // Pushes the pixels of the last Update again where the window is, with
  // another opacity: the steps of a fade, without converting the picture.
  bool UpdateOpacity(uint8_t Opacity);

  // The function called in place of UpdateLayeredWindow (same signature);
  // null: the system has none. The capabilities record's by default.
  void SetUpdateFunction(void* Fn) { FUpdateFn = Fn; }

 private:
  struct TPushed;  // the premultiplied DIB with its DC (kxLayeredSurface_win.cpp)
  bool Push(const tk::TPoint* Pos, uint8_t Opacity);

  HWND FWnd;
  std::unique_ptr<tk::TBitmap> FImage;
  std::unique_ptr<TPushed> FPushed;
  void* FUpdateFn;
};

}  // namespace kx
