// The object counters see what this process makes and frees, on Windows and
// under Wine alike: the leak checks of the other test programs rely on them.
#include "tests/support/GdiObjects_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "toolkit/Handles.h"

using tk::test::GdiObjects;
using tk::test::ProcessWindows;

TEST(GdiObjects, CountsEachBrushMadeAndFreed) {
  const std::size_t before = GdiObjects();
  {
    std::vector<tk::TBrushHandle> brushes;
    for (int i = 0; i < 100; ++i) brushes.emplace_back(::CreateSolidBrush(RGB(i, 0, 0)));
    EXPECT_EQ(GdiObjects(), before + 100);
  }
  EXPECT_EQ(GdiObjects(), before);
}

TEST(ProcessWindows, CountsTopLevelChildAndMessageOnlyWindows) {
  // A thread's first top-level window brings the thread's IME window along
  // and takes it away again, so one stays throughout.
  HWND first =
      ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  const std::size_t before = ProcessWindows();
  HWND top =
      ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
  ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, child, nullptr, nullptr, nullptr);
  HWND message = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(top && child && message);
  EXPECT_EQ(ProcessWindows(), before + 4);
  ::DestroyWindow(top);
  ::DestroyWindow(message);
  EXPECT_EQ(ProcessWindows(), before);
  ::DestroyWindow(first);
}
