// Windows half of the object instances and utility windows.
#include "toolkit/ObjectInstances.h"

#include "toolkit/SysUtils.h"

#include <windows.h>

#include <cstring>
#include <mutex>
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
  } catch (...) {
    detail::HandleCallbackException(nullptr);
  }
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

// --- Object instances (thunks) ---------------------------------------------------------------

namespace {

// One executable slot per instance: it puts the instance's record where the
// window handle was (the first argument) and jumps to InstanceProc.
struct TInstanceRecord {
  TWndMethod Method;
};

LRESULT CALLBACK InstanceProc(HWND recordAsWnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* rec = reinterpret_cast<TInstanceRecord*>(recordAsWnd);
  TMessage m = MakeMessage(msg, wp, lp);
  try {
    rec->Method(m);
  } catch (...) {
    detail::HandleCallbackException(nullptr);
  }
  return m.Result;
}

constexpr size_t kSlotSize = 32;
constexpr size_t kBlockSize = 4096;

struct TThunkPool {
  std::mutex lock;
  std::vector<uint8_t*> free;
  uint8_t* Take() {
    std::lock_guard<std::mutex> g(lock);
    if (free.empty()) {
      auto* block = static_cast<uint8_t*>(
          ::VirtualAlloc(nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
      if (!block) throw EOutOfResources(L"Out of system resources");
      for (size_t off = kBlockSize; off >= kSlotSize; off -= kSlotSize) free.push_back(block + off - kSlotSize);
    }
    uint8_t* s = free.back();
    free.pop_back();
    return s;
  }
  void Give(uint8_t* s) {
    std::lock_guard<std::mutex> g(lock);
    free.push_back(s);
  }
};

TThunkPool& Pool() {
  static auto* p = new TThunkPool;
  return *p;
}

// Where the record pointer sits inside a slot (to find it again on free).
#if defined(_WIN64)
constexpr size_t kRecordOffset = 2;
#else
constexpr size_t kRecordOffset = 4;
#endif

}  // namespace

void* MakeObjectInstance(TWndMethod Method) {
  auto* rec = new TInstanceRecord{std::move(Method)};
  uint8_t* code;
  try {
    code = Pool().Take();
  } catch (...) {
    delete rec;
    throw;
  }
  uint8_t* p = code;
  const auto recAddr = reinterpret_cast<uintptr_t>(rec);
  const auto target = reinterpret_cast<uintptr_t>(&InstanceProc);
#if defined(_WIN64)
  *p++ = 0x48; *p++ = 0xB9;  // mov rcx, imm64 (first argument)
  std::memcpy(p, &recAddr, 8); p += 8;
  *p++ = 0x48; *p++ = 0xB8;  // mov rax, imm64
  std::memcpy(p, &target, 8); p += 8;
  *p++ = 0xFF; *p++ = 0xE0;  // jmp rax
#else
  *p++ = 0xC7; *p++ = 0x44; *p++ = 0x24; *p++ = 0x04;  // mov dword [esp+4], imm32
  std::memcpy(p, &recAddr, 4); p += 4;
  *p++ = 0xE9;  // jmp rel32
  const auto rel = static_cast<uint32_t>(target - (reinterpret_cast<uintptr_t>(p) + 4));
  std::memcpy(p, &rel, 4); p += 4;
#endif
  ::FlushInstructionCache(::GetCurrentProcess(), code, kSlotSize);
  return code;
}

void FreeObjectInstance(void* ObjectInstance) {
  if (!ObjectInstance) return;
  auto* code = static_cast<uint8_t*>(ObjectInstance);
  uintptr_t recAddr = 0;
  std::memcpy(&recAddr, code + kRecordOffset, sizeof(recAddr));
  delete reinterpret_cast<TInstanceRecord*>(recAddr);
  std::memset(code, 0xCC, kSlotSize);
  Pool().Give(code);
}

}  // namespace tk
