// TkxCtrlAdapter: the skin for a skinned form's children that know nothing
// of it. A form's skin provider makes one; it finds the form's controls
// whose class names stand in the skin manager's ThirdParty lists and gives
// each the window adapter of its list (a windowed control) or a speed-button
// handler (a toolkit speed button), makes plain labels see-through in the
// skin's text colour, and lets the application veto or re-section each
// control through the provider's OnSkinItem.
//
// Ownership: the provider owns the adapter; the adapter owns its items, each
// item its skin state and its window adapter or handler. Controls are never
// owned. Windows only; UI thread only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "toolkit/Buttons.h"
#include "toolkit/Controls.h"
#include "toolkit/Messages.h"

namespace kx {

class TkxCtrlAdapter;
class TkxMainWnd;
class TkxSpeedButtonHandler;
class TsCommonData;
class TsSkinProvider;

// The application's say on one control: CanBeAdded false keeps it as it is;
// SkinSection (empty: the adapter's choice) names the section it gets.
using TAddItemEvent = std::function<void(tk::TControl* Sender, bool& CanBeAdded, tk::String& SkinSection)>;

// One adapted windowed control.
class TkxAdapterItem : public tk::TPersistent {
 public:
  TK_CLASS_NAME(TkxAdapterItem)
  explicit TkxAdapterItem(TkxCtrlAdapter* Owner);
  // Frees the window adapter (which lets the window go) and the skin state.
  ~TkxAdapterItem() override;
  TkxAdapterItem(const TkxAdapterItem&) = delete;
  TkxAdapterItem& operator=(const TkxAdapterItem&) = delete;

  // Attaches the window adapter of the control's list, when it has one.
  virtual void DoHook(tk::TWinControl* Control);
  // The window adapter exists and still holds its window.
  bool Live() const;
  void FreeWindowAdapter();

  tk::TWinControl* WinCtrl = nullptr;
  std::unique_ptr<TsCommonData> SkinData;
  int OldFontColor = -1;
  TkxCtrlAdapter* Adapter;
  TkxMainWnd* ScrollWnd = nullptr;
};

// One speed button of the toolkit, skinned through a handler.
class TkxGraphItem : public tk::TPersistent {
 public:
  TK_CLASS_NAME(TkxGraphItem)
  explicit TkxGraphItem(TkxCtrlAdapter* Owner);
  ~TkxGraphItem() override;
  TkxGraphItem(const TkxGraphItem&) = delete;
  TkxGraphItem& operator=(const TkxGraphItem&) = delete;

  virtual void DoHook(tk::TControl* Control);
  bool Live() const;
  void FreeHandler();

  tk::TControl* Ctrl = nullptr;
  std::unique_ptr<TsCommonData> SkinData;
  TkxCtrlAdapter* Adapter;
  TkxSpeedButtonHandler* Handler = nullptr;
};

class TkxCtrlAdapter : public tk::TPersistent {
 public:
  TK_CLASS_NAME(TkxCtrlAdapter)
  explicit TkxCtrlAdapter(TsSkinProvider* AProvider);
  ~TkxCtrlAdapter() override;
  TkxCtrlAdapter(const TkxCtrlAdapter&) = delete;
  TkxCtrlAdapter& operator=(const TkxCtrlAdapter&) = delete;

  // Adapts everything below OwnerCtrl (null: the provider's form): its
  // components, then its child controls, and each windowed one's own below.
  void AddAllItems(tk::TWinControl* OwnerCtrl = nullptr);

  virtual bool IsControlSupported(tk::TComponent* Component);
  virtual TkxAdapterItem* GetItem(int Index);
  virtual void AddNewItem(tk::TSpeedButton* Button);
  virtual void AddNewItem(tk::TWinControl* Ctrl);
  virtual void AddNewItem(tk::TWinControl* Ctrl, const tk::String& SkinSection);
  // Frees the item; the last one takes its place.
  virtual void RemoveItem(int Index);
  // Sends Message to every adapted window still held by its adapter.
  virtual void WndProc(tk::TMessage& Message);

  void RemoveAllItems();
  // Drops, in order, the items whose adapter or handler is gone.
  void CleanItems();
  int IndexOf(const tk::TWinControl* Ctrl) const;
  int Count() const { return static_cast<int>(Items.size()); }

  TsSkinProvider* Provider;
  tk::String DefaultSection;
  std::vector<std::unique_ptr<TkxAdapterItem>> Items;
  std::vector<std::unique_ptr<TkxGraphItem>> GraphItems;

 private:
  // The application's answer for Ctrl; false when it vetoes.
  bool Ask(tk::TControl* Ctrl, tk::String& SkinSection) const;
  void AdaptChildren(tk::TWinControl* Owner);
  void MakeLabelPlain(tk::TControl* Label);
  int IndexOfGraph(const tk::TControl* Ctrl) const;
};

}  // namespace kx
