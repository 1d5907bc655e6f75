#include "skin/framework/sControlPaint.h"

#include <windows.h>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxColors.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/sAlphaGraph.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

namespace kx {

namespace {

const TkxSkinContent* ContentOf(TsSkinManager* manager) {
  if (!manager) manager = DefaultManager();
  return manager ? &manager->Content() : nullptr;
}

}  // namespace

void PaintSectionToDevice(int si, const String& section, const TCacheInfo& ci, TsSkinManager* manager, HDC dc,
                          tk::TPoint offset, tk::TRect r, int state, bool fillCentre) {
  const TkxSkinContent* skin = ContentOf(manager);
  if (!dc || !skin || r.IsEmpty() || r.Left < 0 || r.Top < 0) return;
  auto bmp = NewBitmap24(r.Width(), r.Height());
  PaintSectionLook(TkxSectionRef{si, section, -1, -1, skin, kxKeyColor},
                   TkxPaintTarget{bmp.get(), tk::TRect{0, 0, r.Width(), r.Height()}, offset, state, ci}, fillCentre);
  tk::detail::FlushPixelStore();
  ::BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

int PaintSectionByName(tk::TBitmap* bmp, const String& name, const String& fallback, HDC dc, tk::TColor fillColor,
                       tk::TRect r, TsSkinManager* manager, int state) {
  const TkxSkinContent* skin = ContentOf(manager);
  if (!bmp || bmp->Empty() || !skin) return -1;
  if (dc) {
    ::BitBlt(bmp->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), dc, r.Left, r.Top, SRCCOPY);
    ::GdiFlush();
  }
  return PaintSectionByName(bmp, name, fallback, dc != nullptr, fillColor, skin, state);
}

TkxControlSkin ControlSkinOf(const TsCommonData& c) {
  TkxControlSkin s{c.SkinIndex, c.SkinSection(), c.HotTexture, c.Texture, ContentOf(c.EffectiveManager()), kxKeyColor};
  if (c.CustomColor()) {
    if (c.FOwnerControl) s.CustomColor = tk::ColorToRGB(c.FOwnerControl->Color());
    else if (c.Provider() && c.Provider()->ProviderForm())
      s.CustomColor = tk::ColorToRGB(c.Provider()->ProviderForm()->Color());
  }
  return s;
}

void PaintControlBackground(const TsCommonData& c, const TCacheInfo& ci, int state, tk::TBitmap* bmp, tk::TPoint offset,
                            tk::TRect r) {
  PaintControlBackground(ControlSkinOf(c), ci, state, bmp, offset, r);
}

void PaintControlLook(const TsCommonData& c, const TCacheInfo& ci, bool fillCentre, bool corner, tk::TBitmap* bmp,
                      tk::TPoint offset, tk::TRect r, int state) {
  PaintControlLook(ControlSkinOf(c), ci, fillCentre, corner, bmp, offset, r, state);
}

void PaintControlLookOverParent(const TsCommonData& c, tk::TControl* parent, bool fillCentre, bool corner,
                                tk::TBitmap* bmp, tk::TPoint offset, tk::TRect r, int state) {
  TCacheInfo ci{nullptr, 0, 0, kxKeyColor, false};
  if (parent) {
    TBackgroundQuery q;
    QueryControlBackground(q, parent, false);
    if (q.Kind != kxBGNone) ci = ToCacheInfo(q);
  }
  PaintControlLook(ControlSkinOf(c), ci, fillCentre, corner, bmp, offset, r, state);
}

}  // namespace kx
