// TkxEditWnd: the adapter of an edit-like window (the memo's edit window,
// edits and list boxes). The window keeps drawing its text and caret; the
// adapter paints the frame from the skin section ("EDIT" by default) in the
// normal or active state, replaces the system scroll bars by the skinned
// ones of TkxScrollWnd, and gives the owner control the section's
// background and text colours (put back when it lets go).
//
// Ownership as for TkxMainWnd: the creator owns the adapter. Windows only;
// UI thread only.
#pragma once

#include <memory>

#include "skin/controls/kxScrollWnd.h"

namespace kx {

class TkxEditWnd : public TkxScrollWnd {
 public:
  TK_CLASS_NAME(TkxEditWnd)
  TkxEditWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* SkinManager,
             TsCommonData* SkinData);
  // Lets go while the object is still an edit adapter, so the owner's
  // colours come back; a procedure installed over the adapter's stays in
  // the chain (see TkxMainWnd).
  ~TkxEditWnd() override;

  void kxWndProc(tk::TMessage& Message) override;
  void SaveStdParams() override;
  void RestoreStdParams() override;
  // Applies the section's colours to the owner. Changing an owner property
  // may recreate the window and so free this adapter: it stops at once then.
  void SetSkinParams() override;

  // The frame picture in the skin state's cache, rebuilt when BGChanged;
  // Plain (dialog mode): the system window colour with a one-pixel frame.
  void PaintFrameCache(bool Plain);

  tk::TColor Color = 0;       // the colour of a window without owner control
  tk::TColor FocusColor = 0;  // the owner's focus colour at attach time
  tk::TColor FrameColor = 0;

 protected:
  void BuildFrameCache() override;

 private:
  void WMNCPaint(tk::TMessage& m);
  void WMPaint(tk::TMessage& m);
  void WMEraseBkgnd(tk::TMessage& m);
  void WMPrint(tk::TMessage& m);
  void EditCommand(tk::TMessage& m);
  void AfterMessage(const tk::TMessage& m);
  // The border corners drawn again over the parent's picture.
  void RefreshCorners();
  // The four border strips (cxLeftEdge wide) of the cache copied to DC.
  void CopyFrame(HDC DC);
  bool FInSkinParams = false;
};

}  // namespace kx
