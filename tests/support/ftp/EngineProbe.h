#pragma once
// A TFtpClient wired to record what it tells its owner: the log, the completions, the
// session events, in one ordered list of events.
#include <functional>
#include <string>
#include <vector>

#include "ftp/FtpCli.h"
#include "support/EventLoop.h"
#include "support/peers/FtpPeer.h"

namespace ftptest {

struct Completion {
  TFtpRequest kind;
  uint16_t error;
  bool operator==(const Completion&) const = default;
};

class EngineProbe {
 public:
  EngineProbe() {
    ftp.OnDisplay = [this](TCustomFtpCli*, std::string& line) { log.push_back(line); };
    ftp.OnRequestDone = [this](TCustomFtpCli* s, TFtpRequest kind, uint16_t error) {
      completions.push_back({kind, error});
      events.push_back("done " + std::string(FtpRequestName(kind)) + " " + std::to_string(error) + " " +
                       FtpStateName(s->State()));
    };
    ftp.OnSessionClosed = [this](TCustomFtpCli*, uint16_t error) {
      events.push_back("closed " + std::to_string(error));
    };
  }

  void Target(uint16_t port, const std::string& host = "127.0.0.1") {
    ftp.SetHostName(host);
    ftp.SetPort(std::to_string(port));
    ftp.SetUserName("user");
    ftp.SetPassWord("secret");
  }

  // The peer's address and account, and the direction of its data connections.
  void Aim(const testsupport::FtpPeer& peer, bool passive = true) {
    Target(peer.Port());
    ftp.SetUserName(peer.User());
    ftp.SetPassWord(peer.Password());
    ftp.SetPassive(passive);
  }

  // Connects to the server's greeting with OpenAsync; false when that did not end in time.
  bool Open(uint16_t port) {
    Target(port);
    ftp.OpenAsync();
    return WaitDone();
  }

  // Waits for the next completion; false when none came within the limit.
  bool WaitDone(size_t count = 1, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return testsupport::PumpUntil([&] { return completions.size() >= count; }, limit);
  }

  // Starts a request and waits for its completion; {ftpNone, 65535} when none came in time.
  Completion Run(const std::function<void()>& start, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const size_t before = completions.size();
    start();
    if (!WaitDone(before + 1, limit)) return {ftpNone, 65535};
    return completions.back();
  }

  // A synchronous request, followed by the completion it posted on the way.
  bool Sync(const std::function<bool()>& request) {
    const size_t before = completions.size();
    const bool ok = request();
    WaitDone(before + 1);
    return ok;
  }

  // A download, resumed from the local file's end when `resume`.
  Completion Get(const std::string& remote, const std::string& local, bool resume = false) {
    ftp.SetHostFileName(remote);
    ftp.SetLocalFileName(local);
    return Run([&] { resume ? ftp.RestGetAsync() : ftp.GetAsync(); });
  }

  // An upload, continued from `resumeAt` of the remote file when that is not 0.
  Completion Put(const std::string& local, const std::string& remote, int64_t resumeAt = 0) {
    ftp.SetHostFileName(remote);
    ftp.SetLocalFileName(local);
    ftp.SetResumeAt(resumeAt);
    return Run([&] { resumeAt > 0 ? ftp.RestPutAsync() : ftp.PutAsync(); });
  }

  // A LIST of `argument` into `local`.
  Completion List(const std::string& local, const std::string& argument = "") {
    ftp.SetHostFileName(argument);
    ftp.SetLocalFileName(local);
    return Run([&] { ftp.DirAsync(); });
  }

  // Whether a line of the log starts with `start`.
  bool Logged(const std::string& start) const {
    for (const auto& l : log)
      if (l.rfind(start, 0) == 0) return true;
    return false;
  }

  // The whole log, one line each, for failure messages.
  std::string Transcript() const {
    std::string all;
    for (const auto& l : log) all += l + "\n";
    return all;
  }

  // Lines of the log that start with "< ".
  std::vector<std::string> Replies() const {
    std::vector<std::string> r;
    for (const auto& l : log)
      if (l.rfind("< ", 0) == 0) r.push_back(l);
    return r;
  }

  TFtpClient ftp;
  std::vector<std::string> log;
  std::vector<Completion> completions;
  std::vector<std::string> events;
};

}  // namespace ftptest
