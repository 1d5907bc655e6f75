// Item painting for the engine's own objects: a skin manager (nil = the
// default one) instead of bare skin content, and a control's TsCommonData
// instead of its copied indexes. Thin layers over sSkinItemPaint; Windows
// build only. UI thread only.
#pragma once

#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/WinTypes.h"

namespace tk {
class TControl;
}

namespace kx {

class TsSkinManager;
class TsCommonData;

// PaintSectionLook into a new 24-bit bitmap of r's size, copied to dc at r;
// nothing for an empty r or one with a negative Left or Top.
void PaintSectionToDevice(int SkinIndex, const String& SkinSection, const TCacheInfo& ci, TsSkinManager* manager,
                          HDC dc, tk::TPoint offset, tk::TRect r, int state, bool fillCentre);
// PaintSectionByName over what dc shows at r's top-left (dc nil: over
// fillColor); bmp keeps its size.
int PaintSectionByName(tk::TBitmap* bmp, const String& name, const String& fallback, HDC dc, tk::TColor fillColor,
                       tk::TRect r, TsSkinManager* manager, int state);

// The same for a control's TsCommonData: its indexes, section and manager;
// its owner's colour when CustomColor is set.
TkxControlSkin ControlSkinOf(const TsCommonData& c);
void PaintControlBackground(const TsCommonData& c, const TCacheInfo& ci, int state, tk::TBitmap* bmp, tk::TPoint offset,
                            tk::TRect r);
void PaintControlLook(const TsCommonData& c, const TCacheInfo& ci, bool fillCentre, bool corner, tk::TBitmap* bmp,
                      tk::TPoint offset, tk::TRect r, int state);
// Asks parent for its background (the background query) and paints the
// look over that.
void PaintControlLookOverParent(const TsCommonData& c, tk::TControl* parent, bool fillCentre, bool corner,
                                tk::TBitmap* bmp, tk::TPoint offset, tk::TRect r, int state);

}  // namespace kx
