// Whole sessions against the real servers, driven as the window drives them: the fallbacks to
// PWD, raw commands, a wrong password, a typed address, the password query, the keep-alive,
// Disconnect and Stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/EventLoop.h"
#include "support/files/PatternFiles.h"
#include "support/peers/FtpServers.h"
#include "support/session/ServerSession.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using session::Command;
using sessiontest::ServerSession;

namespace {

template <class Server>
class PwdFallback : public ServerSession<Server> {
 protected:
  // A start directory that is not entered leaves the session in the directory PWD reports,
  // with no error line; a raw command, sent twice, then enters that directory again each time.
  void FallsBack(const std::string& initialDir) {
    auto& h = this->h;
    this->Connect(initialDir);
    if (this->HasFatalFailure()) return;
    EXPECT_TRUE(h.Logged("> PWD")) << h.Transcript();
    EXPECT_EQ(h.Logged("> CWD"), !initialDir.empty()) << h.Transcript();
    EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"pub"}));
    EXPECT_EQ(h.Engine().HostDirName(), "/");
    h.Logic().Bar().text = "NOOP";
    for (int i = 0; i < 2; ++i) this->Run(Command::SendCommandLine);
    EXPECT_EQ(std::count(h.memo.lines.begin(), h.memo.lines.end(), "> CWD /"), 2) << h.Transcript();
    EXPECT_EQ(h.Logic().Bar().items, (std::vector<std::string>{"NOOP"})) << "the selected item is not added twice";
    EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
  }
};
TYPED_TEST_SUITE(PwdFallback, testsupport::FtpServers, testsupport::PeerName);

TYPED_TEST(PwdFallback, EmptyInitialDirListsTheLoginDirectory) { this->FallsBack(""); }

TYPED_TEST(PwdFallback, FailedCwdListsTheLoginDirectory) { this->FallsBack("/no-such-dir"); }

// ---- One server, every flow ---------------------------------------------------------------------

using VsftpdSession = ServerSession<testsupport::VsftpdPeer>;

TEST_F(VsftpdSession, WrongPasswordShowsTheRepliesAndNoErrorLine) {
  SiteRecord site = Site();
  site.Password = "not-the-password";
  Begin(site);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return h.Logged("< 530"); }, 20s)) << h.Transcript();
  testsupport::PumpFor(100ms);
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
  EXPECT_TRUE(h.Logic().RemotePane().Empty());
}

TEST_F(VsftpdSession, TypedAddressIsNormalisedInTheSessionOnly) {
  testsupport::WritePattern(Pub() / "readme.txt", 10);
  SiteRecord site = Site("");
  site.Server = "ftp://" + Ftp().User() + ":" + Ftp().Password() + "@127.0.0.1:" + std::to_string(Ftp().Port()) + "/pub";
  site.User = "someone-else";
  site.Password = "wrong";
  Connect(site);
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"readme.txt"}));
  EXPECT_EQ(h.Logic().CurrentSite().Server, "127.0.0.1");
  EXPECT_EQ(h.Logic().CurrentSite().InitialDir, "/pub");
  EXPECT_EQ(h.Logic().Sites().front().Server, site.Server) << "the stored site keeps what the user typed";
}

TEST_F(VsftpdSession, PasswordIsAskedWhenNotSavedAndCancellingAbandons) {
  SiteRecord site = Site();
  site.SavePassword = false;
  site.Password = "";
  h.AddSite(site);
  h.Start();
  h.prompts.passwords = {std::nullopt, Ftp().Password()};
  h.ConnectTo("box");
  EXPECT_EQ(h.prompts.asked, (std::vector<std::string>{"PasswordQuery: Enter password|Password:"}));
  EXPECT_FALSE(h.Logged("Connecting to")) << "a cancelled query connects nothing";
  h.ConnectTo("box");
  EXPECT_TRUE(h.WaitForListing()) << h.Transcript();
}

TEST_F(VsftpdSession, PasswordsNeverReachTheLogOrItsFile) {
  h.options.LogEnabled = true;
  h.options.LogFile = "session.log";
  Connect();
  const std::string password = Ftp().Password();
  for (const std::string& raw : {"PASS " + password, "pass " + password, "USER " + Ftp().User() + " " + password,
                                 "SITE HELP " + password}) {
    h.Logic().Bar().text = raw;
    h.Logic().Run(Command::SendCommandLine);
    ASSERT_TRUE(h.WaitIdle()) << h.Transcript();
  }
  EXPECT_TRUE(h.Logged("> PASS ****"));
  EXPECT_TRUE(h.Logged("> SITE HELP ****")) << h.Transcript();
  EXPECT_FALSE(h.Logged(password)) << h.Transcript();
  const std::string file = testsupport::ReadAll(h.ProgramDir() / "session.log");
  EXPECT_NE(file.find("> USER " + Ftp().User()), std::string::npos) << file;
  EXPECT_EQ(file.find(password), std::string::npos) << file;
}

TEST_F(VsftpdSession, KeepAliveCommandsGoInTurnWhileIdle) {
  h.options.KeepAlive = true;
  h.options.KeepStart = 2;
  h.options.KeepInterval = 1000;
  h.options.KeepCommands = "NOOP,PWD";
  Connect();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return h.LogCount("> NOOP") >= 2 && h.LogCount("> PWD") >= 2; }, 10s))
      << h.Transcript();
  std::vector<std::string> sent;
  for (const std::string& line : h.memo.lines)
    if (line == "> NOOP" || line == "> PWD") sent.push_back(line);
  EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 4),
            (std::vector<std::string>{"> NOOP", "> PWD", "> NOOP", "> PWD"}));
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
}

struct EndCase {
  const char* name;
  Command command;
};

class VsftpdSessionEnd : public VsftpdSession, public ::testing::WithParamInterface<EndCase> {};

TEST_P(VsftpdSessionEnd, ReturnsToTheSitesForGood) {
  h.options.RetryCount = 3;
  Connect();
  h.Logic().Run(GetParam().command);
  ASSERT_TRUE(h.WaitForSites()) << h.Transcript();
  testsupport::PumpFor(200ms);
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"box"}));
  EXPECT_EQ(h.LogCount("Connecting to"), 1) << "no reconnection\n" << h.Transcript();
  EXPECT_FALSE(h.Logic().HourglassCursor());
  EXPECT_TRUE(h.Logic().PathItems().empty() || GetParam().command == Command::StopTransfer);
  EXPECT_TRUE(h.Logic().Enabled(Command::Connect, session::Surface::Control));
  EXPECT_FALSE(h.Logic().Enabled(Command::Disconnect, session::Surface::Control));

  h.ConnectTo("box");
  EXPECT_TRUE(h.WaitForListing()) << "a new session starts\n" << h.Transcript();
}

INSTANTIATE_TEST_SUITE_P(Table, VsftpdSessionEnd,
                         ::testing::Values(EndCase{"Disconnect", Command::Disconnect},
                                           EndCase{"Stop", Command::StopTransfer}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
