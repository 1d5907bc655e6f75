// The skinned window frame on the running program: the layered border window
// behind the form, the title and its buttons, moving, sizing, maximising,
// closing through the title, clicks through the shadow, and an idle program
// that does no work. Every expected place comes from the system's metrics and
// the internal skin's options through the frame arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "skin/paint/sFormGeometry.h"
#include "tests/e2e/Harness_win.h"
#include "tests/e2e/SkinFrame_win.h"
#include "tests/support/Pump_win.h"

using namespace e2e;

namespace {

kx::TkxTitleButtonSet ButtonsOf() {
  kx::TkxTitleButtonSet b;
  b.CloseWidth = GlyphSize(L"BICONCLOSE").cx;
  b.MaxWidth = GlyphSize(L"BICONMAX").cx;
  b.MinWidth = GlyphSize(L"BICONMIN").cx;
  b.Height = GlyphSize(L"BICONCLOSE").cy;
  return b;
}

std::vector<HWND> BorderWindows(const TabuloApp& app) { return LayeredToolWindows(app.Pid(), false); }

HWND BorderWindow(const TabuloApp& app) {
  const std::vector<HWND> all = BorderWindows(app);
  return all.size() == 1 ? all[0] : nullptr;
}

RECT Rect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

// Where the border window belongs for the form as it stands.
RECT ExpectedBorderRect(HWND Form) {
  const kx::TkxFormFrame f = FrameOf(Form);
  const RECT w = Rect(Form);
  const tk::TPoint off = kx::BorderWindowOffset(f);
  const tk::TSize size = kx::ImageSize(f);
  return RECT{w.left - off.X, w.top - off.Y, w.left - off.X + size.cx, w.top - off.Y + size.cy};
}

// A title button's rectangle on the screen.
RECT ScreenRectOf(const tk::TRect& R, HWND Border) {
  const RECT b = Rect(Border);
  return RECT{b.left + R.Left, b.top + R.Top, b.left + R.Right, b.top + R.Bottom};
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A point on the title band clear of the icon, the caption and the buttons.
POINT TitlePoint(HWND Form, HWND Border) {
  const kx::TkxFormFrame f = FrameOf(Form);
  const RECT b = Rect(Border);
  const int y = f.Skin.Shadow.Top + kx::CaptionHeight(f, true) / 2;
  return POINT{(b.left + b.right) / 2 + 40, b.top + y};
}

::testing::AssertionResult Same(const RECT& a, const RECT& b) {
  if (EqualRect(&a, &b)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.left << ", " << a.top << ", " << a.right << ", " << a.bottom
                                       << ") instead of (" << b.left << ", " << b.top << ", " << b.right << ", "
                                       << b.bottom << ")";
}

// The skinned frame is in place: one border window right behind the form,
// the form cut to its client area and without the system's buttons.
::testing::AssertionResult Skinned(const TabuloApp& app) {
  const std::vector<HWND> borders = BorderWindows(app);
  if (borders.size() != 1) return ::testing::AssertionFailure() << borders.size() << " border windows";
  // Behind the form; Wine may take the order back to the stacking on its
  // screen, where a window shown stays raised, so next to it is what holds
  // there. What a person sees is checked by what lies under the points.
  if (GetWindow(app.Form(), GW_HWNDNEXT) != borders[0] && GetWindow(app.Form(), GW_HWNDPREV) != borders[0])
    return ::testing::AssertionFailure() << "the border window is not next to the form";
  const RECT client = app.FormClient(), frame = Rect(borders[0]);
  if (GetAncestor(WindowFromPoint(Centre(client)), GA_ROOT) != app.Form())
    return ::testing::AssertionFailure() << "the client area does not show the form";
  const kx::TkxFormFrame f = FrameOf(app.Form());
  const POINT title{Centre(frame).x, frame.top + f.Skin.Shadow.Top + 5};
  if (WindowFromPoint(title) != borders[0])
    return ::testing::AssertionFailure() << "the title is not the border window's";
  if (GetWindowLongW(app.Form(), GWL_STYLE) & WS_SYSMENU) return ::testing::AssertionFailure() << "WS_SYSMENU";
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetWindowRgn(app.Form(), rgn);
  RECT box{};
  GetRgnBox(rgn, &box);
  DeleteObject(rgn);
  if (kind == ERROR) return ::testing::AssertionFailure() << "the form has no region";
  const tk::TRect cut = kx::FormRegionRect(FrameOf(app.Form()));
  if (auto r = Same(box, RECT{cut.Left, cut.Top, cut.Right, cut.Bottom}); !r) return r << " (region)";
  return Same(Rect(borders[0]), ExpectedBorderRect(app.Form())) << " (border window)";
}

void StartAt(TabuloApp& app, int x, int y, int w, int h) {
  app.WriteSetting(L"Left", std::to_wstring(x));
  app.WriteSetting(L"Top", std::to_wstring(y));
  app.WriteSetting(L"Width", std::to_wstring(w));
  app.WriteSetting(L"Height", std::to_wstring(h));
  app.Start();
  ASSERT_TRUE(WaitFor([&] { return BorderWindow(app) != nullptr; }));
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));
}

// A window of this process to stand beside or below the program.
class TestWindow {
 public:
  explicit TestWindow(const RECT& r) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"FrameTestWindow";
    RegisterClassW(&wc);
    FWnd = CreateWindowExW(0, wc.lpszClassName, L"below", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TestWindow() { DestroyWindow(FWnd); }
  HWND Handle() const { return FWnd; }
  POINT LastDown{-1, -1};
  int Downs = 0;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_LBUTTONDOWN)
      if (auto* t = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA))) {
        t->LastDown = POINT{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        ++t->Downs;
      }
    return DefWindowProcW(h, m, w, l);
  }
  HWND FWnd;
};

// Each case starts the program at a known place with its border window shown.
class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    StartAt(app, 100, 80, 800, 600);
    border = BorderWindow(app);
    ASSERT_NE(border, nullptr);
  }
  TabuloApp app;
  HWND border = nullptr;
};

}  // namespace

TEST_F(Frame, OneLayeredBorderWindowLiesBehindTheFormWhoseClientStaysWhereItWas) {
  EXPECT_TRUE(Skinned(app));
  // The page buttons and the editor keep their client places.
  const RECT column = app.ClientRectOf(app.ButtonColumn()), editor = app.ClientRectOf(app.Editor());
  EXPECT_EQ(column.left, 0);
  EXPECT_EQ(column.top, 0);
  EXPECT_EQ(editor.left, 178);
  EXPECT_EQ(editor.top, 0);
  ASSERT_TRUE(app.CloseAndWait());
}

TEST_F(Frame, TheTitleShowsTheSkinAndItsButtonsLightUpUnderThePointer) {
  const kx::TkxFormFrame f = FrameOf(app.Form());
  const kx::TkxTitleButtonRects buttons = kx::LayoutTitleButtons(f, ButtonsOf());
  const RECT close = ScreenRectOf(buttons.Close, border), max = ScreenRectOf(buttons.Max, border),
             min = ScreenRectOf(buttons.Min, border);
  const POINT t = TitlePoint(app.Form(), border);
  const RECT band{min.left - 60, close.top, close.right, close.bottom};
  app.MoveTo(t.x, t.y + 200);
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));
  Capture active = Capture::Screen(band);
  const COLORREF sys = GetSysColor(COLOR_ACTIVECAPTION);
  const uint32_t title = active.At(5, (close.bottom - close.top) / 2);
  EXPECT_NE(title, static_cast<uint32_t>(GetRValue(sys) << 16 | GetGValue(sys) << 8 | GetBValue(sys)));
  // Each button differs from the band beside it.
  for (const RECT& b : {close, max, min}) {
    const RECT inBand{b.left - band.left, 0, b.right - band.left, b.bottom - b.top};
    EXPECT_GT(active.Count(inBand, [&](uint8_t r, uint8_t g,
                                       uint8_t bl) { return (uint32_t(r) << 16 | uint32_t(g) << 8 | bl) != title; }),
              10)
        << SaveFailureShot(active, "buttons");
  }
  // Hot under the pointer.
  for (const RECT& b : {close, max, min}) {
    const RECT inBand{b.left - band.left, 0, b.right - band.left, b.bottom - b.top};
    app.MoveTo(Centre(b).x, Centre(b).y);
    Capture hot = Capture::Screen(band);
    EXPECT_TRUE(WaitFor(
        [&] {
      hot = Capture::Screen(band);
      return hot.Differences(active, inBand) > 10;
        },
        3000))
        << SaveFailureShot(hot, "hot");
  }
  // Another window active: the title turns inactive.
  app.MoveTo(t.x, t.y + 200);
  TestWindow other(RECT{0, 0, 60, 60});
  SetForegroundWindow(other.Handle());
  Capture inactive = Capture::Screen(band);
  EXPECT_TRUE(WaitFor([&] {
    tk::test::PumpPending();
    inactive = Capture::Screen(band);
    return inactive.At(5, (close.bottom - close.top) / 2) != title;
  })) << SaveFailureShot(inactive, "inactive");
  ASSERT_TRUE(app.CloseAndWait());
}

TEST_F(Frame, DraggingTheTitleMovesAndTheCornerSizesBothWindowsNeverBelowTheMinimum) {
  const POINT t = TitlePoint(app.Form(), border);
  // Another window active: the drag activates the program as well.
  TestWindow other(RECT{0, 0, 60, 60});
  SetForegroundWindow(other.Handle());
  ASSERT_TRUE(app.DragScreen(t, POINT{t.x + 60, t.y + 40}));
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.Form(); }));
  EXPECT_TRUE(WaitFor([&] { return Rect(app.Form()).left == 160; }));
  EXPECT_TRUE(Same(Rect(app.Form()), RECT{160, 120, 960, 720}));
  EXPECT_TRUE(WaitFor([&] { return Skinned(app); })) << Skinned(app);

  // The sizing band is the system frame's width at the drawn frame's outer edge.
  const kx::TkxFormFrame f = FrameOf(app.Form());
  const RECT b = Rect(border);
  const int inside = f.Sys.CxFrame / 2;
  const POINT corner{b.right - f.Skin.Shadow.Right - inside, b.bottom - f.Skin.Shadow.Bottom - inside};
  ASSERT_TRUE(app.DragScreen(corner, POINT{corner.x + 50, corner.y + 30}));
  EXPECT_TRUE(WaitFor([&] { return Rect(app.Form()).right > 990 && Rect(app.Form()).bottom > 740; }));
  EXPECT_EQ(Rect(app.Form()).left, 160);
  EXPECT_EQ(Rect(app.Form()).top, 120);
  EXPECT_TRUE(WaitFor([&] { return Skinned(app); })) << Skinned(app);
  const RECT grown = Rect(border);
  const POINT corner2{grown.right - f.Skin.Shadow.Right - inside, grown.bottom - f.Skin.Shadow.Bottom - inside};
  ASSERT_TRUE(app.DragScreen(corner2, POINT{corner2.x - 400, corner2.y - 400}));
  EXPECT_TRUE(WaitFor([&] { return Rect(app.Form()).right == 160 + 758; }));
  EXPECT_TRUE(Same(Rect(app.Form()), RECT{160, 120, 160 + 758, 120 + 550}));
  EXPECT_TRUE(WaitFor([&] { return Skinned(app); })) << Skinned(app);
  ASSERT_TRUE(app.CloseAndWait());
}

TEST_F(Frame, ADoubleClickOnTheTitleMaximisesWithTheCloseButtonInTheWorkAreaAndRestores) {
  const POINT t = TitlePoint(app.Form(), border);
  app.DoubleClickScreen(t.x, t.y);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(app.Form()) != 0; }));
  ASSERT_TRUE(WaitFor([&] { return BorderWindow(app) != nullptr; }));
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const kx::TkxFormFrame f = FrameOf(app.Form());
  const RECT close = ScreenRectOf(kx::LayoutTitleButtons(f, ButtonsOf()).Close, BorderWindow(app));
  // The button's glyph stands on the work area, at its top right corner.
  EXPECT_TRUE(PtInRect(&work, Centre(close)));
  EXPECT_LE(close.right, work.right);
  EXPECT_GT(close.left, work.right - 120);
  const POINT t2{(work.left + work.right) / 2, Centre(close).y};
  app.DoubleClickScreen(t2.x, t2.y);
  ASSERT_TRUE(WaitFor([&] { return !IsZoomed(app.Form()); }));
  // The state changes before the window is placed.
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));
  EXPECT_TRUE(Same(Rect(app.Form()), RECT{100, 80, 900, 680}));
  EXPECT_TRUE(WaitFor([&] { return Skinned(app); })) << Skinned(app);
  ASSERT_TRUE(app.CloseAndWait());
}

TEST_F(Frame, CloseReleasedElsewhereDoesNothingMinimiseRestoresSkinnedAndTheIconClosesWithTheSave) {
  const kx::TkxTitleButtonRects buttons = kx::LayoutTitleButtons(FrameOf(app.Form()), ButtonsOf());
  const POINT close = Centre(ScreenRectOf(buttons.Close, border));
  app.MoveTo(close.x, close.y);
  app.LeftButton(true, close);
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));
  app.MoveTo(close.x - 300, close.y + 300);
  app.LeftButton(false, POINT{close.x - 300, close.y + 300});
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));
  EXPECT_TRUE(app.Running());
  EXPECT_TRUE(IsWindowVisible(app.Form()));

  const POINT min = Centre(ScreenRectOf(buttons.Min, border));
  app.ClickScreen(min.x, min.y);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(app.Form()) != 0; }));
  ShowWindow(app.Form(), SW_RESTORE);
  ASSERT_TRUE(WaitFor([&] { return !IsIconic(app.Form()); }));
  EXPECT_TRUE(WaitFor([&] { return Skinned(app); })) << Skinned(app);

  app.ClickEditor();
  app.TypeAndWait(L"iconic", L"iconic");
  const kx::TkxFormFrame f = FrameOf(app.Form());
  const tk::TRect icon = kx::IconRect(f, kx::TitleIconSize(f, true, 0, 0));
  const RECT b = Rect(BorderWindow(app));
  app.DoubleClickScreen(b.left + (icon.Left + icon.Right) / 2, b.top + (icon.Top + icon.Bottom) / 2);
  ASSERT_TRUE(app.WaitExit(10000));
  EXPECT_EQ(app.ReadFile(L"A.txt"), "iconic");
}

TEST(FrameShadow, AClickOnTheShadowReachesTheWindowBelowAndAltF4ClosesWithTheSave) {
  // Made first, so the program's windows come above it.
  auto below = std::make_unique<TestWindow>(RECT{0, 0, 400, 700});
  tk::test::PumpPending();
  TabuloApp app;
  StartAt(app, 100, 80, 800, 600);
  HWND border = BorderWindow(app);
  ASSERT_NE(border, nullptr);
  const RECT b = Rect(border);
  const kx::TkxFormFrame f = FrameOf(app.Form());
  ASSERT_GT(b.left, 0);
  const POINT shadow{b.left + f.Skin.Shadow.Left / 2, b.top + 200};
  app.ClickScreen(shadow.x, shadow.y);
  EXPECT_TRUE(tk::test::PumpUntil([&] { return below->Downs > 0; }));
  EXPECT_EQ(below->LastDown.x, shadow.x);
  EXPECT_EQ(below->LastDown.y, shadow.y);
  below.reset();

  app.Foreground();
  app.ClickEditor();
  app.TypeAndWait(L"alt f4", L"alt f4");
  app.Key(VK_F4, false, false, true);
  ASSERT_TRUE(app.WaitExit(10000));
  EXPECT_EQ(app.ReadFile(L"A.txt"), "alt f4");
}

TEST_F(Frame, AnIdleProgramUsesUnderOnePercentOfACore) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, app.Pid());
  ASSERT_NE(process, nullptr);
  auto cpu = [&] {
    FILETIME c, e, k, u;
    GetProcessTimes(process, &c, &e, &k, &u);
    return (ULARGE_INTEGER{{k.dwLowDateTime, k.dwHighDateTime}}.QuadPart +
            ULARGE_INTEGER{{u.dwLowDateTime, u.dwHighDateTime}}.QuadPart) /
           10000;  // ms
  };
  const auto before = cpu();
  Sleep(10000);
  const auto used = cpu() - before;
  CloseHandle(process);
  EXPECT_LT(used, 100u) << used << " ms of processor time in 10 s";
  ASSERT_TRUE(app.CloseAndWait());
}
