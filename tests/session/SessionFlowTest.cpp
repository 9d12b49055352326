// Whole sessions against the real servers, driven as the window drives them: connecting to a
// stored site and seeing its directory, the fallbacks to PWD, raw commands, a wrong password,
// a typed address, the password query, the keep-alive, Disconnect and Stop.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/session/SessionHarness.h"
#include "support/EventLoop.h"
#include "support/peers/FtpServers.h"
#include "support/peers/PeerSuite.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using session::Command;
using sessiontest::SessionHarness;

namespace {

// The server's tree: /pub/readme.txt and a subdirectory /pub/sub.
template <class Server>
void MakeTree(const Server& ftp) {
  fs::create_directories(ftp.Root() / "pub" / "sub");
  std::ofstream(ftp.Root() / "pub" / "readme.txt") << "hello\n";
}

template <class Server>
class SessionAcrossServers : public testsupport::PeerSuite<Server> {
 protected:
  static Server& Ftp() { return testsupport::PeerSuite<Server>::Peer(); }

  void SetUp() override {
    testsupport::PeerSuite<Server>::SetUp();
    if (this->IsSkipped() || this->HasFatalFailure()) return;
    MakeTree(Ftp());
  }

  void StartWith(const std::string& initialDir) {
    h.AddSite(SessionHarness::SiteFor("box", Ftp().Port(), Ftp().User(), Ftp().Password(), initialDir));
    h.Start();
    h.ConnectTo("box");
    ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  }

  SessionHarness h;
};

TYPED_TEST_SUITE(SessionAcrossServers, testsupport::FtpServers, testsupport::PeerName);

TYPED_TEST(SessionAcrossServers, ConnectListsTheStartDirectory) {
  auto& h = this->h;
  this->StartWith("/pub");
  EXPECT_FALSE(h.Logic().ShowingSites());
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"sub", "readme.txt"}));
  EXPECT_EQ(h.Logic().PathItems(), (std::vector<std::string>{"SERVER LIST ...", "127.0.0.1", "pub"}));
  EXPECT_EQ(h.Logic().RemoteBaseDir(), "/pub/");
  EXPECT_TRUE(h.Logic().Enabled(Command::Disconnect, session::Surface::Control));
  EXPECT_FALSE(h.Logic().Enabled(Command::Connect, session::Surface::Control));
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
  EXPECT_FALSE(fs::exists(h.Logic().ListingFile())) << "the listing file is read and deleted";
}

TYPED_TEST(SessionAcrossServers, EmptyInitialDirListsTheLoginDirectory) {
  auto& h = this->h;
  this->StartWith("");
  EXPECT_TRUE(h.Logged("> PWD")) << h.Transcript();
  EXPECT_FALSE(h.Logged("> CWD")) << h.Transcript();
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"pub"}));
}

TYPED_TEST(SessionAcrossServers, FailedCwdFallsBackToPwdAndKeepsItsDirectory) {
  auto& h = this->h;
  this->StartWith("/no-such-dir");
  EXPECT_TRUE(h.Logged("> PWD")) << h.Transcript();
  EXPECT_FALSE(h.Logged("Error")) << "a failed CWD writes no error line\n" << h.Transcript();
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"pub"}));
  EXPECT_EQ(h.Engine().HostDirName(), "/");

  // A raw command, sent twice, then enters the directory PWD reported again each time.
  h.Logic().Bar().text = "NOOP";
  for (int i = 0; i < 2; ++i) {
    h.Logic().Run(Command::SendCommandLine);
    ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  }
  EXPECT_EQ(h.LogCount("> CWD /"), 3) << h.Transcript();
  EXPECT_EQ(h.Logic().Bar().items, (std::vector<std::string>{"NOOP"})) << "the selected item is not added twice";
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
}

// ---- One server, every flow ---------------------------------------------------------------------

class VsftpdSession : public testsupport::PeerSuite<testsupport::VsftpdPeer> {
 protected:
  static testsupport::VsftpdPeer& Ftp() { return Peer(); }

  void SetUp() override {
    PeerSuite::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    MakeTree(Ftp());
  }

  SiteRecord Site(const std::string& initialDir = "/pub") const {
    return SessionHarness::SiteFor("box", Ftp().Port(), Ftp().User(), Ftp().Password(), initialDir);
  }

  void Connect(const SiteRecord& site) {
    h.AddSite(site);
    h.Start();
    h.ConnectTo(site.Name);
  }

  SessionHarness h;
};

TEST_F(VsftpdSession, WrongPasswordShowsTheRepliesAndNoErrorLine) {
  SiteRecord site = Site();
  site.Password = "not-the-password";
  Connect(site);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return h.Logged("< 530"); }, 20s)) << h.Transcript();
  testsupport::PumpFor(100ms);
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
  EXPECT_TRUE(h.Logic().RemotePane().Empty());
}

TEST_F(VsftpdSession, TypedAddressIsNormalisedInTheSessionOnly) {
  SiteRecord site = Site("");
  site.Server = "ftp://" + Ftp().User() + ":" + Ftp().Password() + "@127.0.0.1:" + std::to_string(Ftp().Port()) + "/pub";
  site.User = "someone-else";
  site.Password = "wrong";
  Connect(site);
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"sub", "readme.txt"}));
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
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"sub", "readme.txt"}));
}

TEST_F(VsftpdSession, PasswordsNeverReachTheLogOrItsFile) {
  h.options.LogEnabled = true;
  h.options.LogFile = "session.log";
  Connect(Site());
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
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
  std::stringstream file;
  file << std::ifstream(h.ProgramDir() / "session.log").rdbuf();
  EXPECT_NE(file.str().find("> USER " + Ftp().User()), std::string::npos) << file.str();
  EXPECT_EQ(file.str().find(password), std::string::npos) << file.str();
}

TEST_F(VsftpdSession, KeepAliveCommandsGoInTurnWhileIdle) {
  h.options.KeepAlive = true;
  h.options.KeepStart = 2;
  h.options.KeepInterval = 1000;
  h.options.KeepCommands = "NOOP,PWD";
  Connect(Site());
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
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
  Connect(Site());
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
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
