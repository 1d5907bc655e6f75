// Windows half of the streams: file handles and module resources.
#include "toolkit/Streams.h"

// After our headers: <windows.h> defines macros (GetRValue, ...) that would
// rewrite their declarations.
#include <windows.h>

#include <algorithm>

namespace tk {

namespace {

constexpr int64_t kIoChunk = int64_t(1) << 30;

HANDLE ToHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

DWORD ShareMode(uint16_t Mode) {
  switch ((Mode & 0xF0) >> 4) {
    case 2: return FILE_SHARE_READ;
    case 3: return FILE_SHARE_WRITE;
    case 4: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: return 0;
  }
}

// "#n" stands for the number n, as in resource scripts.
const wchar_t* ResourceId(const String& s) {
  if (s.size() > 1 && s[0] == L'#') {
    unsigned v = 0;
    for (size_t i = 1; i < s.size(); ++i) {
      if (s[i] < L'0' || s[i] > L'9' || v > 0xFFFF) return s.c_str();
      v = v * 10 + static_cast<unsigned>(s[i] - L'0');
    }
    if (v <= 0xFFFF) return MAKEINTRESOURCEW(v);
  }
  return s.c_str();
}

}  // namespace

TFileStream::TFileStream(const String& FileName, uint16_t Mode) : FFileName(FileName) {
  HANDLE h;
  if ((Mode & 0xFF00) == fmCreate) {
    h = CreateFileW(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, ShareMode(Mode), nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
      throw EFCreateError(Fmt(L"Cannot create file \"%s\". %s", {FileName, SysErrorMessage(GetLastOSError())}));
  } else {
    DWORD access = (Mode & 3) == fmOpenWrite       ? GENERIC_WRITE
                   : (Mode & 3) == fmOpenReadWrite ? GENERIC_READ | GENERIC_WRITE
                                                   : GENERIC_READ;
    h = CreateFileW(FileName.c_str(), access, ShareMode(Mode), nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
      throw EFOpenError(Fmt(L"Cannot open file \"%s\". %s", {FileName, SysErrorMessage(GetLastOSError())}));
  }
  FHandle = reinterpret_cast<intptr_t>(h);
}

TFileStream::~TFileStream() {
  if (ToHandle(FHandle) != INVALID_HANDLE_VALUE) CloseHandle(ToHandle(FHandle));
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  auto* p = static_cast<uint8_t*>(Buffer);
  int64_t done = 0;
  while (done < Count) {
    DWORD n = 0;
    if (!ReadFile(ToHandle(FHandle), p + done, static_cast<DWORD>(std::min(Count - done, kIoChunk)), &n, nullptr) ||
        n == 0)
      break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  auto* p = static_cast<const uint8_t*>(Buffer);
  int64_t done = 0;
  while (done < Count) {
    DWORD n = 0;
    if (!WriteFile(ToHandle(FHandle), p + done, static_cast<DWORD>(std::min(Count - done, kIoChunk)), &n, nullptr) ||
        n == 0)
      break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  LARGE_INTEGER d, r;
  d.QuadPart = Offset;
  DWORD how = Origin == soBeginning ? FILE_BEGIN : Origin == soCurrent ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(ToHandle(FHandle), d, &r, how))
    throw EStreamError(Fmt(L"Stream seek error. %s", {SysErrorMessage(GetLastOSError())}));
  return r.QuadPart;
}

void TFileStream::SetSize(int64_t NewSize) {
  int64_t pos = Position();
  Seek(NewSize, soBeginning);
  if (!SetEndOfFile(ToHandle(FHandle)))
    throw EStreamError(Fmt(L"Stream write error. %s", {SysErrorMessage(GetLastOSError())}));
  SetPosition(std::min(pos, NewSize));
}

void TFileStream::Flush() {
  if (!FlushFileBuffers(ToHandle(FHandle)))
    throw EWriteError(Fmt(L"Stream write error. %s", {SysErrorMessage(GetLastOSError())}));
}

void RegisterNativeResource(const String&, const String&, const void*, size_t) {}

TResourceStream::TResourceStream(void* Instance, const String& ResName, const String& ResType) {
  HMODULE module = static_cast<HMODULE>(Instance);
  if (!module) module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, ResourceId(ResName), ResourceId(ResType));
  HGLOBAL data = info ? LoadResource(module, info) : nullptr;
  void* p = data ? LockResource(data) : nullptr;
  if (!p) throw EStreamError(Fmt(L"Resource %s not found", {ResName}));
  // Module resources stay mapped for the module's life and need no release.
  SetPointer(static_cast<uint8_t*>(p), SizeofResource(module, info));
}

}  // namespace tk
