// The skinned scroll bars on a multi-line edit window holding 300 lines:
// what the bar shows, what clicks, holds and drags on it do to the text,
// that the bar survives the edit's own redrawing of the system bar, and
// that detaching gives the system bar back without cutting a later
// subclasser out of the chain or leaking GDI objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "skin/controls/kxScrollWnd.h"
#include "tests/manager_win/Support_win.h"
#include "tests/support/GdiObjects_win.h"
#include "tests/support/Pump_win.h"

namespace kx {
namespace {

using tk::test::PumpFor;
using tk::test::PumpPending;

// The internal skin's track (SCROLLBAR1V/2V) and thumb (SCROLLSLIDERV); the
// system bar under Wine is 0xF5F5F5 with a white thumb.
constexpr COLORREF kTrack = 16381942;
constexpr COLORREF kThumb = 13814468;
constexpr COLORREF kHotThumb = 11839648;
constexpr UINT WM_PROBE = WM_APP + 11;
constexpr int kLines = 300;

std::wstring Lines(int n, const wchar_t* word = L"line ") {
  std::wstring s;
  for (int i = 0; i < n; ++i) s += word + std::to_wstring(i) + L"\r\n";
  return s;
}

bool Near(COLORREF a, COLORREF b) {
  auto d = [](int x, int y) { return std::abs(x - y) <= 2; };
  return d(tk::GetRValue(a), tk::GetRValue(b)) && d(tk::GetGValue(a), tk::GetGValue(b)) && d(tk::GetBValue(a), tk::GetBValue(b));
}

WNDPROC OverPrev = nullptr;
LRESULT CALLBACK OverProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_PROBE) return 42;
  return ::CallWindowProcW(OverPrev, w, m, wp, lp);
}

class ScrollBars : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Manager = mgrtest::LoadedManager(L"", L"Pearlmist (internal)"); }
  static void TearDownTestSuite() { tk::FreeAndNil(Manager); }

  void SetUp() override {
    Host = ::CreateWindowExW(0, L"STATIC", L"scroll host", WS_POPUP | WS_VISIBLE, 100, 100, 400, 340, nullptr, nullptr,
                             nullptr, nullptr);
    Edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 10, 10,
                             300, 260, Host, nullptr, nullptr, nullptr);
    ::SetWindowTextW(Edit, Lines(kLines).c_str());
    PumpPending();
  }
  void TearDown() override {
    if (A) DetachScrollBars(Edit, true, false, A);
    ::DestroyWindow(Host);
    PumpPending();
  }

  void Attach() {
    A = AttachAdapter<TkxScrollWnd>(Edit, true, tk::String(L"EDIT"), Manager, nullptr);
    PumpPending();
  }

  int FirstLine() const { return static_cast<int>(::SendMessageW(Edit, EM_GETFIRSTVISIBLELINE, 0, 0)); }
  tk::TRect Bar() const { return VertBarRect(*A); }  // screen
  POINT DownArrow() const { return POINT{(Bar().Left + Bar().Right) / 2, Bar().Bottom - 5}; }
  TkxThumb Thumb() const {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(Edit, SB_VERT, &si);
    TkxBarValues v;
    v.ArrowLength = ::GetSystemMetrics(SM_CXHSCROLL);
    v.Min = si.nMin;
    v.Max = si.nMax;
    v.Page = si.nPage;
    v.Pos = si.nPos;
    return ThumbGeometry(v, Bar());
  }
  // A screen point on the track away from the thumb.
  POINT OnTrack() const {
    const tk::TRect b = Bar();
    const TkxThumb t = Thumb();
    const int y = t.Start - b.Top > b.Height() / 2 ? b.Top + 22 : b.Bottom - 22;
    return POINT{(b.Left + b.Right) / 2, y};
  }
  POINT OnThumb() const {
    const TkxThumb t = Thumb();
    return POINT{(Bar().Left + Bar().Right) / 2, t.Start + t.Length / 2};
  }
  bool Skinned() const { return Near(ScreenPixel(OnTrack()), kTrack) && Near(ScreenPixel(OnThumb()), kThumb); }
  COLORREF ScreenPixel(POINT p) const {
    RECT w{};
    ::GetWindowRect(Edit, &w);
    HDC dc = ::GetWindowDC(Edit);
    const COLORREF c = ::GetPixel(dc, p.x - w.left, p.y - w.top);
    ::ReleaseDC(Edit, dc);
    return c;
  }

  // Presses at p the way the system would route a real press on the bar.
  void Press(POINT p) {
    ::SetCursorPos(p.x, p.y);
    const LPARAM at = MAKELPARAM(p.x, p.y);
    const WPARAM hit = static_cast<WPARAM>(::SendMessageW(Edit, WM_NCHITTEST, 0, at));
    ::SendMessageW(Edit, WM_NCLBUTTONDOWN, hit, at);
  }
  void MoveTo(POINT p) {
    ::SetCursorPos(p.x, p.y);
    ::ScreenToClient(Edit, &p);
    ::SendMessageW(Edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  }
  void Release() { ::SendMessageW(Edit, WM_LBUTTONUP, 0, 0); }

  static TsSkinManager* Manager;
  HWND Host = nullptr, Edit = nullptr;
  TkxScrollWnd* A = nullptr;
};
TsSkinManager* ScrollBars::Manager = nullptr;

TEST_F(ScrollBars, TheAttachedBarIsDrawnFromTheSkinInTheRoomOfTheSystemBar) {
  RECT before{};
  ::GetClientRect(Edit, &before);
  Attach();
  EXPECT_EQ(::GetPropW(Edit, kxAdapterProp), A);
  RECT after{};
  ::GetClientRect(Edit, &after);
  EXPECT_EQ(after.right, before.right);
  EXPECT_TRUE(A->sBarVert->fScrollVisible);
  EXPECT_FALSE(A->sBarHorz->fScrollVisible);
  EXPECT_EQ(Bar().Width(), ::GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_TRUE(Skinned());
}

TEST_F(ScrollBars, ABarWithNothingToScrollAnswersNoHitAndIsDrawnFaded) {
  Attach();
  const POINT arrow{(Bar().Left + Bar().Right) / 2, Bar().Top + 6};  // on the up arrow's glyph
  const COLORREF active = ScreenPixel(arrow);
  ::SetWindowTextW(Edit, L"one\r\ntwo");
  PumpPending();
  const POINT p = OnTrack();
  EXPECT_EQ(::SendMessageW(Edit, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTNOWHERE);
  const COLORREF faded = ScreenPixel(arrow);
  EXPECT_GT(tk::GetRValue(faded), tk::GetRValue(active) + 0x20) << std::hex << active << " " << faded;
}

TEST_F(ScrollBars, AClickOnTheArrowScrollsALineAndOnTheTrackAPage) {
  Attach();
  Press(DownArrow());
  Release();
  EXPECT_EQ(FirstLine(), 1);
  Press(OnTrack());
  Release();
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_PAGE;
  ::GetScrollInfo(Edit, SB_VERT, &si);
  EXPECT_EQ(FirstLine(), 1 + static_cast<int>(si.nPage));
}

TEST_F(ScrollBars, HoldingTheArrowRepeatsUntilTheButtonIsReleased) {
  Attach();
  Press(DownArrow());
  // The first repeat after 300 ms, then every 55 ms.
  EXPECT_TRUE(tk::test::PumpUntil([&] { return FirstLine() >= 4; }, 3000));
  Release();
  const int released = FirstLine();
  PumpFor(300);
  EXPECT_EQ(FirstLine(), released);
  EXPECT_TRUE(Skinned());
}

TEST_F(ScrollBars, APressWhoseCaptureIsTakenAwayStopsScrolling) {
  Attach();
  Press(DownArrow());
  EXPECT_TRUE(tk::test::PumpUntil([&] { return FirstLine() >= 3; }, 3000));
  ::SetCapture(Host);  // as a message box or another window taking the mouse
  const int taken = FirstLine();
  PumpFor(300);
  EXPECT_EQ(FirstLine(), taken);
  EXPECT_EQ(ScrollTracking.PressedPart, -1);
  ::ReleaseCapture();
}

TEST_F(ScrollBars, DraggingTheThumbToTheBottomShowsTheLastLine) {
  Attach();
  const tk::TRect b = Bar();
  const int x = (b.Left + b.Right) / 2;
  Press(POINT{x, Thumb().Start + 2});
  MoveTo(POINT{x, b.Top + b.Height() / 2});
  EXPECT_GT(FirstLine(), 100);
  MoveTo(POINT{x, b.Bottom + 40});
  Release();
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ::GetScrollInfo(Edit, SB_VERT, &si);
  EXPECT_EQ(FirstLine(), si.nMax - static_cast<int>(si.nPage) + 1);
  EXPECT_FALSE(A->fThumbTracking);
}

TEST_F(ScrollBars, TheHoveredThumbLightsUpUntilTheMouseLeavesTheBar) {
  Attach();
  const POINT thumb = OnThumb();
  ::SetCursorPos(thumb.x, thumb.y);
  ::SendMessageW(Edit, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(thumb.x, thumb.y));
  // The hover check runs every 20 ms.
  EXPECT_TRUE(tk::test::PumpUntil([&] { return Near(ScreenPixel(thumb), kHotThumb); }, 2000));
  ::SetCursorPos(thumb.x - 100, thumb.y);
  EXPECT_TRUE(tk::test::PumpUntil([] { return ScrollTracking.HoverBar == -1; }, 2000));
  EXPECT_TRUE(Near(ScreenPixel(thumb), kThumb));
}

TEST_F(ScrollBars, TheSkinnedBarIsBackAfterTheEditRedrewTheSystemBar) {
  Attach();
  const struct {
    const char* what;
    std::function<void(HWND)> op;
  } ops[] = {
      {"typing", [](HWND e) { ::SendMessageW(e, WM_CHAR, 'x', 0); }},
      {"paste",
       [](HWND e) {
         ::SendMessageW(e, EM_SETSEL, 0, 40);
         ::SendMessageW(e, WM_COPY, 0, 0);
         ::SendMessageW(e, EM_SETSEL, 2000, 2000);
         ::SendMessageW(e, WM_PASTE, 0, 0);
       }},
      {"undo", [](HWND e) { ::SendMessageW(e, WM_UNDO, 0, 0); }},
      {"wheel", [](HWND e) { ::SendMessageW(e, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-120)), 0); }},
      {"new text", [](HWND e) { ::SetWindowTextW(e, Lines(kLines, L"other ").c_str()); }},
      {"line scroll", [](HWND e) { ::SendMessageW(e, EM_LINESCROLL, 0, 40); }},
  };
  for (const auto& o : ops) {
    o.op(Edit);
    PumpFor(300);
    EXPECT_TRUE(Skinned()) << o.what;
  }
}

TEST_F(ScrollBars, DetachingGivesTheSystemBarBackAndKeepsALaterSubclass) {
  Attach();
  const POINT thumb = OnThumb();
  OverPrev = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(Edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OverProc)));
  DetachScrollBars(Edit, true, true, A);
  PumpPending();
  EXPECT_EQ(A, nullptr);
  EXPECT_EQ(::GetPropW(Edit, kxAdapterProp), nullptr);
  EXPECT_EQ(::SendMessageW(Edit, WM_PROBE, 0, 0), 42);
  ::SendMessageW(Edit, EM_LINESCROLL, 0, 3);
  EXPECT_EQ(FirstLine(), 3);
  ::RedrawWindow(Edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_FALSE(Near(ScreenPixel(thumb), kThumb));
}

TEST_F(ScrollBars, AttachingDetachingAndSwitchingTextLeakNoGdiObjects) {
  Attach();
  DetachScrollBars(Edit, true, true, A);
  PumpPending();
  const size_t before = tk::test::GdiObjects();
  for (int i = 0; i < 200; ++i) {
    Attach();
    DetachScrollBars(Edit, true, true, A);
  }
  PumpPending();
  EXPECT_EQ(tk::test::GdiObjects(), before);

  Attach();
  const size_t attached = tk::test::GdiObjects();
  const std::wstring longText = Lines(kLines), shortText = L"one";
  for (int i = 0; i < 200; ++i) ::SetWindowTextW(Edit, (i % 2 ? shortText : longText).c_str());
  ::SetWindowTextW(Edit, longText.c_str());
  PumpPending();
  EXPECT_EQ(tk::test::GdiObjects(), attached);
}

}  // namespace
}  // namespace kx
