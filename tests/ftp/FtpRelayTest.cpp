// Whole FTP sessions through SOCKS 4, 4A and 5 relays and through an FTP proxy, against a
// real server: login, a passive listing, a 10 MiB upload and download checked by checksum,
// and QUIT.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/ftp/EngineProbe.h"
#include "support/files/PatternFiles.h"
#include "support/peers/DantePeer.h"
#include "support/peers/FtpProxyPeer.h"
#include "support/peers/MicrosocksPeer.h"
#include "support/peers/PeerSuite.h"
#include "support/peers/RelayPeers.h"
#include "support/peers/SshSocksPeer.h"
#include "support/peers/TempDir.h"
#include "support/peers/VsftpdPeer.h"

namespace fs = std::filesystem;
using ftptest::Completion;
using ftptest::EngineProbe;
using testsupport::SocksAuth;

namespace {

template <class Relay>
class ThroughRelay : public testsupport::RelaySuite<Relay, testsupport::VsftpdPeer> {
 protected:
  void SetUp() override {
    testsupport::RelaySuite<Relay, testsupport::VsftpdPeer>::SetUp();
    if (this->IsSkipped() || this->HasFatalFailure()) return;
    probe.Target(Server().Port());
    probe.ftp.SetUserName(Server().User());
    probe.ftp.SetPassWord(Server().Password());
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

  // Login, listing, upload and download of 10 MiB, QUIT; `beforeData` runs before each transfer.
  void FullSession(const std::function<void()>& beforeData) {
    auto& ftp = probe.ftp;
    ASSERT_EQ(probe.Run([&] { ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0})) << probe.Transcript();
    EXPECT_TRUE(ftp.Passive()) << "relayed connections are always passive";
    EXPECT_TRUE(probe.Sync([&] { return ftp.TypeBinarySync(); }));

    const std::string name = RelayName() + ".bin";
    const fs::path original = local_.Path() / "original";
    testsupport::WritePattern(original, 10 << 20);
    ftp.SetHostFileName(name);
    ftp.SetLocalFileName(original.string());
    beforeData();
    ASSERT_EQ(probe.Run([&] { ftp.PutAsync(); }), (Completion{ftpPutAsync, 0})) << probe.Transcript();
    EXPECT_EQ(testsupport::Sha256Of(Server().Root() / name), testsupport::Sha256Of(original));

    const fs::path listing = local_.Path() / "FTPDIR.TXT";
    ftp.SetHostFileName("");
    ftp.SetLocalFileName(listing.string());
    beforeData();
    ASSERT_EQ(probe.Run([&] { ftp.DirAsync(); }), (Completion{ftpDirAsync, 0})) << probe.Transcript();
    EXPECT_NE(testsupport::ReadAll(listing).find(name), std::string::npos);

    const fs::path back = local_.Path() / "back";
    ftp.SetHostFileName(name);
    ftp.SetLocalFileName(back.string());
    beforeData();
    ASSERT_EQ(probe.Run([&] { ftp.GetAsync(); }), (Completion{ftpGetAsync, 0})) << probe.Transcript();
    EXPECT_EQ(testsupport::Sha256Of(back), testsupport::Sha256Of(original));

    EXPECT_EQ(probe.Run([&] { ftp.QuitAsync(); }), (Completion{ftpQuitAsync, 0}));
    fs::remove(Server().Root() / name);
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

TEST_F(DanteSocks, Socks5) {
  UseSocks(ftpSocks5, false);
  FullSession([&] { WriteSocksSettings(); });
}

TEST_F(DanteSocks, Socks4) {
  UseSocks(ftpSocks4, false);
  FullSession([&] { WriteSocksSettings(); });
}

TEST_F(DanteSocksLogin, Socks5WithUserNameAndPassword) {
  UseSocks(ftpSocks5, true);
  FullSession([&] { WriteSocksSettings(); });
}

TEST_F(DanteSocksLogin, WrongPasswordIsTheRelaysRefusal) { WrongPasswordIsRefused(); }

TEST_F(MicrosocksSocks, Socks5) {
  UseSocks(ftpSocks5, false);
  FullSession([&] { WriteSocksSettings(); });
}

TEST_F(MicrosocksSocksLogin, Socks5WithUserNameAndPassword) {
  UseSocks(ftpSocks5, true);
  FullSession([&] { WriteSocksSettings(); });
}

TEST_F(MicrosocksSocksLogin, WrongPasswordIsTheRelaysRefusal) { WrongPasswordIsRefused(); }

TEST_F(SshSocks, Socks4A) {
  UseSocks(ftpSocks4A, false);
  FullSession([&] { WriteSocksSettings(); });
}

TEST_F(SshSocks, SettingsCarryTheNextConnectionOfEachSocketOnly) {
  UseSocks(ftpSocks5, false);
  auto& ftp = probe.ftp;
  ASSERT_EQ(probe.Run([&] { ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0}));
  EXPECT_EQ(ftp.ControlSocket().PeerPort(), std::to_string(RelayPeer().Port())) << "the control goes through the relay";
  const fs::path listing = local_.Path() / "FTPDIR.TXT";
  ftp.SetLocalFileName(listing.string());
  ASSERT_EQ(probe.Run([&] { ftp.DirAsync(); }), (Completion{ftpDirAsync, 0}));
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
  EXPECT_NE(std::find(probe.log.begin(), probe.log.end(), user), probe.log.end()) << probe.Transcript();
}

}  // namespace
