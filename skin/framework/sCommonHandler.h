// TkxCommonHandler: the one place where the engine command message and the
// window messages that concern skin state reach a TsCommonData. Every owner
// of one (control, window adapter, form provider) hands each message to
// HandleSkinMessage before its own reactions; a message it answers must not
// be passed on. Each sub-command and message goes to a named hook; an owner
// extends the behaviour by overriding hooks, most often PrepareCache and
// PaintContent. The handler references its TsCommonData, never owns it.
// UI thread only, called from the owner's window procedure.
#pragma once

#include <cstdint>

#include "toolkit/Messages.h"
#include "toolkit/Types.h"

namespace tk {
class TBitmap;
class TControl;
}  // namespace tk

namespace kx {

class TsCommonData;
class TsSkinManager;
struct TBackgroundQuery;

class TkxCommonHandler {
 public:
  explicit TkxCommonHandler(TsCommonData& Data) : FData(Data) {}
  virtual ~TkxCommonHandler() = default;
  TkxCommonHandler(const TkxCommonHandler&) = delete;
  TkxCommonHandler& operator=(const TkxCommonHandler&) = delete;

  // An engine command message: true when answered (Result holds the reply).
  bool HandleSkinCommand(tk::TMessage& Message);
  // Any message: commands as above, the shared window messages to their
  // hooks; true when answered.
  bool HandleSkinMessage(tk::TMessage& Message);

  // Rebuilds the cache when it does not fit the owner's size, PaintState
  // and skin any more (indexes of a replaced skin are resolved again
  // first); the new picture comes from PaintContent.
  virtual void PrepareCache();

 protected:
  TsCommonData& Data() const { return FData; }
  // Sender is the manager named in LParam; true when it is this control's.
  bool IsOwnManager(intptr_t Sender) const;

  // --- Commands (the handler answers those returning a value) ---------------
  virtual void SkinLoaded(TsSkinManager* Sender);
  virtual void SkinRemoved(TsSkinManager* Sender);
  virtual void SkinRefresh(TsSkinManager* Sender);
  virtual void SetUpdating(bool Value);
  virtual void SetUrgent(bool Value);
  virtual bool QueryUpdating() const;
  virtual bool QueryHalfVisible() const;
  virtual void TransparentChanged(bool Rebuild);
  virtual void SectionChanged();
  virtual void BackgroundChanged();
  virtual void RepaintNow();
  virtual bool QueryVaryingBackground() const;
  virtual void CheckMoved(bool Redraw);
  virtual tk::TColor QueryColor() const;
  virtual void SetHalfVisible();
  virtual void QuerySkinIndex(int& Index) const;
  virtual void QueryBackground(TBackgroundQuery& Query) const;
  virtual uint16_t QuerySkinState(bool Recompute);
  virtual intptr_t QueryApplication() const;

  // --- Window messages (passed on to the owner afterwards unless answered) --
  virtual void Moved();
  virtual void Sized();
  virtual void FocusChanged(bool Focused);
  // Where the skinned menus take over the owner's popup menu; true when
  // the menu was shown. Plain menus are left to the toolkit.
  virtual bool ContextMenu() { return false; }
  virtual bool UpdateUIState() const;
  virtual void ChildCreated();
  virtual void VisibleChanged(bool Visible);
  virtual void EnabledChanged();
  virtual void MouseEntered(tk::TControl* From);
  virtual void MouseLeft();

  // --- Painting ---------------------------------------------------------------
  // The state the cache is painted in (0 normal, 1 hot, ...).
  virtual int PaintState() const { return 0; }
  // Paints the owner's look into the sized cache; nothing by default.
  virtual void PaintContent(tk::TBitmap& /*Cache*/, int /*State*/) {}

 private:
  bool Command(tk::TMessage& Message);
  TsCommonData& FData;
};

}  // namespace kx
