#include "skin/framework/sCacheToDevice.h"

#include <windows.h>

#include <algorithm>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/Controls.h"
#include "toolkit/Handles.h"

namespace kx {

namespace {

// r of dst := what ci shows there (dst pixel (x, y) is ci.Bmp's (ci.X + x, ci.Y + y)).
void FillFromParent(tk::TBitmap& dst, tk::TRect r, const TCacheInfo& ci) {
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, dst.Width());
  r.Bottom = std::min(r.Bottom, dst.Height());
  if (r.IsEmpty()) return;
  tk::TBitmap* src = ci.Ready ? ci.Bmp : nullptr;
  const int bpp = tk::BytesPerPixel(dst.PixelFormat());
  if (!src || src->PixelFormat() != dst.PixelFormat() || bpp == 0) {
    FillBitmapRect(&dst, r, ci.FillColor);
    return;
  }
  for (int y = r.Top; y < r.Bottom; ++y) {
    const int sy = ci.Y + y;
    const int x0 = std::max(r.Left, -ci.X), x1 = std::min(r.Right, src->Width() - ci.X);
    if (sy < 0 || sy >= src->Height() || x0 >= x1) continue;
    std::copy_n(src->ScanLine(sy) + (ci.X + x0) * bpp, (x1 - x0) * bpp, dst.ScanLine(y) + x0 * bpp);
  }
}

// The strips of a group-box child window that it paints itself: caption
// and frame; its inside shows the cache.
template <class Exclude>
void ExcludeGroupBoxFrame(const TsCommonData& Data, HWND Box, const tk::TRect& r, Exclude exclude) {
  const int caption = static_cast<int>(SendCommand(Box, KX_QUERYEXTRA));
  int wl = 0, wr = 0, wb = 0;
  if (TsSkinManager* m = Data.EffectiveManager()) {
    const int mi = m->Content().GetMaskIndex(L"GROUPBOX", L"BORDERSMASK");
    if (m->IsValidImgIndex(mi)) {
      wl = m->ma()[mi].WL;
      wr = m->ma()[mi].WR;
      wb = m->ma()[mi].WB;
    }
  }
  exclude({r.Left, r.Top, r.Right, r.Top + caption});
  exclude({r.Left, r.Top, r.Left + wl, r.Bottom});
  exclude({r.Right - wr, r.Top, r.Right, r.Bottom});
  exclude({r.Left, r.Bottom - wb, r.Right, r.Bottom});
}

bool IsGroupBoxWindow(HWND Wnd) {
  wchar_t cls[16] = {};
  ::GetClassNameW(Wnd, cls, 16);
  return ::lstrcmpiW(cls, L"BUTTON") == 0 && (::GetWindowLongW(Wnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

void UpdateCorners(TsCommonData& Data, int State, int CornerSet) {
  TsSkinManager* m = Data.EffectiveManager();
  tk::TControl* owner = Data.FOwnerControl;
  if (!m || !m->IsValidImgIndex(Data.BorderIndex) || !Data.FCacheBmp || !owner) return;
  tk::TBitmap& cache = *Data.FCacheBmp;
  const int w = owner->Width(), h = owner->Height();
  if (w <= 1 || h <= 1 || cache.Width() != w || cache.Height() != h) return;
  const TsMaskData& mask = m->ma()[Data.BorderIndex];
  TCacheInfo ci{nullptr, 0, 0, Data.ControlColor(), false};
  if (tk::TWinControl* parent = owner->Parent()) {
    TBackgroundQuery q;
    QueryControlBackground(q, parent, false);
    ci = ToCacheInfo(q);
    ci.X += owner->Left();
    ci.Y += owner->Top();
  }
  const int l = std::min<int>(mask.WL, w), r = std::min<int>(mask.WR, w);
  const int t = std::min<int>(mask.WT, h), b = std::min<int>(mask.WB, h);
  const tk::TRect corners[4] = {{0, 0, l, t}, {0, h - b, l, h}, {w - r, 0, w, t}, {w - r, h - b, w, h}};
  // The border is drawn whole into a copy whose corners hold the parent's
  // pixels; only the corners go back, so the rest of the cache is untouched.
  tk::TBitmap work;
  work.Assign(&cache);
  for (int i = 0; i < 4; ++i)
    if (CornerSet & (1 << i)) FillFromParent(work, corners[i], ci);
  DrawBorderFromMask(&work, tk::TRect{0, 0, w, h}, false, true, State, mask, ci);
  const int bpp = tk::BytesPerPixel(work.PixelFormat());
  for (int i = 0; i < 4; ++i) {
    if (!(CornerSet & (1 << i)) || corners[i].IsEmpty()) continue;
    for (int y = corners[i].Top; y < corners[i].Bottom; ++y)
      std::copy_n(work.ScanLine(y) + corners[i].Left * bpp, corners[i].Width() * bpp,
                  cache.ScanLine(y) + corners[i].Left * bpp);
  }
}

void CopyCacheToDevice(TsCommonData& Data, const tk::TRect& Src, HDC DC, tk::TPoint Dst, bool Corners, int State,
                       HWND Wnd) {
  if (!DC || !Data.FCacheBmp || Data.FCacheBmp->Empty() || Src.IsEmpty()) return;
  if (Corners) UpdateCorners(Data, State, 15);
  const int dx = Dst.X - Src.Left, dy = Dst.Y - Src.Top;
  const tk::TDCState state(DC);
  ::IntersectClipRect(DC, Dst.X, Dst.Y, Dst.X + Src.Width(), Dst.Y + Src.Height());
  auto exclude = [&](tk::TRect r) {
    r.Offset(dx, dy);
    ::ExcludeClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
  };
  auto inside = [&](const tk::TRect& r) {
    return r.Left < Src.Right && r.Right > Src.Left && r.Top < Src.Bottom && r.Bottom > Src.Top;
  };
  if (auto* wc = dynamic_cast<tk::TWinControl*>(Data.FOwnerControl)) {
    for (int i = 0; i < wc->ControlCount(); ++i) {
      tk::TControl* c = wc->Controls(i);
      if (!c->Visible() || !inside(c->BoundsRect())) continue;
      if (!dynamic_cast<tk::TWinControl*>(c) || c->ControlStyle().Contains(tk::csOpaque)) exclude(c->BoundsRect());
    }
  } else if (!Data.FOwnerControl && Wnd) {
    for (HWND child = ::GetWindow(Wnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (!::IsWindowVisible(child)) continue;
      RECT wr;
      ::GetWindowRect(child, &wr);
      ::MapWindowPoints(nullptr, Wnd, reinterpret_cast<POINT*>(&wr), 2);
      const tk::TRect r{wr.left, wr.top, wr.right, wr.bottom};
      if (!inside(r)) continue;
      if (IsGroupBoxWindow(child)) ExcludeGroupBoxFrame(Data, child, r, exclude);
      else exclude(r);
    }
  }
  ::BitBlt(DC, Dst.X, Dst.Y, Src.Width(), Src.Height(), Data.FCacheBmp->Canvas()->Handle(), Src.Left, Src.Top, SRCCOPY);
}

}  // namespace kx
