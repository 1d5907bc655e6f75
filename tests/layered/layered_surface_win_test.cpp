// The layered-window surface on a real layered window: what it hands to
// UpdateLayeredWindow, where the window goes, what happens without the
// function, and that resizing leaks no GDI objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skin/framework/kxLayeredSurface.h"
#include "skin/framework/kxSystemCaps.h"
#include "tests/support/GdiObjects_win.h"
#include "toolkit/Graphics.h"

namespace kx {
namespace {

// What the last UpdateLayeredWindow call was given; the call is then made
// for real, so the window behaves as it would.
struct TSeen {
  std::vector<uint8_t> Pixels;  // the source DC's bitmap, top row first
  int Width = 0, Height = 0;
  BYTE Opacity = 0;
  bool PerPixel = false;
  bool HasPos = false;
  POINT Pos{};
  int Calls = 0;
};
TSeen Seen;

BOOL WINAPI SpyUpdate(HWND w, HDC dst, POINT* pos, SIZE* size, HDC src, POINT* srcPos, COLORREF key,
                      BLENDFUNCTION* blend, DWORD flags) {
  ++Seen.Calls;
  DIBSECTION ds{};
  HGDIOBJ bmp = ::GetCurrentObject(src, OBJ_BITMAP);
  if (::GetObjectW(bmp, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits && ds.dsBm.bmBitsPixel == 32) {
    Seen.Width = ds.dsBm.bmWidth;
    Seen.Height = ds.dsBm.bmHeight;
    const auto* bits = static_cast<const uint8_t*>(ds.dsBm.bmBits);
    Seen.Pixels.assign(bits, bits + size_t(ds.dsBm.bmWidthBytes) * Seen.Height);
  }
  Seen.Opacity = blend->SourceConstantAlpha;
  Seen.PerPixel = blend->AlphaFormat == AC_SRC_ALPHA && flags == ULW_ALPHA;
  Seen.HasPos = pos != nullptr;
  if (pos) Seen.Pos = *pos;
  using TFn = decltype(&SpyUpdate);
  return reinterpret_cast<TFn>(SystemCaps().UpdateLayeredWindow)(w, dst, pos, size, src, srcPos, key, blend, flags);
}

struct TPopup {
  HWND Wnd = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
  ~TPopup() { ::DestroyWindow(Wnd); }
};

TEST(LayeredSurface, PushesPremultipliedPixelsWhereAndHowItIsTold) {
  ASSERT_NE(SystemCaps().UpdateLayeredWindow, nullptr);
  TPopup popup;
  TkxLayeredSurface s(popup.Wnd);
  s.SetUpdateFunction(reinterpret_cast<void*>(&SpyUpdate));
  s.SetSize(3, 2);
  tk::TPixelView v = s.Pixels();
  ASSERT_TRUE(v.Valid());
  const uint8_t straight[4] = {200, 100, 50, 128};
  std::memcpy(v.Row(0), straight, 4);      // half see-through
  std::memset(v.Row(0) + 4, 255, 4);       // opaque white
  std::memcpy(v.Row(1) + 8, straight, 3);  // alpha 0: nothing shows
  ASSERT_TRUE(s.Update(tk::TPoint{123, 77}, 200));
  ASSERT_EQ(Seen.Width, 3);
  ASSERT_EQ(Seen.Height, 2);
  const std::vector<uint8_t> want = {100, 50, 25, 128, 255, 255, 255, 255, 0, 0, 0, 0,
                                     0,   0,  0,  0,   0,   0,   0,   0,   0, 0, 0, 0};
  EXPECT_EQ(Seen.Pixels, want);
  EXPECT_EQ(Seen.Opacity, 200);
  EXPECT_TRUE(Seen.PerPixel);
  EXPECT_TRUE(Seen.HasPos);
  // The painted picture itself keeps its straight pixels for the next frame.
  EXPECT_EQ(std::memcmp(s.Pixels().Row(0), straight, 4), 0);
  EXPECT_TRUE(::GetWindowLongPtrW(popup.Wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
  ::ShowWindow(popup.Wnd, SW_SHOWNOACTIVATE);
  RECT r{};
  ::GetWindowRect(popup.Wnd, &r);
  EXPECT_EQ(r.left, 123);
  EXPECT_EQ(r.top, 77);
  EXPECT_EQ(r.right - r.left, 3);
  EXPECT_EQ(r.bottom - r.top, 2);

  // A fade step pushes the same pixels where the window is.
  const int calls = Seen.Calls;
  ASSERT_TRUE(s.UpdateOpacity(40));
  EXPECT_EQ(Seen.Calls, calls + 1);
  EXPECT_EQ(Seen.Opacity, 40);
  EXPECT_FALSE(Seen.HasPos);
  EXPECT_EQ(Seen.Pixels, want);

  // Pictures that are premultiplied already go as they are.
  std::memcpy(s.Pixels().Row(0), straight, 3);
  ASSERT_TRUE(s.Update(tk::TPoint{123, 77}, 255, TkxAlphaKind::akPremultiplied));
  EXPECT_EQ(Seen.Pixels[0], 200);
  EXPECT_EQ(Seen.Pixels[3], 128);
}

TEST(LayeredSurface, WithoutLayeredWindowsNothingIsPushed) {
  TPopup popup;
  TkxLayeredSurface s(popup.Wnd);
  s.SetUpdateFunction(nullptr);
  s.SetSize(4, 4);
  EXPECT_FALSE(s.Update(tk::TPoint{5, 5}, 255));
  EXPECT_FALSE(s.UpdateOpacity(255));
  EXPECT_FALSE(::GetWindowLongPtrW(popup.Wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
  // An empty picture is not pushed either.
  TkxLayeredSurface empty(popup.Wnd);
  EXPECT_FALSE(empty.Update(tk::TPoint{5, 5}, 255));
}

TEST(LayeredSurface, ResizingAndPushingKeepTheGdiObjectCount) {
  TPopup popup;
  TkxLayeredSurface s(popup.Wnd);
  s.SetSize(8, 8);
  s.Image()->Canvas()->FillRect(tk::TRect{0, 0, 8, 8});
  ASSERT_TRUE(s.Update(tk::TPoint{0, 0}, 255));
  const size_t before = tk::test::GdiObjects();
  for (int i = 0; i < 40; ++i) {
    s.SetSize(20 + i * 7, 10 + i * 3);
    EXPECT_EQ(s.Pixels().width, 20 + i * 7);
    EXPECT_EQ(s.Pixels().Row(0)[3], 0);  // a new size starts see-through
    s.Image()->Canvas()->FillRect(tk::TRect{0, 0, 5, 5});
    s.Pixels().Row(0)[3] = 255;
    ASSERT_TRUE(s.Update(tk::TPoint{i, i}, 255));
    ASSERT_TRUE(s.UpdateOpacity(128));
  }
  s.SetSize(8, 8);
  s.Image()->Canvas()->FillRect(tk::TRect{0, 0, 8, 8});
  ASSERT_TRUE(s.Update(tk::TPoint{0, 0}, 255));
  EXPECT_EQ(tk::test::GdiObjects(), before);
}

}  // namespace
}  // namespace kx
