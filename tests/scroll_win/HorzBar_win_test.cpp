// The skinned horizontal bar and the corner box of an edit window with both
// bars: the bar shows the skin's track and thumb, a click on its right arrow
// scrolls as far as the system's line-right does, and the box between the
// bars is painted from the skin, not in the system's face colour.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "skin/controls/kxScrollWnd.h"
#include "tests/manager_win/Support_win.h"
#include "tests/support/Pump_win.h"

namespace kx {
namespace {

using tk::test::PumpPending;

// The internal skin's horizontal track (SCROLLBAR1H/2H), thumb
// (SCROLLSLIDERH) and the EDIT section's colour behind the corner box.
constexpr COLORREF kTrack = 16381942;
constexpr COLORREF kThumb = 13814468;
constexpr COLORREF kEdit = 16777215;

bool Near(COLORREF a, COLORREF b) {
  auto d = [](int x, int y) { return std::abs(x - y) <= 2; };
  return d(tk::GetRValue(a), tk::GetRValue(b)) && d(tk::GetGValue(a), tk::GetGValue(b)) &&
         d(tk::GetBValue(a), tk::GetBValue(b));
}

TEST(HorzBar, TheHorizontalBarAndTheCornerBoxAreSkinnedAndTheRightArrowScrollsAColumn) {
  TsSkinManager* manager = mgrtest::LoadedManager(L"", L"Pearlmist (internal)");
  HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 100, 100, 440, 340, nullptr, nullptr,
                                nullptr, nullptr);
  HWND edit = ::CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", L"",
      WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL, 10, 10, 300,
      200, host, nullptr, nullptr, nullptr);
  std::wstring text;
  for (int i = 0; i < 60; ++i) text += std::wstring(200, wchar_t(L'a' + i % 26)) + L"\r\n";
  ::SetWindowTextW(edit, text.c_str());
  PumpPending();

  // One column as the system's bar scrolls it.
  ::SendMessageW(edit, WM_HSCROLL, SB_LINERIGHT, 0);
  const int column = ::GetScrollPos(edit, SB_HORZ);
  ::SendMessageW(edit, WM_HSCROLL, SB_LINELEFT, 0);
  ASSERT_GT(column, 0);
  ASSERT_EQ(::GetScrollPos(edit, SB_HORZ), 0);

  TkxScrollWnd* a = AttachAdapter<TkxScrollWnd>(edit, true, tk::String(L"EDIT"), manager, nullptr);
  ::RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  PumpPending();
  ASSERT_TRUE(a->sBarHorz->fScrollVisible);
  ASSERT_TRUE(a->sBarVert->fScrollVisible);

  RECT w{};
  ::GetWindowRect(edit, &w);
  auto pixel = [&](POINT p) {
    HDC dc = ::GetWindowDC(edit);
    const COLORREF c = ::GetPixel(dc, p.x - w.left, p.y - w.top);
    ::ReleaseDC(edit, dc);
    return c;
  };
  const tk::TRect bar = HorzBarRect(*a), vert = VertBarRect(*a);
  const int y = (bar.Top + bar.Bottom) / 2;
  const int arrow = ::GetSystemMetrics(SM_CXHSCROLL);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ::GetScrollInfo(edit, SB_HORZ, &si);
  TkxBarValues v;
  v.Vertical = false;
  v.ArrowLength = arrow;
  v.Min = si.nMin;
  v.Max = si.nMax;
  v.Page = si.nPage;
  v.Pos = si.nPos;
  const TkxThumb thumb = ThumbGeometry(v, bar);
  ASSERT_LT(thumb.Start + thumb.Length + 20, bar.Right - arrow);
  EXPECT_TRUE(Near(pixel(POINT{thumb.Start + thumb.Length / 2, y}), kThumb))
      << std::hex << pixel(POINT{thumb.Start + thumb.Length / 2, y});
  EXPECT_TRUE(Near(pixel(POINT{bar.Right - arrow - 10, y}), kTrack))
      << std::hex << pixel(POINT{bar.Right - arrow - 10, y});

  const POINT corner{(vert.Left + vert.Right) / 2, (bar.Top + bar.Bottom) / 2};
  EXPECT_TRUE(Near(pixel(corner), kEdit)) << std::hex << pixel(corner);
  EXPECT_FALSE(Near(pixel(corner), ::GetSysColor(COLOR_BTNFACE)));

  // A click on the right arrow, routed as the system routes it.
  const POINT right{bar.Right - arrow / 2, y};
  ::SetCursorPos(right.x, right.y);
  const LPARAM at = MAKELPARAM(right.x, right.y);
  EXPECT_EQ(::SendMessageW(edit, WM_NCHITTEST, 0, at), HTHSCROLL);
  ::SendMessageW(edit, WM_NCLBUTTONDOWN, HTHSCROLL, at);
  ::SendMessageW(edit, WM_LBUTTONUP, 0, 0);
  PumpPending();
  EXPECT_EQ(::GetScrollPos(edit, SB_HORZ), column);

  DetachScrollBars(edit, true, false, a);
  ::DestroyWindow(host);
  tk::FreeAndNil(manager);
}

}  // namespace
}  // namespace kx
