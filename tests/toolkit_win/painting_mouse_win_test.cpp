// Window-less children: painted by their parent into the parent's DC (origin
// moved, clipped, in z-order), and given the parent's mouse input, with the
// mouse captured while a child is pressed.
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "tests/support/Owned.h"
#include "tests/support/Pump_win.h"

using namespace tk;

namespace {

// Paints itself one colour, deliberately past its own edges: the parent's
// clip must keep that off the rest of the window.
class TSwatch : public TGraphicControl {
 public:
  TSwatch(TComponent* AOwner, TColor c) : TGraphicControl(AOwner), FFill(c) {}
  TK_CLASS_NAME(TSwatch)
  int Downs = 0, Ups = 0, Clicks = 0, Moves = 0, Enters = 0, Leaves = 0;
  TPoint LastDown, LastMove;
  bool LastDownDouble = false;
  bool PaintedAsCopy = false;

 protected:
  void Paint() override {
    PaintedAsCopy = ControlState().Contains(csPaintCopy);
    Canvas()->Brush()->SetColor(FFill);
    Canvas()->FillRect(TRect{-50, -50, Width() + 50, Height() + 50});
  }
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    ++Downs;
    LastDown = TPoint{x, y};
    LastDownDouble = s.Contains(ssDouble);
    TGraphicControl::MouseDown(b, s, x, y);
  }
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
    ++Ups;
    TGraphicControl::MouseUp(b, s, x, y);
  }
  void MouseMove(TShiftState s, int x, int y) override {
    ++Moves;
    LastMove = TPoint{x, y};
    TGraphicControl::MouseMove(s, x, y);
  }
  void Click() override {
    ++Clicks;
    TGraphicControl::Click();
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER) ++Enters;
    if (m.Msg == CM_MOUSELEAVE) ++Leaves;
    TGraphicControl::WndProc(m);
  }

 private:
  TColor FFill;
};

class TWatchedForm : public TForm {
 public:
  explicit TWatchedForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsNone);
    SetBounds(60, 60, 200, 150);
    SetColor(clBlue);
  }
  TK_CLASS_NAME(TWatchedForm)
  std::vector<std::pair<uint32_t, intptr_t>> Notes;
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) Notes.emplace_back(m.Msg, m.LParam);
    TForm::WndProc(m);
  }
};

uint32_t PixelAt(TBitmap& b, int x, int y) {
  const uint8_t* p = b.ScanLine(y) + x * 4;
  return RGB(p[2], p[1], p[0]);
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace

TEST(GraphicChildPainting, PaintToDrawsTheWindowThenEachChildClippedAndInOrder) {
  tk::test::TOwned<TWatchedForm> form;
  auto* green = Create<TSwatch>(form.get(), clLime);
  green->SetBounds(10, 10, 30, 30);
  green->SetParent(form.get());
  auto* yellow = Create<TSwatch>(form.get(), RGBColor(255, 255, 0));
  yellow->SetBounds(30, 30, 30, 30);
  yellow->SetParent(form.get());
  auto* hidden = Create<TSwatch>(form.get(), clRed);
  hidden->SetBounds(100, 10, 20, 20);
  hidden->SetParent(form.get());
  hidden->SetVisible(false);

  TBitmap pic(200, 150, TPixelFormat::pf32bit);
  form->PaintTo(pic.Canvas()->Handle(), 0, 0);
  ::GdiFlush();
  EXPECT_EQ(PixelAt(pic, 2, 2), RGB(0, 0, 255));      // form background
  EXPECT_EQ(PixelAt(pic, 15, 15), RGB(0, 255, 0));    // first child
  EXPECT_EQ(PixelAt(pic, 35, 35), RGB(255, 255, 0));  // the later child lies on top
  EXPECT_EQ(PixelAt(pic, 9, 9), RGB(0, 0, 255));      // clipped to the child's bounds
  EXPECT_EQ(PixelAt(pic, 70, 70), RGB(0, 0, 255));
  EXPECT_EQ(PixelAt(pic, 110, 15), RGB(0, 0, 255));  // hidden children are not painted
  // Painted as a copy while it lasts, and only then.
  EXPECT_TRUE(green->PaintedAsCopy);
  EXPECT_FALSE(form->ControlState().Contains(csPaintCopy) || green->ControlState().Contains(csPaintCopy));
}

TEST(GraphicChildPainting, PaintToHonoursTheTargetOffset) {
  tk::test::TOwned<TWatchedForm> form;
  auto* green = Create<TSwatch>(form.get(), clLime);
  green->SetBounds(0, 0, 10, 10);
  green->SetParent(form.get());
  TBitmap pic(240, 180, TPixelFormat::pf32bit);
  form->PaintTo(pic.Canvas()->Handle(), 20, 25);
  ::GdiFlush();
  EXPECT_EQ(PixelAt(pic, 25, 30), RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(pic, 5, 5), RGB(0, 0, 0));  // outside the painted area: untouched
  EXPECT_EQ(PixelAt(pic, 40, 40), RGB(0, 0, 255));
}

TEST(GraphicChildPainting, TheShownWindowCarriesTheChildrensPixels) {
  tk::test::TOwned<TWatchedForm> form;
  auto* green = Create<TSwatch>(form.get(), clLime);
  green->SetBounds(10, 10, 30, 30);
  green->SetParent(form.get());
  form->Show();
  form->Update();
  tk::test::PumpPending();
  HDC dc = ::GetDC(form->Handle());
  EXPECT_EQ(::GetPixel(dc, 20, 20), RGB(0, 255, 0));
  EXPECT_EQ(::GetPixel(dc, 5, 5), RGB(0, 0, 255));
  ::ReleaseDC(form->Handle(), dc);
}

TEST(GraphicChildPainting, AGraphicControlAnswersWmPrintWithAFullPaint) {
  tk::test::TOwned<TWatchedForm> form;
  auto* swatch = Create<TSwatch>(form.get(), clLime);
  swatch->SetBounds(0, 0, 8, 8);
  swatch->SetParent(form.get());
  TBitmap pic(8, 8, TPixelFormat::pf32bit);
  swatch->Perform(WM_PRINT, reinterpret_cast<uintptr_t>(pic.Canvas()->Handle()), PRF_CLIENT);
  ::GdiFlush();
  EXPECT_EQ(PixelAt(pic, 4, 4), RGB(0, 255, 0));
}

TEST(GraphicChildMouse, PressOnAChildCapturesTheMouseUntilRelease) {
  tk::test::TOwned<TWatchedForm> form;
  auto* b = Create<TSwatch>(form.get(), clLime);
  b->SetBounds(10, 10, 30, 30);
  b->SetParent(form.get());
  HWND h = form->Handle();
  ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(15, 20));
  EXPECT_EQ(b->Downs, 1);
  EXPECT_EQ(b->LastDown, (TPoint{5, 10}));  // child-relative
  EXPECT_EQ(::GetCapture(), h);
  EXPECT_TRUE(b->MouseCapture());
  // Moves outside the child still go to it while it is pressed.
  ::SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, At(150, 100));
  EXPECT_GE(b->Moves, 1);
  EXPECT_EQ(b->LastMove, (TPoint{140, 90}));
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(20, 20));
  EXPECT_EQ(b->Ups, 1);
  EXPECT_EQ(b->Clicks, 1);
  EXPECT_NE(::GetCapture(), h);
  EXPECT_FALSE(b->MouseCapture());
}

TEST(GraphicChildMouse, ReleaseOutsideTheChildIsNoClick) {
  tk::test::TOwned<TWatchedForm> form;
  auto* b = Create<TSwatch>(form.get(), clLime);
  b->SetBounds(10, 10, 30, 30);
  b->SetParent(form.get());
  HWND h = form->Handle();
  ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(15, 15));
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(150, 100));
  EXPECT_EQ(b->Ups, 1);
  EXPECT_EQ(b->Clicks, 0);
}

TEST(GraphicChildMouse, DisabledAndHiddenChildrenGetNoInput) {
  tk::test::TOwned<TWatchedForm> form;
  auto* off = Create<TSwatch>(form.get(), clLime);
  off->SetBounds(10, 10, 30, 30);
  off->SetParent(form.get());
  off->SetEnabled(false);
  auto* gone = Create<TSwatch>(form.get(), clLime);
  gone->SetBounds(50, 10, 30, 30);
  gone->SetParent(form.get());
  gone->SetVisible(false);
  int formDowns = 0;
  form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++formDowns; };
  ::SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(15, 15));
  ::SendMessageW(form->Handle(), WM_LBUTTONUP, 0, At(15, 15));
  ::SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(60, 15));
  ::SendMessageW(form->Handle(), WM_LBUTTONUP, 0, At(60, 15));
  EXPECT_EQ(off->Downs, 0);
  EXPECT_EQ(gone->Downs, 0);
  EXPECT_EQ(formDowns, 2);
}

TEST(GraphicChildMouse, DoubleClicksArriveAsPressesWithoutTheDoubleClickStyle) {
  tk::test::TOwned<TWatchedForm> form;
  auto* b = Create<TSwatch>(form.get(), clLime);
  b->SetBounds(10, 10, 30, 30);
  b->SetParent(form.get());
  b->SetControlStyle(b->ControlStyle() - csDoubleClicks);
  int dbl = 0;
  b->OnDblClick = [&](TObject*) { ++dbl; };
  HWND h = form->Handle();
  ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(15, 15));
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(15, 15));
  ::SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(15, 15));
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(15, 15));
  EXPECT_EQ(b->Downs, 2);
  EXPECT_FALSE(b->LastDownDouble);
  EXPECT_EQ(b->Clicks, 2);
  EXPECT_EQ(dbl, 0);
  b->SetControlStyle(b->ControlStyle() + csDoubleClicks);
  ::SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(15, 15));
  EXPECT_TRUE(b->LastDownDouble);
  EXPECT_EQ(dbl, 1);
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(15, 15));
}

TEST(GraphicChildMouse, EnterAndLeaveReachTheChildAndNameItToTheParent) {
  tk::test::TOwned<TWatchedForm> form;
  auto* b = Create<TSwatch>(form.get(), clLime);
  b->SetBounds(10, 10, 30, 30);
  b->SetParent(form.get());
  form->Show();
  tk::test::PumpPending();
  HWND h = form->Handle();
  ::SendMessageW(h, WM_MOUSEMOVE, 0, At(100, 100));
  form->Notes.clear();
  ::SendMessageW(h, WM_MOUSEMOVE, 0, At(20, 20));
  EXPECT_EQ(b->Enters, 1);
  EXPECT_TRUE(b->MouseInClient() || ControlUnderMouse() == b);
  bool toldParent = false;
  for (auto& n : form->Notes)
    if (n.first == CM_MOUSEENTER && n.second == reinterpret_cast<intptr_t>(b)) toldParent = true;
  EXPECT_TRUE(toldParent);
  ::SendMessageW(h, WM_MOUSEMOVE, 0, At(22, 22));
  EXPECT_EQ(b->Enters, 1);  // no repeat while staying inside
  ::SendMessageW(h, WM_MOUSEMOVE, 0, At(120, 100));
  EXPECT_EQ(b->Leaves, 1);
  EXPECT_EQ(ControlUnderMouse(), form.get());
}

TEST(GraphicChildMouse, TheChildsCursorIsShownOverIt) {
  tk::test::TOwned<TWatchedForm> form;
  auto* b = Create<TSwatch>(form.get(), clLime);
  b->SetBounds(10, 10, 30, 30);
  b->SetParent(form.get());
  b->SetCursor(crHandPoint);
  form->Show();
  tk::test::PumpPending();
  TPoint p = form->ClientToScreen(TPoint{20, 20});
  ::SetCursorPos(p.X, p.Y);
  ::SendMessageW(form->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

// --- Popup menus: context menu and shortcuts go through the menus' hooks ----------

namespace {
struct THookScope {
  TPopupMenuHooks saved = PopupMenuHooks;
  ~THookScope() { PopupMenuHooks = saved; }
};
TComponent* gPoppedFor = nullptr;
int gPopped = 0;
int gShortCutAsked = 0;
TPopupMenu* FakeMenu() {
  static int dummy;
  return reinterpret_cast<TPopupMenu*>(&dummy);
}
}  // namespace

TEST(PopupMenuRouting, ContextMenuOnAChildPopsTheChildsMenuWithItAsPopupComponent) {
  THookScope hooks;
  PopupMenuHooks.AsComponent = nullptr;
  PopupMenuHooks.Popup = [](TPopupMenu*, TComponent* c, int, int) {
    gPoppedFor = c;
    ++gPopped;
  };
  gPopped = 0;
  tk::test::TOwned<TWatchedForm> form;
  auto* b = Create<TSwatch>(form.get(), clLime);
  b->SetBounds(10, 10, 30, 30);
  b->SetParent(form.get());
  b->SetPopupMenu(FakeMenu());
  TPoint s = form->ClientToScreen(TPoint{20, 20});
  LRESULT r = ::SendMessageW(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), At(s.X, s.Y));
  EXPECT_EQ(gPopped, 1);
  EXPECT_EQ(gPoppedFor, b);
  EXPECT_NE(r, 0);
  // Keyboard invocation (-1) pops the form's own menu at the control.
  form->SetPopupMenu(FakeMenu());
  ::SendMessageW(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), -1);
  EXPECT_EQ(gPopped, 2);
  EXPECT_EQ(gPoppedFor, form.get());
}

TEST(PopupMenuRouting, AShortcutOfAParentsMenuIsTakenBeforeTheKeyReachesTheFocusedControl) {
  THookScope hooks;
  PopupMenuHooks.AsComponent = nullptr;
  PopupMenuHooks.IsShortCut = [](TPopupMenu*, TMessage& key) {
    ++gShortCutAsked;
    return key.Msg == WM_KEYDOWN && key.WParam == 'A';
  };
  gShortCutAsked = 0;
  tk::test::TOwned<> form;
  form->SetPopupMenu(FakeMenu());
  auto* edit = Create<TCustomControl>(form.get());
  edit->SetParent(form.get());
  edit->SetTabStop(true);
  int keys = 0;
  edit->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) { ++keys; };
  form->Show();
  tk::test::PumpPending();
  ::PostMessageW(edit->Handle(), WM_KEYDOWN, 'A', 0);
  ::PostMessageW(edit->Handle(), WM_KEYDOWN, 'B', 0);
  tk::test::PumpPending();
  EXPECT_EQ(gShortCutAsked, 2);
  EXPECT_EQ(keys, 1);  // only B went on to the control
}

TEST(ChildReflection, NotificationsOfAChildWindowComeBackToItAsReflectedMessages) {
  tk::test::TOwned<> form;
  struct TReflector : TCustomControl {
    using TCustomControl::TCustomControl;
    std::vector<uint32_t> Got;
    void WndProc(TMessage& m) override {
      if (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x400) Got.push_back(m.Msg);
      TCustomControl::WndProc(m);
    }
  };
  auto* child = Create<TReflector>(form.get());
  child->SetParent(form.get());
  HWND ch = child->Handle();
  ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(ch));
  NMHDR nm{ch, 1, 0};
  ::SendMessageW(form->Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&nm));
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.hwndItem = ch;
  ::SendMessageW(form->Handle(), WM_DRAWITEM, 1, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(child->Got, (std::vector<uint32_t>{CN_COMMAND, CN_NOTIFY, CN_DRAWITEM}));
}
