// The menu tree, command numbers and shortcut text (pure half of Menus.h).
#include "toolkit/Menus.h"

#include <algorithm>
#include <unordered_set>

#include "toolkit/Bitmap.h"
#include "toolkit/SysUtils.h"

namespace tk {

// --- Shortcuts ----------------------------------------------------------------

TShortCut ShortCut(uint16_t Key, TShiftState Shift) {
  if ((Key & 0xFF00) != 0) return scNone;
  TShortCut r = Key;
  if (Shift.Contains(ssShift)) r |= scShift;
  if (Shift.Contains(ssCtrl)) r |= scCtrl;
  if (Shift.Contains(ssAlt)) r |= scAlt;
  return r;
}

void ShortCutToKey(TShortCut Value, uint16_t& Key, TShiftState& Shift) {
  Key = Value & 0xFF;
  Shift = {};
  if (Value & scShift) Shift += ssShift;
  if (Value & scCtrl) Shift += ssCtrl;
  if (Value & scAlt) Shift += ssAlt;
}

namespace {

// Names of the keys a menu may show; letters and digits name themselves.
struct TKeyName {
  uint8_t Key;
  const wchar_t* Name;
};
constexpr TKeyName KeyNames[] = {
    {0x08, L"BkSp"},  {0x09, L"Tab"},   {0x0D, L"Enter"}, {0x1B, L"Esc"},   {0x20, L"Space"}, {0x21, L"PgUp"},
    {0x22, L"PgDn"},  {0x23, L"End"},   {0x24, L"Home"},  {0x25, L"Left"},  {0x26, L"Up"},    {0x27, L"Right"},
    {0x28, L"Down"},  {0x2D, L"Ins"},   {0x2E, L"Del"},   {0x6A, L"Num *"}, {0x6B, L"Num +"}, {0x6D, L"Num -"},
    {0x6E, L"Num ."}, {0x6F, L"Num /"}, {0xBA, L";"},     {0xBB, L"="},     {0xBC, L","},     {0xBD, L"-"},
    {0xBE, L"."},     {0xBF, L"/"},     {0xC0, L"`"},     {0xDB, L"["},     {0xDC, L"\\"},    {0xDD, L"]"},
    {0xDE, L"'"},
};

String KeyName(uint8_t Key) {
  if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z')) return String(1, static_cast<wchar_t>(Key));
  if (Key >= 0x60 && Key <= 0x69) return L"Num " + String(1, static_cast<wchar_t>(L'0' + Key - 0x60));
  if (Key >= 0x70 && Key <= 0x87) return L"F" + IntToStr(Key - 0x70 + 1);
  for (const TKeyName& k : KeyNames)
    if (k.Key == Key) return k.Name;
  return String();
}

bool StartsWithNoCase(const String& s, size_t pos, const String& prefix) {
  if (s.size() - pos < prefix.size()) return false;
  return SameTextAscii(s.substr(pos, prefix.size()), prefix);
}

}  // namespace

String ShortCutToText(TShortCut Value) {
  String name = KeyName(static_cast<uint8_t>(Value & 0xFF));
  if (name.empty()) return String();
  String r;
  if (Value & scShift) r += L"Shift+";
  if (Value & scCtrl) r += L"Ctrl+";
  if (Value & scAlt) r += L"Alt+";
  return r + name;
}

TShortCut TextToShortCut(const String& Text) {
  TShortCut mods = 0;
  size_t pos = 0;
  for (;;) {
    if (StartsWithNoCase(Text, pos, L"Shift+")) {
      mods |= scShift;
      pos += 6;
    } else if (StartsWithNoCase(Text, pos, L"Ctrl+")) {
      mods |= scCtrl;
      pos += 5;
    } else if (StartsWithNoCase(Text, pos, L"Alt+")) {
      mods |= scAlt;
      pos += 4;
    } else {
      break;
    }
  }
  String rest = Text.substr(pos);
  if (rest.empty()) return scNone;
  for (int key = 1; key < 256; ++key) {
    String name = KeyName(static_cast<uint8_t>(key));
    if (!name.empty() && SameTextAscii(name, rest)) return static_cast<TShortCut>(key | mods);
  }
  return scNone;
}

// --- Command numbers and live items ---------------------------------------------

namespace {

// Owner-draw messages carry an item pointer; it is only trusted once found here.
std::unordered_set<const TMenuItem*>& LiveItems() {
  static std::unordered_set<const TMenuItem*> s;
  return s;
}

std::vector<bool>& UsedCommands() {
  static std::vector<bool> v(65536, false);
  return v;
}

// The lowest free number from 1; 0 stays "no command" (TrackPopupMenu's
// answer when nothing was chosen).
uint16_t AllocateCommand() {
  static uint16_t next = 1;
  std::vector<bool>& used = UsedCommands();
  for (int tries = 0; tries < 65535; ++tries) {
    uint16_t id = next;
    next = static_cast<uint16_t>(next == 0xFFFF ? 1 : next + 1);
    if (!used[id]) {
      used[id] = true;
      return id;
    }
  }
  return 0;
}

void ReleaseCommand(uint16_t id) {
  if (id != 0) UsedCommands()[id] = false;
}

std::vector<TPopupMenu*>& MutablePopupList() {
  static std::vector<TPopupMenu*> v;
  return v;
}

}  // namespace

bool IsLiveMenuItem(const TMenuItem* Item) { return Item && LiveItems().count(Item) != 0; }

const std::vector<TPopupMenu*>& PopupList() { return MutablePopupList(); }

// --- TMenuItem ----------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocateCommand()) { LiveItems().insert(this); }

TMenuItem::~TMenuItem() {
  LiveItems().erase(this);
  ReleaseCommand(FCommand);
  delete FBitmap;
}

void TMenuItem::BeforeDestruction() {
  // Sub-items go with their parent, whoever owns them as components.
  Destroying();
  Clear();
  if (FParent) FParent->Remove(this);
  TComponent::BeforeDestruction();
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation(L"Menu index out of range");
  return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item == this) throw EInvalidOperation(L"Menu inserted twice");
  for (TMenuItem* p = FParent; p; p = p->FParent)
    if (p == Item) throw EInvalidOperation(L"Menu inserted twice");
  if (Item->FParent) Item->FParent->Remove(Item);
  Index = std::clamp(Index, 0, Count());
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  MenuChanged();
}

void TMenuItem::Delete(int Index) {
  TMenuItem* item = Items(Index);
  FItems.erase(FItems.begin() + Index);
  item->FParent = nullptr;
  MenuChanged();
}

void TMenuItem::Remove(TMenuItem* Item) {
  int i = IndexOf(Item);
  if (i >= 0) Delete(i);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* item = FItems.back();
    item->Free();  // leaves the list through BeforeDestruction
  }
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->FParent) root = root->FParent;
  return root->FMenu;
}

void TMenuItem::SetParentMenu(TMenu* Menu) { FMenu = Menu; }

TMenuItem* TMenuItem::FindShortCut(TShortCut Value) {
  if (Value == scNone) return nullptr;
  for (TMenuItem* item : FItems) {
    if (item->FShortCut == Value) return item;
    if (TMenuItem* sub = item->FindShortCut(Value)) return sub;
  }
  return nullptr;
}

TMenuItem* TMenuItem::FindCommand(uint16_t Id) {
  if (Id == 0) return nullptr;
  for (TMenuItem* item : FItems) {
    if (item->FCommand == Id) return item;
    if (TMenuItem* sub = item->FindCommand(Id)) return sub;
  }
  return nullptr;
}

void TMenuItem::MenuChanged() {
  if (IsDestroying()) return;
  if (TMenu* m = GetParentMenu()) m->MenuChanged(this);
}

void TMenuItem::SetCaption(const String& v) {
  if (FCaption == v) return;
  FCaption = v;
  MenuChanged();
}

void TMenuItem::SetShortCut(TShortCut v) {
  if (FShortCut == v) return;
  FShortCut = v;
  MenuChanged();
}

void TMenuItem::SetChecked(bool v) {
  if (FChecked == v) return;
  FChecked = v;
  if (v && FRadioItem) TurnSiblingsOff();
  MenuChanged();
}

void TMenuItem::SetRadioItem(bool v) {
  if (FRadioItem == v) return;
  FRadioItem = v;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged();
}

void TMenuItem::SetGroupIndex(uint8_t v) {
  if (FGroupIndex == v) return;
  FGroupIndex = v;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged();
}

void TMenuItem::TurnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* s : FParent->FItems)
    if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex) s->FChecked = false;
}

void TMenuItem::SetDefault(bool v) {
  if (FDefault == v) return;
  // One default item per level, as the system allows.
  if (v && FParent)
    for (TMenuItem* s : FParent->FItems) s->FDefault = false;
  FDefault = v;
  MenuChanged();
}

void TMenuItem::SetEnabled(bool v) {
  if (FEnabled == v) return;
  FEnabled = v;
  MenuChanged();
}

void TMenuItem::SetVisible(bool v) {
  if (FVisible == v) return;
  FVisible = v;
  MenuChanged();
}

void TMenuItem::SetBreak(TMenuBreak v) {
  if (FBreak == v) return;
  FBreak = v;
  MenuChanged();
}

TBitmap* TMenuItem::Bitmap() {
  if (!FBitmap) FBitmap = new TBitmap();
  return FBitmap;
}

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

void TMenuItem::SetBitmap(const TBitmap* v) {
  Bitmap()->Assign(v);
  MenuChanged();
}

void TMenuItem::SetImageIndex(int v) {
  if (FImageIndex == v) return;
  FImageIndex = v;
  MenuChanged();
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck) SetChecked(!FChecked);
  OnClick(this);
}

// --- TMenu ------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
  // The root is not one of the menu's components: the menu frees it itself,
  // before the component cascade runs.
  FItems = Create<TMenuItem>(nullptr);
  FItems->SetParentMenu(this);
}

TMenu::~TMenu() {
  if (FItems) {
    FItems->SetParentMenu(nullptr);
    FreeAndNil(FItems);
  }
}

void TMenu::BeforeDestruction() {
  Destroying();
  if (FItems) {
    FItems->SetParentMenu(nullptr);
    FreeAndNil(FItems);
  }
  TComponent::BeforeDestruction();
}

void TMenu::SetOwnerDraw(bool v) {
  if (FOwnerDraw == v) return;
  FOwnerDraw = v;
  MenuChanged(nullptr);
}

void TMenu::MenuChanged(TMenuItem*) {
  if (!IsDestroying()) OnChange(this);
}

namespace {

bool EnabledPath(const TMenuItem* item) {
  for (const TMenuItem* p = item; p && p->Parent(); p = p->Parent())
    if (!p->Enabled()) return false;
  return true;
}

}  // namespace

bool TMenu::DispatchShortCut(TShortCut Value) {
  if (!FItems || Value == scNone) return false;
  TMenuItem* item = FItems->FindShortCut(Value);
  if (!item || !EnabledPath(item)) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchCommand(uint16_t Id) {
  if (!FItems) return false;
  TMenuItem* item = FItems->FindCommand(Id);
  if (!item) return false;
  item->Click();
  return true;
}

// --- TPopupMenu -------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {
  MutablePopupList().push_back(this);
  InstallPopupMenuHooks();
}

TPopupMenu::~TPopupMenu() {
  auto& list = MutablePopupList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TPopupMenu::SetPopupComponent(TComponent* v) {
  if (FPopupComponent == v) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = v;
  if (v) v->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

}  // namespace tk

namespace tk {

void InstallPopupMenuHooks() {
  PopupMenuHooks.Popup = [](TPopupMenu* Menu, TComponent* PopupComponent, int X, int Y) {
    Menu->SetPopupComponent(PopupComponent);
    Menu->Popup(X, Y);
  };
  PopupMenuHooks.IsShortCut = [](TPopupMenu* Menu, TMessage& KeyMsg) { return Menu->IsShortCut(KeyMsg); };
  PopupMenuHooks.AsComponent = [](TPopupMenu* Menu) -> TComponent* { return Menu; };
}

}  // namespace tk
