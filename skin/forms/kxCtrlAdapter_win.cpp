#include "skin/forms/kxCtrlAdapter.h"

#include <windows.h>

#include <algorithm>

#include "skin/controls/kxBtnWnd.h"
#include "skin/controls/kxCheckBoxWnd.h"
#include "skin/controls/kxEditWnd.h"
#include "skin/controls/kxGroupBoxWnd.h"
#include "skin/controls/kxPanelWnd.h"
#include "skin/controls/kxSpeedButtonHandler.h"
#include "skin/controls/sLabel.h"
#include "skin/data/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/framework/kxControlClass.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sMessages.h"
#include "toolkit/StdCtrls.h"

namespace kx {

namespace {

// The ThirdParty lists, by index: what a listed class becomes.
enum : int {
  kEdits = 0,
  kButtons = 1,
  kBitBtns = 2,
  kCheckBoxes = 3,
  kGroupBoxes = 6,
  kPanels = 8,
  kSpeedButtons = 17,
};

// Guards: adapting sends messages, and their answers may ask for more.
bool gAddingAll = false;
bool gRemovingAll = false;

const int kHiddenTag = -98;  // the engine's own auxiliary windows
const int kOwnColoursTag = 98;

TsSkinManager* ManagerOf(const TkxCtrlAdapter& A) { return A.Provider ? A.Provider->FormSkinManager() : nullptr; }

// The first list (in index order) that names ClassName; -1 when none does.
int ThirdListOf(const TsSkinManager* M, const tk::String& ClassName) {
  if (!M) return -1;
  const auto& lists = M->ThirdLists();
  for (size_t i = 0; i < lists.size(); ++i)
    if (std::find(lists[i].begin(), lists[i].end(), ClassName) != lists[i].end()) return static_cast<int>(i);
  return -1;
}

bool AnswersHandled(tk::TControl* C) { return C->Perform(SM_KESTRIXCMD, CommandWParam(KX_QUERYHANDLED), 0) != 0; }

// A windowed control that skins itself, or has no window yet, is left alone.
bool SkinsItself(tk::TWinControl* C) { return !C->HandleAllocated() || AnswersHandled(C); }

bool IsFlat(const tk::TControl* C) {
  const auto* b = dynamic_cast<const tk::TSpeedButton*>(C);
  return b && b->Flat();
}

}  // namespace

// --- Items -----------------------------------------------------------------------------------

TkxAdapterItem::TkxAdapterItem(TkxCtrlAdapter* Owner) : Adapter(Owner) {
  SkinData = std::make_unique<TsCommonData>(nullptr, true);
  SkinData->COC = cocAdapterItem;
}

TkxAdapterItem::~TkxAdapterItem() { FreeWindowAdapter(); }

bool TkxAdapterItem::Live() const { return ScrollWnd && !ScrollWnd->Destroyed; }

void TkxAdapterItem::FreeWindowAdapter() {
  delete ScrollWnd;
  ScrollWnd = nullptr;
}

void TkxAdapterItem::DoHook(tk::TWinControl* Control) {
  if (!Control || Control->Tag() == kHiddenTag || !Control->HandleAllocated() || !Control->Parent()) return;
  if (AnswersHandled(Control)) return;
  WinCtrl = Control;
  SkinData->FOwnerControl = Control;
  SkinData->FOwnerObject = Control;
  TsSkinManager* m = ManagerOf(*Adapter);
  const HWND h = Control->Handle();
  const tk::String section = SkinData->SkinSection();
  TsCommonData* data = SkinData.get();
  // Lists whose kinds of control have no adapter in this engine (combo
  // boxes, grids, list and tree views, tab, page, tool and status bars)
  // leave their controls as they are, like a class no list names.
  switch (ThirdListOf(m, Control->ClassName())) {
    case kEdits: ScrollWnd = AttachAdapter<TkxEditWnd>(h, true, section, m, data); break;
    case kButtons: ScrollWnd = AttachAdapter<TkxBtnWnd>(h, true, section, m, data); break;
    case kBitBtns: ScrollWnd = AttachAdapter<TkxBitBtnWnd>(h, true, section, m, data); break;
    case kCheckBoxes: ScrollWnd = AttachAdapter<TkxCheckBoxWnd>(h, true, section, m, data); break;
    case kGroupBoxes: ScrollWnd = AttachAdapter<TkxGroupBoxWnd>(h, true, section, m, data); break;
    case kPanels: ScrollWnd = AttachAdapter<TkxPanelWnd>(h, true, section, m, data); break;
    default: break;
  }
}

TkxGraphItem::TkxGraphItem(TkxCtrlAdapter* Owner) : Adapter(Owner) {
  SkinData = std::make_unique<TsCommonData>(nullptr, true);
  SkinData->COC = cocAdapterItem;
}

TkxGraphItem::~TkxGraphItem() { FreeHandler(); }

bool TkxGraphItem::Live() const { return Handler && !Handler->Destroyed; }

void TkxGraphItem::FreeHandler() {
  delete Handler;
  Handler = nullptr;
}

void TkxGraphItem::DoHook(tk::TControl* Control) {
  if (!Control || Control->Tag() == kHiddenTag) return;
  Ctrl = Control;
  SkinData->FOwnerControl = Control;
  SkinData->FOwnerObject = Control;
  Handler = new TkxSpeedButtonHandler(Control, true, SkinData->SkinSection(), ManagerOf(*Adapter), SkinData.get());
}

// --- The adapter -----------------------------------------------------------------------------

TkxCtrlAdapter::TkxCtrlAdapter(TsSkinProvider* AProvider) : Provider(AProvider) {}

TkxCtrlAdapter::~TkxCtrlAdapter() {
  CleanItems();
  RemoveAllItems();
}

bool TkxCtrlAdapter::Ask(tk::TControl* Ctrl, tk::String& SkinSection) const {
  bool can = true;
  if (Provider && Provider->OnSkinItem) Provider->OnSkinItem(Ctrl, can, SkinSection);
  return can;
}

bool TkxCtrlAdapter::IsControlSupported(tk::TComponent* Component) {
  if (!Component || Component->Tag() == kHiddenTag) return false;
  auto* win = dynamic_cast<tk::TWinControl*>(Component);
  if (win && SkinsItself(win)) return false;
  if (auto* c = dynamic_cast<tk::TControl*>(Component); c && !win) {
    tk::String section;
    if (dynamic_cast<tk::TCustomLabel*>(c)) return Ask(c, section);
    if (dynamic_cast<tk::TSpeedButton*>(c))
      return ThirdListOf(ManagerOf(*this), c->ClassName()) >= 0 && Ask(c, section);
    return false;
  }
  // The application is asked when the control is added.
  return ThirdListOf(ManagerOf(*this), Component->ClassName()) >= 0;
}

void TkxCtrlAdapter::MakeLabelPlain(tk::TControl* Label) {
  auto* l = dynamic_cast<tk::TCustomLabel*>(Label);
  if (!l || dynamic_cast<TsCustomLabel*>(l) || l->Tag() == kOwnColoursTag) return;
  l->SetTransparent(true);
  if (TsSkinManager* m = DefaultManager()) l->Font()->SetColor(m->GetGlobalFontColor());
}

void TkxCtrlAdapter::AdaptChildren(tk::TWinControl* Owner) {
  auto below = [&](tk::TWinControl* w) {
    if (!w->HandleAllocated() || !w->Parent()) return;
    // The guard is for messages our own work causes, not for the walk.
    gAddingAll = false;
    AddAllItems(w);
    gAddingAll = true;
  };
  // What the container owns, then what it holds; a control found both
  // ways is adapted once (AddNewItem finds its item).
  for (int i = 0; i < Owner->ComponentCount(); ++i) {
    tk::TComponent* c = Owner->Components(i);
    auto* win = dynamic_cast<tk::TWinControl*>(c);
    if (IsControlSupported(c)) {
      if (win) AddNewItem(win, tk::String());
      else if (auto* l = dynamic_cast<tk::TCustomLabel*>(c)) MakeLabelPlain(l);
    }
    if (win) below(win);
  }
  for (int i = 0; i < Owner->ControlCount(); ++i) {
    tk::TControl* c = Owner->Controls(i);
    if (auto* win = dynamic_cast<tk::TWinControl*>(c)) {
      AddNewItem(win, tk::String());
      below(win);
    } else if (dynamic_cast<tk::TLabel*>(c)) {
      MakeLabelPlain(c);
    } else if (auto* b = dynamic_cast<tk::TSpeedButton*>(c)) {
      AddNewItem(b);
    }
  }
}

void TkxCtrlAdapter::AddAllItems(tk::TWinControl* OwnerCtrl) {
  TsSkinManager* m = ManagerOf(*this);
  if (gAddingAll || !m || !m->SkinningRules().Contains(srThirdParty)) return;
  if (!OwnerCtrl) OwnerCtrl = Provider ? Provider->Form() : nullptr;
  if (!OwnerCtrl) return;
  gAddingAll = true;
  try {
    CleanItems();
    AdaptChildren(OwnerCtrl);
  } catch (...) {
    gAddingAll = false;
    throw;
  }
  gAddingAll = false;
}

TkxAdapterItem* TkxCtrlAdapter::GetItem(int Index) {
  return Index >= 0 && Index < Count() ? Items[static_cast<size_t>(Index)].get() : nullptr;
}

int TkxCtrlAdapter::IndexOf(const tk::TWinControl* Ctrl) const {
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i]->WinCtrl == Ctrl) return static_cast<int>(i);
  return -1;
}

int TkxCtrlAdapter::IndexOfGraph(const tk::TControl* Ctrl) const {
  for (size_t i = 0; i < GraphItems.size(); ++i)
    if (GraphItems[i]->Ctrl == Ctrl) return static_cast<int>(i);
  return -1;
}

void TkxCtrlAdapter::AddNewItem(tk::TWinControl* Ctrl) { AddNewItem(Ctrl, DefaultSection); }

void TkxCtrlAdapter::AddNewItem(tk::TWinControl* Ctrl, const tk::String& SkinSection) {
  if (!Ctrl || Ctrl->Tag() == kHiddenTag || !Ctrl->Parent() || SkinsItself(Ctrl)) return;
  tk::String section = SkinSection;
  if (!Ask(Ctrl, section)) return;
  int i = IndexOf(Ctrl);
  const bool fresh = i < 0;
  if (fresh) {
    auto item = std::make_unique<TkxAdapterItem>(this);
    item->WinCtrl = Ctrl;
    Items.push_back(std::move(item));
    i = Count() - 1;
  }
  TkxAdapterItem* item = Items[static_cast<size_t>(i)].get();
  item->SkinData->SetSkinSection(section);
  if (!fresh) {
    if (item->ScrollWnd && item->ScrollWnd->Destroyed) {
      item->FreeWindowAdapter();
      if (Ctrl->Parent()) item->DoHook(Ctrl);
    }
    return;
  }
  if (Ctrl->Parent()) item->DoHook(Ctrl);
  if (!item->ScrollWnd) Items.erase(Items.begin() + i);
}

void TkxCtrlAdapter::AddNewItem(tk::TSpeedButton* Button) {
  if (!Button || Button->Tag() == kHiddenTag || !Button->Parent() || AnswersHandled(Button)) return;
  tk::String asked = L"SPEEDBUTTON";
  if (!Ask(Button, asked)) return;  // the section it answers is not used
  int i = IndexOfGraph(Button);
  const bool fresh = i < 0;
  if (fresh) {
    auto item = std::make_unique<TkxGraphItem>(this);
    item->Ctrl = Button;
    GraphItems.push_back(std::move(item));
    i = static_cast<int>(GraphItems.size()) - 1;
  }
  TkxGraphItem* item = GraphItems[static_cast<size_t>(i)].get();
  item->SkinData->SetSkinSection(IsFlat(Button) ? L"SPEEDBUTTON_SMALL" : L"SPEEDBUTTON");
  if (!fresh) {
    if (item->Handler && item->Handler->Destroyed) {
      item->FreeHandler();
      item->DoHook(Button);
    }
    return;
  }
  if (Button->Parent()) item->DoHook(Button);
  if (!item->Handler) GraphItems.erase(GraphItems.begin() + i);
}

void TkxCtrlAdapter::RemoveItem(int Index) {
  if (Index < 0 || Index >= Count()) return;
  Items[static_cast<size_t>(Index)] = std::move(Items.back());
  Items.pop_back();
}

void TkxCtrlAdapter::RemoveAllItems() {
  if (gRemovingAll) return;
  gRemovingAll = true;
  while (!Items.empty()) Items.pop_back();
  while (!GraphItems.empty()) GraphItems.pop_back();
  gRemovingAll = false;
}

void TkxCtrlAdapter::CleanItems() {
  std::erase_if(Items, [](const std::unique_ptr<TkxAdapterItem>& i) { return !i->Live(); });
  std::erase_if(GraphItems, [](const std::unique_ptr<TkxGraphItem>& i) { return !i->Live(); });
}

void TkxCtrlAdapter::WndProc(tk::TMessage& Message) {
  // A copy: an adapted window may answer by changing what is adapted.
  std::vector<HWND> windows;
  for (const auto& i : Items)
    if (i->Live() && i->WinCtrl && i->WinCtrl->Parent() && i->WinCtrl->HandleAllocated())
      windows.push_back(i->WinCtrl->Handle());
  for (HWND h : windows) ::SendMessageW(h, Message.Msg, Message.WParam, Message.LParam);
}

}  // namespace kx
