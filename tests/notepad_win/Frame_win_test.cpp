// The notepad's skinned frame inside this process: switching the skin off
// gives the system frame back and on again skins it, a second provider is
// inert, the maximised placement, the composition branches, moving and
// sizing by an outline, and no GDI object or window is left behind by
// maximising and activating.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/Unit1.h"
#include "skin/data/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/framework/kxSystemCaps.h"
#include "skin/framework/sMessages.h"
#include "tests/support/GdiObjects_win.h"
#include "tests/support/Pump_win.h"

namespace {

using tk::test::PumpPending;

class NotepadFrame : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { kx::InitializeEngine(); }
  void SetUp() override {
    Form = tk::Create<TForm1>(tk::Application);
    Form->SetBounds(120, 90, 800, 600);
    Form->Show();
    PumpPending();
  }
  void TearDown() override {
    kx::OverrideDesktopComposition(-1);
    Form->Free();
    PumpPending();
  }
  HWND Wnd() const { return Form->Handle(); }
  kx::TsSkinProvider* Provider() const { return Form->sSkinProvider1; }
  HWND Border() const { return Provider()->BorderForm() ? Provider()->BorderForm()->Handle() : nullptr; }
  bool HasRegion() const {
    HRGN r = ::CreateRectRgn(0, 0, 0, 0);
    const int kind = ::GetWindowRgn(Wnd(), r);
    ::DeleteObject(r);
    return kind != ERROR;
  }
  bool SysMenuStyle() const { return (::GetWindowLongW(Wnd(), GWL_STYLE) & WS_SYSMENU) != 0; }
  TForm1* Form = nullptr;
};

TEST_F(NotepadFrame, SwitchingTheSkinOffGivesTheSystemFrameBackAndOnSkinsItAgain) {
  ASSERT_NE(Border(), nullptr);
  HWND border = Border();
  Form->sSkinManager1->SetActive(false);
  PumpPending();
  EXPECT_TRUE(SysMenuStyle());
  EXPECT_FALSE(HasRegion());
  EXPECT_EQ(Border(), nullptr);
  EXPECT_FALSE(::IsWindow(border));
  EXPECT_EQ(Form->Color(), tk::clBtnFace);

  Form->sSkinManager1->SetActive(true);
  PumpPending();
  EXPECT_FALSE(SysMenuStyle());
  EXPECT_TRUE(HasRegion());
  ASSERT_NE(Border(), nullptr);
  EXPECT_TRUE(::IsWindowVisible(Border()));
}

TEST_F(NotepadFrame, ASecondProviderIsInertAndReplacesOnlyAWaitingRunTimeOne) {
  auto* second = tk::Create<kx::TsSkinProvider>(Form);
  EXPECT_TRUE(second->RTEmpty());
  EXPECT_EQ(::SendMessageW(Wnd(), kx::SM_KESTRIXCMD, kx::CommandWParam(kx::KX_QUERYPROVIDER), 0),
            reinterpret_cast<LRESULT>(Provider()));
  second->Free();
  EXPECT_EQ(::SendMessageW(Wnd(), kx::SM_KESTRIXCMD, kx::CommandWParam(kx::KX_QUERYPROVIDER), 0),
            reinterpret_cast<LRESULT>(Provider()));

  auto* plain = tk::Create<tk::TForm>(tk::Application);
  auto* waiting = kx::TsSkinProvider::CreateRT(plain);
  const int before = kx::SkinnedFormCount();
  auto* later = tk::Create<kx::TsSkinProvider>(plain);
  EXPECT_FALSE(later->RTEmpty());
  EXPECT_EQ(kx::SkinnedFormCount(), before);  // the waiting one left
  EXPECT_EQ(plain->ComponentCount(), 1);
  (void)waiting;
  plain->Free();
  PumpPending();
}

// Maximised, the system frame lies outside the work area and the skin's
// lower maximised title is absorbed in the position.
TEST_F(NotepadFrame, TheMaximisedPlacementFollowsTheSkinsTitleHeightsAndTheRegionFollowsTheSize) {
  ::SendMessageW(Wnd(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  PumpPending();
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const kx::TsSkinData& d = Form->sSkinManager1->SkinData();
  const int a = ::GetSystemMetrics(SM_CXFRAME);
  const int c = ::GetSystemMetrics(SM_CYCAPTION);
  const int h = d.ExTitleHeight - (a + c) > 0 ? d.ExTitleHeight - (a + c) : a;
  const int b = d.ExTitleHeight != d.ExMaxHeight ? d.ExTitleHeight + d.ExCenterOffs - d.ExMaxHeight : 0;
  RECT r{};
  ::GetWindowRect(Wnd(), &r);
  EXPECT_EQ(r.left, work.left - a);
  EXPECT_EQ(r.top, work.top + h - a - b);
  EXPECT_EQ(r.right - r.left, work.right - work.left + 2 * a);
  EXPECT_EQ(r.bottom - r.top, work.bottom - work.top + 2 * a + b - h);
  // The form shows its whole client area at the new size.
  RECT box{};
  ASSERT_NE(::GetWindowRgnBox(Wnd(), &box), ERROR);
  RECT client{};
  ::GetClientRect(Wnd(), &client);
  EXPECT_EQ(box.right - box.left, client.right);
  EXPECT_EQ(box.bottom - box.top, client.bottom);
  ::SendMessageW(Wnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  PumpPending();
  ASSERT_NE(::GetWindowRgnBox(Wnd(), &box), ERROR);
  ::GetClientRect(Wnd(), &client);
  EXPECT_EQ(box.right - box.left, client.right);
  EXPECT_EQ(box.bottom - box.top, client.bottom);
}

// With composition the system's caption is kept from drawing by hiding the
// window for the moment of the change; without it a cover stands over it.
// Either way the form stays visible and no window is left over.
TEST_F(NotepadFrame, ACaptionChangeLeavesTheFormVisibleWithOrWithoutComposition) {
  for (int on : {1, 0}) {
    kx::OverrideDesktopComposition(on);
    const size_t windows = tk::test::ProcessWindows();
    Form->SetCaption(on ? L"Tabulo composed" : L"Tabulo plain");
    PumpPending();
    EXPECT_TRUE(::IsWindowVisible(Wnd())) << on;
    EXPECT_EQ(Form->Caption(), on ? L"Tabulo composed" : L"Tabulo plain");
    EXPECT_EQ(tk::test::ProcessWindows(), windows) << on;
    ::SendMessageW(Wnd(), WM_NCACTIVATE, FALSE, 0);
    ::SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
    EXPECT_TRUE(::IsWindowVisible(Wnd())) << on;
    EXPECT_EQ(tk::test::ProcessWindows(), windows) << on;
  }
}

// A fade that never ends must not hold the end of the session.
TEST_F(NotepadFrame, TheEndOfASessionWaitsForRunningFadesOnlyForAMoment) {
  wchar_t dir[MAX_PATH];
  ::GetTempPathW(MAX_PATH, dir);
  Form->DirLabel->SetCaption(dir);
  Form->FileLabel->SetCaption(std::wstring(dir) + L"tabulo-session-end.txt");
  kx::TsSkinProvider::FadesRunning = [] { return true; };
  const LRESULT answer = ::SendMessageW(Wnd(), WM_QUERYENDSESSION, 0, 0);
  kx::TsSkinProvider::FadesRunning = nullptr;
  EXPECT_NE(answer, 0);
  ::DeleteFileW((std::wstring(dir) + L"tabulo-session-end.txt").c_str());
}

TEST_F(NotepadFrame, MaximisingAndActivatingAHundredTimesLeavesGdiObjectsAndWindowsWhereTheyWere) {
  HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
  tk::test::ParkPointerAwayFrom(Wnd());
  // A first round makes what is kept for the rest of the run.
  ::ShowWindow(Wnd(), SW_MAXIMIZE);
  ::ShowWindow(Wnd(), SW_RESTORE);
  ::SetActiveWindow(other);
  ::SetActiveWindow(Wnd());
  PumpPending();
  const size_t gdi = tk::test::GdiObjects(), windows = tk::test::ProcessWindows();
  for (int i = 0; i < 100; ++i) {
    ::ShowWindow(Wnd(), SW_MAXIMIZE);
    ::ShowWindow(Wnd(), SW_RESTORE);
    ::SetActiveWindow(other);
    ::SetActiveWindow(Wnd());
    PumpPending();
  }
  EXPECT_LE(tk::test::GdiObjects(), gdi + tk::test::kDcCacheSlack);
  EXPECT_EQ(tk::test::ProcessWindows(), windows);
  ::DestroyWindow(other);
}

}  // namespace

namespace {

RECT WindowRect(HWND H) {
  RECT r{};
  ::GetWindowRect(H, &r);
  return r;
}

// A move or size command with the cursor at From, the cursor to To, then the
// button released (or the capture taken away).
// Under Wine the pointer may reach its new place only after a moment.
void PutCursor(POINT P) {
  ::SetCursorPos(P.x, P.y);
  tk::test::PumpUntil([&] {
    POINT c{};
    ::GetCursorPos(&c);
    return c.x == P.x && c.y == P.y;
  });
}

void OutlineDrag(HWND Wnd, kx::TsSkinProvider* P, WPARAM Command, POINT From, POINT To, bool Release) {
  PutCursor(From);
  ::SendMessageW(Wnd, WM_SYSCOMMAND, Command, 0);
  EXPECT_EQ(::GetCapture(), Wnd);
  PutCursor(To);
  ::SendMessageW(Wnd, WM_MOUSEMOVE, 0, 0);
  EXPECT_TRUE(P->BorderDragging());
  if (Release) ::SendMessageW(Wnd, WM_LBUTTONUP, 0, 0);
  else ::ReleaseCapture();
  EXPECT_FALSE(P->BorderDragging());
  PumpPending();
}

}  // namespace

// With rmBorder the window stays where it is while an outline follows the
// mouse, and takes the outline's place on release; a size stops at the
// form's minimum; a drag whose capture is taken away leaves it in place.
TEST_F(NotepadFrame, InBorderResizeModeAnOutlineMovesAndSizesTheForm) {
  kx::OverrideDesktopComposition(0);
  Provider()->ResizeMode = kx::rmBorder;
  const RECT start = WindowRect(Wnd());
  OutlineDrag(Wnd(), Provider(), SC_MOVE, POINT{300, 200}, POINT{360, 240}, true);
  const RECT r = WindowRect(Wnd());
  EXPECT_EQ(r.left, start.left + 60);
  EXPECT_EQ(r.top, start.top + 40);
  EXPECT_EQ(r.right - r.left, start.right - start.left);

  OutlineDrag(Wnd(), Provider(), SC_SIZE | WMSZ_BOTTOMRIGHT, POINT{r.right, r.bottom},
              POINT{r.left + 300, r.bottom - 20}, true);
  const RECT sized = WindowRect(Wnd());
  EXPECT_EQ(sized.right - sized.left, 758);  // the form's minimum width
  EXPECT_EQ(sized.bottom, r.bottom - 20);

  OutlineDrag(Wnd(), Provider(), SC_MOVE, POINT{300, 200}, POINT{500, 400}, false);
  const RECT after = WindowRect(Wnd());
  EXPECT_TRUE(::EqualRect(&sized, &after));

  // The screen's device context goes back every time. The system keeps a
  // cache of device contexts that grows and shrinks by a few as windows
  // repaint; a leak would be one per drag, 40 here.
  auto rounds = [&](int N) {
    for (int i = 0; i < N; ++i) {
      OutlineDrag(Wnd(), Provider(), SC_MOVE, POINT{300, 200}, POINT{310, 200}, true);
      OutlineDrag(Wnd(), Provider(), SC_MOVE, POINT{310, 200}, POINT{300, 200}, true);
    }
  };
  rounds(5);
  const size_t gdi = tk::test::GdiObjects();
  rounds(20);
  EXPECT_LE(tk::test::GdiObjects(), gdi + tk::test::kDcCacheSlack);
}
