#include "support/peers/PeerServer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/loopback/FreePorts.h"
#include "support/loopback/FtpProbe.h"

namespace testsupport {

namespace {

using namespace std::chrono_literals;

constexpr auto kReadyLimit = 10s;
constexpr auto kReadyPoll = 50ms;
constexpr size_t kLogTail = 4000;

std::string FileTail(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream all;
  all << file.rdbuf();
  const std::string text = all.str();
  return text.size() > kLogTail ? "..." + text.substr(text.size() - kLogTail) : text;
}

}  // namespace

PeerServer::PeerServer(std::string name, std::string address)
    : name_(std::move(name)), address_(std::move(address)), port_(FreePort()) {}

std::string PeerServer::SkipReason() const {
  for (const std::string& file : RequiredFiles()) {
    if (access(file.c_str(), F_OK) != 0) {
      return name_ + ": " + file + " is not installed (tools/install-deps.sh installs it)";
    }
  }
  if (NeedsRoot() && geteuid() != 0) return name_ + ": needs root";
  return {};
}

bool PeerServer::Start() {
  failure_.clear();
  try {
    Launch();
    return true;
  } catch (const std::exception& error) {
    failure_ = name_ + " did not start: " + error.what() + "\n" + Logs();
    Stop();
    return false;
  }
}

void PeerServer::Stop() {
  // Later processes may depend on earlier ones (ssh on sshd): stop them first.
  while (!processes_.empty()) processes_.pop_back();
}

void PeerServer::SetLogin(std::string user, std::string password) {
  user_ = std::move(user);
  password_ = std::move(password);
}

std::filesystem::path PeerServer::WriteFile(const std::string& name, const std::string& content) const {
  const std::filesystem::path path = Dir() / name;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << content;
  if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
  return path;
}

void PeerServer::Spawn(const std::string& logName, const std::vector<std::string>& argv) {
  const std::string log = (Dir() / (logName + ".log")).string();
  const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + log);
  try {
    processes_.push_back(ChildProcess::Spawn(argv, fd));
  } catch (...) {
    close(fd);
    throw;
  }
  close(fd);
}

void PeerServer::ThrowIfAProcessEnded() {
  for (ChildProcess& process : processes_) {
    if (!process.Running()) throw std::runtime_error("a process " + process.EndDescription());
  }
}

void PeerServer::AwaitPort(uint16_t port, bool greets) {
  const auto deadline = Clock::now() + kReadyLimit;
  for (;;) {
    ThrowIfAProcessEnded();
    FtpProbe probe(address_, port, kReadyPoll);
    if (probe.Connected()) {
      if (!greets) return;
      const FtpReply greeting = probe.ReadReply(5s);
      if (greeting.code == 220) return;
      throw std::runtime_error("greeted with \"" + greeting.text + "\" instead of 220");
    }
    if (Clock::now() >= deadline) {
      throw std::runtime_error("nothing listens on port " + std::to_string(port) + " after 10 s");
    }
    std::this_thread::sleep_for(kReadyPoll);
  }
}

std::string PeerServer::Logs() const {
  std::string logs;
  for (const auto& dir : {Dir(), Dir() / "logs"}) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
      if (entry.path().extension() != ".log") continue;
      logs += "--- " + entry.path().filename().string() + "\n" + FileTail(entry.path()) + "\n";
    }
  }
  return logs;
}

std::string UnpackedProgram(const std::string& relative) {
  const char* root = std::getenv("MARLO_PEERS_ROOT");
  return std::string(root != nullptr && *root != '\0' ? root : "/opt/marlo-peers") + "/" + relative;
}

}  // namespace testsupport
