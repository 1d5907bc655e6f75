// The panel adapters: TkxPanelWnd paints a toolkit panel that does not skin
// itself (its section chosen from its bevels when the creator names none),
// TkxDlgPanelWnd a toolkit panel found inside a system dialog. Both keep
// their look in the skin state's cache, copy its inside on erase and its
// border strips on the frame paint, and paint the panel's window-less
// children over it.
//
// Ownership as for TkxMainWnd: the creator owns the adapter. Windows only;
// UI thread only.
#pragma once

#include "skin/controls/kxMainWnd.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Graphics.h"

namespace kx {

// Paints Adapter's look in state 0 over its parent window's picture into
// the skin state's cache, sized to the window (the cache of an adapter
// whose window has no owner control, or whose look covers the whole
// window). Clears BGChanged.
void PaintWindowLookCache(TkxMainWnd& Adapter);

class TkxPanelWnd : public TkxMainWnd {
 public:
  TK_CLASS_NAME(TkxPanelWnd)
  // SkinSection empty: the section follows the owner panel's bevels.
  TkxPanelWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* SkinManager,
              TsCommonData* SkinData);

  void kxWndProc(tk::TMessage& Message) override;

  // The panel's look and caption over its parent's picture.
  virtual void PrepareCache();
  // The cache inside the border onto DC (window coordinates; null: the
  // window DC), then the window-less children over it.
  void KX_WMPaint(HDC DC);
  // The cache's border strips onto DC (null: the window DC).
  void KX_WMNCPaint(HDC DC);
  // The caption centred in R on the height of a "W" of the owner's font.
  void WriteText(tk::TRect R, tk::TCanvas* Canvas);

 private:
  // The owner panel while it is a container; other windows get only the
  // common handling.
  tk::TWinControl* Container() const;
  // Half the difference of the window and client widths: the border.
  int BorderWidth() const;
  void PanelCommand(tk::TMessage& m);
  void WMPaint(tk::TMessage& m);
  void WMEraseBkgnd(tk::TMessage& m);
};

class TkxDlgPanelWnd : public TkxMainWnd {
 public:
  TK_CLASS_NAME(TkxDlgPanelWnd)
  // SkinSection empty: "CHECKBOX" for a TPanel owning the window, else
  // "GROUPBOX".
  TkxDlgPanelWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* SkinManager,
                 TsCommonData* SkinData);

  void kxWndProc(tk::TMessage& Message) override;
  void SetSkinParams() override;

  virtual void PrepareCache();
  void KX_WMPaint(HDC DC);
  void KX_WMNCPaint(HDC DC);

  // The toolkit component that owns the window, found at creation; null
  // when there is none.
  tk::TWinControl* Panel = nullptr;

 private:
  void PanelColour(tk::TColor Colour);
  void WMEraseBkgnd(tk::TMessage& m);
};

// The application's windowed component whose window is Wnd (searched depth
// first through the components), or null.
tk::TWinControl* FindWindowComponent(HWND Wnd);

}  // namespace kx
