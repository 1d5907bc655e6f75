#include "skin/paint/sDeviceFills.h"

#include <windows.h>

#include <algorithm>

#include "toolkit/Graphics.h"
#include "toolkit/Handles.h"

namespace kx {

using tk::TColor;
using tk::TRect;

namespace {

// Fills the non-empty ones of rects with one brush of colour.
template <size_t N>
void FillRects(HDC dc, const TRect (&rects)[N], TColor colour) {
  if (!dc) return;
  const tk::TDCState state(dc);
  const tk::TBrushHandle brush(::CreateSolidBrush(static_cast<COLORREF>(tk::ColorToRGB(colour))));
  if (!brush) return;
  for (const TRect& r : rects) {
    if (r.IsEmpty()) continue;
    const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(dc, &rc, brush);
  }
}

// Copies w x h from the top-left corner of src to (x, y) of dc.
void Blit(HDC dc, int x, int y, int w, int h, HDC src) { ::BitBlt(dc, x, y, w, h, src, 0, 0, SRCCOPY); }

}  // namespace

void FillDeviceRect(HDC dc, TRect r, TColor colour) {
  const TRect rects[1] = {r};
  FillRects(dc, rects, colour);
}

void FillDeviceFrame(HDC dc, TRect r, int left, int top, int right, int bottom, TColor colour) {
  const TRect rects[4] = {
      {r.Left, r.Top, r.Right, r.Top + top},
      {r.Left, r.Top + top, r.Left + left, r.Bottom},
      {r.Left + left, r.Bottom - bottom, r.Right, r.Bottom},
      {r.Right - right, r.Top + top, r.Right, r.Bottom - bottom},
  };
  FillRects(dc, rects, colour);
}

void DrawBevelFrame(HDC dc, TRect r, TColor light, int count, TColor dark) {
  for (int i = 0; i < count && !r.IsEmpty(); ++i) {
    const TRect lit[2] = {{r.Left, r.Top, r.Right - 1, r.Top + 1}, {r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}};
    const TRect shade[2] = {{r.Right - 1, r.Top, r.Right, r.Bottom}, {r.Left, r.Bottom - 1, r.Right - 1, r.Bottom}};
    FillRects(dc, lit, light);
    FillRects(dc, shade, dark);
    r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
}

void TileBitmap(tk::TCanvas* canvas, TRect r, tk::TBitmap* pic) {
  if (!canvas || !pic || pic->Empty() || r.IsEmpty()) return;
  HDC dc = canvas->Handle();
  HDC src = pic->Canvas()->Handle();
  if (!dc || !src) return;
  const int pw = pic->Width(), ph = pic->Height();
  for (int y = r.Top; y < r.Bottom; y += ph)
    for (int x = r.Left; x < r.Right; x += pw)
      Blit(dc, x, y, std::min(pw, r.Right - x), std::min(ph, r.Bottom - y), src);
}

void DrawPictureOnce(tk::TCanvas* canvas, TRect r, tk::TBitmap* pic) {
  if (!canvas || !pic || pic->Empty() || r.IsEmpty()) return;
  HDC dc = canvas->Handle();
  HDC src = pic->Canvas()->Handle();
  if (!dc || !src) return;
  const tk::TDCState state(dc);
  ::IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  Blit(dc, r.Left, r.Top, pic->Width(), pic->Height(), src);
}

}  // namespace kx
