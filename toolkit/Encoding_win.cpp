// Windows half of the text files: the replacing save.
#include "toolkit/Encoding.h"
#include "toolkit/SysUtils.h"

// After our headers: <windows.h> defines macros (GetRValue, ...) that would
// rewrite their declarations.
#include <windows.h>

#include <algorithm>

namespace tk {

namespace {

struct TOwnedFile {
  HANDLE h = INVALID_HANDLE_VALUE;
  ~TOwnedFile() { Close(); }
  bool Close() {
    bool ok = true;
    if (h != INVALID_HANDLE_VALUE) ok = CloseHandle(h) != 0;
    h = INVALID_HANDLE_VALUE;
    return ok;
  }
};

[[noreturn]] void RaiseCreate(const String& path, DWORD err) {
  throw EFCreateError(Fmt(L"Cannot create file \"%s\". %s", {path, SysErrorMessage(static_cast<int>(err))}));
}

// Writes, flushes and closes; 0 on success, else the system's error code.
DWORD WriteTemp(HANDLE h, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, size_t(1) << 30));
    DWORD n = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &n, nullptr)) return GetLastError();
    if (n == 0) return ERROR_WRITE_FAULT;
    done += n;
  }
  if (!FlushFileBuffers(h)) return GetLastError();
  return 0;
}

unsigned long SystemReplaceFile(const String& Path, const String& Temp) {
  // Keeps the target's attributes and security.
  if (ReplaceFileW(Path.c_str(), Temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) return 0;
  return GetLastError();
}

// After a failed replace: true when the old file is gone (so the temporary
// file is the only copy of anything). Without a backup name, ReplaceFileW
// reports that with ERROR_UNABLE_TO_MOVE_REPLACEMENT.
bool TargetGone(const String& path, DWORD err) {
  return err == ERROR_UNABLE_TO_MOVE_REPLACEMENT || err == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 ||
         (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND);
}

bool MoveIntoPlace(const String& temp, const String& path) {
  return MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

void SaveFileReplacing(const String& Path, const std::vector<uint8_t>& Bytes) {
  SaveFileReplacing(Path, Bytes, SystemReplaceFile);
}

void SaveFileReplacing(const String& Path, const std::vector<uint8_t>& Bytes, TReplaceFileCall Replace) {
  // The temporary file lives beside the target so the final step is a rename
  // inside one volume, never a copy.
  TOwnedFile f;
  String temp;
  DWORD err = 0;
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    temp = Path + L".~" + IntToStr(GetCurrentProcessId()) + L"-" + IntToStr(GetTickCount() + attempt);
    f.h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f.h != INVALID_HANDLE_VALUE) break;
    err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
  }
  if (f.h == INVALID_HANDLE_VALUE) RaiseCreate(Path, err);

  err = WriteTemp(f.h, Bytes);
  if (!f.Close() && !err) err = GetLastError();
  bool keepTemp = false;
  if (!err) {
    DWORD attr = GetFileAttributesW(Path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
      err = ERROR_ACCESS_DENIED;
    } else if (attr != INVALID_FILE_ATTRIBUTES) {
      // Windows refuses to replace a read-only file; so do we, before trying.
      if (attr & FILE_ATTRIBUTE_READONLY) err = ERROR_ACCESS_DENIED;
      else err = static_cast<DWORD>(Replace(Path, temp));
      // The old text is gone with a failed replace: the new one must not go too.
      if (err && TargetGone(Path, err)) {
        if (MoveIntoPlace(temp, Path)) err = 0;
        else keepTemp = true;
      }
    } else if (!MoveIntoPlace(temp, Path)) {
      err = GetLastError();
    }
  }
  if (err) {
    if (!keepTemp) DeleteFileW(temp.c_str());
    RaiseCreate(Path, err);
  }
}

}  // namespace tk
