// The border window behind a skinned form, served by a test owner: a plain
// window cut to its client area (as a provider cuts its form) with a painted
// 32-bit window image of the internal skin's frame numbers. Where it lies,
// what picture and region it is given (read in-process: this display does
// not blend layered windows), where clicks on the frame and on the shadow
// go, and that updating it leaks nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "skin/forms/kxBorderForm.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sMessages.h"
#include "tests/controls_win/Support_win.h"
#include "tests/support/GdiObjects_win.h"
#include "tests/support/Pump_win.h"
#include "toolkit/Handles.h"

namespace kx {
namespace {

using tk::test::PumpPending;
using tk::test::PumpUntil;

constexpr uint8_t kShadowAlpha = 90;
constexpr wchar_t kTestClass[] = L"BorderFormTestWnd";

struct TMouseMsg {
  UINT Msg;
  WPARAM WParam;
  POINT Pt;
};

// A plain window that records the mouse messages it gets.
class TRecordingWindow {
 public:
  TRecordingWindow(int X, int Y, int W, int H, DWORD Style) {
    static bool registered = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = Proc;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      wc.lpszClassName = kTestClass;
      return ::RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    Wnd = ::CreateWindowExW(0, kTestClass, L"border test", Style, X, Y, W, H, nullptr, nullptr,
                            ::GetModuleHandleW(nullptr), this);
  }
  ~TRecordingWindow() { ::DestroyWindow(Wnd); }
  TRecordingWindow(const TRecordingWindow&) = delete;
  TRecordingWindow& operator=(const TRecordingWindow&) = delete;

  const TMouseMsg* Find(UINT Msg) const {
    for (const TMouseMsg& m : Got)
      if (m.Msg == Msg) return &m;
    return nullptr;
  }

  HWND Wnd = nullptr;
  std::vector<TMouseMsg> Got;

 private:
  static LRESULT CALLBACK Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE)
      ::SetWindowLongPtrW(Wnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(LParam)->lpCreateParams));
    auto* self = reinterpret_cast<TRecordingWindow*>(::GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    const bool mouse =
        (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) || (Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK);
    if (self && mouse && Msg != WM_MOUSEMOVE && Msg != WM_NCMOUSEMOVE)
      self->Got.push_back({Msg, WParam, POINT{short(LOWORD(LParam)), short(HIWORD(LParam))}});
    // A frame click forwarded by the border window starts no move loop here.
    if (self && (Msg == WM_NCLBUTTONDOWN || Msg == WM_NCLBUTTONUP) && WParam == WPARAM(-1)) return 0;
    return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
  }
};

TkxFormFrame FrameOf(HWND Wnd) {
  TkxFormFrame F;
  F.Sys = TkxSysMetrics{::GetSystemMetrics(SM_CXFRAME),   ::GetSystemMetrics(SM_CXDLGFRAME),
                        ::GetSystemMetrics(SM_CYCAPTION), ::GetSystemMetrics(SM_CYSMCAPTION),
                        ::GetSystemMetrics(SM_CYMENU),    ::GetSystemMetrics(SM_CYHSCROLL)};
  // The internal skin's extended borders.
  F.Skin.ExtBorders = true;
  F.Skin.ExBorderWidth = 26;
  F.Skin.ExTitleHeight = 51;
  F.Skin.ExMaxHeight = 34;
  F.Skin.ExContentOffs = 16;
  F.Skin.ExCenterOffs = 5;
  F.Skin.ExDrawMode = 1;
  F.Skin.Shadow = tk::TRect{16, 16, 16, 16};
  RECT w{}, c{};
  ::GetWindowRect(Wnd, &w);
  ::GetClientRect(Wnd, &c);
  F.Window = tk::TSize{w.right - w.left, w.bottom - w.top};
  F.Client = tk::TSize{c.right, c.bottom};
  F.Zoomed = ::IsZoomed(Wnd) != FALSE;
  F.Iconic = ::IsIconic(Wnd) != FALSE;
  return F;
}

// What a provider would be to the border window: the image is painted
// anew for every size, shadow margins partly transparent, the rest opaque.
class TTestOwner : public IkxBorderOwner {
 public:
  explicit TTestOwner(int X = 300, int Y = 200, int W = 400, int H = 300)
      : Form(X, Y, W, H, WS_OVERLAPPEDWINDOW | WS_VISIBLE), Data(std::make_unique<TsCommonData>(nullptr, false)) {
    Data->FCacheBmp = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf32bit);
  }

  HWND OwnerHandle() const override { return Form.Wnd; }
  TsCommonData* OwnerSkinData() const override { return Data.get(); }
  TkxFormFrame OwnerFrame() const override { return FrameOf(Form.Wnd); }
  TkxHitState OwnerHitState() const override { return TkxHitState{}; }
  void PaintAll() override {
    const TkxFormFrame F = OwnerFrame();
    const tk::TSize s = ImageSize(F);
    tk::TBitmap& img = *Data->FCacheBmp;
    if (img.Width() != s.cx || img.Height() != s.cy) {
      img.SetSize(s.cx, s.cy);
      const tk::TRect content = ContentRect(F);
      const tk::TPixelView v = img.View();
      for (int y = 0; y < v.height; ++y)
        for (int x = 0; x < v.width; ++x) {
          uint8_t* p = v.Row(y) + x * 4;
          const bool in = content.Contains(tk::TPoint{x, y});
          p[0] = p[1] = p[2] = in ? 0xC0 : 0x20;
          p[3] = in ? 255 : kShadowAlpha;
        }
      const tk::TRect r = FormRegionRect(F);
      ::SetWindowRgn(Form.Wnd, ::CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom), TRUE);
    }
    Data->BGChanged = false;
    ++Paints;
  }
  void SetHotHT(int, bool) override {}
  void KillAnimations() override {}
  bool OwnerIsProvider() const override { return true; }
  bool OwnerCanPlaceBorders() const override { return true; }
  void OwnerDoubleClick(int HT) override { DoubleClicks.push_back(HT); }
  tk::TBitmap* OwnerTemplate() const override { return nullptr; }

  TRecordingWindow Form;
  std::unique_ptr<TsCommonData> Data;
  std::vector<int> DoubleClicks;
  int Paints = 0;
};

RECT WindowRectOf(HWND Wnd) {
  RECT r{};
  ::GetWindowRect(Wnd, &r);
  return r;
}

RECT ClientOnScreen(HWND Wnd) {
  RECT c{};
  ::GetClientRect(Wnd, &c);
  ::MapWindowPoints(Wnd, nullptr, reinterpret_cast<POINT*>(&c), 2);
  return c;
}

bool InRegion(HWND Wnd, int X, int Y) {
  tk::TRegionHandle rgn(::CreateRectRgn(0, 0, 0, 0));
  return ::GetWindowRgn(Wnd, rgn) != ERROR && ::PtInRegion(rgn, X, Y);
}

void Activate(HWND Wnd) {
  ::SetForegroundWindow(Wnd);
  PumpUntil([Wnd] { return ::GetForegroundWindow() == Wnd; }, 1000);
  PumpPending();
}

TEST(BorderForm, LiesBehindItsOwnerWithTheImagesAlphaAndAHoleForTheClient) {
  TTestOwner owner;
  TkxBorderForm border(&owner);
  HWND wnd = border.Handle();
  ASSERT_TRUE(wnd);
  EXPECT_EQ(::SendMessageW(wnd, SM_KESTRIXCMD, MAKEWPARAM(0, KX_QUERYHANDLED), 0), 1)
      << "no adapter or broadcast reaches into it";
  EXPECT_FALSE(::GetWindow(wnd, GW_OWNER)) << "an owned window would stay above its owner";
  border.UpdateExBordersPos();
  PumpPending();
  // Shown, the owner is activated; every activation places the border again.
  Activate(owner.Form.Wnd);
  border.UpdateExBordersPos();
  PumpPending();

  EXPECT_TRUE(::IsWindowVisible(wnd));
  EXPECT_EQ(::GetWindow(owner.Form.Wnd, GW_HWNDNEXT), wnd) << "directly behind the owner";
  const LONG_PTR ex = ::GetWindowLongPtrW(wnd, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_LAYERED);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & WS_EX_NOACTIVATE);

  const TkxFormFrame F = owner.OwnerFrame();
  const tk::TSize image = ImageSize(F);
  const RECT b = WindowRectOf(wnd), o = WindowRectOf(owner.Form.Wnd);
  const tk::TPoint off = BorderWindowOffset(F);
  EXPECT_EQ(b.left, o.left - off.X);
  EXPECT_EQ(b.top, o.top - off.Y);
  EXPECT_EQ(b.right - b.left, image.cx);
  EXPECT_EQ(b.bottom - b.top, image.cy);

  // The hole is exactly where the owner's client shows on the screen.
  const RECT c = ClientOnScreen(owner.Form.Wnd);
  EXPECT_FALSE(InRegion(wnd, c.left - b.left, c.top - b.top));
  EXPECT_FALSE(InRegion(wnd, c.right - 1 - b.left, c.bottom - 1 - b.top));
  EXPECT_TRUE(InRegion(wnd, c.left - 1 - b.left, c.top - b.top)) << "the left frame";
  EXPECT_TRUE(InRegion(wnd, c.left - b.left, c.top - 1 - b.top)) << "the title above the client";
  EXPECT_TRUE(InRegion(wnd, 2, 2)) << "the shadow";

  // The picture handed to the system carries the image's own alpha.
  ASSERT_TRUE(border.Surface());
  tk::TBitmap* pushed = border.Surface()->Image();
  ASSERT_EQ(pushed->Width(), image.cx);
  ASSERT_EQ(pushed->Height(), image.cy);
  EXPECT_EQ(pushed->ScanLine(image.cy / 2)[3], kShadowAlpha) << "the shadow is partly transparent";
  EXPECT_EQ(pushed->ScanLine(image.cy / 2)[(F.Skin.Shadow.Left + 2) * 4 + 3], 255) << "the frame is opaque";
  EXPECT_EQ(pushed->ScanLine(c.top - b.top)[(c.left - b.left) * 4 + 3], 0)
      << "see-through where the owner shows: not every system shapes a layered window by its region";
}

TEST(BorderForm, FollowsItsOwnerAndGoesWithIt) {
  TTestOwner owner;
  TkxBorderForm border(&owner);
  HWND wnd = border.Handle();
  border.UpdateExBordersPos();

  ::SetWindowPos(owner.Form.Wnd, nullptr, 120, 90, 520, 380, SWP_NOZORDER | SWP_NOACTIVATE);
  border.UpdateExBordersPos();
  TkxFormFrame F = owner.OwnerFrame();
  tk::TPoint off = BorderWindowOffset(F);
  RECT b = WindowRectOf(wnd);
  EXPECT_EQ(b.left, 120 - off.X);
  EXPECT_EQ(b.top, 90 - off.Y);
  EXPECT_EQ(b.right - b.left, ImageSize(F).cx);
  EXPECT_EQ(b.bottom - b.top, ImageSize(F).cy);
  EXPECT_EQ(border.Surface()->Width(), ImageSize(F).cx) << "the picture follows the size";
  RECT c = ClientOnScreen(owner.Form.Wnd);
  EXPECT_FALSE(InRegion(wnd, c.right - 1 - b.left, c.bottom - 1 - b.top)) << "the hole follows the size";
  EXPECT_TRUE(InRegion(wnd, c.right - b.left, c.bottom - b.top));

  // Maximised, the window ends where the form does: the shadow below and
  // the skin frame's lower part are cut off.
  ::ShowWindow(owner.Form.Wnd, SW_MAXIMIZE);
  border.UpdateExBordersPos();
  F = owner.OwnerFrame();
  b = WindowRectOf(wnd);
  EXPECT_EQ(b.bottom - b.top, ImageSize(F).cy - F.Skin.Shadow.Bottom - SysBorderWidth(F, true));
  EXPECT_FALSE(InRegion(wnd, 2, 2)) << "no shadow around a maximised form";
  ::ShowWindow(owner.Form.Wnd, SW_RESTORE);

  ::ShowWindow(owner.Form.Wnd, SW_HIDE);
  border.UpdateExBordersPos();
  EXPECT_FALSE(::IsWindowVisible(wnd)) << "hidden with its owner";
  ::ShowWindow(owner.Form.Wnd, SW_SHOWNOACTIVATE);
  border.UpdateExBordersPos();
  EXPECT_TRUE(::IsWindowVisible(wnd)) << "and shown again";
  EXPECT_EQ(::GetWindow(owner.Form.Wnd, GW_HWNDNEXT), wnd);
}

TEST(BorderForm, ClicksOnTheFrameGoToTheOwnerAndClicksOnTheShadowToTheWindowBelow) {
  TRecordingWindow below(50, 50, 800, 650, WS_POPUP | WS_VISIBLE);
  TTestOwner owner;
  TkxBorderForm border(&owner);
  HWND wnd = border.Handle();
  border.UpdateExBordersPos();
  Activate(owner.Form.Wnd);
  PumpPending();
  const RECT b = WindowRectOf(wnd);
  const int midX = (b.left + b.right) / 2, midY = (b.top + b.bottom) / 2;

  // The title, above the owner's window: the owner gets the click with the
  // border's mark for "ask my hit test" and stays active.
  const POINT title{midX, b.top + 26};
  {
    tk::test::THelper click([title] { tk::test::Click(title); });
    ASSERT_TRUE(PumpUntil([&] { return owner.Form.Find(WM_NCLBUTTONUP) != nullptr; }));
  }
  PumpPending();
  const TMouseMsg* down = owner.Form.Find(WM_NCLBUTTONDOWN);
  ASSERT_TRUE(down);
  EXPECT_EQ(down->WParam, WPARAM(-1));
  EXPECT_EQ(down->Pt.x, title.x);
  EXPECT_EQ(down->Pt.y, title.y);
  EXPECT_EQ(::GetForegroundWindow(), owner.Form.Wnd) << "clicking the border leaves its owner active";
  EXPECT_EQ(border.Ex_WMNCHitTest(tk::TPoint{title.x, title.y}), kxHTCAPTION);

  // The frame's outer edge sizes, with the sizing cursor.
  {
    const POINT edge{b.left + 16 + 2, midY};
    tk::test::THelper move([edge] { tk::test::MoveMouse(edge); });
    HCURSOR sizing = ::LoadCursorW(nullptr, IDC_SIZEWE);
    EXPECT_TRUE(PumpUntil([&] {
      CURSORINFO ci{};
      ci.cbSize = sizeof ci;
      return ::GetCursorInfo(&ci) && ci.hCursor == sizing;
    }));
    EXPECT_EQ(border.Ex_WMNCHitTest(tk::TPoint{edge.x, edge.y}), kxHTLEFT);
  }

  // A double click on the title is the owner's title double click.
  {
    const POINT other{title.x + 40, title.y};  // not a double click with the click before
    tk::test::THelper clicks([other] {
      tk::test::Click(other);
      tk::test::Click(other);
    });
    ASSERT_TRUE(PumpUntil([&] { return !owner.DoubleClicks.empty(); }));
  }
  PumpPending();
  EXPECT_EQ(owner.DoubleClicks, std::vector<int>{kxHTCAPTION});

  // The shadow lets the click through to the window below, at its own
  // client coordinates.
  Activate(below.Wnd);
  const POINT shadow{b.left + 4, midY};
  {
    tk::test::THelper click([shadow] { tk::test::Click(shadow); });
    ASSERT_TRUE(PumpUntil([&] { return below.Find(WM_LBUTTONUP) != nullptr; }));
  }
  PumpPending();
  const TMouseMsg* hit = below.Find(WM_LBUTTONDOWN);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->Pt.x, shadow.x - 50);
  EXPECT_EQ(hit->Pt.y, shadow.y - 50);
  EXPECT_TRUE(below.Find(WM_LBUTTONUP)) << "and so does the button's release";
  EXPECT_EQ(::GetForegroundWindow(), below.Wnd) << "a click on the shadow does not bring the owner forward";
}

TEST(BorderForm, UpdatingAndFreeingLeakNothing) {
  TTestOwner owner;
  auto border = std::make_unique<TkxBorderForm>(&owner);
  border->UpdateExBordersPos();
  PumpPending();
  const size_t gdi = tk::test::GdiObjects(), windows = tk::test::ProcessWindows();
  for (int i = 0; i < 100; ++i) {
    // Every other cycle changes the size: a new region, picture and surface.
    ::SetWindowPos(owner.Form.Wnd, nullptr, 200 + i, 150, 400 + (i % 2) * 30, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    border->UpdateExBordersPos();
  }
  PumpPending();
  EXPECT_EQ(tk::test::GdiObjects(), gdi);
  EXPECT_EQ(tk::test::ProcessWindows(), windows);
  EXPECT_EQ(owner.Paints, 101) << "the owner's image is asked for on every update";

  border.reset();
  PumpPending();
  EXPECT_EQ(tk::test::ProcessWindows(), windows - 1);
}

}  // namespace
}  // namespace kx
