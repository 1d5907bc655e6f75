// TkxSpeedButtonHandler: skins a toolkit speed button that does not skin
// itself. The button has no window, so the handler takes its WindowProc
// instead of a window procedure: every message of the button passes through
// kxWndProc, and its painting is replaced by the handler's cache (section,
// caption and glyph laid out as the skinned speed button lays them out).
//
// Ownership: the creator owns the handler and frees it before the button;
// the handler owns its TsCommonData only when it made it. Detaching while
// another method has been installed over the handler's leaves a small
// pass-through in the chain, so that method keeps reaching the button.
// Windows only; UI thread only.
#pragma once

#include <memory>

#include "skin/paint/sButtonLayout.h"
#include "toolkit/Buttons.h"
#include "toolkit/Controls.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace kx {

class TsCommonData;
class TsSkinManager;
class TkxCommonHandler;

class TkxSpeedButtonHandler : public tk::TObject {
 public:
  TK_CLASS_NAME(TkxSpeedButtonHandler)
  // Takes Btn's WindowProc. SkinManager null: the skin state's manager;
  // SkinData null: the handler makes and owns one. SkinSection is given to
  // a skin state that has none.
  TkxSpeedButtonHandler(tk::TControl* Btn, bool Repaint, const tk::String& SkinSection, TsSkinManager* SkinManager,
                        TsCommonData* SkinData);
  // Gives the button its WindowProc back (unless Destroyed).
  ~TkxSpeedButtonHandler() override;
  TkxSpeedButtonHandler(const TkxSpeedButtonHandler&) = delete;
  TkxSpeedButtonHandler& operator=(const TkxSpeedButtonHandler&) = delete;

  void kxWndProc(tk::TMessage& Message);
  // The button's previous method; Result 0 once detached.
  void CallPrevWndProc(tk::TMessage& Message);

  // The cache onto the DC the message carries (nothing without one).
  void KX_WMPaint(tk::TMessage& Message);
  // Section, caption, glyph and disabled look over the parent's picture.
  void PrepareCache();
  // 0 normal, 1 hot, 2 pressed.
  int CurrentState() const;
  tk::TRect ImgRect();
  tk::TRect CaptionRect();
  tk::TSize TextRectSize();
  int GlyphWidth() const;
  int GlyphHeight() const;
  void DrawCaption();
  void DoDrawText(tk::TRect R, uint32_t Format);
  void DrawGlyph();
  tk::String Caption() const;

  tk::TRect WndRect;
  tk::TSize WndSize;
  tk::TPoint WndPos;
  tk::TRect ParentRect;
  HWND ParentWnd = nullptr;
  tk::TControl* Ctrl = nullptr;
  TsSkinManager* SkinManager = nullptr;
  TsCommonData* SkinData = nullptr;
  bool Destroyed = false;

 private:
  class TLink;
  class THandler;
  // The button as a speed button (glyph, layout), or null.
  tk::TSpeedButton* Button() const;
  TkxButtonMeasures Measures();
  bool Own(intptr_t Sender) const;
  void RepaintVisible();

  TLink* FLink = nullptr;
  std::unique_ptr<TkxCommonHandler> FHandler;
  std::unique_ptr<TsCommonData> FOwnData;
};

}  // namespace kx
