// Native stand-ins for file streams and program resources.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <utility>

#include "toolkit/Streams.h"

namespace tk {

namespace {

constexpr int64_t kIoChunk = int64_t(1) << 30;

int ToInt(intptr_t h) { return static_cast<int>(h); }

}  // namespace

TFileStream::TFileStream(const String& FileName, uint16_t Mode) : FFileName(FileName) {
  std::string path = ToUtf8(FileName);
  int fd;
  if (Mode == fmCreate || (Mode & 0xFF00) == fmCreate) {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw EFCreateError(Fmt(L"Cannot create file \"%s\". %s", {FileName, SysErrorMessage(errno)}));
  } else {
    int access = (Mode & 3) == fmOpenWrite ? O_WRONLY : (Mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    fd = ::open(path.c_str(), access | O_CLOEXEC);
    int err = errno;
    if (fd >= 0) {
      // open(2) happily opens a directory for reading; Windows refuses it.
      struct stat st;
      if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        fd = -1;
        err = EISDIR;
      }
    }
    if (fd < 0) throw EFOpenError(Fmt(L"Cannot open file \"%s\". %s", {FileName, SysErrorMessage(err)}));
  }
  FHandle = fd;
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(ToInt(FHandle));
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  auto* p = static_cast<uint8_t*>(Buffer);
  int64_t done = 0;
  while (done < Count) {
    ssize_t n = ::read(ToInt(FHandle), p + done, static_cast<size_t>(std::min(Count - done, kIoChunk)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  auto* p = static_cast<const uint8_t*>(Buffer);
  int64_t done = 0;
  while (done < Count) {
    ssize_t n = ::write(ToInt(FHandle), p + done, static_cast<size_t>(std::min(Count - done, kIoChunk)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(ToInt(FHandle), static_cast<off_t>(Offset), whence);
  if (r < 0) throw EStreamError(Fmt(L"Stream seek error. %s", {SysErrorMessage(errno)}));
  return r;
}

void TFileStream::SetSize(int64_t NewSize) {
  if (::ftruncate(ToInt(FHandle), static_cast<off_t>(NewSize)) != 0)
    throw EStreamError(Fmt(L"Stream write error. %s", {SysErrorMessage(errno)}));
  if (Position() > NewSize) SetPosition(NewSize);
}

void TFileStream::Flush() {
  if (::fsync(ToInt(FHandle)) != 0) throw EWriteError(Fmt(L"Stream write error. %s", {SysErrorMessage(errno)}));
}

namespace {

std::map<std::pair<String, String>, std::vector<uint8_t>>& NativeResources() {
  static std::map<std::pair<String, String>, std::vector<uint8_t>> m;
  return m;
}

}  // namespace

void RegisterNativeResource(const String& ResName, const String& ResType, const void* Data, size_t Count) {
  auto* p = static_cast<const uint8_t*>(Data);
  NativeResources()[{UpperCaseAscii(ResName), UpperCaseAscii(ResType)}] = std::vector<uint8_t>(p, p + Count);
}

TResourceStream::TResourceStream(void*, const String& ResName, const String& ResType) {
  // Resource names ignore case, as FindResourceW's do.
  auto& m = NativeResources();
  auto it = m.find({UpperCaseAscii(ResName), UpperCaseAscii(ResType)});
  if (it == m.end()) throw EStreamError(Fmt(L"Resource %s not found", {ResName}));
  SetPointer(it->second.data(), static_cast<int64_t>(it->second.size()));
}

}  // namespace tk
