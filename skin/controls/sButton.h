// TsButton: the engine's push button (the about panel's "OK"). While skinned
// the system button is owner-drawn and the engine paints it whole from its
// cache bitmap: section background and border, image, caption, dotted focus
// frame and disabled look. The window region leaves out the border mask's
// see-through corner pixels, so clicks there reach the parent; the region is
// cut again only when the size, the skin or the corner look changed. State
// changes cross-fade through a TsFadeTimer the button owns and frees through
// StopFade only. UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "skin/framework/sCommonData.h"
#include "skin/framework/sCommonHandler.h"
#include "skin/framework/sFadeTimer.h"
#include "skin/paint/PaintTypes.h"
#include "skin/paint/sPushButtonLayout.h"
#include "toolkit/StdCtrls.h"

namespace kx {

class TsButton : public tk::TButton {
 public:
  TK_CLASS_NAME(TsButton)
  explicit TsButton(tk::TComponent* AOwner);
  ~TsButton() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  const tk::String& SkinSection() const { return FCommonData->SkinSection(); }
  void SetSkinSection(const tk::String& Value) { FCommonData->SetSkinSection(Value); }

  bool Down() const { return FDown; }
  void SetDown(bool v);
  TsDisabledKinds DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKinds v);
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool v);
  // Takes effect at the next repaint.
  int FocusMargin() const { return FFocusMargin; }
  void SetFocusMargin(int v) { FFocusMargin = v; }
  TkxAnimatEvents AnimatEvents() const { return FAnimatEvents; }
  void SetAnimatEvents(TkxAnimatEvents v) { FAnimatEvents = v; }
  TkxImageAlignment ImageAlignment() const { return FImageAlignment; }
  void SetImageAlignment(TkxImageAlignment v);

  tk::TNotifyEvent OnMouseEnter;
  tk::TNotifyEvent OnMouseLeave;

  // 0 normal, 1 hot, focused or default, 2 pressed.
  int CurrentState() const;
  tk::TRect CaptionRect();
  // The look for CurrentState painted into the cache bitmap.
  void PrepareCache();
  bool Fading() const { return FFadeTimer != nullptr; }
  // How often a window region has been handed to the window.
  int RegionsApplied() const { return FRegionsApplied; }

  void WndProc(tk::TMessage& Message) override;

 protected:
  void CreateParams(tk::TCreateParams& Params) override;
  void SetButtonStyle(bool ADefault) override;
  void CNMeasureItem(tk::TMessage& Message) override;
  void MouseDown(tk::TMouseButton Button, tk::TShiftState Shift, int X, int Y) override;
  void MouseUp(tk::TMouseButton Button, tk::TShiftState Shift, int X, int Y) override;

 private:
  class THandler;
  bool Skinned() const;
  bool Designing() const { return ComponentState().Contains(tk::csDesigning); }
  bool Ready() const;
  bool SkinCommand(tk::TMessage& Message);
  bool SkinnedMessage(tk::TMessage& Message);
  void SetOwnerDraw(bool On);
  void PaintWithRegion(HDC DC);
  void UpdateRegion();
  void ClearStaleCorners(const tk::TRect& Old);
  void DrawCaption();
  void StateChanged(bool Pressed, TacAnimEvent Event);
  void FocusMoved(tk::TMessage& Message, bool Gained);
  TkxPushButtonMeasures Measures();

  std::unique_ptr<TsCommonData> FCommonData;
  std::unique_ptr<THandler> FHandler;
  TsFadeTimer* FFadeTimer = nullptr;
  bool FMouseClicked = false;
  bool FDown = false;
  bool FForcePressed = false;
  bool IsFocused = false;
  bool FShowFocus = true;
  bool FInFocusChange = false;
  int FFocusMargin = 1;
  TsDisabledKinds FDisabledKind = dkBlended;
  TkxAnimatEvents FAnimatEvents = kxDefaultAnimatEvents;
  TkxImageAlignment FImageAlignment = iaLeft;
  // The key the window's present region was cut for, and the bounds it had.
  TkxRegionKey FRegionKey;
  tk::TRect LastRect;
  int FRegionsApplied = 0;
};

}  // namespace kx
