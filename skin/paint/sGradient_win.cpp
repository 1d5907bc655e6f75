// Windows half of mode 2 gradients: msimg32's GradientFill in triangle mode
// on the bitmap's DC. The entry point is optional (not every system has
// msimg32), so it is looked up once and our own Gouraud fill stands in
// when it is missing.
#include <windows.h>

#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGradient.h"
#include "toolkit/Graphics.h"

namespace kx::detail {

namespace {

using TGradientFill = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

TGradientFill SystemGradientFill() {
  // The module stays loaded for the life of the process.
  static const TGradientFill fill = []() -> TGradientFill {
    HMODULE lib = ::LoadLibraryW(L"msimg32.dll");
    if (!lib) return nullptr;
    return reinterpret_cast<TGradientFill>(reinterpret_cast<void*>(::GetProcAddress(lib, "GradientFill")));
  }();
  return fill;
}

TRIVERTEX Vertex(const TkxGradVertex& v) {
  const tk::TColor c = tk::ColorToRGB(v.Color);
  TRIVERTEX t{};
  t.x = v.X;
  t.y = v.Y;
  t.Red = static_cast<COLOR16>(tk::GetRValue(c) << 8);
  t.Green = static_cast<COLOR16>(tk::GetGValue(c) << 8);
  t.Blue = static_cast<COLOR16>(tk::GetBValue(c) << 8);
  t.Alpha = 0;
  return t;
}

}  // namespace

bool PaintTrianglesBySystem(tk::TBitmap* bmp, tk::TRect r, const TkxGradVertex vx[5]) {
  const TGradientFill fill = SystemGradientFill();
  if (!fill || !bmp || !bmp->Handle()) return false;
  TRIVERTEX t[5];
  for (int i = 0; i < 5; ++i) t[i] = Vertex(vx[i]);
  GRADIENT_TRIANGLE mesh[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  if (!fill(bmp->Canvas()->Handle(), t, 5, mesh, 4, GRADIENT_FILL_TRIANGLE)) return false;
  // The fill writes the vertices' alpha (0) into 32-bit pixels; the engine's
  // painted pixels are opaque.
  if (bmp->PixelFormat() == tk::TPixelFormat::pf32bit) SetAlphaRect(bmp, r, 255);
  return true;
}

void PaintTriangles(tk::TBitmap* bmp, tk::TRect r, const TkxGradVertex vx[5]) {
  if (!PaintTrianglesBySystem(bmp, r, vx)) FillGradientTriangles(bmp->View(), r, vx);
}

}  // namespace kx::detail
