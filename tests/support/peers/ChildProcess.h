#pragma once
// A program the harness started, owned by its process id.
//
// Stop() ends the whole tree the program grew: SIGTERM to it and to every descendant found by
// parent id in /proc (a process-group kill would miss vsftpd's sessions, which call setsid(),
// and the session processes of vsftpd, pure-ftpd and dante outlive their master's SIGTERM
// while a client stays connected), a bounded wait, then SIGKILL to whatever is left.
// The child gets SIGKILL when the test program dies, so a crashed test leaves no server behind.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Stop(); }
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv[0] (an absolute path) with stdout and stderr into `outputFd` and stdin from
  // `inputFd` (-1: /dev/null). Throws when the process cannot be created; a program that
  // cannot be executed exits with 127 after writing why into the output.
  static ChildProcess Spawn(const std::vector<std::string>& argv, int outputFd, int inputFd = -1);

  pid_t Pid() const { return pid_; }
  // True while the program runs; collects its status once it has ended.
  bool Running();
  // Waits up to `limit` for the program to end by itself; false when it still runs.
  bool WaitExit(std::chrono::milliseconds limit);
  // How it ended ("exited with 1", "killed by signal 9"); empty while it runs.
  std::string EndDescription() const;
  std::optional<int> ExitCode() const;

  void Stop();

 private:
  explicit ChildProcess(pid_t pid) : pid_(pid) {}

  pid_t pid_ = -1;
  std::optional<int> waitStatus_;
};

}  // namespace testsupport
