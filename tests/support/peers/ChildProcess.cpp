#include "support/peers/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <utility>

#include "support/peers/ProcessTree.h"

namespace testsupport {

namespace {

using namespace std::chrono_literals;

constexpr auto kTermGrace = 3s;
constexpr auto kPollStep = 20ms;

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void ExecChild(char* const* argv, int outputFd, int inputFd) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGPIPE, SIG_DFL);
  dup2(inputFd, 0);
  dup2(outputFd, 1);
  dup2(outputFd, 2);
  close_range(3, ~0U, 0);
  execv(argv[0], argv);
  const char failed[] = "exec failed: ";
  (void)!write(2, failed, sizeof failed - 1);
  (void)!write(2, argv[0], strlen(argv[0]));
  _exit(127);
}

}  // namespace

ChildProcess::ChildProcess(ChildProcess&& other) noexcept { *this = std::move(other); }

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Stop();
    pid_ = std::exchange(other.pid_, -1);
    waitStatus_ = std::exchange(other.waitStatus_, std::nullopt);
  }
  return *this;
}

ChildProcess ChildProcess::Spawn(const std::vector<std::string>& argv, int outputFd, int inputFd) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const int devNull = inputFd < 0 ? open("/dev/null", O_RDONLY | O_CLOEXEC) : -1;
  const pid_t pid = fork();
  if (pid == 0) ExecChild(args.data(), outputFd, inputFd < 0 ? devNull : inputFd);
  if (devNull >= 0) close(devNull);
  if (pid < 0) throw std::runtime_error("fork failed for " + argv.front());
  return ChildProcess(pid);
}

bool ChildProcess::Running() {
  if (pid_ < 0 || waitStatus_) return false;
  int status = 0;
  const pid_t reaped = waitpid(pid_, &status, WNOHANG);
  if (reaped == 0) return true;
  waitStatus_ = reaped == pid_ ? status : 0;  // -1: no longer ours to wait for
  return false;
}

bool ChildProcess::WaitExit(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (Running()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollStep);
  }
  return true;
}

std::optional<int> ChildProcess::ExitCode() const {
  if (!waitStatus_ || !WIFEXITED(*waitStatus_)) return std::nullopt;
  return WEXITSTATUS(*waitStatus_);
}

std::string ChildProcess::EndDescription() const {
  if (!waitStatus_) return {};
  if (WIFSIGNALED(*waitStatus_)) return "killed by signal " + std::to_string(WTERMSIG(*waitStatus_));
  return "exited with " + std::to_string(WEXITSTATUS(*waitStatus_));
}

void ChildProcess::Stop() {
  if (pid_ < 0) return;
  // The tree is read before any signal: once the master ends, its orphans lose their parent id.
  std::vector<pid_t> tree = Descendants(pid_);
  tree.push_back(pid_);
  for (const pid_t pid : tree) kill(pid, SIGTERM);
  auto alive = [this](pid_t pid) { return pid == pid_ ? Running() : Alive(pid); };
  auto anyAlive = [&] { return std::any_of(tree.begin(), tree.end(), alive); };
  const auto deadline = std::chrono::steady_clock::now() + kTermGrace;
  while (anyAlive() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(kPollStep);
  for (const pid_t pid : tree) {
    if (alive(pid)) kill(pid, SIGKILL);
  }
  // SIGKILL is delivered asynchronously: wait, bounded, until the tree is really gone.
  const auto killDeadline = std::chrono::steady_clock::now() + kTermGrace;
  while (anyAlive() && std::chrono::steady_clock::now() < killDeadline) std::this_thread::sleep_for(kPollStep);
  if (!waitStatus_) {
    int status = 0;
    waitpid(pid_, &status, 0);
    waitStatus_ = status;
  }
  pid_ = -1;
}

}  // namespace testsupport
