// TkxGroupBoxWnd: the adapter of a group box ("button" of the group-box
// type, or a toolkit group box the skin does not paint itself). The frame is
// the skin section ("GROUPBOX" unless its creator names another) painted
// from half the caption's height down; the caption band above it shows the
// parent's picture, with the caption written over it. In dialog mode (a
// system dialog) the adapter paints at non-client time and leaves the
// inside of the frame to the window and its children.
//
// Ownership as for TkxMainWnd: the creator owns the adapter. Windows only;
// UI thread only.
#pragma once

#include "skin/controls/kxMainWnd.h"

namespace kx {

struct TBackgroundQuery;

class TkxGroupBoxWnd : public TkxMainWnd {
 public:
  TK_CLASS_NAME(TkxGroupBoxWnd)
  // SkinSection empty: "GROUPBOX".
  TkxGroupBoxWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* SkinManager,
                 TsCommonData* SkinData);

  void kxWndProc(tk::TMessage& Message) override;

  // The caption's band: from the top to a little below the text, 6 pixels
  // in from the left (from the right for right-to-left reading).
  tk::TRect CaptionRect();
  void PrepareCache();
  // Paints into Given (null: the window's DC).
  void KX_WMPaint(HDC Given);

 private:
  void WriteText(const tk::TRect& R, const TBackgroundQuery& Q, tk::TPoint At);
  void WMEraseBkgnd(tk::TMessage& m);
};

}  // namespace kx
