// The editor's skinned scroll bar on the running program: the skin's
// colours instead of the system's, what clicks, holds, drags and the wheel
// do to a 300-line page, and that the bar stays skinned after the edit
// window redraws it and is faded and inert when it has nothing to do.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>

#include "tests/e2e/Harness_win.h"

using namespace e2e;

namespace {

constexpr int kLines = 300;
// The internal skin's bar track and thumb (0x00RRGGBB); the system bar is
// 0xF5F5F5 with a white thumb.
constexpr uint32_t kTrack = 0xF6F7F9;
constexpr uint32_t kThumb = 0xC4CAD2;

std::string Lines(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "line " + std::to_string(i) + "\r\n";
  return s;
}

bool Near(uint32_t c, uint32_t want, int tol = 6) {
  auto ch = [](uint32_t v, int s) { return int((v >> s) & 0xFF); };
  for (int s : {0, 8, 16})
    if (std::abs(ch(c, s) - ch(want, s)) > tol) return false;
  return true;
}

void Sleep(int ms) { ::Sleep(DWORD(ms)); }

class EditorBar : public ::testing::Test {
 protected:
  // Starts on page A holding pageA (empty: as the file already is).
  void StartWith(const std::string& pageA) {
    if (!pageA.empty()) App.WriteFile(L"A.txt", pageA);
    App.Start();
    Edit = App.Editor();
    ASSERT_NE(Edit, nullptr);
  }
  void TearDown() override {
    if (App.Running() && !App.CloseAndWait()) App.Kill();
  }

  int FirstLine() const {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(Edit, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, 2000, &r);
    return int(r);
  }
  // The bar: the strip of the system's bar width at the window's right.
  RECT Bar() const {
    RECT w;
    GetWindowRect(Edit, &w);
    return RECT{w.right - GetSystemMetrics(SM_CXVSCROLL), w.top, w.right, w.bottom};
  }
  int Arrow() const { return GetSystemMetrics(SM_CYVSCROLL); }
  POINT DownArrow() const { return POINT{(Bar().left + Bar().right) / 2, Bar().bottom - Arrow() / 2}; }
  Capture BarShot() const { return Capture::Screen(Bar()); }
  int CountNear(const Capture& c, uint32_t want, int tol = 6) const {
    int n = 0;
    for (int y = 0; y < c.Height(); ++y)
      for (int x = 0; x < c.Width(); ++x) n += Near(c.At(x, y), want, tol) ? 1 : 0;
    return n;
  }
  // The track looks the skin's when most of the bar's length shows it.
  bool Skinned() const {
    Capture c = BarShot();
    return CountNear(c, kTrack) + CountNear(c, kThumb) > c.Width() * c.Height() / 3;
  }
  // The thumb's rows (first, last) in the bar capture, between the arrows;
  // -1 when none.
  std::pair<int, int> ThumbRows() const {
    Capture c = BarShot();
    int first = -1, last = -1;
    for (int y = Arrow(); y < c.Height() - Arrow(); ++y)
      if (Near(c.At(c.Width() / 2, y), kThumb, 10)) {
        if (first < 0) first = y;
        last = y;
      }
    return {first, last};
  }
  void Press(POINT p, int holdMs) {
    App.Foreground();
    App.MoveTo(p.x, p.y);
    Sleep(100);
    App.LeftButton(true, p);
    Sleep(holdMs);
    App.LeftButton(false, p);
    Sleep(150);
  }
  void Wheel(int clicks) {
    RECT e;
    GetWindowRect(Edit, &e);
    App.MoveTo((e.left + e.right) / 2, (e.top + e.bottom) / 2);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = DWORD(-WHEEL_DELTA * clicks);
    SendInput(1, &in, sizeof in);
  }

  TabuloApp App;
  HWND Edit = nullptr;
};

}  // namespace

TEST_F(EditorBar, CarriesTheAdapterAndShowsTheSkinsColours) {
  StartWith(Lines(kLines));
  EXPECT_NE(GetPropW(Edit, L"KXSBSC"), nullptr);
  Capture c = BarShot();
  EXPECT_GT(CountNear(c, kTrack), c.Width() * c.Height() / 3) << SaveFailureShot(c, "bar");
  EXPECT_GT(CountNear(c, kThumb), c.Width() * 8) << SaveFailureShot(c, "bar");
  EXPECT_LT(CountNear(c, 0xF5F5F5, 0), c.Width() * 4) << SaveFailureShot(c, "bar");
}

TEST_F(EditorBar, ArrowTrackHoldDragAndWheelScrollThePage) {
  StartWith(Lines(kLines));
  App.ClickEditor();
  App.Key(VK_HOME, true);
  ASSERT_TRUE(WaitFor([&] { return FirstLine() == 0; }));
  Sleep(300);
  App.MoveTo(DownArrow().x, (Bar().top + Bar().bottom) / 2);
  Sleep(200);
  // A short click on the down arrow: one line.
  Press(DownArrow(), 60);
  WaitFor([&] { return FirstLine() == 1; }, 1000);
  EXPECT_EQ(FirstLine(), 1);
  // A click on the track below the thumb: one page.
  RECT e;
  GetClientRect(Edit, &e);
  DWORD_PTR p0 = 0, p1 = 0;
  SendMessageTimeoutW(Edit, EM_POSFROMCHAR, 0, 0, SMTO_ABORTIFHUNG, 2000, &p0);
  const int lineStart = int(SendMessageW(Edit, EM_LINEINDEX, 1, 0));
  SendMessageTimeoutW(Edit, EM_POSFROMCHAR, WPARAM(lineStart), 0, SMTO_ABORTIFHUNG, 2000, &p1);
  const int lineHeight = short(HIWORD(p1)) - short(HIWORD(p0));
  ASSERT_GT(lineHeight, 0);
  const int page = e.bottom / lineHeight;
  auto [thumbTop, thumbBottom] = ThumbRows();
  ASSERT_GE(thumbBottom, 0) << SaveFailureShot(BarShot(), "bar");
  const RECT bar = Bar();
  Press(POINT{(bar.left + bar.right) / 2, bar.top + (thumbBottom + bar.bottom - bar.top - Arrow()) / 2}, 60);
  WaitFor([&] { return FirstLine() > 1; }, 1000);
  EXPECT_GE(FirstLine() - 1, page - 1);
  EXPECT_LE(FirstLine() - 1, page);
  // Holding the arrow repeats, and stops on release.
  const int before = FirstLine();
  Press(DownArrow(), 700);
  const int held = FirstLine() - before;
  EXPECT_GE(held, 4);
  EXPECT_LE(held, 12);
  Sleep(300);
  EXPECT_EQ(FirstLine() - before, held);
  // Dragging the thumb to the bottom shows the last line.
  std::tie(thumbTop, thumbBottom) = ThumbRows();
  const POINT thumb{(bar.left + bar.right) / 2, bar.top + (thumbTop + thumbBottom) / 2};
  App.MoveTo(thumb.x, thumb.y);
  Sleep(50);
  App.LeftButton(true, thumb);
  Sleep(50);
  // Released past the editor, over the window's frame.
  for (int y = bar.top + (thumbTop + thumbBottom) / 2; y < bar.bottom + 20; y += 15) {
    App.MoveTo((bar.left + bar.right) / 2, y);
    Sleep(20);
  }
  const POINT frame{(bar.left + bar.right) / 2, bar.bottom + 20};
  App.MoveTo(frame.x, frame.y);
  Sleep(20);
  App.LeftButton(false, frame);
  Sleep(150);
  ASSERT_TRUE(WaitFor([&] { return FirstLine() >= kLines + 1 - page - 1; }, 2000))
      << FirstLine() << " thumb " << thumbTop << ".." << thumbBottom << " bar " << bar.top << ".." << bar.bottom;
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  GetGUIThreadInfo(GetWindowThreadProcessId(Edit, nullptr), &gti);
  EXPECT_EQ(gti.hwndCapture, nullptr);
  // The wheel moves the thumb back up; over the text the thumb shows its
  // normal look.
  RECT er;
  GetWindowRect(Edit, &er);
  App.MoveTo((er.left + er.right) / 2, (er.top + er.bottom) / 2);
  ASSERT_TRUE(WaitFor([&] { return ThumbRows().first >= 0; }, 2000)) << SaveFailureShot(BarShot(), "bar-end");
  const int thumbAtEnd = ThumbRows().first;
  Wheel(3);
  Wheel(-6);
  ASSERT_TRUE(WaitFor([&] { return ThumbRows().first < thumbAtEnd; }, 2000))
      << FirstLine() << " thumb at " << thumbAtEnd << " " << SaveFailureShot(BarShot(), "bar");
  EXPECT_LT(FirstLine(), kLines + 1 - page - 1);
}

TEST_F(EditorBar, StaysSkinnedAfterTheEditRedrawsItsBar) {
  StartWith(Lines(kLines));
  App.WriteFile(L"B.txt", Lines(kLines));
  SetClipboardText(L"pasted\r\n");
  App.ClickEditor();
  struct Step {
    const char* what;
    std::function<void()> act;
  };
  const Step steps[] = {
      {"typing", [&] { App.Type(L"typed\n"); }},
      {"paste", [&] { App.Key('V', true); }},
      {"undo", [&] { App.Key('Z', true); }},
      {"wheel", [&] { Wheel(2); }},
      {"page switch", [&] { App.ClickPage(L'B'); }},
  };
  for (const Step& s : steps) {
    s.act();
    Sleep(300);
    EXPECT_TRUE(Skinned()) << s.what << " " << SaveFailureShot(BarShot(), s.what);
  }
}

TEST_F(EditorBar, IsFadedAndInertOnAnEmptyPageAndUnderTheAboutPanel) {
  StartWith(Lines(kLines));
  App.WriteFile(L"B.txt", "");
  const Capture active = BarShot();
  App.ClickPage(L'B');
  ASSERT_TRUE(WaitFor([&] { return App.EditorText().empty(); }));
  Sleep(200);
  Capture faded = BarShot();
  EXPECT_EQ(CountNear(faded, kThumb, 4), 0) << SaveFailureShot(faded, "empty");
  EXPECT_GT(faded.Differences(active, RECT{0, 0, faded.Width(), Arrow()}), 4) << SaveFailureShot(faded, "empty");
  EXPECT_LT(CountNear(faded, 0xF5F5F5, 0), faded.Width() * 4) << SaveFailureShot(faded, "empty");

  // The about panel over a long page: the bar ignores clicks; "OK" wakes it.
  App.ClickPage(L'A');
  ASSERT_TRUE(WaitFor([&] { return App.EditorText().size() > 100; }));
  App.Key(VK_HOME, true);
  ASSERT_TRUE(WaitFor([&] { return FirstLine() == 0; }));
  HWND menu = App.OpenContextMenu();
  ASSERT_NE(menu, nullptr);
  RECT m;
  GetWindowRect(menu, &m);
  App.ClickScreen((m.left + m.right) / 2, m.bottom - 8);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(App.AboutPanel()) != 0; }));
  Sleep(200);
  EXPECT_EQ(CountNear(BarShot(), kThumb, 4), 0) << SaveFailureShot(BarShot(), "about");
  Press(DownArrow(), 60);
  EXPECT_EQ(FirstLine(), 0);
  RECT ok;
  GetWindowRect(App.AboutOk(), &ok);
  App.ClickScreen((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(App.AboutPanel()); }));
  Sleep(200);
  EXPECT_GT(CountNear(BarShot(), kThumb), 8) << SaveFailureShot(BarShot(), "after OK");
  Press(DownArrow(), 60);
  EXPECT_EQ(FirstLine(), 1);
}

TEST_F(EditorBar, AMessageBoxTakingTheCaptureStopsTheRepeat) {
  App.WriteFile(L"A.txt", Lines(kLines));
  App.SetReadOnly(L"A.txt", true);
  StartWith("");
  App.ClickEditor();
  const std::string text = Lines(kLines) + "x";
  App.TypeAndWait(L"x", std::wstring(text.begin(), text.end()));
  App.Key(VK_HOME, true);
  ASSERT_TRUE(WaitFor([&] { return FirstLine() == 0; }));
  Sleep(300);
  App.MoveTo(DownArrow().x, DownArrow().y);
  Sleep(100);
  App.LeftButton(true, DownArrow());
  ASSERT_TRUE(WaitFor([&] { return FirstLine() > 2; }, 3000)) << "the hold did not repeat";
  // Closing with an unsavable page shows a box, which takes the capture.
  App.PostClose();
  ModalBox box = App.WaitModalBox();
  ASSERT_NE(box.Wnd, nullptr);
  Sleep(200);
  const int stopped = FirstLine();
  Sleep(500);
  EXPECT_EQ(FirstLine(), stopped);
  PostMessageW(box.Wnd, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box.Wnd); }));
  Sleep(300);
  EXPECT_EQ(FirstLine(), stopped);
  App.LeftButton(false, DownArrow());
  Sleep(150);
  // The bar takes a new press as usual.
  Press(DownArrow(), 60);
  WaitFor([&] { return FirstLine() == stopped + 1; }, 1000);
  EXPECT_EQ(FirstLine(), stopped + 1);
  App.SetReadOnly(L"A.txt", false);
}
