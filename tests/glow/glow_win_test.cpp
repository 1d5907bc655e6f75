// Glows around a control of the internal skin's "BUTTON" section (side
// widths 10, margin 4): where the window goes and the picture it is given,
// checked in-process because this display does not blend layered windows;
// that the mouse passes through it; when there is none; and that showing and
// hiding leak nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxGlow.h"
#include "skin/framework/kxLayeredSurface.h"
#include "skin/framework/kxSystemCaps.h"
#include "skin/framework/sCommonData.h"
#include "tests/controls_win/Support_win.h"
#include "tests/manager_win/Support_win.h"
#include "tests/support/GdiObjects_win.h"

namespace kx {
namespace {

using tk::test::PumpPending;

class TClickTarget : public tk::TCustomControl {
 public:
  explicit TClickTarget(tk::TComponent* AOwner) : tk::TCustomControl(AOwner) {}
  int Downs = 0;
  void WndProc(tk::TMessage& m) override {
    if (m.Msg == WM_LBUTTONDOWN) ++Downs;
    tk::TCustomControl::WndProc(m);
  }
};

BOOL CALLBACK CollectGlowWindow(HWND w, LPARAM l) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(w, &pid);
  const LONG_PTR ex = ::GetWindowLongPtrW(w, GWL_EXSTYLE);
  if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(w) && (ex & WS_EX_LAYERED) && (ex & WS_EX_TOOLWINDOW))
    reinterpret_cast<std::vector<HWND>*>(l)->push_back(w);
  return TRUE;
}

// The process's visible layered tool windows.
std::vector<HWND> GlowWindows() {
  std::vector<HWND> found;
  ::EnumWindows(CollectGlowWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

class GlowTest : public ::testing::Test {
 public:
  void SetUp() override {
    if (SystemCaps().Wow64 && !DesktopComposition()) GTEST_SKIP() << "a 32-bit process without composition: no glows";
    Manager = mgrtest::LoadedManager(L"", L"Pearlmist (internal)");
    ASSERT_TRUE(Manager->SkinData().Active);
    Button = tk::Create<TClickTarget>(Form.Get());
    Button->SetParent(Form.Get());
    Button->SetBounds(100, 80, 80, 24);
    Button->HandleNeeded();
    Data = std::make_unique<TsCommonData>(Button, false);
    Data->SetSkinSection(L"BUTTON");
    Data->FMouseAbove = true;
    PumpPending();
  }
  void TearDown() override {
    Data.reset();
    tk::FreeAndNil(Manager);
    PumpPending();
  }

  tk::test::TTestForm Form;
  TsSkinManager* Manager = nullptr;
  TClickTarget* Button = nullptr;
  std::unique_ptr<TsCommonData> Data;
};

TEST_F(GlowTest, AroundTheControlWithTheSkinsAlphaAndTransparentToTheMouse) {
  ASSERT_TRUE(GlowWindows().empty());
  Data->UpdateGlow(false);
  const TkxGlowEffect* g = GlowOf(Data->GlowID);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(GlowWindows(), std::vector<HWND>{g->Wnd()});
  RECT b{}, w{};
  ::GetWindowRect(Button->Handle(), &b);
  ::GetWindowRect(g->Wnd(), &w);
  EXPECT_EQ((std::vector<LONG>{w.left, w.top, w.right, w.bottom}),
            (std::vector<LONG>{b.left - 6, b.top - 6, b.right + 6, b.bottom + 6}));

  // The picture handed to the system: the skin's glow picture, alpha and all.
  const tk::TPixelView v = g->Surface()->Pixels();
  ASSERT_EQ(v.width, 92);
  const TsMaskData& mask = Manager->ma()[size_t(g->MaskIndex)];
  ASSERT_TRUE(mask.Bmp && mask.Bmp->PixelFormat() == tk::TPixelFormat::pf32bit);
  for (int y = 0; y < 10; ++y)
    EXPECT_EQ(std::memcmp(v.Row(y), mask.Bmp->View().Row(y), 40), 0) << "top-left corner, row " << y;
  int clear = 0, soft = 0, opaque = 0;
  for (int y = 0; y < v.height; ++y)
    for (int x = 0; x < v.width; ++x) {
      const uint8_t a = v.Row(y)[x * 4 + 3];
      (a == 0 ? clear : a == 255 ? opaque : soft)++;
    }
  EXPECT_GT(clear, 0);
  EXPECT_GT(soft, 0);
  EXPECT_LT(opaque, v.width * v.height / 2);

  const POINT p = tk::test::ScreenPoint(Button, 3, 3);  // under the glow's frame
  EXPECT_EQ(::WindowFromPoint(p), Button->Handle());
  {
    tk::test::THelper click([p] { tk::test::Click(p); });
    EXPECT_TRUE(tk::test::PumpUntil([this] { return Button->Downs > 0; }));
  }

  const HWND wnd = g->Wnd();
  const int id = Data->GlowID;
  Data->HideGlow();
  EXPECT_EQ(GlowOf(id), nullptr);
  EXPECT_TRUE(GlowWindows().empty());
  PumpPending();
  EXPECT_FALSE(::IsWindow(wnd));
}

TEST_F(GlowTest, AWindowlessControlHalfHiddenByItsParentsEdgeIsCutThere) {
  auto* c = tk::Create<tk::TGraphicControl>(Form.Get());
  c->SetParent(Form.Get());
  const int right = Form->ClientWidth();
  c->SetBounds(right - 40, 80, 80, 24);
  TsCommonData d(c, false);
  d.SetSkinSection(L"BUTTON");
  d.FMouseAbove = true;
  d.UpdateGlow(false);
  const TkxGlowEffect* g = GlowOf(d.GlowID);
  ASSERT_NE(g, nullptr);
  RECT w{};
  ::GetWindowRect(g->Wnd(), &w);
  const tk::TPoint o = c->ClientToScreen(tk::TPoint{0, 0});
  EXPECT_EQ((std::vector<LONG>{w.left, w.top, w.right, w.bottom}),
            (std::vector<LONG>{o.X - 6, o.Y - 6, o.X + 40, o.Y + 30}));
}

TEST_F(GlowTest, NoGlowWhereItIsNotWantedOrWouldNotBeSeen) {
  const struct {
    const char* what;
    void (*set)(GlowTest&);
  } cases[] = {
      {"glowing not allowed", [](GlowTest& t) { t.Manager->SetAllowGlowing(false); }},
      {"mouse not above", [](GlowTest& t) { t.Data->FMouseAbove = false; }},
      {"section without glow", [](GlowTest& t) { t.Data->SetSkinSection(L"EDIT"); }},
      {"control outside its form", [](GlowTest& t) { t.Button->SetBounds(-200, 80, 80, 24); }},
  };
  for (const auto& c : cases) {
    c.set(*this);
    Data->UpdateGlow(false);
    EXPECT_EQ(Data->GlowID, -1) << c.what;
    EXPECT_TRUE(GlowWindows().empty()) << c.what;
    Manager->SetAllowGlowing(true);
    Data->FMouseAbove = true;
    Data->SetSkinSection(L"BUTTON");
    Button->SetBounds(100, 80, 80, 24);
  }
}

TEST_F(GlowTest, OneGlowPerControlAndStaleIdsHideNothing) {
  Data->UpdateGlow(false);
  Data->UpdateGlow(false);
  EXPECT_EQ(GlowWindows().size(), 1u) << "a second update replaces the glow";
  Data->UpdateGlow(true);
  EXPECT_EQ(Data->GlowID, -1) << "pressed while shown: hidden";

  Data->UpdateGlow(false);
  const int stale = Data->GlowID;
  Manager->ApplySkin(false);
  EXPECT_EQ(GlowCount(), 0) << "a skin change hides every glow";
  EXPECT_TRUE(GlowWindows().empty());
  Data->GlowID = -1;
  Data->UpdateGlow(false);
  EXPECT_NE(Data->GlowID, stale);
  HideGlow(stale);
  EXPECT_EQ(GlowWindows().size(), 1u) << "the id of a glow hidden with all others is not given again";
}

TEST_F(GlowTest, ShowingAndHidingLeaksNothing) {
  Data->UpdateGlow(false);
  Data->HideGlow();
  PumpPending();
  const size_t gdi = tk::test::GdiObjects(), windows = tk::test::ProcessWindows();
  for (int i = 0; i < 100; ++i) {
    Data->UpdateGlow(false);
    ASSERT_GE(Data->GlowID, 0);
    Data->HideGlow();
  }
  PumpPending();
  EXPECT_EQ(tk::test::GdiObjects(), gdi);
  EXPECT_EQ(tk::test::ProcessWindows(), windows);
}

}  // namespace
}  // namespace kx
