// The about panel: opened from the context menu, centred over the editor,
// closed with "OK".
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "skin/framework/kxGlow.h"

#include "tests/e2e/Harness_win.h"
#include "tests/support/Pump_win.h"

using namespace e2e;

namespace {

void ChooseAbout(TabuloApp& app) { ASSERT_TRUE(app.ShowAboutPanel()) << "the about panel did not show"; }

// Tabulo's glows (the frame's border window takes clicks).
std::vector<HWND> Glows(DWORD Pid) { return LayeredToolWindows(Pid, true); }

// Rests the pointer on OK until its glow (64-bit builds) is shown: under
// Wine a press in the moment the glow window appears may land on that window.
void HoverOk(TabuloApp& app, HWND ok) {
  RECT s;
  GetWindowRect(ok, &s);
  app.MoveTo((s.left + s.right) / 2, (s.top + s.bottom) / 2);
  const size_t glows = sizeof(void*) == 8 ? 1 : 0;
  WaitFor([&] { return Glows(app.Pid()).size() == glows; }, 1000);
}

void ExpectCentredOverEditor(const TabuloApp& app) {
  RECT e = app.ClientRectOf(app.Editor());
  RECT p = app.ClientRectOf(app.AboutPanel());
  int ew = e.right - e.left, eh = e.bottom - e.top;
  // Integer division truncating toward zero, also for a negative difference.
  EXPECT_EQ(p.top, (eh - 200) / 2) << "editor " << ew << " x " << eh;
  EXPECT_EQ(p.left, (ew - 310) / 2 + 178) << "editor " << ew << " x " << eh;
  EXPECT_EQ(p.right - p.left, 310);
  EXPECT_EQ(p.bottom - p.top, 200);
}

}  // namespace

TEST(AboutPanel, IsCentredOverTheEditor) {
  TabuloApp app;
  app.Start();
  ChooseAbout(app);
  ExpectCentredOverEditor(app);
  // An editor 581 wide and 601 high: left 178 + 135, top 200 (both halves truncated;
  // narrower editors are below the window's minimum width under Wine's thin frame).
  RECT w, c;
  GetWindowRect(app.Form(), &w);
  GetClientRect(app.Form(), &c);
  SetWindowPos(app.Form(), nullptr, 0, 0, (w.right - w.left) - c.right + 178 + 581, (w.bottom - w.top) - c.bottom + 601,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT e{};
  ASSERT_TRUE(WaitFor([&] {
    e = app.ClientRectOf(app.Editor());
    return e.right - e.left == 581 && e.bottom - e.top == 601;
  })) << "editor "
      << e.left << "," << e.top << " " << e.right - e.left << " x " << e.bottom - e.top;
  WaitFor([&] { return app.ClientRectOf(app.AboutPanel()).left == 313; });
  RECT p = app.ClientRectOf(app.AboutPanel());
  EXPECT_EQ(p.left, 313);
  EXPECT_EQ(p.top, 200);
  ASSERT_TRUE(app.CloseAndWait());
}

TEST(AboutPanel, FollowsEverySizeChangeWhetherShownOrNot) {
  TabuloApp app;
  app.Start();
  SetWindowPos(app.Form(), nullptr, 0, 0, 901, 677, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  WaitFor([&] {
    RECT w;
    GetWindowRect(app.Form(), &w);
    return w.right - w.left == 901;
  });
  ExpectCentredOverEditor(app);  // moved while hidden
  ChooseAbout(app);
  ExpectCentredOverEditor(app);
  // Maximized, while shown.
  PostMessageW(app.Form(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(app.Form()) != 0; }));
  WaitFor([&] {
    RECT p = app.ClientRectOf(app.AboutPanel()), e = app.ClientRectOf(app.Editor());
    return p.left == (e.right - e.left - 310) / 2 + 178;
  });
  ExpectCentredOverEditor(app);
  ASSERT_TRUE(app.CloseAndWait());
}

TEST(AboutPanel, DisablesTheEditorWhilePageSwitchesStillWork) {
  TabuloApp app;
  app.WriteFile(L"B.txt", "bravo");
  app.Start();
  app.ClickEditor();
  app.TypeAndWait(L"alpha", L"alpha");
  ChooseAbout(app);
  EXPECT_FALSE(app.EditorEnabled());
  // Keys go nowhere while the editor is disabled.
  app.Type(L"zzz");
  EXPECT_TRUE(tk::test::RoundTrip(app.Form()));
  EXPECT_EQ(app.EditorText(), L"alpha");
  app.ClickPage(L'B');
  EXPECT_TRUE(WaitFor([&] { return app.ReadFile(L"A.txt") == "alpha"; }));
  EXPECT_TRUE(WaitFor([&] { return app.EditorText() == L"bravo"; })) << Utf8(app.EditorText());
  EXPECT_FALSE(app.EditorEnabled());
  EXPECT_TRUE(IsWindowVisible(app.AboutPanel()));
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"B.txt"), "bravo");
}

TEST(AboutPanel, OkHidesThePanelAndGivesTheEditorTheFocusBack) {
  TabuloApp app;
  app.Start();
  RECT panelArea;
  {
    ChooseAbout(app);
    panelArea = app.ClientRectOf(app.AboutPanel());
  }
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));  // the panel painted, the menu gone
  Capture shown = app.CaptureClient();
  HWND ok = app.AboutOk();
  ASSERT_NE(ok, nullptr) << "no OK button";
  wchar_t caption[16] = {};
  GetWindowTextW(ok, caption, 16);
  EXPECT_STREQ(caption, L"OK");
  RECT r = app.ClientRectOf(ok);
  HoverOk(app, ok);
  app.ClickClient((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(app.AboutPanel()); }));
  EXPECT_TRUE(app.EditorEnabled());
  EXPECT_TRUE(WaitFor([&] { return app.FocusWindow() == app.Editor(); }));
  // Typing reaches the editor at once.
  app.TypeAndWait(L"back", L"back");

  // On screen the panel was there and is gone again.
  RECT inner{panelArea.left + 10, panelArea.top + 10, panelArea.right - 10, panelArea.bottom - 10};
  Capture hidden = app.CaptureClient();
  WaitFor([&] {
    hidden = app.CaptureClient();
    return hidden.Differences(shown, inner, 3) > 2000;
  });
  EXPECT_GT(hidden.Differences(shown, inner, 3), 2000)
      << SaveFailureShot(shown, "shown") << " " << SaveFailureShot(hidden, "hidden");
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), "back");
}

namespace {

// A colour of the internal skin's options, as red, green and blue.
struct Rgb {
  int R, G, B;
};
Rgb SkinColour(const wchar_t* Section, const wchar_t* Key) {
  const std::wstring options = HostPath(TABULO_SKINS_DIR "/Pearlmist/Options.dat");
  const UINT c = GetPrivateProfileIntW(Section, Key, 0x7FFFFFFF, options.c_str());
  EXPECT_NE(c, 0x7FFFFFFFu) << "no " << Utf8(Key) << " in " << Utf8(options);
  return Rgb{int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF)};
}
std::function<bool(uint8_t, uint8_t, uint8_t)> Near(Rgb c) {
  return [c](uint8_t r, uint8_t g, uint8_t b) {
    return std::abs(r - c.R) <= 3 && std::abs(g - c.G) <= 3 && std::abs(b - c.B) <= 3;
  };
}

}  // namespace

TEST(AboutPanel, ShowsItsTextsInDarkGreyAndTheLinkInTheSkinsLinkColours) {
  const Rgb link = SkinColour(L"GLOBALINFO", L"TCBOTTOM"), hovered = SkinColour(L"GLOBALINFO", L"TCTOP");
  const Rgb text{33, 33, 33};
  TabuloApp app;
  app.Start();
  ChooseAbout(app);
  RECT p = app.ClientRectOf(app.AboutPanel());
  // Mouse away from the web label (at 106, 126 in the panel).
  app.ClickClient(p.left + 20, p.top + 190);
  EXPECT_TRUE(tk::test::RoundTrip(app.Form()));
  Capture idle = app.CaptureClient();
  RECT label{p.left + 100, p.top + 122, p.left + 240, p.top + 148};
  RECT texts{p.left + 60, p.top + 18, p.left + 260, p.top + 122};
  EXPECT_GT(idle.Count(texts, Near(text)), 100) << SaveFailureShot(idle, "idle");
  EXPECT_GT(idle.Count(label, Near(link)), 20) << SaveFailureShot(idle, "idle");
  EXPECT_LT(idle.Count(label, Near(hovered)), 5) << SaveFailureShot(idle, "idle");
  POINT at{p.left + 130, p.top + 134};
  ClientToScreen(app.Form(), &at);
  app.MoveTo(at.x, at.y);
  app.MoveTo(at.x + 3, at.y);
  Capture hover = app.CaptureClient();
  WaitFor([&] {
    hover = app.CaptureClient();
    return hover.Count(label, Near(hovered)) > 20;
  });
  EXPECT_GT(hover.Count(label, Near(hovered)), 20) << SaveFailureShot(hover, "hover");
  EXPECT_LT(hover.Count(label, Near(link)), 5) << SaveFailureShot(hover, "hover");
  // Leaving the label gives it the link colour back.
  app.MoveTo(at.x, at.y + 50);
  app.MoveTo(at.x + 3, at.y + 50);
  Capture left = app.CaptureClient();
  WaitFor([&] {
    left = app.CaptureClient();
    return left.Count(label, Near(hovered)) < 5;
  });
  EXPECT_LT(left.Count(label, Near(hovered)), 5) << SaveFailureShot(left, "left");
  EXPECT_GT(left.Count(label, Near(link)), 20) << SaveFailureShot(left, "left");
  ASSERT_TRUE(app.CloseAndWait());
}

namespace {

// Pure black or pure white: the dots of the focus frame.
bool FocusDot(uint8_t r, uint8_t g, uint8_t b) {
  return (r == 0 && g == 0 && b == 0) || (r == 255 && g == 255 && b == 255);
}

RECT ScreenRectOf(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

}  // namespace

TEST(AboutPanel, OkHasRoundCornersAndAFocusFrameWhenFocusedAndSpacePressesIt) {
  TabuloApp app;
  app.Start();
  ChooseAbout(app);
  HWND ok = app.AboutOk();
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  // The see-through corner is outside the window region: the panel is hit there.
  const RECT s = ScreenRectOf(ok);
  EXPECT_TRUE(WaitFor([&] { return WindowFromPoint(POINT{s.left, s.top}) == app.AboutPanel(); }));
  EXPECT_EQ(WindowFromPoint(POINT{(s.left + s.right) / 2, (s.top + s.bottom) / 2}), ok);

  const RECT r = app.ClientRectOf(ok);
  const RECT inner{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
  const int before = app.CaptureClient().Count(inner, FocusDot);
  // Tab takes the focus to OK (the disabled editor is passed over).
  app.Key(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return app.FocusWindow() == ok; })) << "Tab did not focus OK";
  EXPECT_TRUE(tk::test::RoundTrip(app.Form()));
  EXPECT_TRUE(IsWindowVisible(app.AboutPanel()));
  Capture focused = app.CaptureClient();
  WaitFor([&] {
    focused = app.CaptureClient();
    return focused.Count(inner, FocusDot) >= before + 12;
  });
  EXPECT_GE(focused.Count(inner, FocusDot), before + 12) << SaveFailureShot(focused, "focused");
  app.Key(VK_SPACE);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(app.AboutPanel()); }));
  ASSERT_TRUE(app.CloseAndWait());
}

namespace {

// The glow picture's side widths of a section: the last four fields of its GLOW0 entry.
kx::TkxGlowFrame GlowFrameOf(const wchar_t* Section, const RECT& S) {
  const std::wstring options = HostPath(TABULO_SKINS_DIR "/Pearlmist/Options.dat");
  wchar_t glow[128] = {};
  GetPrivateProfileStringW(Section, L"GLOW0", L"", glow, 128, options.c_str());
  std::vector<int> fields;
  for (const wchar_t* p = glow; (p = wcschr(p, L'!')) != nullptr;) fields.push_back(_wtoi(++p));
  kx::TkxGlowFrame f;
  f.R = tk::TRect{S.left, S.top, S.right, S.bottom};
  f.V = tk::TRect{0, 0, S.right - S.left, S.bottom - S.top};
  if (fields.size() >= 4) {
    const size_t n = fields.size();
    f.WL = fields[n - 4], f.WT = fields[n - 3], f.WR = fields[n - 2], f.WB = fields[n - 1];
  }
  f.Margin = int(GetPrivateProfileIntW(Section, L"GLOWMARGIN", 0, options.c_str()));
  return f;
}

}  // namespace

// Only where layered windows show: the 64-bit build (a 32-bit program on
// 64-bit Windows without desktop composition gets no glows).
TEST(AboutPanel, OkGlowsWhileTheMouseIsOverItAndAClickUnderTheGlowPressesIt) {
  if (sizeof(void*) != 8) GTEST_SKIP() << "no glows for a 32-bit program here";
  TabuloApp app;
  app.Start();
  ChooseAbout(app);
  HWND ok = app.AboutOk();
  ASSERT_NE(ok, nullptr);
  const RECT s = ScreenRectOf(ok);
  const POINT centre{(s.left + s.right) / 2, (s.top + s.bottom) / 2};
  app.MoveTo(centre.x, centre.y);
  ASSERT_TRUE(WaitFor([&] { return Glows(app.Pid()).size() == 1; })) << Glows(app.Pid()).size() << " glows";
  const kx::TkxGlowPlace p = kx::GlowPlacement(GlowFrameOf(L"BUTTON", s));
  const RECT g = ScreenRectOf(Glows(app.Pid())[0]);
  EXPECT_EQ(g.left, p.X);
  EXPECT_EQ(g.top, p.Y);
  EXPECT_EQ(g.right - g.left, p.W);
  EXPECT_EQ(g.bottom - g.top, p.H);

  app.MoveTo(s.left - 40, s.bottom + 30);
  EXPECT_TRUE(WaitFor([&] { return Glows(app.Pid()).empty(); }, 500));

  app.MoveTo(centre.x, centre.y);
  ASSERT_TRUE(WaitFor([&] { return Glows(app.Pid()).size() == 1; }));
  app.ClickScreen(s.left + 2, centre.y);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(app.AboutPanel()); }));
  ASSERT_TRUE(app.CloseAndWait());
}
