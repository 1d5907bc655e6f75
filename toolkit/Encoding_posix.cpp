// Native half of the text files: the replacing save over rename(2).
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "toolkit/Encoding.h"
#include "toolkit/SysUtils.h"

namespace tk {

namespace {

[[noreturn]] void RaiseCreate(const String& path, int err) {
  throw EFCreateError(Fmt(L"Cannot create file \"%s\". %s", {path, SysErrorMessage(err)}));
}

int WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, std::min<size_t>(bytes.size() - done, size_t(1) << 30));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    done += static_cast<size_t>(n);
  }
  return ::fsync(fd) == 0 ? 0 : errno;
}

std::atomic<unsigned> gTempCounter{0};

}  // namespace

void SaveFileReplacing(const String& Path, const std::vector<uint8_t>& Bytes) {
  std::string target = ToUtf8(Path);
  std::string temp;
  int fd = -1, err = 0;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target + ".~" + std::to_string(getpid()) + "-" + std::to_string(gTempCounter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) RaiseCreate(Path, errno);

  err = WriteAll(fd, Bytes);
  struct stat st;
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (!err && exists) {
    // rename(2) would replace a file we may not write; Windows refuses to
    // replace a read-only file, and so do we. No write bit at all counts as
    // read-only even for root, like the Windows attribute. The new file
    // keeps the old one's mode.
    if (S_ISDIR(st.st_mode)) err = EISDIR;
    else if ((st.st_mode & 0222) == 0) err = EACCES;
    else if (::access(target.c_str(), W_OK) != 0) err = errno;
    else ::fchmod(fd, st.st_mode & 07777);
  }
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(temp.c_str());
    RaiseCreate(Path, err);
  }
}

}  // namespace tk
