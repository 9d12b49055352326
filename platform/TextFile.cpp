#include "platform/TextFile.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/TextCodec.h"

namespace platform {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }

  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  bool Close() {
    const bool closed = fd_ < 0 || ::close(fd_) == 0;
    fd_ = -1;
    return closed;
  }

 private:
  int fd_;
};

std::optional<std::string> ReadFileBytes(const std::string& path) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
    if (got == 0) return bytes;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || bytes.size() + static_cast<std::size_t>(got) > kMaxTextFileSize) {
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// Root may write anything, so a file without any write bit is treated as read-only too.
bool IsWriteProtected(const std::string& path, const struct stat& info) {
  return ::access(path.c_str(), W_OK) != 0 || (info.st_mode & 0222) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

// A fresh file beside `path` whose name no other writer uses; `tempPath` receives its name.
FileDescriptor CreateTempBeside(const std::string& path, mode_t mode, std::string& tempPath) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return FileDescriptor(fd);
  }
  return FileDescriptor(-1);
}

bool ReplaceFile(const std::string& path, std::string_view bytes, FileAccess access) {
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && IsWriteProtected(path, existing)) return false;

  std::string tempPath;
  FileDescriptor temp = CreateTempBeside(path, access == FileAccess::OwnerOnly ? 0600 : 0666, tempPath);
  if (!temp.IsOpen()) return false;
  bool written = true;
  if (access == FileAccess::OwnerOnly) {
    written = ::fchmod(temp.Get(), 0600) == 0;
  } else if (exists) {
    written = ::fchmod(temp.Get(), existing.st_mode & 07777) == 0;
  }
  written = written && WriteAll(temp.Get(), bytes) && ::fsync(temp.Get()) == 0;
  written = temp.Close() && written && ::rename(tempPath.c_str(), path.c_str()) == 0;
  if (!written) ::unlink(tempPath.c_str());
  return written;
}

}  // namespace

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path) {
  const std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  return SplitLines(DecodeTextBytes(*bytes));
}

bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                    FileAccess access) {
  std::string bytes;
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  return ReplaceFile(path, bytes, access);
}

}  // namespace platform
