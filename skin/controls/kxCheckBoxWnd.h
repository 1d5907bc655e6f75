// TkxCheckBoxWnd: the adapter of a check box, three-state box or radio
// button ("button" of such a type, or a toolkit check box the skin does not
// paint itself). It paints the section ("CHECKBOX" unless its creator names
// another) over the parent's picture, the caption beside the box, and the
// box from the skin's check or radio images (masks of "GLOBALINFO"); the
// window keeps its own behaviour and state.
//
// Every paint reads the window's style once and hands it down, so a paint
// nested in another (a child painting while its parent does) cannot pick
// up another window's style.
//
// Ownership as for TkxMainWnd: the creator owns the adapter. Windows only;
// UI thread only.
#pragma once

#include <cstdint>

#include "skin/controls/kxMainWnd.h"

namespace kx {

class TkxCheckBoxWnd : public TkxMainWnd {
 public:
  TK_CLASS_NAME(TkxCheckBoxWnd)
  // SkinSection empty: "CHECKBOX".
  TkxCheckBoxWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* SkinManager,
                 TsCommonData* SkinData);

  void kxWndProc(tk::TMessage& Message) override;

  // 2 indeterminate, 1 checked, 0 clear.
  int State();
  // The frame of the box image: 2 pushed, 1 focused or under the mouse, 0.
  int CtlState();
  // The "GLOBALINFO" mask index of the box for State and the window style:
  // radio images for BS_RADIOBUTTON and BS_AUTORADIOBUTTON, check-box
  // images for every other type; -1 when the skin has none.
  int GlyphMaskIndex(int State, uint32_t Style);
  // Where the box image goes (empty for a missing image).
  tk::TRect SkinCheckRect(int MaskIndex, uint32_t Style);
  // The checked image's place, or 16 x 16 at the top-left without one.
  tk::TRect CheckRect(uint32_t Style);
  void PrepareCache(uint32_t Style);
  // Paints the window into Given (null: its own DC).
  void KX_WMPaint(HDC Given);

 private:
  int SkinGlyphWidth(int MaskIndex);
  int SkinGlyphHeight(int MaskIndex);
  void DrawCheckText(uint32_t Style);
  void DrawSkinGlyph(int MaskIndex, uint32_t Style);
  void RepaintNow();
};

}  // namespace kx
