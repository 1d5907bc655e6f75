// Presenting a control's cache bitmap on a device: the corner pieces of its
// border repaired over what is behind it now, and the copy to a window's DC
// around the children that paint themselves. Windows only
// (sCacheToDevice_win.cpp); UI thread only.
#pragma once

#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace kx {

class TsCommonData;

// The border mask's corner pieces of State drawn again over what the parent
// shows now, so a moved control's rounded corners show what is behind them.
// CornerSet bits: 1 top-left, 2 bottom-left, 4 top-right, 8 bottom-right.
void UpdateCorners(TsCommonData& Data, int State, int CornerSet = 15);

// Copies Src of the cache to DC with Src's top-left at Dst (DC in the
// owner's client coordinates moved by Dst - Src), clipped to the target and
// leaving out the children that paint themselves: of the owner control, or
// of the plain window Wnd when there is no owner control.
void CopyCacheToDevice(TsCommonData& Data, const tk::TRect& Src, HDC DC, tk::TPoint Dst, bool Corners = false,
                       int State = 0, HWND Wnd = nullptr);

}  // namespace kx
