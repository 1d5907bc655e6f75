// Move-only owners of GDI and USER handles, one type per acquire/release
// pair, and a guard that saves and restores a DC's state. Windows only:
// include from *_win.cpp files. Selecting an object into a DC is not owning
// it: TSelectObject puts the previous object back, the owner deletes.
#pragma once

#include <windows.h>

#include <utility>

namespace tk {

// A handle released by Release(h) when the owner goes.
template <class H, class Traits>
class THandleOwner {
 public:
  THandleOwner() = default;
  explicit THandleOwner(H h) : FHandle(h) {}
  ~THandleOwner() { Reset(); }
  THandleOwner(const THandleOwner&) = delete;
  THandleOwner& operator=(const THandleOwner&) = delete;
  THandleOwner(THandleOwner&& o) noexcept : FHandle(std::exchange(o.FHandle, H{})) {}
  THandleOwner& operator=(THandleOwner&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.FHandle, H{}));
    return *this;
  }
  H Get() const { return FHandle; }
  operator H() const { return FHandle; }
  explicit operator bool() const { return FHandle != H{}; }
  H Release() { return std::exchange(FHandle, H{}); }
  void Reset(H h = H{}) {
    H old = std::exchange(FHandle, h);
    if (old != H{}) Traits::Free(old);
  }

 private:
  H FHandle{};
};

namespace detail {
struct TDeleteDC {
  static void Free(HDC h) { ::DeleteDC(h); }
};
template <class H>
struct TDeleteObject {
  static void Free(H h) { ::DeleteObject(h); }
};
struct TDestroyIcon {
  static void Free(HICON h) { ::DestroyIcon(h); }
};
struct TDestroyMenu {
  static void Free(HMENU h) { ::DestroyMenu(h); }
};
}  // namespace detail

using TOwnedDC = THandleOwner<HDC, detail::TDeleteDC>;  // CreateCompatibleDC / CreateDC
using TBrushHandle = THandleOwner<HBRUSH, detail::TDeleteObject<HBRUSH>>;
using TPenHandle = THandleOwner<HPEN, detail::TDeleteObject<HPEN>>;
using TFontHandle = THandleOwner<HFONT, detail::TDeleteObject<HFONT>>;
using TBitmapHandle = THandleOwner<HBITMAP, detail::TDeleteObject<HBITMAP>>;
using TRegionHandle = THandleOwner<HRGN, detail::TDeleteObject<HRGN>>;
using TIconHandle = THandleOwner<HICON, detail::TDestroyIcon>;
using TMenuHandle = THandleOwner<HMENU, detail::TDestroyMenu>;

// GetDC / GetWindowDC, released with ReleaseDC on the same window.
class TWindowDC {
 public:
  // Whole window (non-client included) when Whole, else the client area.
  explicit TWindowDC(HWND Wnd, bool Whole = false) : FWnd(Wnd), FDC(Whole ? ::GetWindowDC(Wnd) : ::GetDC(Wnd)) {}
  ~TWindowDC() {
    if (FDC) ::ReleaseDC(FWnd, FDC);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  TWindowDC(TWindowDC&& o) noexcept : FWnd(o.FWnd), FDC(std::exchange(o.FDC, nullptr)) {}
  HDC Get() const { return FDC; }
  operator HDC() const { return FDC; }

 private:
  HWND FWnd;
  HDC FDC;
};

// BeginPaint / EndPaint.
class TPaintDC {
 public:
  explicit TPaintDC(HWND Wnd) : FWnd(Wnd) { FDC = ::BeginPaint(Wnd, &FPS); }
  ~TPaintDC() { ::EndPaint(FWnd, &FPS); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return FDC; }
  operator HDC() const { return FDC; }
  const PAINTSTRUCT& Info() const { return FPS; }

 private:
  HWND FWnd;
  PAINTSTRUCT FPS{};
  HDC FDC;
};

// Selects an object and puts the previous one back.
class TSelectObject {
 public:
  TSelectObject(HDC DC, HGDIOBJ Obj) : FDC(DC), FOld(Obj ? ::SelectObject(DC, Obj) : nullptr) {}
  ~TSelectObject() {
    if (FOld) ::SelectObject(FDC, FOld);
  }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

// SaveDC now, RestoreDC when the scope ends.
class TDCState {
 public:
  explicit TDCState(HDC DC) : FDC(DC), FSaved(DC ? ::SaveDC(DC) : 0) {}
  ~TDCState() {
    if (FSaved) ::RestoreDC(FDC, FSaved);
  }
  TDCState(const TDCState&) = delete;
  TDCState& operator=(const TDCState&) = delete;

 private:
  HDC FDC;
  int FSaved;
};

}  // namespace tk
