// Menus: shortcut text, the item tree, the system menu built from it, and
// popups driven for real: owner-draw events, a shortcut keystroke reaching
// the editor's item, and the context menu of a memo.
#include <gtest/gtest.h>

#include <atomic>

#include "tests/controls_win/Support_win.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

namespace tk {
namespace {

using test::PumpPending;
using test::PumpUntil;
using test::THelper;
using test::TTestForm;

TEST(ShortCutText, NamesModifiersInShiftCtrlAltOrder) {
  EXPECT_EQ(ShortCutToText(ShortCut('Z', {ssCtrl})), L"Ctrl+Z");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F4, {ssAlt})), L"Alt+F4");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F5, {ssCtrl, ssShift})), L"Shift+Ctrl+F5");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {})), L"Del");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_NUMPAD3, {ssAlt, ssCtrl, ssShift})), L"Shift+Ctrl+Alt+Num 3");
  EXPECT_EQ(ShortCutToText(scNone), L"");
  EXPECT_EQ(ShortCutToText(ShortCut(0xFF, {ssCtrl})), L"");  // a key without a name
  EXPECT_EQ(ShortCut(0x1FF, {}), scNone);
}

TEST(ShortCutText, EveryNamedKeyWithEveryModifierReadsBack) {
  for (int key = 1; key < 256; ++key) {
    for (int mods = 0; mods < 8; ++mods) {
      TShiftState s;
      if (mods & 1) s += ssShift;
      if (mods & 2) s += ssCtrl;
      if (mods & 4) s += ssAlt;
      TShortCut sc = ShortCut(static_cast<uint16_t>(key), s);
      String text = ShortCutToText(sc);
      if (text.empty()) continue;
      EXPECT_EQ(TextToShortCut(text), sc) << ToUtf8(text);
    }
  }
  EXPECT_EQ(TextToShortCut(L"ctrl+alt+del"), static_cast<TShortCut>(scCtrl | scAlt | VK_DELETE));
  EXPECT_EQ(TextToShortCut(L"Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut(L"Hyper+X"), scNone);
}

class MenuTreeTest : public ::testing::Test {
 protected:
  TMenuItem* Item(const String& caption, TShortCut sc = 0) {
    auto* i = Create<TMenuItem>(Owner);
    i->SetCaption(caption);
    i->SetShortCut(sc);
    return i;
  }
  TComponent* Owner = Create<TComponent>(nullptr);
  ~MenuTreeTest() override { Owner->Free(); }
};

TEST_F(MenuTreeTest, ItemsMoveBetweenParentsAndFreeingAParentFreesItsItems) {
  auto* menu = Create<TPopupMenu>(Owner);
  TMenuItem* a = Item(L"A");
  TMenuItem* b = Item(L"B");
  TMenuItem* sub = Item(L"Sub");
  menu->Items()->Add(a);
  menu->Items()->Insert(0, b);
  EXPECT_EQ(menu->Items()->IndexOf(b), 0);
  EXPECT_EQ(a->Parent(), menu->Items());
  EXPECT_EQ(a->GetParentMenu(), menu);
  a->Add(sub);
  b->Add(sub);  // moves
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(sub->Parent(), b);
  EXPECT_EQ(sub->GetParentMenu(), menu);
  EXPECT_THROW(sub->Add(b), EInvalidOperation);  // no cycles

  menu->Items()->Delete(1);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(a->GetParentMenu(), nullptr);

  int before = Owner->ComponentCount();
  b->Free();  // takes "Sub" with it; both leave their owner
  EXPECT_EQ(Owner->ComponentCount(), before - 2);
  EXPECT_EQ(menu->Items()->Count(), 0);
  EXPECT_FALSE(IsLiveMenuItem(sub));
  EXPECT_TRUE(IsLiveMenuItem(a));
}

TEST_F(MenuTreeTest, FreeingTheMenuFreesTheTreeWhateverOwnsTheItems) {
  auto* menu = Create<TPopupMenu>(Owner);
  TMenuItem* a = Item(L"A");
  menu->Items()->Add(a);
  a->Add(Item(L"A1"));
  int before = Owner->ComponentCount();
  menu->Free();
  EXPECT_EQ(Owner->ComponentCount(), before - 3);
  EXPECT_FALSE(IsLiveMenuItem(a));
}

TEST_F(MenuTreeTest, CommandsAreUniqueAndFindTheirItem) {
  auto* menu = Create<TPopupMenu>(Owner);
  std::vector<TMenuItem*> items;
  for (int i = 0; i < 50; ++i) {
    items.push_back(Item(L"x"));
    menu->Items()->Add(items.back());
  }
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_NE(items[i]->Command(), 0);
    for (size_t j = i + 1; j < items.size(); ++j) EXPECT_NE(items[i]->Command(), items[j]->Command());
  }
  int clicks = 0;
  items[7]->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
  EXPECT_TRUE(menu->DispatchCommand(items[7]->Command()));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(menu->DispatchCommand(0));
}

TEST_F(MenuTreeTest, RadioItemsOfAGroupUncheckEachOtherAndOneDefaultPerLevel) {
  auto* menu = Create<TPopupMenu>(Owner);
  TMenuItem* r[3];
  for (auto*& i : r) {
    i = Item(L"r");
    i->SetRadioItem(true);
    menu->Items()->Add(i);
  }
  TMenuItem* other = Item(L"other group");
  other->SetRadioItem(true);
  other->SetGroupIndex(2);
  other->SetChecked(true);
  menu->Items()->Add(other);
  r[0]->SetChecked(true);
  r[2]->SetChecked(true);
  EXPECT_FALSE(r[0]->Checked());
  EXPECT_TRUE(r[2]->Checked());
  EXPECT_TRUE(other->Checked());
  r[0]->SetDefault(true);
  r[1]->SetDefault(true);
  EXPECT_FALSE(r[0]->Default());
  EXPECT_TRUE(r[1]->Default());
}

TEST_F(MenuTreeTest, ShortCutsRunOnlyEnabledItemsUnderEnabledParents) {
  auto* menu = Create<TPopupMenu>(Owner);
  TMenuItem* parent = Item(L"Edit");
  TMenuItem* undo = Item(L"Undo", ShortCut('Z', {ssCtrl}));
  menu->Items()->Add(parent);
  parent->Add(undo);
  int clicks = 0;
  undo->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
  EXPECT_TRUE(menu->DispatchShortCut(ShortCut('Z', {ssCtrl})));
  EXPECT_FALSE(menu->DispatchShortCut(ShortCut('Z', {})));
  parent->SetEnabled(false);
  EXPECT_FALSE(menu->DispatchShortCut(ShortCut('Z', {ssCtrl})));
  parent->SetEnabled(true);
  undo->SetEnabled(false);
  EXPECT_FALSE(menu->DispatchShortCut(ShortCut('Z', {ssCtrl})));
  EXPECT_EQ(clicks, 1);
}

// The editor's menu of the notepad.
struct TEditMenu {
  explicit TEditMenu(TComponent* Owner) : Menu(Create<TPopupMenu>(Owner)) {
    auto add = [&](const String& caption, TShortCut sc) {
      auto* i = Create<TMenuItem>(Owner);
      i->SetCaption(caption);
      i->SetShortCut(sc);
      i->OnClick = TNotifyEvent([this, caption](TObject*) { Clicked.push_back(caption); });
      Menu->Items()->Add(i);
      return i;
    };
    add(L"Undo", ShortCut('Z', {ssCtrl}));
    add(L"-", 0);
    add(L"Cut", ShortCut('X', {ssCtrl}));
    add(L"Copy", ShortCut('C', {ssCtrl}));
    add(L"Paste", ShortCut('V', {ssCtrl}));
    add(L"-", 0);
    add(L"Select All", ShortCut('A', {ssCtrl}));
    add(L"-", 0);
    add(L"About Tabulo ...", 0);
  }
  TPopupMenu* Menu;
  std::vector<String> Clicked;
};

String MenuString(HMENU m, UINT pos) {
  wchar_t buf[128] = {};
  ::GetMenuStringW(m, pos, buf, 128, MF_BYPOSITION);
  return buf;
}

UINT MenuType(HMENU m, UINT pos) {
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE | MIIM_STATE;
  ::GetMenuItemInfoW(m, pos, TRUE, &mii);
  return mii.fType | (mii.fState << 16);
}

TEST(MenuHandle, ItemsAreBuiltWithTheirShortcutsMarksAndStates) {
  TComponent* owner = Create<TComponent>(nullptr);
  TEditMenu em(owner);
  TMenuItem* items = em.Menu->Items();
  items->Items(2)->SetEnabled(false);
  items->Items(3)->SetChecked(true);
  items->Items(7)->SetVisible(false);
  HMENU h = CreateMenuHandle(items, false);
  ASSERT_TRUE(h);
  EXPECT_EQ(::GetMenuItemCount(h), 8);  // the hidden separator is left out
  EXPECT_EQ(MenuString(h, 0), L"Undo\tCtrl+Z");
  EXPECT_EQ(MenuString(h, 6), L"Select All\tCtrl+A");
  EXPECT_EQ(MenuString(h, 7), L"About Tabulo ...");
  EXPECT_TRUE(MenuType(h, 1) & MFT_SEPARATOR);
  EXPECT_TRUE(MenuType(h, 2) & (MFS_GRAYED << 16));
  EXPECT_TRUE(MenuType(h, 3) & (MFS_CHECKED << 16));
  EXPECT_EQ(::GetMenuItemID(h, 0), items->Items(0)->Command());
  ::DestroyMenu(h);

  // Owner-drawn: every item, separators included.
  h = CreateMenuHandle(items, true);
  for (int i = 0; i < ::GetMenuItemCount(h); ++i) EXPECT_TRUE(MenuType(h, static_cast<UINT>(i)) & MFT_OWNERDRAW) << i;
  ::DestroyMenu(h);
  owner->Free();
}

class PopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Memo = Create<TMemo>(Form.Get());
    Memo->SetParent(Form.Get());
    Memo->SetBounds(10, 10, 300, 200);
    Memo->SetPopupMenu(Edit.Menu);
    Memo->SetText(L"some text");
    Form.Activate();
    Memo->SetFocus();
    PumpPending();
  }
  TTestForm Form;
  TEditMenu Edit{Form.Get()};
  TMemo* Memo = nullptr;
};

TEST_F(PopupTest, AnOwnerDrawnMenuMeasuresAndDrawsEveryItemThroughItsEvents) {
  Edit.Menu->SetOwnerDraw(true);
  Edit.Menu->SetMenuAnimation({maNone});
  int measured = 0, measuredLines = 0, drawn = 0;
  for (int i = 0; i < Edit.Menu->Items()->Count(); ++i) {
    TMenuItem* it = Edit.Menu->Items()->Items(i);
    it->OnMeasureItem = TMenuMeasureItemEvent([&, it](TObject* s, TCanvas* c, int& w, int& h) {
      EXPECT_EQ(s, it);
      EXPECT_NE(c, nullptr);
      ++measured;
      if (it->IsLine()) ++measuredLines;
      w = 150;
      h = it->IsLine() ? 2 : 24;
    });
    it->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent([&](TObject*, TCanvas* c, TRect r, TOwnerDrawState) {
      ++drawn;
      c->Brush()->SetColor(RGBColor(255, 255, 0));
      c->FillRect(r);
    });
  }
  RECT menuRect{};
  THelper h([&] {
    HWND w = test::WaitForMenuWindow();
    if (w) ::GetWindowRect(w, &menuRect);
    test::KeyTap(VK_ESCAPE);
  });
  POINT at = test::ScreenPoint(Memo, 40, 40);
  Edit.Menu->Popup(at.x, at.y);
  h.Join();
  EXPECT_EQ(measured, 9);
  EXPECT_EQ(measuredLines, 3);
  EXPECT_GE(drawn, 9);
  EXPECT_GE(menuRect.right - menuRect.left, 150);
  EXPECT_GE(menuRect.bottom - menuRect.top, 6 * 24 + 3 * 2);
  PumpPending();
  EXPECT_TRUE(Edit.Clicked.empty());  // Escape chooses nothing
}

TEST_F(PopupTest, AShortcutKeystrokeRunsTheEditorsItem) {
  THelper h([] { test::KeyChord(VK_CONTROL, 'A'); });
  EXPECT_TRUE(PumpUntil([&] { return !Edit.Clicked.empty(); }));
  h.Join();
  PumpPending();
  ASSERT_EQ(Edit.Clicked.size(), 1u);
  EXPECT_EQ(Edit.Clicked[0], L"Select All");

  // A key no item has reaches the editor as usual.
  Memo->SetSelStart(9);
  THelper h2([] { test::KeyTap('Q'); });
  EXPECT_TRUE(PumpUntil([&] { return Memo->Text() == L"some textq"; }));
  h2.Join();
  EXPECT_EQ(Edit.Clicked.size(), 1u);
}

TEST_F(PopupTest, TheContextMenuShowsOurPopupAndTheChosenItemRuns) {
  int ourCount = -1;
  THelper h([&] {
    test::Click(test::ScreenPoint(Memo, 60, 60), true);
    HWND w = test::WaitForMenuWindow();
    if (!w) return;
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(w, 0x01E1 /* MN_GETHMENU */, 0, 0));
    ourCount = menu ? ::GetMenuItemCount(menu) : -2;
    test::KeyTap(VK_DOWN);  // the first item: "Undo"
    test::KeyTap(VK_RETURN);
  });
  EXPECT_TRUE(PumpUntil([&] { return !Edit.Clicked.empty(); }, 5000));
  h.Join();
  EXPECT_EQ(ourCount, 9);  // our menu, not the edit control's own
  ASSERT_EQ(Edit.Clicked.size(), 1u);
  EXPECT_EQ(Edit.Clicked[0], L"Undo");
  EXPECT_EQ(Edit.Menu->PopupComponent(), Memo);
}

TEST_F(PopupTest, ThePopupComponentIsForgottenWhenItGoes) {
  Edit.Menu->SetPopupComponent(Memo);
  Memo->Free();
  Memo = nullptr;
  EXPECT_EQ(Edit.Menu->PopupComponent(), nullptr);
}

}  // namespace
}  // namespace tk
