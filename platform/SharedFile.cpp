#include "platform/SharedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw FileError(what + " " + path + ": " + std::strerror(errno));
}

int LockFor(int shareFlags) {
  switch (shareFlags) {
    case kShareExclusive:
    case kShareDenyRead: return LOCK_EX;
    case kShareDenyWrite: return LOCK_SH;
    default: return 0;
  }
}

int OpenFlags(SharedFile::Mode mode) {
  switch (mode) {
    case SharedFile::Mode::Create: return O_WRONLY | O_CREAT;
    case SharedFile::Mode::OpenWrite: return O_WRONLY;
    case SharedFile::Mode::OpenRead: return O_RDONLY;
  }
  return O_RDONLY;
}

}  // namespace

SharedFile::SharedFile(const std::string& path, Mode mode, int shareFlags) : path_(path) {
  fd_ = ::open(path.c_str(), OpenFlags(mode) | O_CLOEXEC, 0644);
  if (fd_ < 0) Fail("cannot open", path);
  const int lock = LockFor(shareFlags);
  if (lock != 0 && ::flock(fd_, lock | LOCK_NB) != 0) {
    const int saved = errno;
    ::close(fd_);
    errno = saved;
    Fail("cannot lock", path);
  }
  // Truncate only once the lock is ours, so a file in use elsewhere is never emptied.
  if (mode == Mode::Create && ::ftruncate(fd_, 0) != 0) {
    const int saved = errno;
    ::close(fd_);
    errno = saved;
    Fail("cannot truncate", path);
  }
}

SharedFile::~SharedFile() { ::close(fd_); }

void SharedFile::Seek(int64_t position) {
  if (::lseek(fd_, position, SEEK_SET) < 0) Fail("cannot seek in", path_);
}

int SharedFile::Read(char* buffer, int len) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(len));
    if (n >= 0) return static_cast<int>(n);
    if (errno != EINTR) Fail("cannot read", path_);
  }
}

void SharedFile::Write(const char* data, int len) {
  while (len > 0) {
    const ssize_t n = ::write(fd_, data, static_cast<size_t>(len));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("cannot write", path_);
    }
    data += n;
    len -= static_cast<int>(n);
  }
}

int64_t GetFileSize(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return -1;
  return info.st_size;
}

}  // namespace platform
