// Sessions through the relays the options configure: every connection of a session, the
// control connection and each data connection, and those of a reconnection, goes through the
// SOCKS relay; the FTP proxy is dialled on its configured port and, letting no extended
// command through, leaves the session to LIST and PASV.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/EventLoop.h"
#include "support/files/PatternFiles.h"
#include "support/session/SessionHarness.h"
#include "support/peers/FtpProxyPeer.h"
#include "support/peers/RelayPeers.h"
#include "support/peers/PureFtpdPeer.h"
#include "support/peers/VsftpdPeer.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using session::Command;
using sessiontest::SessionHarness;

namespace {

template <class Relay, class Server>
class SessionThrough : public testsupport::RelaySuite<Relay, Server> {
 protected:
  using Suite = testsupport::RelaySuite<Relay, Server>;

  void SetUp() override {
    Suite::SetUp();
    if (this->IsSkipped() || this->HasFatalFailure()) return;
    fs::create_directories(Suite::Target().Root() / "pub");
    std::ofstream(Suite::Target().Root() / "pub" / "Отчёт.txt") << "hello\n";
    h.AddSite(SessionHarness::SiteFor("box", Suite::Target().Port(), Suite::Target().User(),
                                      Suite::Target().Password(), "/pub"));
  }

  // Connects and waits for the first listing.
  void Connect() {
    h.ConnectTo("box");
    ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
    EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"Отчёт.txt"}));
  }

  // A raw command, whose completion lists the directory again.
  void ListAgain() {
    h.Logic().Bar().text = "NOOP";
    h.Logic().Run(Command::SendCommandLine);
    ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  }

  SessionHarness h;
};

class SessionThroughDante : public SessionThrough<testsupport::DantePeer, testsupport::VsftpdPeer>,
                            public ::testing::WithParamInterface<TFtpConnectionType> {};

TEST_P(SessionThroughDante, EveryConnectionGoesThroughTheRelay) {
  h.options.ConnectionType = GetParam();
  h.options.SocksServer = "127.0.0.1";
  h.options.SocksPort = std::to_string(Peer().Port());
  h.Start();
  const int before = Peer().RelayedConnections();
  Connect();
  ListAgain();
  ListAgain();
  h.Logic().Run(Command::Disconnect);
  ASSERT_TRUE(h.WaitForSites()) << h.Transcript();
  Connect();
  // Two sessions, each a control connection, and four listings, each a data connection.
  EXPECT_TRUE(testsupport::PumpUntil([&] { return Peer().RelayedConnections() - before >= 6; }, 5s));
  testsupport::PumpFor(100ms);
  EXPECT_EQ(Peer().RelayedConnections() - before, 6) << h.Transcript();
  // vsftpd offers EPSV: its data connections go through the relay by it.
  EXPECT_EQ(h.LogCount("> EPSV"), 4) << h.Transcript();
  EXPECT_FALSE(h.Logged("> PASV")) << h.Transcript();
}

INSTANTIATE_TEST_SUITE_P(Types, SessionThroughDante, ::testing::Values(ftpSocks5, ftpSocks4),
                         [](const auto& info) { return info.param == ftpSocks5 ? "Socks5" : "Socks4"; });

using SessionThroughFtpProxy = SessionThrough<testsupport::FtpProxyPeer, testsupport::PureFtpdPeer>;

// The proxy answers FEAT with 500: the session lists by LIST and connects by PASV, though the
// server behind it offers MLSD and EPSV.
TEST_F(SessionThroughFtpProxy, NamesTheServerInTheLoginAndFallsBackToListAndPasv) {
  h.options.ConnectionType = ftpProxy;
  h.options.ProxyServer = "127.0.0.1";
  h.options.ProxyPort = std::to_string(Peer().Port());
  h.Start();
  Connect();
  EXPECT_TRUE(h.LoggedLine("> USER " + Target().User() + "@127.0.0.1:" + std::to_string(Target().Port())))
      << h.Transcript();
  EXPECT_TRUE(h.LoggedLine("> FEAT") && h.LoggedLine("> PASV") && h.LoggedLine("> LIST")) << h.Transcript();
  EXPECT_FALSE(h.Logged("> MLSD") || h.Logged("> EPSV") || h.Logged("> OPTS")) << h.Transcript();
  h.SelectRemote({"Отчёт.txt"});
  h.Logic().Run(Command::DownloadSelection);
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  EXPECT_EQ(testsupport::ReadAll(h.LocalDir() / "Отчёт.txt"), "hello\n");
}

}  // namespace
