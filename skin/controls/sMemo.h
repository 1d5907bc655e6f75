// TsMemo: the engine's multi-line editor. The system edit window keeps its
// text and caret; while a skin is active a TkxEditWnd adapter paints the
// frame and the skinned scroll bars and gives the memo the section's
// colours. The adapter exists only while skinned: made when the memo is
// loaded, shown or refreshed, freed when the skin goes (the window is then
// recreated so that the system frame and bars come back). The optional
// caption label follows the memo. UI thread only.
#pragma once

#include <memory>

#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sSkinSection.h"
#include "skin/paint/PaintTypes.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/WinTypes.h"

namespace kx {

class TkxScrollWnd;

class TsMemo : public TsSectioned<tk::TMemo, cocMemo> {
 public:
  TK_CLASS_NAME(TsMemo)
  explicit TsMemo(tk::TComponent* AOwner);
  ~TsMemo() override;

  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  // The frame's look when disabled; dkBlended also disables the label.
  TsDisabledKinds DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKinds Value);
  // The window's adapter; null while unskinned.
  TkxScrollWnd* ListSW() const { return FListSW; }

  tk::TNotifyEvent OnVScroll;       // after the window scrolled (WM_VSCROLL)
  tk::TNotifyEvent OnScrollCaret;   // after a selection was set (EM_SETSEL)

  void Loaded() override;
  void WndProc(tk::TMessage& Message) override;

 protected:
  void CreateHandleDone() override;

 private:
  // The adapter follows the skin: made for a skinned memo with a window,
  // replaced when its window went, freed when unskinned.
  void RefreshEditScrolls();
  void FreeAdapter();
  void BoundLabelStep(const tk::TMessage& Message);

  std::unique_ptr<TsBoundLabel> FBoundLabel;
  TsDisabledKinds FDisabledKind = dkBlended;
  TkxScrollWnd* FListSW = nullptr;
};

// Makes, replaces or frees an edit-like window's adapter as the skin state
// asks (see TsMemo::RefreshEditScrolls).
void RefreshEditScrolls(TsCommonData* SkinData, HWND Handle, TkxScrollWnd*& Adapter);

}  // namespace kx
