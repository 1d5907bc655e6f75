// Counts of the calling process's GDI objects and windows, for leak checks
// that compare a count before and after some work. Both work under Wine,
// where GetGuiResources answers 0 for every object kind.
#pragma once

#include <windows.h>

#include <cstddef>

namespace tk::test {

// Live GDI objects of this process. GetGuiResources where the system
// implements it; else the handle table is scanned, which sees the same
// objects. The method is chosen once, at the first call.
std::size_t GdiObjects();

// What painting windows may leave beyond a count taken before it: Wine
// hands out another cached device context when every cached one is in use
// and keeps it. A leak of one object in each of a check's cycles is far
// above this.
inline constexpr std::size_t kDcCacheSlack = 4;

// Windows owned by this process: top-level, child and message-only ones.
std::size_t ProcessWindows();

// A pointer resting over the window under test starts hover fades that run
// across a leak check's counts (their pictures are there at one count and
// gone at the next). Puts it on the screen corner farthest from the
// window and waits for what that ends.
void ParkPointerAwayFrom(HWND Wnd);

}  // namespace tk::test
