#pragma once
// A local file opened with a sharing mode. Linux has no mandatory share modes, so the modes
// become advisory locks taken without waiting: exclusive and deny-read take an exclusive lock,
// deny-write a shared one, deny-none and compat none. A file another holder has locked fails
// to open, as a locked file does where share modes are enforced.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

// Sharing flags as stored by the program.
inline constexpr int kShareCompat = 0;
inline constexpr int kShareExclusive = 16;
inline constexpr int kShareDenyWrite = 32;
inline constexpr int kShareDenyRead = 48;
inline constexpr int kShareDenyNone = 64;

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SharedFile {
 public:
  enum class Mode { Create, OpenWrite, OpenRead };  // Create truncates an existing file

  // Throws FileError when the file cannot be opened or is locked.
  SharedFile(const std::string& path, Mode mode, int shareFlags);
  ~SharedFile();
  SharedFile(const SharedFile&) = delete;
  SharedFile& operator=(const SharedFile&) = delete;

  void Seek(int64_t position);
  // Up to len bytes; 0 at the end. Throws FileError.
  int Read(char* buffer, int len);
  // All len bytes or FileError.
  void Write(const char* data, int len);
  // The open file, for writing into it from another descriptor (a socket).
  int Descriptor() const { return fd_; }

 private:
  int fd_;
  std::string path_;
};

// The size of a file, or -1 when there is no such file.
int64_t GetFileSize(const std::string& path);

}  // namespace platform
