// Windows half of the object instances and utility windows.
#include "toolkit/ObjectInstances.h"

#include "toolkit/SysUtils.h"

#include <windows.h>

#include <array>
#include <mutex>
#include <utility>
#include <vector>

#include "toolkit/WinSupport.h"

namespace tk {

// --- Utility windows ------------------------------------------------------------------------

namespace {

LRESULT CALLBACK UtilWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* method = reinterpret_cast<TWndMethod*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!method || !*method) return ::DefWindowProcW(wnd, msg, wp, lp);
  TMessage m = MakeMessage(msg, wp, lp);
  try {
    (*method)(m);
  } catch (...) { detail::HandleCallbackException(nullptr); }
  return m.Result;
}

const wchar_t kUtilClass[] = L"TPUtilWindow";

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = UtilWndProc;
    wc.hInstance = detail::ProgramInstance();
    wc.lpszClassName = kUtilClass;
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) throw EOutOfResources(L"Cannot register window class TPUtilWindow");
  HWND h = ::CreateWindowExW(WS_EX_TOOLWINDOW, kUtilClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             detail::ProgramInstance(), nullptr);
  if (!h) throw EOutOfResources(L"Error creating window TPUtilWindow");
  ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(std::move(Method))));
  return h;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd) return;
  auto* method = reinterpret_cast<TWndMethod*>(::GetWindowLongPtrW(Wnd, GWLP_USERDATA));
  ::SetWindowLongPtrW(Wnd, GWLP_USERDATA, 0);
  ::DestroyWindow(Wnd);
  delete method;
}

// --- Object instances --------------------------------------------------------------------

namespace {

// A fixed pool of procedures the compiler made: procedure N calls the method
// in slot N. Nothing is written into executable memory at run time, and the
// code is the same for both word sizes.
constexpr int kInstanceCount = 4096;

struct TInstancePool {
  std::mutex lock;
  TWndMethod methods[kInstanceCount];
  bool used[kInstanceCount] = {};
  std::vector<int> free;  // slot numbers; the next one handed out is last
  TInstancePool() {
    free.reserve(kInstanceCount);
    for (int i = kInstanceCount - 1; i >= 0; --i) free.push_back(i);
  }
};

// Never freed: a window may still call its procedure during the program's exit.
TInstancePool& Pool() {
  static auto* p = new TInstancePool;
  return *p;
}

// Kept out of line: each pool procedure stays a call with its slot number.
[[gnu::noinline]] LRESULT SlotProc(int Slot, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) noexcept {
  TInstancePool& pool = Pool();
  // A window still calling a freed instance gets the default answer.
  if (!pool.used[Slot]) return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
  TMessage m = MakeMessage(Msg, WParam, LParam);
  try {
    pool.methods[Slot](m);
  } catch (...) { detail::HandleCallbackException(nullptr); }
  return m.Result;
}

template <int N>
LRESULT CALLBACK PoolProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return SlotProc(N, Wnd, Msg, WParam, LParam);
}

template <int... N>
constexpr std::array<WNDPROC, sizeof...(N)> MakeProcTable(std::integer_sequence<int, N...>) {
  return {&PoolProc<N>...};
}

constexpr std::array<WNDPROC, kInstanceCount> kProcs = MakeProcTable(std::make_integer_sequence<int, kInstanceCount>{});

int SlotOf(void* ObjectInstance) {
  for (int i = 0; i < kInstanceCount; ++i)
    if (reinterpret_cast<void*>(kProcs[static_cast<size_t>(i)]) == ObjectInstance) return i;
  return -1;
}

}  // namespace

void* MakeObjectInstance(TWndMethod Method) {
  TInstancePool& pool = Pool();
  std::lock_guard<std::mutex> g(pool.lock);
  if (pool.free.empty()) throw EOutOfResources(L"Out of system resources");
  const int slot = pool.free.back();
  pool.methods[slot] = std::move(Method);
  pool.used[slot] = true;
  pool.free.pop_back();
  return reinterpret_cast<void*>(kProcs[static_cast<size_t>(slot)]);
}

void FreeObjectInstance(void* ObjectInstance) {
  if (!ObjectInstance) return;
  const int slot = SlotOf(ObjectInstance);
  if (slot < 0) return;  // not one of ours
  TInstancePool& pool = Pool();
  // The method goes outside the lock: destroying it may run any code.
  TWndMethod old;
  {
    std::lock_guard<std::mutex> g(pool.lock);
    if (!pool.used[slot]) return;  // freed twice
    old = std::move(pool.methods[slot]);
    pool.methods[slot] = nullptr;
    pool.used[slot] = false;
    pool.free.push_back(slot);
  }
}

}  // namespace tk
