// Whole FTP sessions through SOCKS 4, 4A and 5 relays and through an FTP proxy, against a
// real server: login, a passive listing, a 10 MiB upload and download checked by checksum,
// and QUIT.
#include <gtest/gtest.h>

#include "PeerFlows.h"
#include "support/peers/DantePeer.h"
#include "support/peers/FtpProxyPeer.h"
#include "support/peers/MicrosocksPeer.h"
#include "support/peers/PeerSuite.h"
#include "support/peers/RelayPeers.h"
#include "support/peers/SshSocksPeer.h"
#include "support/peers/TempDir.h"
#include "support/peers/VsftpdPeer.h"

using namespace ftptest;

namespace {

template <class Relay>
class ThroughRelay : public testsupport::RelaySuite<Relay, testsupport::VsftpdPeer> {
 protected:
  void SetUp() override {
    testsupport::RelaySuite<Relay, testsupport::VsftpdPeer>::SetUp();
    if (this->IsSkipped() || this->HasFatalFailure()) return;
    probe.Aim(Server());
  }

  static Relay& RelayPeer() { return ThroughRelay::Peer(); }
  static testsupport::VsftpdPeer& Server() { return ThroughRelay::Target(); }

  void UseSocks(TFtpConnectionType type, bool withLogin) {
    probe.ftp.SetConnectionType(type);
    if (withLogin) {
      probe.ftp.SetSocksUserCode(RelayPeer().User());
      probe.ftp.SetSocksPassword(RelayPeer().Password());
    }
    WriteSocksSettings();
  }

  // Each socket forgets its SOCKS server when it closes: written again before each connection.
  void WriteSocksSettings() {
    probe.ftp.SetSocksServer("127.0.0.1");
    probe.ftp.SetSocksPort(std::to_string(RelayPeer().Port()));
  }

  void SocksSession(TFtpConnectionType type, bool withLogin) {
    UseSocks(type, withLogin);
    FullSession([&] { WriteSocksSettings(); });
  }

  // Login, a listing, upload and download of 10 MiB, QUIT; `beforeData` runs before each
  // data connection.
  void FullSession(const std::function<void()>& beforeData) {
    auto& ftp = probe.ftp;
    ASSERT_EQ(probe.Run([&] { ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0})) << probe.Transcript();
    EXPECT_TRUE(ftp.Passive()) << "relayed connections are always passive";
    EXPECT_TRUE(probe.Sync([&] { return ftp.TypeBinarySync(); }));
    testsupport::WritePattern(Server().Root() / "listed.bin", 1);
    const fs::path listing = local_.Path() / "FTPDIR.TXT";
    beforeData();
    ASSERT_EQ(probe.List(listing.string()), (Completion{ftpDirAsync, 0})) << probe.Transcript();
    EXPECT_NE(testsupport::ReadAll(listing).find("listed.bin"), std::string::npos);
    RoundTrip(probe, Server(), local_.Path(), RelayName() + ".bin", 10 * kMiB, beforeData);
    EXPECT_EQ(probe.Run([&] { ftp.QuitAsync(); }), (Completion{ftpQuitAsync, 0}));
  }

  void WrongPasswordIsRefused() {
    UseSocks(ftpSocks5, true);
    probe.ftp.SetSocksPassword("not-the-password");
    EXPECT_EQ(probe.Run([&] { probe.ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 20015}));
    EXPECT_EQ(probe.ftp.LastResponse(), "500 socks authentication failed (Winsock error #20015)");
    EXPECT_EQ(probe.ftp.ErrorMessage(), probe.ftp.LastResponse());
  }

  static std::string RelayName() { return Relay::kName; }

  EngineProbe probe;
  testsupport::TempDir local_;
};

using DanteSocks = ThroughRelay<testsupport::DantePeer>;
using DanteSocksLogin = ThroughRelay<testsupport::DanteLoginPeer>;
using MicrosocksSocks = ThroughRelay<testsupport::MicrosocksPeer>;
using MicrosocksSocksLogin = ThroughRelay<testsupport::MicrosocksLoginPeer>;
using SshSocks = ThroughRelay<testsupport::SshSocksPeer>;
using FtpProxy = ThroughRelay<testsupport::FtpProxyPeer>;

TEST_F(DanteSocks, Socks5) { SocksSession(ftpSocks5, false); }

TEST_F(DanteSocks, Socks4) { SocksSession(ftpSocks4, false); }

TEST_F(DanteSocksLogin, Socks5WithUserNameAndPassword) { SocksSession(ftpSocks5, true); }

TEST_F(DanteSocksLogin, WrongPasswordIsTheRelaysRefusal) { WrongPasswordIsRefused(); }

TEST_F(MicrosocksSocks, Socks5) { SocksSession(ftpSocks5, false); }

TEST_F(MicrosocksSocksLogin, Socks5WithUserNameAndPassword) { SocksSession(ftpSocks5, true); }

TEST_F(MicrosocksSocksLogin, WrongPasswordIsTheRelaysRefusal) { WrongPasswordIsRefused(); }

TEST_F(SshSocks, Socks4A) { SocksSession(ftpSocks4A, false); }

TEST_F(SshSocks, SettingsCarryTheNextConnectionOfEachSocketOnly) {
  UseSocks(ftpSocks5, false);
  auto& ftp = probe.ftp;
  ASSERT_EQ(probe.Run([&] { ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0}));
  EXPECT_EQ(ftp.ControlSocket().PeerPort(), std::to_string(RelayPeer().Port())) << "the control goes through the relay";
  const fs::path listing = local_.Path() / "FTPDIR.TXT";
  ASSERT_EQ(probe.List(listing.string()), (Completion{ftpDirAsync, 0}));
  EXPECT_EQ(ftp.DataSocket().SocksServer(), "") << "the data socket forgot the relay when it closed";
  EXPECT_EQ(ftp.SocksServer(), "127.0.0.1") << "the open control connection keeps it";
  // The next listing's data connection goes straight to the server's address.
  ASSERT_EQ(probe.Run([&] { ftp.DirAsync(); }), (Completion{ftpDirAsync, 0}));
  EXPECT_EQ(probe.Run([&] { ftp.QuitAsync(); }), (Completion{ftpQuitAsync, 0}));
  EXPECT_EQ(ftp.SocksServer(), "");
}

TEST_F(FtpProxy, ToAServerOnItsOwnPort) {
  probe.ftp.SetConnectionType(ftpProxy);
  probe.ftp.SetProxyServer("127.0.0.1");
  probe.ftp.SetProxyDialPort(std::to_string(RelayPeer().Port()));
  FullSession([] {});
  const std::string user = "> USER " + Server().User() + "@127.0.0.1:" + std::to_string(Server().Port());
  EXPECT_TRUE(probe.Logged(user)) << probe.Transcript();
}

}  // namespace
