// TsSpeedButton: the engine's window-less button (the notepad's page
// buttons). While skinned it paints its whole look - section background and
// border, caption, glyph, drop-down arrow, disabled look - into its cache
// bitmap and copies that onto the parent's canvas; mouse enter, leave, press
// and release cross-fade from the old picture to the new one through a
// TsAnimTimer the button owns (freed through StopFade, which is safe inside
// the timer's own tick). UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "skin/framework/sCommonData.h"
#include "skin/framework/sCommonHandler.h"
#include "skin/framework/sFadeTimer.h"
#include "skin/paint/PaintTypes.h"
#include "skin/paint/sButtonLayout.h"
#include "skin/paint/sGlyphs.h"
#include "toolkit/Buttons.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

namespace kx {

enum TToolButtonStyle : uint8_t { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider, tbsTextButton };
using TBmpPaintEvent = tk::TEvent<tk::TObject*, tk::TBitmap*>;

class TsSpeedButton : public tk::TSpeedButton {
 public:
  TK_CLASS_NAME(TsSpeedButton)
  explicit TsSpeedButton(tk::TComponent* AOwner);
  ~TsSpeedButton() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  const tk::String& SkinSection() const { return FCommonData->SkinSection(); }
  void SetSkinSection(const tk::String& Value) { FCommonData->SetSkinSection(Value); }

  TkxAnimatEvents AnimatEvents() const { return FAnimatEvents; }
  void SetAnimatEvents(TkxAnimatEvents v) { FAnimatEvents = v; }
  tk::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(tk::TAlignment v);
  tk::TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(tk::TAlignment v);
  int Blend() const { return FBlend; }
  void SetBlend(int v);
  bool Grayed() const { return FGrayed; }
  void SetGrayed(bool v);
  TToolButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TToolButtonStyle v);
  TsDisabledKinds DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKinds v);
  TsDisabledGlyphKinds DisabledGlyphKind() const { return FDisabledGlyphKind; }
  void SetDisabledGlyphKind(TsDisabledGlyphKinds v);
  tk::TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(tk::TPopupMenu* v);
  bool Reflected() const { return FReflected; }
  void SetReflected(bool v);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool v);
  bool DrawOverBorder() const { return FDrawOverBorder; }
  void SetDrawOverBorder(bool v);
  int TextOffset() const { return FOffset; }
  void SetTextOffset(int v);
  bool DroppedDown() const { return FDroppedDown; }

  TBmpPaintEvent OnPaint;
  tk::TNotifyEvent OnMouseEnter;
  tk::TNotifyEvent OnMouseLeave;

  // 0 normal, 1 hot (enabled and under the mouse), 2 pressed or held down.
  int CurrentState() const;
  tk::TRect CaptionRect();
  tk::TRect ImgRect();
  int GlyphWidth() { return Glyph()->Empty() ? 0 : Glyph()->Width() / std::max(NumGlyphs(), 1); }
  int GlyphHeight() { return Glyph()->Empty() ? 0 : Glyph()->Height(); }
  // The look for CurrentState painted into the cache bitmap.
  void PrepareCache();
  // Shows the cache (or the running fade's frame) at once, rebuilding a stale cache first.
  void GraphRepaint();
  // A cross-fade is running.
  bool Fading() const { return FFadeTimer != nullptr; }

  void Invalidate() override;
  void WndProc(tk::TMessage& Message) override;

 protected:
  void Paint() override;
  void MouseDown(tk::TMouseButton Button, tk::TShiftState Shift, int X, int Y) override;
  void MouseUp(tk::TMouseButton Button, tk::TShiftState Shift, int X, int Y) override;
  void GlyphChanged(tk::TObject* Sender) override;
  void Notification(tk::TComponent* AComponent, tk::TOperation Operation) override;

 private:
  bool Skinned() const { return FCommonData->Skinned(); }
  bool Designing() const { return ComponentState().Contains(tk::csDesigning); }
  bool Ready() const;
  // Marks the cache stale and repaints, for a property that changes the look.
  void LookChanged();
  TkxButtonMeasures Measures();
  void DrawCaption();
  void DrawGlyph();
  void PaintArrowArea(const TCacheInfo& ci, int W, int H, int AW);
  void PaintOverlappingSiblings(tk::TCanvas* Canvas);
  void StateChanged(bool HalfSpeed, bool Animate);
  void StartFading(bool HalfSpeed);
  void StopFading();
  void MouseEnterHandler();
  void MouseLeaveHandler();
  bool PointerOver();
  void CopyToCanvas(tk::TBitmap* Source);
  void UpdateCaption();

  std::unique_ptr<TsCommonData> FCommonData;
  std::unique_ptr<TkxCommonHandler> FHandler;
  TsAnimTimer* FFadeTimer = nullptr;
  int FOldNumGlyphs = 1;
  int FOldSpacing = 4;
  bool FStoredDown = false;
  TsDisabledKinds FDisabledKind = dkBlended;
  TsDisabledGlyphKinds FDisabledGlyphKind = dgBlended;
  bool FGrayed = false;
  int FBlend = 0;
  int FOffset = 0;
  bool FShowCaption = true;
  tk::TAlignment FAlignment = tk::taCenter;
  TToolButtonStyle FButtonStyle = tbsButton;
  tk::TPopupMenu* FDropdownMenu = nullptr;
  bool FDrawOverBorder = true;
  tk::TAlignment FTextAlignment = tk::taCenter;
  TkxAnimatEvents FAnimatEvents = kxDefaultAnimatEvents;
  bool FReflected = false;
  bool FDroppedDown = false;
  tk::TButtonLayout FOldLayout = tk::blGlyphLeft;
  tk::String FOldCaption;
};

}  // namespace kx
