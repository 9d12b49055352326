// The harness's own promises: a stopped peer leaves no process behind (not even sessions
// that left the process group, nor ones that ignore SIGTERM), a peer that dies while
// starting says why, and a missing peer fails under CI.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/loopback/FtpProbe.h"
#include "support/peers/ChildProcess.h"
#include "support/peers/PeerRequirement.h"
#include "support/peers/ProcessTree.h"
#include "support/peers/VsftpdPeer.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ChildProcess;

// The one child of `parent`, once it exists (bounded wait); -1 if none came.
pid_t OnlyChildOf(pid_t parent) {
  for (int round = 0; round < 200; ++round) {
    const auto children = testsupport::Descendants(parent);
    if (children.size() == 1) return children.front();
    std::this_thread::sleep_for(10ms);
  }
  return -1;
}

ChildProcess SpawnShell(const std::string& script) {
  return ChildProcess::Spawn({"/bin/sh", "-c", script}, STDERR_FILENO);
}

TEST(ChildProcess, StopEndsDescendantsThatLeftTheProcessGroup) {
  ChildProcess shell = SpawnShell("setsid /bin/sleep 60 & exec /bin/sleep 61");
  const pid_t session = OnlyChildOf(shell.Pid());
  ASSERT_GT(session, 0);
  // The child exists before it has run setsid: wait (bounded) until it has left the group.
  for (int round = 0; round < 200 && getpgid(session) == getpgid(shell.Pid()); ++round) {
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_NE(getpgid(session), getpgid(shell.Pid()));

  shell.Stop();
  EXPECT_FALSE(testsupport::Alive(session));
  EXPECT_FALSE(shell.Running());
}

TEST(ChildProcess, StopKillsWhatIgnoresTheTermSignal) {
  ChildProcess shell = SpawnShell("trap '' TERM; /bin/sleep 60 & wait");
  const pid_t sleeper = OnlyChildOf(shell.Pid());
  ASSERT_GT(sleeper, 0);

  shell.Stop();
  EXPECT_FALSE(testsupport::Alive(sleeper));
  EXPECT_EQ(shell.EndDescription(), "killed by signal " + std::to_string(SIGKILL));
}

// A peer whose only process writes a complaint and exits before it ever listens.
class CrashingPeer : public testsupport::PeerServer {
 public:
  CrashingPeer() : PeerServer("crashing") {}

 protected:
  std::vector<std::string> RequiredFiles() const override { return {"/bin/sh"}; }
  bool NeedsRoot() const override { return false; }
  void Launch() override {
    Spawn("crashing", {"/bin/sh", "-c", "echo 'bad option on line 3'; exit 2"});
    AwaitPort(Port(), true);
  }
};

TEST(PeerServer, AStartThatDiesEarlyFailsWithItsExitAndLog) {
  CrashingPeer peer;
  EXPECT_FALSE(peer.Start());
  EXPECT_NE(peer.Failure().find("exited with 2"), std::string::npos) << peer.Failure();
  EXPECT_NE(peer.Failure().find("bad option on line 3"), std::string::npos) << peer.Failure();
}

class UninstalledPeer : public testsupport::PeerServer {
 public:
  UninstalledPeer() : PeerServer("uninstalled") {}

 protected:
  std::vector<std::string> RequiredFiles() const override { return {"/nonexistent/marlo-ftpd"}; }
  void Launch() override {}
};

void RequireUninstalledPeer() {
  UninstalledPeer peer;
  MARLO_REQUIRE_PEER(peer);
}

TEST(PeerServer, AMissingProgramFailsTheTestUnderCi) {
  const char* saved = getenv("CI");
  const std::string previous = saved != nullptr ? saved : "";
  setenv("CI", "true", 1);
  EXPECT_FATAL_FAILURE(RequireUninstalledPeer(), "/nonexistent/marlo-ftpd is not installed");
  if (saved != nullptr) {
    setenv("CI", previous.c_str(), 1);
  } else {
    unsetenv("CI");
  }
}

TEST(PeerServer, StopEndsSessionsWhoseClientsAreStillConnected) {
  testsupport::VsftpdPeer ftp;
  MARLO_REQUIRE_PEER(ftp);
  ASSERT_TRUE(ftp.Start()) << ftp.Failure();
  testsupport::FtpProbe client(ftp.Port());
  ASSERT_EQ(client.ReadReply().code, 220);
  ASSERT_EQ(client.Command("USER " + ftp.User()).code, 331);
  ASSERT_EQ(client.Command("PASS " + ftp.Password()).code, 230);

  ftp.Stop();
  EXPECT_EQ(client.Socket().ReceiveSome(1s), "");
  EXPECT_TRUE(client.Socket().Closed());
}

}  // namespace
