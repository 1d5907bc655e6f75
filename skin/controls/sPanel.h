// TsPanel: the engine's container panel (the notepad's page-button column
// and its about box). It keeps all of the toolkit panel's behaviour and
// replaces its painting while it is skinned: background, border and caption
// from one section (default "PANEL"), either through a cache bitmap of its
// own look or, for a flat colour, filled straight onto the device with only
// the border kept in the cache. Its window-less children (speed buttons,
// labels) are painted over it in one piece each, and its children ask it
// for the background behind them. Unskinned it paints as the plain panel.
//
// The panel owns its TsCommonData (SkinData). UI thread only.
#pragma once

#include <memory>

#include "skin/framework/sCommonData.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace kx {

// Called after a panel painted its background and caption, with the canvas
// it painted on.
using TPaintEvent = tk::TEvent<tk::TObject*, tk::TCanvas*>;

class TsPanel : public tk::TPanel {
 public:
  TK_CLASS_NAME(TsPanel)
  explicit TsPanel(tk::TComponent* AOwner);
  ~TsPanel() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  const tk::String& SkinSection() const { return FCommonData->SkinSection(); }
  void SetSkinSection(const tk::String& Value) { FCommonData->SetSkinSection(Value); }

  TPaintEvent OnPaint;
  tk::TNotifyEvent OnMouseEnter;
  tk::TNotifyEvent OnMouseLeave;

  void AfterConstruction() override;
  void Loaded() override;
  void WndProc(tk::TMessage& Message) override;

  // Paints the skinned panel and its window-less children onto DC (the
  // canvas's DC when null); nothing while hidden or unskinned. SendUpdated
  // tells the children afterwards that their parent has finished.
  void OurPaint(HDC DC, bool SendUpdated);
  // Rebuilds the cache bitmap: look over the parent, caption, OnPaint.
  void PrepareCache();
  // The caption into R, on Canvas or else on a canvas made for DC.
  void WriteText(tk::TRect R, tk::TCanvas* Canvas, HDC DC);
 protected:
  void Paint() override;
  void PaintWindow(HDC DC) override;

 private:
  class THandler;
  // The cache shows the panel (or a window animation wants it), rather
  // than a colour filled straight onto the device.
  bool PaintsThroughCache() const;
  // The window exists, the panel is placed and not being built or torn down.
  bool Ready();
  bool Skinned() const { return FCommonData->Skinned(); }
  tk::TRect CaptionArea();
  void PaintCached(HDC DC);
  void PaintSolid(HDC DC);
  void PaintCaption(HDC DC);
  // The skin state's updating flag asked again (of the parents too).
  bool RefreshUpdating();

  // Message handlers.
  bool EngineCommand(tk::TMessage& m);
  void QueryBackground(tk::TMessage& m);
  void SkinnedMessage(tk::TMessage& m);
  void PlainMessage(tk::TMessage& m);
  void WMPaint(tk::TMessage& m);
  void WMEraseBkgnd(tk::TMessage& m);
  void WMPrint(tk::TMessage& m);
  void ParentUpdated(tk::TMessage& m);
  void Inherited(tk::TMessage& m) { tk::TPanel::WndProc(m); }
  void Common(tk::TMessage& m);

  std::unique_ptr<TsCommonData> FCommonData;
  std::unique_ptr<THandler> FHandler;
  // The erase of the paint now running painted the whole panel.
  bool FErasedInPaint = false;
};

}  // namespace kx
