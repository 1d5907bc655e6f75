#include "skin/controls/kxBtnWnd.h"

#include <windows.h>

#include <algorithm>

#include "skin/paint/sGlyphs.h"

namespace kx {

void DrawBitBtnGlyph(tk::TBitmap* Target, tk::TBitmap* Glyph, int NumGlyphs, tk::TPoint At, bool Down,
                     int CurrentState, bool Enabled) {
  if (!Target || !Glyph || Glyph->Empty()) return;
  const int frames = std::max(NumGlyphs, 1);
  const int w = Glyph->Width(), h = Glyph->Height();
  if (frames == 1 && Glyph->PixelFormat() == tk::TPixelFormat::pf32bit) {
    DrawAlphaImage(tk::TRect{At.X, At.Y, At.X + w, At.Y + h}, tk::TRect{0, 0, w, h}, Target, false, 0, tk::clNone,
                   false, EmptyCacheInfo(), Glyph);
    return;
  }
  // The strip's frames follow the button's state, not the painting state:
  // a hot button is drawn up, and only a button that stays down takes the
  // fourth frame.
  const int kind = !Enabled ? gkDisabled : (CurrentState == 2 || Down) ? gkDown : gkUp;
  const tk::TRect r{At.X, At.Y, At.X + w / frames, At.Y + h};
  DrawGlyphStrip(Glyph, Target, r, Down ? 1 : 0, 0, kind, dgBlended, Enabled, frames);
}

}  // namespace kx
