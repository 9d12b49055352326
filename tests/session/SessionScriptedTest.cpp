// Exact cases of a session against the scripted server: reconnection, error lines, late
// completions, the keep-alive beside the user's commands, server names that lead elsewhere.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>

#include "support/files/PatternFiles.h"
#include "support/session/SessionHarness.h"
#include "support/EventLoop.h"
#include "support/scripted/ScriptedFtpServer.h"

using namespace std::chrono_literals;
using session::Command;
using sessiontest::SessionHarness;
using testsupport::DataPort;
using testsupport::Script;
using testsupport::ScriptedFtpServer;

namespace {

const std::string kListing =
    "drwxr-xr-x    2 1001     1001         4096 Dec 06 08:03 sub\r\n"
    "-rw-r--r--    1 1001     1001           10 Jan 01  2020 a.txt\r\n";

const std::vector<std::string> kLoginAndList = {"USER user", "PASS secret", "FEAT",   "TYPE A",
                                                "CWD /d/",   "PASV",        "LIST"};

// PASV and LIST answered with kListing; `pause` holds the listing back.
Script List(DataPort& data, std::chrono::milliseconds pause = 0ms) {
  return Script()
      .Reply(data.PasvReply())
      .Reply("150 Here\r\n")
      .Pause(pause)
      .SendData(data, kListing)
      .Pause(50ms)
      .Send("226 Done\r\n");
}

class SessionScripted : public ::testing::Test {
 protected:
  void Connect(Script script) {
    server_ = std::make_unique<ScriptedFtpServer>(std::move(script));
    h.AddSite(SessionHarness::SiteFor("box", server_->Port(), "user", "secret", "/d"));
    h.Start();
    h.ConnectTo("box");
  }

  // The commands after the login and the first listing, at most `count`.
  std::vector<std::string> LaterCommands(std::size_t count = 100) const {
    std::vector<std::string> later = server_->Commands();
    later.erase(later.begin(), later.begin() + static_cast<long>(std::min(kLoginAndList.size(), later.size())));
    if (later.size() > count) later.resize(count);
    return later;
  }

  SessionHarness h;
  DataPort data;
  std::unique_ptr<ScriptedFtpServer> server_;
};

TEST_F(SessionScripted, RetriesAConnectionClosedBeforeTheGreetingThenShowsTheSites) {
  h.options.RetryCount = 2;
  Connect(Script().Close());
  ASSERT_TRUE(testsupport::PumpUntil(
      [&] { return h.Logged("[Attempt 4]") && !h.Logic().Enabled(Command::StopTransfer, session::Surface::Control); },
      10s))
      << h.Transcript();
  testsupport::PumpFor(200ms);
  for (const char* attempt : {"Connecting to 127.0.0.1 [Attempt 2]", "Connecting to 127.0.0.1 [Attempt 3]",
                              "Connecting to 127.0.0.1 [Attempt 4]"})
    EXPECT_TRUE(h.LoggedLine(attempt)) << h.Transcript();
  EXPECT_FALSE(h.Logged("[Attempt 5]")) << h.Transcript();
  EXPECT_EQ(server_->Connections(), 4);
  EXPECT_TRUE(h.Logic().ShowingSites());
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"box"}));
}

TEST_F(SessionScripted, EachErrorLineShowsItsOwnReply) {
  Connect(sessiontest::ScriptedLogin().Then(List(data)).Reply("500 No FOO\r\n").Reply("501 No BAR\r\n"));
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  for (const char* command : {"FOO", "BAR"}) {
    h.Logic().Bar().text = command;
    h.Logic().Run(Command::SendCommandLine);
    ASSERT_TRUE(h.WaitIdle());
  }
  EXPECT_TRUE(h.LoggedLine("Error 500 No FOO")) << h.Transcript();
  EXPECT_TRUE(h.LoggedLine("Error 501 No BAR")) << h.Transcript();
}

TEST_F(SessionScripted, ListingCompletedAfterDisconnectLeavesTheSites) {
  // The listing's data is complete before its final reply, so the completion is posted right
  // behind the reply; the Disconnect posted on seeing the reply runs in between.
  Connect(sessiontest::ScriptedLogin().Then(List(data)));
  h.memo.onLine = [&](const std::string& line) {
    if (line != "< 226 Done") return;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { h.Logic().Run(Command::Disconnect); }, Qt::QueuedConnection);
  };
  ASSERT_TRUE(testsupport::PumpUntil([&] { return h.Logged("< 226 Done"); }, 10s)) << h.Transcript();
  ASSERT_TRUE(h.WaitForSites()) << h.Transcript();
  testsupport::PumpFor(100ms);
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"box"}));
  EXPECT_TRUE(h.Logic().ShowingSites());
}

TEST_F(SessionScripted, KeepAliveWaitsForTheListingToEnd) {
  h.options.KeepAlive = true;
  h.options.KeepStart = 1;
  h.options.KeepCommands = "NOOP";
  Connect(sessiontest::ScriptedLogin().Then(List(data, 300ms)));
  ASSERT_TRUE(server_->WaitForCommands(kLoginAndList.size() + 1)) << h.Transcript();
  testsupport::PumpFor(50ms);
  std::vector<std::string> expected = kLoginAndList;
  expected.push_back("NOOP");
  EXPECT_EQ(server_->Commands(), expected);
}

TEST_F(SessionScripted, UserCommandWaitsForTheKeepAliveAndTakesItsTurn) {
  h.options.KeepAlive = true;
  h.options.KeepStart = 1;
  h.options.KeepCommands = "NOOP";
  Connect(sessiontest::ScriptedLogin()
              .Then(List(data))
              .Receive()  // NOOP, answered late
              .Pause(300ms)
              .Send("200 NOOP ok\r\n")
              .Reply("215 UNIX\r\n")  // the user's SYST
              .Reply("250 CWD ok\r\n")
              .Then(List(data)));
  // The keep-alive command is on its way (its reply comes late) when the user sends one.
  ASSERT_TRUE(server_->WaitForCommands(kLoginAndList.size() + 1)) << h.Transcript();
  h.Logic().Bar().text = "SYST";
  h.Logic().Run(Command::SendCommandLine);
  ASSERT_TRUE(h.WaitForListing(2)) << h.Transcript();
  EXPECT_EQ(LaterCommands(5), (std::vector<std::string>{"NOOP", "SYST", "CWD /d/", "PASV", "LIST"}));
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
}

TEST_F(SessionScripted, ServerNamesNeverLeadOutOfTheDownload) {
  DataPort walkData;
  const std::string hostile =
      "drwxr-xr-x    2 1 1 4096 Dec 06 08:03 ../evil\r\n"
      "-rw-r--r--    1 1 1    5 Dec 06 08:03 a/../../evil\r\n"
      "-rw-r--r--    1 1 1    5 Dec 06 08:03 /etc/x\r\n"
      "drwxr-xr-x    2 1 1 4096 Dec 06 08:03 ..\r\n"
      "-rw-r--r--    1 1 1    2 Dec 06 08:03 ok.txt\r\n";
  Connect(sessiontest::ScriptedLogin()
              .Then(List(data))
              .Reply("250 CWD ok\r\n")  // CWD /d/sub
              .Reply(walkData.PasvReply())
              .Reply("150 Here\r\n")
              .SendData(walkData, hostile)
              .Pause(50ms)
              .Send("226 Done\r\n")
              .Reply("200 Type I\r\n")
              .Reply(data.PasvReply())
              .Reply("150 Here\r\n")  // RETR ok.txt
              .SendData(data, "ok")
              .Pause(50ms)
              .Send("226 Done\r\n")
              .Reply("200 Type A\r\n")
              .Reply("250 CWD ok\r\n")  // back to /d/
              .Then(List(data)));
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  h.SelectRemote({"sub"});
  h.Logic().Run(Command::DownloadSelection);
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  EXPECT_EQ(LaterCommands(), (std::vector<std::string>{"CWD /d/sub", "PASV", "LIST", "TYPE I", "PASV", "RETR ok.txt",
                                                       "TYPE A", "CWD /d/", "PASV", "LIST"}));
  EXPECT_EQ(testsupport::DigestOf(h.LocalDir()),
            (testsupport::TreeDigest{{"sub", "dir"}, {"sub/ok.txt", testsupport::Sha256Of(h.LocalDir() / "sub" / "ok.txt")}}));
  EXPECT_FALSE(std::filesystem::exists(h.LocalDir().parent_path() / "evil"));
  EXPECT_EQ(h.LogCount("Skipped the name"), 3) << h.Transcript();
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
}

}  // namespace
