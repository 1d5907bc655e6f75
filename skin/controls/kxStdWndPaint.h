// Pieces the standard-window adapters share when they paint their cache: the
// cache sized to the window, the window's own font on the cache canvas,
// and the faded look of a disabled window. Windows only; UI thread only.
#pragma once

#include <memory>

#include "skin/framework/sCacheInfo.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Graphics.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace kx {

class TsCommonData;

// The skin state's cache bitmap, made if missing, 24-bit and Size big.
tk::TBitmap* SizedCache(TsCommonData& Data, tk::TSize Size);
// The font the window draws with (WM_GETFONT; the system's GUI font when it
// has none) as the canvas font.
void TakeWindowFont(tk::TCanvas* Canvas, HWND Wnd);
// A 24-bit copy of a system bitmap; null for a handle that is no bitmap.
std::unique_ptr<tk::TBitmap> CopyOfBitmap(HBITMAP Source);
// The cache's top-left Size copied to DC at (0, 0); nothing without a
// cache or a DC.
void CopyWholeCache(TsCommonData& Data, HDC DC, tk::TSize Size);
// A disabled window: 40 % of Cache over 60 % of what lies behind it, the
// parent's picture at Pos (moved by the picture's offset) or, without one,
// the parent's colour (Fallback when that is unknown); key-colour pixels
// keep their colour then.
void FadeDisabled(tk::TBitmap* Cache, const TCacheInfo& Ci, tk::TPoint Pos, tk::TColor Fallback);

}  // namespace kx
