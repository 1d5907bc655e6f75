// The adapters of static windows: TkxStaticWnd paints a static text over the
// skin section it is given (the dialog skinning gives "CHECKBOX", a
// see-through one) in the section's text colours; TkxIconWnd shows a
// static's icon or bitmap instead of text; TkxLinkWnd a link control's text
// without its markup, underlined. Everything is drawn when the window is
// erased, from the skin state's cache.
//
// Ownership as for TkxMainWnd: the creator owns the adapter; TkxIconWnd owns
// FBmp, its copy of the static's bitmap. Windows only; UI thread only.
#pragma once

#include <memory>

#include "skin/controls/kxMainWnd.h"
#include "toolkit/Bitmap.h"

namespace kx {

class TkxStaticWnd : public TkxMainWnd {
 public:
  TK_CLASS_NAME(TkxStaticWnd)
  using TkxMainWnd::TkxMainWnd;

  void kxWndProc(tk::TMessage& Message) override;
  // Paints the section and the text into Given (null: the window's DC).
  void KX_WMPaint(HDC Given);
  // The window's content over the section in the cache.
  virtual void PaintText();

 protected:
  // Windows this adapter leaves to the common handling: a static that takes
  // the focus or has a sunken edge draws itself.
  virtual bool LeftAlone();

 private:
  void Redraw();
  bool FErased = false;
};

class TkxIconWnd : public TkxStaticWnd {
 public:
  TK_CLASS_NAME(TkxIconWnd)
  TkxIconWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* SkinManager,
             TsCommonData* SkinData);

  void PaintText() override;

  bool IsBmp = false;  // a bitmap static, else an icon
  // The static's bitmap as last seen; taken again when the static gets another.
  std::unique_ptr<tk::TBitmap> FBmp;

 private:
  void* FBmpSource = nullptr;
};

class TkxLinkWnd : public TkxStaticWnd {
 public:
  TK_CLASS_NAME(TkxLinkWnd)
  using TkxStaticWnd::TkxStaticWnd;

  void PaintText() override;

 protected:
  bool LeftAlone() override;
};

// A link control's text without its anchor tags ("<a ...>" and "</a>" in
// any case).
tk::String LinkTextOf(const tk::String& Markup);

}  // namespace kx
