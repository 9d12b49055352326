#include "platform/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "platform/TextCodec.h"

namespace platform {
namespace {

// As the kernel's own limit on a path's chain of symbolic links.
constexpr int kMaxLinkDepth = 40;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
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

enum class Presence { Missing, Readable, Unreadable };

struct OpenedFile {
  FileDescriptor file{-1};  // open only when Readable
  Presence presence = Presence::Missing;
  struct stat info {};
};

// O_NONBLOCK keeps a FIFO from blocking the open; it changes nothing for a regular file.
OpenedFile OpenReadable(const std::string& path) {
  OpenedFile opened{FileDescriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))};
  if (!opened.file.IsOpen()) {
    opened.presence = errno == ENOENT || errno == ENOTDIR ? Presence::Missing : Presence::Unreadable;
    return opened;
  }
  const bool readable = ::fstat(opened.file.Get(), &opened.info) == 0 && S_ISREG(opened.info.st_mode) &&
                        static_cast<std::size_t>(opened.info.st_size) <= kMaxTextFileSize;
  opened.presence = readable ? Presence::Readable : Presence::Unreadable;
  if (!readable) opened.file.Close();
  return opened;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  const OpenedFile opened = OpenReadable(path);
  if (opened.presence != Presence::Readable) return std::nullopt;
  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(opened.file.Get(), buffer, sizeof buffer);
    if (got == 0) return bytes;
    if (got < 0 && errno == EINTR) continue;
    // The file may have grown since it was measured.
    if (got < 0 || bytes.size() + static_cast<std::size_t>(got) > kMaxTextFileSize) {
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

std::vector<std::string> DecodeLines(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    lines.push_back(DecodeTextBytes(bytes.substr(start, end - start)));
    start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// The file that a save of `path` replaces: `path` itself, or the end of its chain of
// symbolic links. nullopt, with errno set, when the chain cannot be followed.
std::optional<std::filesystem::path> SaveTarget(std::filesystem::path path) {
  for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) return path;
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) {
      errno = error.value();
      return std::nullopt;
    }
    path = path.parent_path() / target;  // an absolute target replaces the whole path
  }
  errno = ELOOP;
  return std::nullopt;
}

// Root may write anything, so a file without any write bit is treated as read-only too.
bool IsWriteProtected(const std::string& path, const struct stat& info) {
  return ::access(path.c_str(), W_OK) != 0 || (info.st_mode & 0222) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put == 0) errno = EIO;
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

// Fills the new file and puts it in the old one's place; false, with errno set, on failure.
bool FillAndRename(FileDescriptor& temp, const std::string& tempPath, const std::string& path,
                   std::string_view bytes, std::optional<mode_t> mode) {
  return (!mode || ::fchmod(temp.Get(), *mode) == 0) && WriteAll(temp.Get(), bytes) &&
         ::fsync(temp.Get()) == 0 && temp.Close() && ::rename(tempPath.c_str(), path.c_str()) == 0;
}

// Empty when the file was replaced, otherwise the reason it was not.
std::string ReplaceFile(const std::string& path, std::string_view bytes, FileAccess access) {
  const std::optional<std::filesystem::path> target = SaveTarget(path);
  if (!target) return std::strerror(errno);
  const OpenedFile existing = OpenReadable(target->string());
  if (existing.presence == Presence::Unreadable) {
    return "The file exists but could not be read, so it is kept as it is";
  }
  const bool exists = existing.presence == Presence::Readable;
  if (exists && IsWriteProtected(target->string(), existing.info)) return "The file is read-only";

  std::optional<mode_t> mode;
  if (access == FileAccess::OwnerOnly) {
    mode = 0600;
  } else if (exists) {
    mode = existing.info.st_mode & 07777;
  }
  std::string tempPath;
  FileDescriptor temp = CreateTempBeside(target->string(), mode.value_or(0666), tempPath);
  if (!temp.IsOpen()) return std::strerror(errno);
  if (FillAndRename(temp, tempPath, target->string(), bytes, mode)) return {};
  const int error = errno;
  ::unlink(tempPath.c_str());
  return std::strerror(error);
}

}  // namespace

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path) {
  const std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  return DecodeLines(*bytes);
}

WriteResult WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                           FileAccess access) {
  std::string bytes;
  if (!lines.empty() && lines.front().starts_with(kUtf8ByteOrderMark)) bytes = kUtf8ByteOrderMark;
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  const std::string reason = ReplaceFile(path, bytes, access);
  if (reason.empty()) return {};
  return {"Unable to write to " + path + ": " + reason};
}

}  // namespace platform
