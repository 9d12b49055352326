#include "support/peers/RunCommand.h"

#include <sys/mman.h>
#include <unistd.h>

#include <stdexcept>

#include "support/peers/ChildProcess.h"

namespace testsupport {

namespace {

// An anonymous in-memory file, closed when the holder goes.
class MemoryFile {
 public:
  MemoryFile() : fd_(memfd_create("marlo-command", MFD_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error("memfd_create failed");
  }
  ~MemoryFile() { close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  int Fd() const { return fd_; }

  void Write(std::string_view bytes) {
    if (pwrite(fd_, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
      throw std::runtime_error("memfd write failed");
    }
  }

  std::string ReadAll() const {
    std::string all;
    char chunk[4096];
    ssize_t got;
    for (off_t offset = 0; (got = pread(fd_, chunk, sizeof chunk, offset)) > 0; offset += got) {
      all.append(chunk, static_cast<size_t>(got));
    }
    return all;
  }

 private:
  int fd_;
};

std::string CommandLine(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& arg : argv) line += (line.empty() ? "" : " ") + arg;
  return line;
}

}  // namespace

std::string RunCommand(const std::vector<std::string>& argv, std::string_view input,
                       std::chrono::milliseconds limit) {
  MemoryFile output;
  MemoryFile stdinFile;
  stdinFile.Write(input);
  ChildProcess child = ChildProcess::Spawn(argv, output.Fd(), stdinFile.Fd());
  const bool ended = child.WaitExit(limit);
  child.Stop();
  if (!ended || child.ExitCode() != 0) {
    throw std::runtime_error(CommandLine(argv) + ": " +
                             (ended ? child.EndDescription() : "still running after the limit") +
                             "\n" + output.ReadAll());
  }
  return output.ReadAll();
}

}  // namespace testsupport
