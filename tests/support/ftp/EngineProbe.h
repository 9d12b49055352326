#pragma once
// A TFtpClient wired to record what it tells its owner: the log, the completions, the
// session events, in one ordered list of events.
#include <functional>
#include <string>
#include <vector>

#include "ftp/FtpCli.h"
#include "support/EventLoop.h"

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
