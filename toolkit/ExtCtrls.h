// TCustomPanel / TPanel: a container window with classic bevels, a border
// ring and a centred caption. The skin engine replaces the painting; this
// is the unskinned look. UI thread only.
#pragma once

#include <cstdint>

#include "toolkit/Controls.h"
#include "toolkit/StdCtrls.h"

namespace tk {

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
using TPanelBevel = TBevelCut;
using TBevelWidth = int;

class TCustomPanel : public TCustomControl {
 public:
  TK_CLASS_NAME(TCustomPanel)
  explicit TCustomPanel(TComponent* AOwner);
  ~TCustomPanel() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool v);
  TPanelBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel v);
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel v);
  TBevelWidth BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(TBevelWidth v);
  // bsSingle adds the sunken window edge around the panel.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  // Repaint the whole panel after a resize (the bevels move with the edges).
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool v) { FFullRepaint = v; }

  // Width of the ring inside the client area that bevels and border take:
  // BevelWidth per bevel that is not bvNone, plus BorderWidth.
  int BevelInset() const;

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void Resize() override;

 private:
  TAlignment FAlignment = taCenter;
  bool FShowCaption = true;
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  TBevelWidth FBevelWidth = 1;
  TBorderStyle FBorderStyle = bsNone;
  bool FFullRepaint = true;
};

class TPanel : public TCustomPanel {
 public:
  TK_CLASS_NAME(TPanel)
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// Draws Width rings of a classic 3-D frame on Canvas inside Rect (top and
// left in TopColor, bottom and right in BottomColor) and shrinks Rect by
// them.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

}  // namespace tk
