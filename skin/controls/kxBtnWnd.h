// The push-button adapters: TkxBtnWnd paints a system push button (a
// "button" window of a push style, or a toolkit button the skin does not
// paint itself) from a skin section, "BUTTON" unless its creator names
// another; TkxBitBtnWnd adds the glyph of a bit button. The window keeps its
// own behaviour (clicks, keyboard, default-button handling); the adapter
// draws it from its cache after every state change.
//
// DrawBitBtnGlyph is the bit button's glyph painting on its own, shared with
// the window-less speed-button handler.
//
// Ownership as for TkxMainWnd: the creator owns the adapter. Windows only;
// UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "skin/controls/kxMainWnd.h"
#include "skin/paint/kxBtnWndLayout.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Buttons.h"
#include "toolkit/Types.h"

namespace kx {

class TkxBtnWnd : public TkxMainWnd {
 public:
  TK_CLASS_NAME(TkxBtnWnd)
  // SkinSection empty: "BUTTON".
  TkxBtnWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* SkinManager,
            TsCommonData* SkinData);

  void kxWndProc(tk::TMessage& Message) override;

  // 2 pressed (the window reports BST_PUSHED), 0 disabled, 1 focused, under
  // the mouse (the default manager's active control) or the default
  // button, else 0.
  int CurrentState();
  // The window reports BST_PUSHED.
  bool Down();

  // The painting steps, replaced by the bit button.
  virtual void DrawCaption();
  virtual void DrawGlyph() {}
  virtual tk::TSize GlyphSize() { return {}; }
  virtual void DoDrawText(const tk::TRect& R, uint32_t Format);
  virtual tk::TRect CaptionRect();
  virtual int MaxCaptionWidth();
  virtual tk::TSize TextRectSize();
  // The whole look for CurrentState in the skin state's cache.
  virtual void PrepareCache();
  // Paints the window from a fresh cache into Given (null: its own DC).
  void KX_WMPaint(HDC Given);

 protected:
  // The window's measures without the caption's size.
  virtual TkxBtnWndMeasures BaseMeasures();
  TkxBtnWndMeasures Measures();
  // The format the caption is measured and drawn with: word-wrapped only
  // for a BS_MULTILINE button.
  uint32_t TextFormat() const;
  void Repaint();

 private:
  // A state change the window handles itself, without drawing, and then
  // one repaint from the cache.
  void Quietly(tk::TMessage& m, bool Common);
  void FocusChanged(tk::TMessage& m, bool Gained);
  void SkinCommandOf(tk::TMessage& m);
};

// What a toolkit bit button shows beside its caption. A toolkit control that
// is a bit button implements it; the adapter of its window places and draws
// the glyph by it.
class IkxBitBtn {
 public:
  virtual tk::TBitmap* BitBtnGlyph() = 0;
  virtual int BitBtnNumGlyphs() = 0;
  virtual tk::TButtonLayout BitBtnLayout() = 0;
  virtual int BitBtnSpacing() = 0;
  virtual int BitBtnMargin() = 0;

 protected:
  ~IkxBitBtn() = default;
};

class TkxBitBtnWnd : public TkxBtnWnd {
 public:
  TK_CLASS_NAME(TkxBitBtnWnd)
  using TkxBtnWnd::TkxBtnWnd;

  // One frame of the owner's glyph; without an owner bit button the
  // picture the window holds (BM_GETIMAGE).
  tk::TSize GlyphSize() override;
  void DrawGlyph() override;
  tk::TRect GlyphRect();

 protected:
  TkxBtnWndMeasures BaseMeasures() override;

 private:
  IkxBitBtn* BitBtn() const;
  // The window's own picture (BM_GETIMAGE) as last seen.
  std::unique_ptr<tk::TBitmap> FImage;
  void* FImageSource = nullptr;
};

// Draws the glyph of a button into Target with its top-left at At. A
// single-frame 32-bit glyph is drawn with its per-pixel alpha; any other
// glyph is a strip of NumGlyphs frames (up, disabled, clicked, down) of
// which the frame for the button's state is copied keyed: the disabled
// frame when not Enabled, the clicked one while pressed (CurrentState 2),
// the down one while the button stays Down; a hot button (CurrentState 1)
// shows the up frame. Nothing for a missing or empty glyph.
void DrawBitBtnGlyph(tk::TBitmap* Target, tk::TBitmap* Glyph, int NumGlyphs, tk::TPoint At, bool Down, int CurrentState,
                     bool Enabled);

}  // namespace kx
