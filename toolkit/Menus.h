// Menus: the item tree (TMenuItem), the menu components that hold one
// (TMenu, TPopupMenu, TMainMenu), shortcuts and their text.
//
// A menu owns its root item; a parent item frees its sub-items when it goes
// (they also leave their owner's component list then). The tree is pure;
// building the system menu, tracking a popup and the owner-draw dispatch
// live in Menus_win.cpp. UI thread only.
//
// Command numbers are unique in the process, so WM_COMMAND from any open
// popup finds its item without knowing the menu.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Messages.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace tk {

class TBitmap;
class TCanvas;
class TMenu;

// Virtual key in the low byte, modifiers in the high bits.
using TShortCut = uint16_t;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(uint16_t Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, uint16_t& Key, TShiftState& Shift);
// "Ctrl+Z", "Shift+Ctrl+F5", "Alt+F4"; empty for scNone or a key without a name.
String ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText (modifier names in any order and case); 0 when not understood.
TShortCut TextToShortCut(const String& Text);

// The item state handed to owner-draw handlers; the positions are those of
// the system's ODS_* bits, so Bits() equals the itemState of WM_DRAWITEM.
enum TOwnerDrawStateItem : uint8_t {
  odSelected = 0,
  odGrayed = 1,
  odDisabled = 2,
  odChecked = 3,
  odFocused = 4,
  odDefault = 5,
  odHotLight = 6,
  odInactive = 7,
  odNoAccel = 8,
  odNoFocusRect = 9,
  odComboBoxEdit = 12
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

enum TMenuBreak : uint8_t { mbNone, mbBreak, mbBarBreak };

using TMenuMeasureItemEvent = TEvent<TObject*, TCanvas*, int&, int&>;
using TMenuDrawItemEvent = TEvent<TObject*, TCanvas*, TRect, bool>;
using TAdvancedMenuDrawItemEvent = TEvent<TObject*, TCanvas*, TRect, TOwnerDrawState>;

class TMenuItem : public TComponent {
 public:
  TK_CLASS_NAME(TMenuItem)
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;
  void BeforeDestruction() override;

  // --- Tree ---------------------------------------------------------------
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const;
  TMenuItem* Parent() const { return FParent; }
  // Appends / inserts Item (taken out of any other parent first).
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  // Takes the item out of the tree without freeing it.
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  // Frees every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* Item) const;
  int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
  // The menu component whose tree holds this item (null when detached).
  TMenu* GetParentMenu() const;
  // First item of the tree below this one (depth first) with the shortcut.
  TMenuItem* FindShortCut(TShortCut Value);
  TMenuItem* FindCommand(uint16_t Id);

  // --- Properties ---------------------------------------------------------
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  bool IsLine() const { return FCaption == L"-"; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut v);
  bool Checked() const { return FChecked; }
  void SetChecked(bool v);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool v);
  // Radio items of one group and parent uncheck each other.
  uint8_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(uint8_t v);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool v) { FAutoCheck = v; }
  bool Default() const { return FDefault; }
  void SetDefault(bool v);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  TMenuBreak Break() const { return FBreak; }
  void SetBreak(TMenuBreak v);
  const String& Hint() const { return FHint; }
  void SetHint(const String& v) { FHint = v; }
  // Created on first use, owned by the item.
  TBitmap* Bitmap();
  bool HasBitmap() const;
  void SetBitmap(const TBitmap* v);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  // Image list of the sub-items (not drawn by the toolkit itself).
  TObject* SubMenuImages() const { return FSubMenuImages; }
  void SetSubMenuImages(TObject* v) { FSubMenuImages = v; }
  uint16_t Command() const { return FCommand; }

  // Runs OnClick (after AutoCheck); does nothing for a disabled item.
  virtual void Click();
  // Called by the owner-draw dispatch; the default runs the handlers and
  // draws the plain look when an owner-drawn item has none.
  virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
  virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

  // Any change of the tree or of an item's look reaches the menu here.
  void MenuChanged();

 protected:
  // The plain look of an owner-drawn item without handlers.
  virtual void DoDrawText(TCanvas* ACanvas, const String& ACaption, TRect& Rect, bool Selected, unsigned Flags);

 private:
  friend class TMenu;
  void TurnSiblingsOff();
  void SetParentMenu(TMenu* Menu);

  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item only
  std::vector<TMenuItem*> FItems;
  String FCaption;
  String FHint;
  TShortCut FShortCut = 0;
  bool FChecked = false, FRadioItem = false, FAutoCheck = false, FDefault = false;
  bool FEnabled = true, FVisible = true;
  uint8_t FGroupIndex = 0;
  TMenuBreak FBreak = mbNone;
  TBitmap* FBitmap = nullptr;
  int FImageIndex = -1;
  TObject* FSubMenuImages = nullptr;
  uint16_t FCommand = 0;
};

class TMenu : public TComponent {
 public:
  TK_CLASS_NAME(TMenu)
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  void BeforeDestruction() override;

  TMenuItem* Items() const { return FItems; }
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool v);
  // Image list for the items (kept for the skin engine; not drawn here).
  TObject* Images() const { return FImages; }
  void SetImages(TObject* v) { FImages = v; }
  // The window the menu belongs to (a form's window, the system menu's owner).
  HWND WindowHandle() const { return FWindowHandle; }
  void SetWindowHandle(HWND v) { FWindowHandle = v; }

  // Runs the item whose shortcut matches a key-down message (WM_KEYDOWN or
  // WM_SYSKEYDOWN, modifiers read from the keyboard state). True when an
  // enabled item took it.
  bool IsShortCut(const TMessage& KeyMessage);
  // The same, for a shortcut already put together.
  bool DispatchShortCut(TShortCut Value);
  // Runs the item with this command number; true when found.
  bool DispatchCommand(uint16_t Id);

  // Called when the tree or an item changed (the skin engine listens).
  TNotifyEvent OnChange;
  virtual void MenuChanged(TMenuItem* Item);

 private:
  TMenuItem* FItems = nullptr;
  bool FOwnerDraw = false;
  TObject* FImages = nullptr;
  HWND FWindowHandle = nullptr;
};

// The menu-bar menu of a form: kept as state for the engine, not shown.
class TMainMenu : public TMenu {
 public:
  TK_CLASS_NAME(TMainMenu)
  using TMenu::TMenu;
  bool AutoMerge() const { return FAutoMerge; }
  void SetAutoMerge(bool v) { FAutoMerge = v; }

 private:
  bool FAutoMerge = false;
};

enum TPopupAlignment : uint8_t { paLeft, paRight, paCenter };
enum TTrackButton : uint8_t { tbRightButton, tbLeftButton };
// maNone switches the system's menu animation off (TPM_NOANIMATION).
enum TMenuAnimations : uint8_t { maLeftToRight, maRightToLeft, maTopToBottom, maBottomToTop, maNone };
using TMenuAnimation = TSet<TMenuAnimations>;

class TPopupMenu : public TMenu {
 public:
  TK_CLASS_NAME(TPopupMenu)
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // Shows the menu at the screen point and returns when it has closed. A
  // chosen item's OnClick runs from the message loop right after (as the
  // system posts the command), not inside this call.
  virtual void Popup(int X, int Y);
  // The control the menu was last shown for (set by the caller or by the
  // context-menu handling before Popup).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* v);
  // The screen point of the last Popup.
  TPoint PopupPoint() const { return FPopupPoint; }

  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment v) { FAlignment = v; }
  TTrackButton TrackButton() const { return FTrackButton; }
  void SetTrackButton(TTrackButton v) { FTrackButton = v; }
  TMenuAnimation MenuAnimation() const { return FMenuAnimation; }
  void SetMenuAnimation(TMenuAnimation v) { FMenuAnimation = v; }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool v) { FAutoPopup = v; }

  // Before the menu is built.
  TNotifyEvent OnPopup;
  // After the menu closed (before a chosen item runs).
  TNotifyEvent OnClose;

  // The system menu handle while the menu is shown (null otherwise).
  HMENU Handle() const { return FHandle; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint;
  TPopupAlignment FAlignment = paLeft;
  TTrackButton FTrackButton = tbRightButton;
  TMenuAnimation FMenuAnimation;
  bool FAutoPopup = true;
  HMENU FHandle = nullptr;
};

// The popup menus alive in the process, for the utility window that owns
// every tracked popup (measure, draw and command messages find their item
// through it).
const std::vector<TPopupMenu*>& PopupList();
// True while Item is an existing menu item (owner-draw messages carry raw pointers).
bool IsLiveMenuItem(const TMenuItem* Item);

// Windows only: the system popup menu for Root's visible items (commands,
// check and radio marks, breaks, default, sub-menus; every item owner-drawn
// when OwnerDraw, separators included). The caller destroys it.
HMENU CreateMenuHandle(TMenuItem* Root, bool OwnerDraw);
// Windows only: the hidden window of class "TPUtilWindow" that owns tracked
// popups and hands their measure, draw and command messages to the items.
HWND PopupListWindow();

// Connects the controls' context-menu and shortcut handling to the popup
// menus (done by every TPopupMenu's constructor; harmless to repeat).
void InstallPopupMenuHooks();

}  // namespace tk
