#include "skin/framework/sSkinFrame.h"

#include <windows.h>

#include <algorithm>

#include "skin/data/sSkinManager.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/FrameGeometry.h"
#include "skin/paint/sDeviceFills.h"
#include "skin/paint/sSkinItemPaint.h"

namespace kx {

namespace {

// The four strips of r, Width wide, from Src to Dst at the same place.
void CopyFrameStrips(HDC Dst, HDC Src, const tk::TRect& r, int Width) {
  const int w = r.Width(), h = r.Height();
  const int fw = std::min(Width, w), fh = std::min(Width, h);
  ::BitBlt(Dst, r.Left, r.Top, w, fh, Src, r.Left, r.Top, SRCCOPY);
  ::BitBlt(Dst, r.Left, r.Bottom - fh, w, fh, Src, r.Left, r.Bottom - fh, SRCCOPY);
  ::BitBlt(Dst, r.Left, r.Top, fw, h, Src, r.Left, r.Top, SRCCOPY);
  ::BitBlt(Dst, r.Right - fw, r.Top, fw, h, Src, r.Right - fw, r.Top, SRCCOPY);
}

}  // namespace

int SkinFrameWidth(const TsCommonData& SkinData) {
  TsSkinManager* m = SkinData.EffectiveManager();
  if (!m || !m->IsValidImgIndex(SkinData.BorderIndex)) return 0;
  const TsMaskData& mask = m->ma()[SkinData.BorderIndex];
  if (mask.DrawMode & bdmNoNormalBorder) return 0;
  return std::max({mask.WL, mask.WT, mask.WR, mask.WB});
}

void PaintSkinFrame(HDC DC, const tk::TRect& R, int FrameWidth, tk::TRect& Inner, int State, TsCommonData& SkinData) {
  const tk::TColor colour = SkinData.ControlColor(State != 0);
  TCacheInfo ci{nullptr, 0, 0, colour, false};
  if (tk::TControl* owner = SkinData.FOwnerControl; owner && owner->Parent()) {
    TBackgroundQuery q;
    QueryControlBackground(q, owner->Parent(), false);
    ci = ToCacheInfo(q);
    ci.X += owner->Left();
    ci.Y += owner->Top();
  }
  Inner = R;
  TsSkinManager* m = SkinData.EffectiveManager();
  if (!m || !m->IsValidImgIndex(SkinData.BorderIndex)) {
    if (FrameWidth > 0) FillDeviceFrame(DC, R, FrameWidth, FrameWidth, FrameWidth, FrameWidth, colour);
    return;
  }
  const TsMaskData& mask = m->ma()[SkinData.BorderIndex];
  SkinData.InitCacheBmp();
  tk::TBitmap& cache = *SkinData.FCacheBmp;
  HDC cacheDC = cache.Canvas()->Handle();
  if (mask.MaskType == 1) {
    // The mask mixes with what is under it, so that must be there first.
    if (ci.Ready && ci.Bmp)
      ::BitBlt(cacheDC, R.Left, R.Top, R.Width(), R.Height(), ci.Bmp->Canvas()->Handle(), ci.X + R.Left,
               ci.Y + R.Top, SRCCOPY);
    else
      FillDeviceFrame(cacheDC, R, mask.WL, mask.WT, mask.WR, mask.WB, colour);
  }
  DrawBorderFromMask(&cache, R, false, true, State, mask, ci);
  const TkxFrameBands bands = SkinFrameBands(R, FrameWidth, mask.WL, mask.WT, mask.WR, mask.WB);
  Inner = bands.MaskInner;
  if (FrameWidth <= 0) return;
  FillDeviceFrame(cacheDC, bands.MaskInner, bands.Left, bands.Top, bands.Right, bands.Bottom, colour);
  Inner = bands.Inner;
  if (DC != cacheDC) CopyFrameStrips(DC, cacheDC, R, FrameWidth);
}

}  // namespace kx
