// Adapters of two kinds of windows inside system dialogs. TkxTransPanelWnd
// paints a nested dialog page or a folder-browser pane as its section over
// its parent's picture (usually the parent showing through); TkxSizerWnd
// paints a dialog's size grip as the skin's grip image over the dialog's
// background and makes the whole grip size the dialog.
//
// Ownership as for TkxMainWnd: the creator owns the adapter. Windows only;
// UI thread only.
#pragma once

#include "skin/controls/kxMainWnd.h"

namespace kx {

class TkxTransPanelWnd : public TkxMainWnd {
 public:
  TK_CLASS_NAME(TkxTransPanelWnd)
  using TkxMainWnd::TkxMainWnd;

  void kxWndProc(tk::TMessage& Message) override;
  // The cache, rebuilt, onto the whole window around its child windows.
  virtual void KX_WMPaint();

 protected:
  void BuildFrameCache() override;
};

class TkxSizerWnd : public TkxMainWnd {
 public:
  TK_CLASS_NAME(TkxSizerWnd)
  using TkxMainWnd::TkxMainWnd;

  void kxWndProc(tk::TMessage& Message) override;
  // Frame 0 of the skin's "GRIPIMAGE" in the bottom-right corner, over what
  // the parent shows there; nothing without a valid grip image.
  void KX_WMPaint();
};

}  // namespace kx
