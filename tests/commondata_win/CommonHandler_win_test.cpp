// The common handler: which hook each engine command and shared window
// message reaches and which it answers, and the answers real controls give.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "skin/controls/sPanel.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/framework/kxColors.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sCommonHandler.h"
#include "tests/support/Pump_win.h"
#include "toolkit/SysUtils.h"
#include "toolkit/Buttons.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace kx {
namespace {

class TRecordingHandler : public TkxCommonHandler {
 public:
  using TkxCommonHandler::TkxCommonHandler;
  std::string Hook;
  void PrepareCache() override { Hook = "PrepareCache"; }

 protected:
  void SkinLoaded(TsSkinManager*) override { Hook = "SkinLoaded"; }
  void SkinRemoved(TsSkinManager*) override { Hook = "SkinRemoved"; }
  void SkinRefresh(TsSkinManager*) override { Hook = "SkinRefresh"; }
  void SetUpdating(bool v) override { Hook = v ? "SetUpdating(1)" : "SetUpdating(0)"; }
  void SetUrgent(bool) override { Hook = "SetUrgent"; }
  bool QueryUpdating() const override { return Note("QueryUpdating"); }
  bool QueryHalfVisible() const override { return Note("QueryHalfVisible"); }
  void TransparentChanged(bool) override { Hook = "TransparentChanged"; }
  void SectionChanged() override { Hook = "SectionChanged"; }
  void BackgroundChanged() override { Hook = "BackgroundChanged"; }
  void RepaintNow() override { Hook = "RepaintNow"; }
  bool QueryVaryingBackground() const override { return Note("QueryVaryingBackground"); }
  void CheckMoved(bool Redraw) override { Hook = Redraw ? "CheckMoved(1)" : "CheckMoved(0)"; }
  tk::TColor QueryColor() const override { return Note("QueryColor"); }
  void SetHalfVisible() override { Hook = "SetHalfVisible"; }
  void QuerySkinIndex(int&) const override { Note("QuerySkinIndex"); }
  void QueryBackground(TBackgroundQuery&) const override { Note("QueryBackground"); }
  uint16_t QuerySkinState(bool r) override { return Note(r ? "QuerySkinState(1)" : "QuerySkinState(0)"); }
  intptr_t QueryApplication() const override { return Note("QueryApplication"); }
  void Moved() override { Hook = "Moved"; }
  void Sized() override { Hook = "Sized"; }
  void FocusChanged(bool f) override { Hook = f ? "FocusChanged(1)" : "FocusChanged(0)"; }
  bool ContextMenu() override { return Note("ContextMenu"); }
  bool UpdateUIState() const override { return Note("UpdateUIState"); }
  void ChildCreated() override { Hook = "ChildCreated"; }
  void VisibleChanged(bool v) override { Hook = v ? "VisibleChanged(1)" : "VisibleChanged(0)"; }
  void EnabledChanged() override { Hook = "EnabledChanged"; }
  void MouseEntered(tk::TControl*) override { Hook = "MouseEntered"; }
  void MouseLeft() override { Hook = "MouseLeft"; }

 private:
  // Hooks that answer return 7, so the reply shows they were asked.
  int Note(const char* Name) const {
    const_cast<TRecordingHandler*>(this)->Hook = Name;
    return 7;
  }
};

TEST(CommonHandler, EveryCommandAndSharedMessageReachesItsHook) {
  auto* manager = tk::Create<TsSkinManager>(nullptr);
  TsCommonData data(nullptr, false);
  TRecordingHandler handler(data);
  const intptr_t own = reinterpret_cast<intptr_t>(manager);
  int index = -1;
  TBackgroundQuery query;
  struct Case {
    tk::TMessage Message;
    const char* Hook;
    intptr_t Reply;  // -1: not answered, passed on to the owner
  };
  const Case cases[] = {
      {MakeCommand(KX_SKINLOADED, own), "SkinLoaded", -1},
      {MakeCommand(KX_SKINREMOVED, own), "SkinRemoved", -1},
      {MakeCommand(KX_SKINREFRESH, 0), "SkinRefresh", -1},
      {MakeCommand(KX_QUERYHANDLED), "", 1},
      {MakeCommand(KX_SETUPDATING, 0, 1), "SetUpdating(1)", -1},
      {MakeCommand(KX_SETUPDATING, 0, 0), "SetUpdating(0)", -1},
      {MakeCommand(KX_SETURGENT, 0, 1), "SetUrgent", -1},
      {MakeCommand(KX_QUERYUPDATING), "QueryUpdating", 1},
      {MakeCommand(KX_QUERYHALFVISIBLE), "QueryHalfVisible", 1},
      {MakeCommand(KX_TRANSPARENTCHANGED, 0, 1), "TransparentChanged", -1},
      {MakeCommand(KX_SECTIONCHANGED), "SectionChanged", -1},
      {MakeCommand(KX_BGCHANGED, 0, 1), "BackgroundChanged", -1},
      {MakeCommand(KX_REPAINTNOW), "RepaintNow", -1},
      {MakeCommand(KX_CHECKMOVED, 0, 1), "CheckMoved(1)", -1},
      {MakeCommand(KX_CHECKMOVED, 0, 0), "CheckMoved(0)", -1},
      {MakeCommand(KX_QUERYCOLOR, kxKeyColor), "QueryColor", 7},
      {MakeCommand(KX_SETHALFVISIBLE), "SetHalfVisible", -1},
      {MakeCommand(KX_BUILDCACHE), "PrepareCache", -1},
      // Handed over directly, not by the trusted sender: dropped.
      {MakeCommand(KX_QUERYSKININDEX, reinterpret_cast<intptr_t>(&index)), "", 0},
      {MakeCommand(KX_QUERYBACKGROUND, reinterpret_cast<intptr_t>(&query)), "", 0},
      {MakeCommand(KX_QUERYSKINSTATE, 0), "QuerySkinState(0)", 7},
      {MakeCommand(KX_QUERYSKINSTATE, 1), "QuerySkinState(1)", 7},
      {MakeCommand(KX_QUERYAPPLICATION), "QueryApplication", 7},
      {MakeCommand(KX_MENUSHOWN), "", -1},
      {tk::MakeMessage(WM_MOVE, 0, 0), "Moved", -1},
      {tk::MakeMessage(WM_SIZE, 0, 0), "Sized", -1},
      {tk::MakeMessage(WM_SETFOCUS, 0, 0), "FocusChanged(1)", -1},
      {tk::MakeMessage(WM_KILLFOCUS, 0, 0), "FocusChanged(0)", -1},
      {tk::MakeMessage(WM_CONTEXTMENU, 0, 0), "ContextMenu", 0},
      {tk::MakeMessage(WM_UPDATEUISTATE, 0, 0), "UpdateUIState", 1},
      {tk::MakeMessage(WM_PARENTNOTIFY, WM_CREATE, 0), "ChildCreated", -1},
      {tk::MakeMessage(WM_PARENTNOTIFY, WM_DESTROY, 0), "", -1},
      {tk::MakeMessage(tk::CM_VISIBLECHANGED, 1, 0), "VisibleChanged(1)", -1},
      {tk::MakeMessage(tk::CM_VISIBLECHANGED, 0, 0), "VisibleChanged(0)", -1},
      {tk::MakeMessage(tk::CM_ENABLEDCHANGED, 0, 0), "EnabledChanged", -1},
      {tk::MakeMessage(tk::CM_MOUSEENTER, 0, 0), "MouseEntered", -1},
      {tk::MakeMessage(tk::CM_MOUSELEAVE, 0, 0), "MouseLeft", -1},
      {tk::MakeMessage(WM_PAINT, 0, 0), "", -1},
  };
  for (const Case& c : cases) {
    handler.Hook.clear();
    tk::TMessage m = c.Message;
    const bool answered = handler.HandleSkinMessage(m);
    const std::string what = std::to_string(m.Msg) + "/" + std::to_string(CommandOf(m));
    EXPECT_EQ(handler.Hook, c.Hook) << what;
    EXPECT_EQ(answered, c.Reply >= 0) << what;
    if (c.Reply > 0) { EXPECT_EQ(m.Result, c.Reply) << what; }
  }

  // Commands that name another manager are not this control's business.
  auto* other = tk::Create<TsSkinManager>(nullptr);
  for (uint16_t cmd : {KX_SKINLOADED, KX_SKINREMOVED, KX_SKINREFRESH}) {
    handler.Hook.clear();
    tk::TMessage m = MakeCommand(cmd, reinterpret_cast<intptr_t>(other));
    handler.HandleSkinMessage(m);
    EXPECT_EQ(handler.Hook, "") << cmd;
  }
  tk::FreeAndNil(other);
  tk::FreeAndNil(manager);
}

// Paints its cache red and counts how often.
class TPaintingHandler : public TkxCommonHandler {
 public:
  using TkxCommonHandler::TkxCommonHandler;
  int Paints = 0;

 protected:
  void PaintContent(tk::TBitmap& Cache, int) override {
    ++Paints;
    FillBitmapRect(&Cache, tk::TRect{0, 0, Cache.Width(), Cache.Height()}, 0x0000FF);
  }
};

TsGeneralData Sec(const wchar_t* Name, int Transparency, tk::TColor Color) {
  TsGeneralData s;
  s.ClassName = Name;
  s.Transparency = Transparency;
  s.Color = Color;
  s.BorderIndex = -1;
  return s;
}

// A panel that knows nothing of the engine but answers colour questions
// with "not known".
class TUnknowingPanel : public tk::TPanel {
 public:
  using tk::TPanel::TPanel;
  void Dispatch(tk::TMessage& m) override {
    if (CommandOf(m) == KX_QUERYCOLOR) m.Result = kxKeyColor;
    else tk::TPanel::Dispatch(m);
  }
};

TEST(CommonHandler, SkinnedPanelsAnswerTheirChildrensQuestions) {
  auto* manager = tk::Create<TsSkinManager>(nullptr);
  manager->gd().push_back(Sec(L"PANEL", 0, 0x203040));
  manager->gd().push_back(Sec(L"CLEAR", 100, 0));
  auto* form = tk::Create<tk::TForm>(tk::Application);
  auto panel = [&](tk::TWinControl* parent, const wchar_t* section) {
    auto* p = tk::Create<TsPanel>(form);
    p->SetParent(parent);
    p->SetSkinSection(section);
    p->HandleNeeded();
    return p;
  };
  TsPanel* p = panel(form, L"PANEL");
  EXPECT_EQ(SendControlCommand(p, KX_QUERYHANDLED), 1);
  EXPECT_EQ(SendControlCommand(p, KX_QUERYCOLOR, kxKeyColor), 0x203040);
  int index = -1;
  SendTrustedCommand(p, KX_QUERYSKININDEX, &index);
  EXPECT_EQ(index, 0);

  // A custom colour is what the panel shows, so that is its answer too.
  p->SetColor(0x0A0B0C);
  p->SkinData()->SetCustomColor(true);
  EXPECT_EQ(SendControlCommand(p, KX_QUERYCOLOR, kxKeyColor), 0x0A0B0C);

  // A skin loaded by another manager leaves the panel as it is; its own
  // manager's resolves the section again.
  auto* other = tk::Create<TsSkinManager>(nullptr);
  manager->gd().insert(manager->gd().begin(), Sec(L"FIRST", 0, 0));
  SendControlCommand(p, KX_SKINLOADED, reinterpret_cast<intptr_t>(other));
  EXPECT_EQ(p->SkinData()->SkinIndex, 0);
  SendControlCommand(p, KX_SKINLOADED, reinterpret_cast<intptr_t>(manager));
  EXPECT_EQ(p->SkinData()->SkinIndex, 1);

  // The cache is painted once for the size and skin it shows; a skin that
  // is replaced makes it resolve its section again and paint anew.
  TPaintingHandler painter(*p->SkinData());
  p->SetBounds(0, 0, 30, 20);
  p->SkinData()->SetCustomColor(false);
  painter.PrepareCache();
  painter.PrepareCache();
  EXPECT_EQ(painter.Paints, 1);
  EXPECT_EQ(p->SkinData()->FCacheBmp->Width(), 30);
  // Without a skin, a label on the panel is written in the window text colour.
  auto* label = tk::Create<tk::TLabel>(form);
  label->SetParent(p);
  label->Font()->SetColor(0x00FF00);
  manager->RemoveSkin();
  EXPECT_EQ(label->Font()->Color(), tk::clWindowText);
  p->SkinData()->SetUpdating(false);
  painter.PrepareCache();
  EXPECT_EQ(painter.Paints, 2);
  EXPECT_TRUE(p->SkinData()->IndexesCurrent());

  tk::FreeAndNil(other);
  tk::FreeAndNil(form);
  tk::FreeAndNil(manager);
}

TEST(CommonHandler, TheColourReportedMixesTheParentsByTheTransparency) {
  auto* manager = tk::Create<TsSkinManager>(nullptr);
  for (const TsGeneralData& s :
       {Sec(L"RED", 0, 0x0000FF), Sec(L"HALF", 50, 0), Sec(L"CLEAR", 100, 0), Sec(L"BLACK", 0, 0)})
    manager->gd().push_back(s);
  auto* form = tk::Create<tk::TForm>(tk::Application);
  auto* red = tk::Create<TsPanel>(form);
  red->SetParent(form);
  red->SetSkinSection(L"RED");
  red->HandleNeeded();
  // A black parent answers 0, which is its colour, not a missing answer.
  auto* black = tk::Create<TsPanel>(form);
  black->SetParent(form);
  black->SetSkinSection(L"BLACK");
  black->SetColor(0x445566);
  black->HandleNeeded();
  // A parent that answers "not known" is taken at its own colour.
  auto* unknowing = tk::Create<TUnknowingPanel>(form);
  unknowing->SetParent(form);
  unknowing->SetColor(0x112233);
  unknowing->HandleNeeded();
  struct Case {
    tk::TWinControl* Parent;
    const wchar_t* Section;
    intptr_t Colour;
  } const cases[] = {
      {red, L"HALF", 0x000031},  // each byte (50 * (P - C) + C * 256) >> 8
      {form, L"RED", 0x0000FF}, {red, L"CLEAR", 0x0000FF}, {unknowing, L"CLEAR", 0x112233}, {black, L"CLEAR", 0x000000},
  };
  for (const Case& c : cases) {
    auto* p = tk::Create<TsPanel>(form);
    p->SetParent(c.Parent);
    p->SetSkinSection(c.Section);
    p->HandleNeeded();
    EXPECT_EQ(SendControlCommand(p, KX_QUERYCOLOR, kxKeyColor), c.Colour) << tk::ToUtf8(c.Section);
  }
  tk::FreeAndNil(form);
  tk::FreeAndNil(manager);
}

TEST(CommonHandler, CheckMovedMarksTheControlAndItsChildrenStaleAndRedrawsOnlyWhenAsked) {
  auto* form = tk::Create<tk::TForm>(tk::Application);
  form->SetBounds(0, 0, 200, 150);
  // Unskinned, so their look depends on where they are.
  auto* outer = tk::Create<TsPanel>(form);
  outer->SetParent(form);
  outer->SetBounds(0, 0, 100, 100);
  auto* inner = tk::Create<TsPanel>(form);
  inner->SetParent(outer);
  form->Show();
  tk::test::PumpPending();
  for (uint16_t redraw : {0, 1}) {
    ::ValidateRect(outer->Handle(), nullptr);
    outer->SkinData()->BGChanged = inner->SkinData()->BGChanged = false;
    SendControlCommand(outer, KX_CHECKMOVED, 0, redraw);
    EXPECT_TRUE(outer->SkinData()->BGChanged) << redraw;
    EXPECT_TRUE(inner->SkinData()->BGChanged) << redraw;
    EXPECT_EQ(::GetUpdateRect(outer->Handle(), nullptr, FALSE) != 0, redraw == 1);
  }
  tk::FreeAndNil(form);
}

TEST(CommonHandler, TheMouseComingBackFromAButtonPutsOutTheButtonsStillLit) {
  auto* manager = tk::Create<TsSkinManager>(nullptr);  // the default one
  auto* form = tk::Create<tk::TForm>(tk::Application);
  auto* p = tk::Create<TsPanel>(form);
  p->SetParent(form);
  p->HandleNeeded();
  auto button = [&] {
    auto* b = tk::Create<tk::TSpeedButton>(form);
    b->SetParent(p);
    b->SetMouseInControl(true);
    return b;
  };
  tk::TSpeedButton* from = button();
  tk::TSpeedButton* stale = button();
  p->Perform(tk::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(from));
  EXPECT_TRUE(from->MouseInControl());
  EXPECT_FALSE(stale->MouseInControl());
  EXPECT_EQ(manager->ActiveWindow(), p->Handle());
  tk::FreeAndNil(form);
  tk::FreeAndNil(manager);
}

// Asked for its section index, it asks Target too, with an address of its
// own, by a plain send.
class TAskingPanel : public tk::TPanel {
 public:
  using tk::TPanel::TPanel;
  HWND Target = nullptr;
  int Inner = -1;
  void Dispatch(tk::TMessage& m) override {
    if (CommandOf(m) == KX_QUERYSKININDEX)
      ::SendMessageW(Target, SM_KESTRIXCMD, CommandWParam(KX_QUERYSKININDEX), reinterpret_cast<LPARAM>(&Inner));
    else tk::TPanel::Dispatch(m);
  }
};

TEST(CommonHandler, PointerCommandsAreAnsweredOnlyForTheTrustedSender) {
  auto* manager = tk::Create<TsSkinManager>(nullptr);
  manager->gd().push_back(Sec(L"PANEL", 0, 0x203040));
  auto* form = tk::Create<tk::TForm>(tk::Application);
  auto* p = tk::Create<TsPanel>(form);
  p->SetParent(form);
  p->SetSkinSection(L"PANEL");
  HWND h = p->Handle();
  int index = -1;
  TBackgroundQuery query;
  // An address nobody owns, sent or posted by anyone: nothing is written.
  for (uint16_t cmd : {KX_QUERYSKININDEX, KX_QUERYBACKGROUND}) {
    EXPECT_EQ(::SendMessageW(h, SM_KESTRIXCMD, CommandWParam(cmd), 0x10), 0) << cmd;
    ::PostMessageW(h, SM_KESTRIXCMD, CommandWParam(cmd), 0x10);
    tk::test::PumpPending();
    // A plain send of a real address is no more trusted.
    ::SendMessageW(h, SM_KESTRIXCMD, CommandWParam(cmd),
                   cmd == KX_QUERYSKININDEX ? reinterpret_cast<LPARAM>(&index) : reinterpret_cast<LPARAM>(&query));
  }
  EXPECT_EQ(index, -1);
  EXPECT_EQ(query.Kind, kxBGNone);
  // A send that reaches the panel while a trusted one is on its way elsewhere.
  auto* asking = tk::Create<TAskingPanel>(form);
  asking->SetParent(form);
  asking->Target = h;
  SendTrustedCommand(asking, KX_QUERYSKININDEX, &index);
  EXPECT_EQ(asking->Inner, -1);

  SendTrustedCommand(p, KX_QUERYSKININDEX, &index);
  EXPECT_EQ(index, 0);
  SendTrustedCommand(p, KX_QUERYBACKGROUND, &query);
  EXPECT_EQ(query.Kind, kxBGColor);
  tk::FreeAndNil(form);
  tk::FreeAndNil(manager);
}

}  // namespace
}  // namespace kx
