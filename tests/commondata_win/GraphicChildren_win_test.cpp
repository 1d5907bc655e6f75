// The graphic-children painter: which children reach the picture, that each
// is copied whole or not at all, and that it cleans up on every path.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "skin/framework/kxEngineState.h"
#include "skin/framework/sGraphicChildren.h"
#include "skin/framework/sMessages.h"
#include "tests/support/GdiObjects_win.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"

namespace kx {
namespace {

// A window-less child that fills itself (or, Blank, leaves its top-left
// pixel alone), counting its paints; it may raise or call the painter again.
class TProbe : public tk::TGraphicControl {
 public:
  using tk::TGraphicControl::TGraphicControl;
  COLORREF Fill = RGB(255, 0, 0);
  bool Blank = false, Raise = false;
  tk::TWinControl* Nested = nullptr;
  int Paints = 0;
  bool SawCopyMark = false;
  std::vector<uint16_t> Commands;

  void Dispatch(tk::TMessage& m) override {
    if (const uint16_t c = CommandOf(m)) Commands.push_back(c);
    tk::TGraphicControl::Dispatch(m);
  }

 protected:
  void Paint() override {
    ++Paints;
    SawCopyMark = ControlState().Contains(tk::csPaintCopy);
    if (Raise) throw std::runtime_error("paint failed");
    if (Nested) PaintGraphicChildren(Canvas()->Handle(), Nested, {0, 0});
    const tk::TBrushHandle brush(::CreateSolidBrush(Fill));
    RECT r{Blank ? 1 : 0, Blank ? 1 : 0, Width(), Height()};
    ::FillRect(Canvas()->Handle(), &r, brush);
  }
};

// A container showing the key colour, recording the commands it gets.
class TContainer : public tk::TPanel {
 public:
  using tk::TPanel::TPanel;
  std::vector<uint16_t> Commands;
  void Dispatch(tk::TMessage& m) override {
    if (const uint16_t c = CommandOf(m)) Commands.push_back(c);
    tk::TPanel::Dispatch(m);
  }
};

// A 100 x 60 picture filled green, standing for the container's window.
struct TTarget {
  tk::TWindowDC Screen{nullptr};
  tk::TOwnedDC DC{::CreateCompatibleDC(Screen)};
  tk::TBitmapHandle Bmp{::CreateCompatibleBitmap(Screen, 100, 60)};
  tk::TSelectObject Sel{DC, Bmp};
  TTarget() {
    const tk::TBrushHandle green(::CreateSolidBrush(RGB(0, 255, 0)));
    RECT r{0, 0, 100, 60};
    ::FillRect(DC, &r, green);
  }
  COLORREF At(int x, int y) const { return ::GetPixel(DC, x, y); }
};

class GraphicChildren : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = tk::Create<tk::TForm>(tk::Application);
    Panel = tk::Create<TContainer>(Form);
    Panel->SetParent(Form);
    Panel->SetBounds(0, 0, 100, 60);
    Panel->SetColor(0xFF00FF);
    Panel->HandleNeeded();
    Panel->Commands.clear();
  }
  void TearDown() override { tk::FreeAndNil(Form); }
  TProbe* Child(int Left, int Width) {
    auto* c = tk::Create<TProbe>(Form);
    c->SetParent(Panel);
    c->SetBounds(Left, 10, Width, 20);
    return c;
  }
  tk::TForm* Form = nullptr;
  TContainer* Panel = nullptr;
};

TEST_F(GraphicChildren, QualifyingChildrenAreCopiedWholeAtTheOffset) {
  TProbe* painted = Child(0, 20);
  TProbe* blank = Child(30, 20);
  blank->Blank = true;
  TProbe* hidden = Child(60, 20);
  hidden->SetVisible(false);
  TProbe* empty = Child(90, 0);
  TTarget t;
  PaintGraphicChildren(t.DC, Panel, {5, 3});
  EXPECT_EQ(painted->Paints, 1);
  EXPECT_EQ(t.At(5, 13), RGB(255, 0, 0));
  EXPECT_EQ(t.At(24, 32), RGB(255, 0, 0));
  EXPECT_EQ(t.At(4, 13), RGB(0, 255, 0));
  // Its top-left pixel still shows the key colour: nothing of it is copied.
  EXPECT_EQ(blank->Paints, 1);
  EXPECT_EQ(t.At(40, 20), RGB(0, 255, 0));
  EXPECT_EQ(hidden->Paints + empty->Paints, 0);
  EXPECT_FALSE(painted->SawCopyMark);
  EXPECT_FALSE(Engine.PaintingGraphicChildren);

  // Into a picture of the container, the children carry its copy mark.
  Panel->SetControlState(Panel->ControlState() + tk::csPaintCopy);
  PaintGraphicChildren(t.DC, Panel, {0, 0});
  EXPECT_TRUE(painted->SawCopyMark);
  EXPECT_FALSE(painted->ControlState().Contains(tk::csPaintCopy));
}

TEST_F(GraphicChildren, AnEmptyClipBoxOnlyTellsTheContainerItIsHalfVisible) {
  TProbe* c = Child(0, 20);
  TTarget t;
  ::IntersectClipRect(t.DC, 0, 0, 0, 0);
  PaintGraphicChildren(t.DC, Panel, {0, 0});
  EXPECT_EQ(c->Paints, 0);
  EXPECT_EQ(Panel->Commands, std::vector<uint16_t>{KX_SETHALFVISIBLE});
  EXPECT_FALSE(Engine.PaintingGraphicChildren);

  // A child the clip cuts is painted, and told it is only partly shown.
  ::SelectClipRgn(t.DC, nullptr);
  ::IntersectClipRect(t.DC, 0, 0, 10, 60);
  PaintGraphicChildren(t.DC, Panel, {0, 0});
  EXPECT_EQ(c->Paints, 1);
  EXPECT_EQ(c->Commands, std::vector<uint16_t>{KX_SETHALFVISIBLE});
}

TEST_F(GraphicChildren, ACallMadeWhileOneRunsPaintsNothing) {
  TProbe* outer = Child(0, 20);
  TProbe* other = Child(30, 20);
  outer->Nested = Panel;
  TTarget t;
  PaintGraphicChildren(t.DC, Panel, {0, 0});
  EXPECT_EQ(outer->Paints, 1);
  EXPECT_EQ(other->Paints, 1);
}

TEST_F(GraphicChildren, AChildThatRaisesLeavesNoFlagAndNoGdiObjectBehind) {
  TProbe* c = Child(0, 20);
  TTarget t;
  PaintGraphicChildren(t.DC, Panel, {0, 0});  // the first run makes the lasting objects
  c->Raise = true;
  const std::size_t before = tk::test::GdiObjects();
  EXPECT_THROW(PaintGraphicChildren(t.DC, Panel, {0, 0}), std::runtime_error);
  EXPECT_EQ(tk::test::GdiObjects(), before);
  EXPECT_FALSE(Engine.PaintingGraphicChildren);
  c->Raise = false;
  const int paints = c->Paints;
  PaintGraphicChildren(t.DC, Panel, {0, 0});
  EXPECT_EQ(c->Paints, paints + 1);
}

}  // namespace
}  // namespace kx
