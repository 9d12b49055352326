// Encrypted sessions against real servers with TLS: every server, passive and active, checked
// by what lands on disk; certificates that must be refused before anything is sent; a site
// that requires TLS against a server without it; and TLS through a SOCKS 5 relay.
#include <gtest/gtest.h>

#include "PeerFlows.h"
#include "support/peers/DantePeer.h"
#include "support/peers/PeerSuite.h"
#include "support/peers/RelayPeers.h"
#include "support/peers/TempDir.h"
#include "support/peers/TlsPeers.h"
#include "support/scripted/ScriptedFtpServer.h"

using namespace ftptest;
using testsupport::CertificateKind;
using testsupport::PeerTls;
using testsupport::ReadAll;
using testsupport::TestCertificates;
using testsupport::WritePattern;

namespace {

// The engine set up for the peer's TLS, trusting the test CA.
void Aim(EngineProbe& probe, const testsupport::FtpPeer& peer, bool passive) {
  probe.Aim(peer, passive);
  probe.ftp.SetEncryption(peer.Tls() == PeerTls::Implicit ? ftpEncryptionImplicit : ftpEncryptionExplicit);
  probe.ftp.SetTlsTrustFile(TestCertificates::Shared().CaFile());
}

template <class Server>
class FtpTls : public testsupport::PeerSuite<Server> {
 protected:
  static Server& Ftp() { return testsupport::PeerSuite<Server>::Peer(); }

  // Login, uploads and downloads of 0 bytes and 10 MiB, a listing, a resumed download and
  // upload, QUIT; every file checked by its checksum.
  void WholeSession(bool passive) {
    Aim(probe, Ftp(), passive);
    ASSERT_EQ(probe.Run([&] { probe.ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0})) << probe.Transcript();
    EXPECT_TRUE(probe.ftp.Encrypted());
    EXPECT_TRUE(probe.ftp.DataProtected());
    EXPECT_TRUE(probe.Logged("! TLSv1.")) << "version and cipher in the log\n" << probe.Transcript();
    EXPECT_TRUE(probe.Logged("! Certificate: CN=localhost, issued by CN=marlo test CA")) << probe.Transcript();
    ASSERT_TRUE(probe.Sync([&] { return probe.ftp.TypeBinarySync(); })) << probe.Transcript();

    const std::string tag = passive ? "pasv" : "port";
    for (size_t size : {size_t{0}, 10 * kMiB})
      RoundTrip(probe, Ftp(), local_.Path(), tag + "-" + std::to_string(size) + ".bin", size);
    WritePattern(Ftp().Root() / "listed.bin", 1);
    const fs::path listing = local_.Path() / "FTPDIR.TXT";
    ASSERT_EQ(probe.List(listing.string()), (Completion{ftpDirAsync, 0})) << probe.Transcript();
    EXPECT_NE(ReadAll(listing).find("listed.bin"), std::string::npos) << ReadAll(listing);
    ResumeBothWays(probe, Ftp(), local_.Path(), tag);

    EXPECT_EQ(probe.Run([&] { probe.ftp.QuitAsync(); }), (Completion{ftpQuitAsync, 0}));
    EXPECT_FALSE(probe.ftp.Encrypted());
  }

  EngineProbe probe;
  testsupport::TempDir local_;
};

TYPED_TEST_SUITE(FtpTls, testsupport::TlsFtpServers, testsupport::PeerName);

TYPED_TEST(FtpTls, PassiveSession) { this->WholeSession(true); }
TYPED_TEST(FtpTls, ActiveSession) { this->WholeSession(false); }

// ---- Certificates that fail verification --------------------------------------------------

struct RefusalCase {
  const char* name;
  CertificateKind kind;
  const char* host;     // the name dialled
  const char* problem;  // what the log says is wrong
};

const RefusalCase kRefusals[] = {
    {"another host's certificate, dialled by name", CertificateKind::OtherHost, "localhost", "hostname mismatch"},
    {"another host's certificate, dialled by address", CertificateKind::OtherHost, "127.0.0.1", "IP address mismatch"},
    {"an expired certificate", CertificateKind::Expired, "127.0.0.1", "certificate has expired"},
    {"a self-signed certificate", CertificateKind::SelfSigned, "127.0.0.1", "self-signed certificate"},
};

class VsftpdWith : public testsupport::VsftpdPeer {
 public:
  explicit VsftpdWith(CertificateKind kind) { UseTls(PeerTls::Explicit, TestCertificates::Shared().Get(kind)); }
};

TEST(FtpTlsCertificates, RefusedUnlessTheOwnerTrustsThem) {
  for (const RefusalCase& row : kRefusals) {
    SCOPED_TRACE(row.name);
    VsftpdWith server(row.kind);
    MARLO_REQUIRE_PEER(server);
    ASSERT_TRUE(server.Start()) << server.Failure();

    // No handler: refused, and the connection closed before USER.
    EngineProbe refused;
    Aim(refused, server, true);
    refused.ftp.SetHostName(row.host);
    EXPECT_EQ(refused.Run([&] { refused.ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, kTlsCertificateRejected}))
        << refused.Transcript();
    EXPECT_TRUE(refused.Logged(std::string("! The certificate is not verified: ") + row.problem)) << refused.Transcript();
    EXPECT_FALSE(refused.ftp.Connected());
    EXPECT_EQ(server.LoggedCommands(), "AUTH TLS;") << "nothing after AUTH TLS reached the server";

    // A handler that is shown the facts and trusts the certificate: the session goes on.
    EngineProbe trusted;
    Aim(trusted, server, true);
    trusted.ftp.SetHostName(row.host);
    TlsCertificateFacts shown;
    trusted.ftp.OnVerifyCertificate = [&](TCustomFtpCli* ftp, const TlsCertificateFacts& facts, bool& trust) {
      shown = facts;
      EXPECT_EQ(ftp->LastResponse().rfind("234", 0), 0u) << "asked right after the handshake";
      trust = true;
    };
    EXPECT_EQ(trusted.Run([&] { trusted.ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0})) << trusted.Transcript();
    EXPECT_EQ(shown.problem, row.problem);
    EXPECT_EQ(shown.hostName, row.host);
    EXPECT_EQ(shown.sha256.size(), 95u) << shown.sha256;
    EXPECT_FALSE(shown.validUntil.empty());
    EXPECT_TRUE(trusted.ftp.Encrypted());
    EXPECT_EQ(server.LoggedCommands().rfind("AUTH TLS;AUTH TLS;USER ", 0), 0u) << server.LoggedCommands();
  }
}

// ---- A site's choice against a server without TLS -----------------------------------------

struct WithoutTlsCase {
  const char* name;
  TFtpEncryption encryption;
  Completion outcome;
  std::vector<std::string> commands;
  const char* note;
};

TEST(FtpTlsChoice, AgainstAServerWithoutTls) {
  const WithoutTlsCase rows[] = {
      {"required: ends, sends no login", ftpEncryptionExplicit, {ftpConnectAsync, 502}, {"AUTH TLS"},
       "! The site requires TLS, which the server refused: nothing more is sent"},
      {"if offered: goes on in the clear", ftpEncryptionExplicitIfOffered, {ftpConnectAsync, 0},
       {"AUTH TLS", "USER user", "PASS secret"}, "! The server does not offer TLS: the session is not encrypted"},
  };
  for (const WithoutTlsCase& row : rows) {
    SCOPED_TRACE(row.name);
    testsupport::ScriptedFtpServer server(testsupport::Script()
                                              .Send("220 plain only\r\n")
                                              .Reply("502 Command not implemented\r\n")
                                              .Reply("331 Password\r\n")
                                              .Reply("230 In\r\n"));
    EngineProbe probe;
    probe.Target(server.Port());
    probe.ftp.SetEncryption(row.encryption);
    EXPECT_EQ(probe.Run([&] { probe.ftp.ConnectAsync(); }), row.outcome) << probe.Transcript();
    EXPECT_TRUE(probe.Logged(row.note)) << probe.Transcript();
    EXPECT_FALSE(probe.ftp.Encrypted());
    server.WaitForCommands(row.commands.size() + 1, testsupport::Millis(300));
    EXPECT_EQ(server.Commands(), row.commands);
  }
}

// ---- Through a SOCKS 5 relay --------------------------------------------------------------

class TlsThroughDante : public testsupport::RelaySuite<testsupport::DantePeer, testsupport::VsftpdTlsPeer> {};

TEST_F(TlsThroughDante, ExplicitTlsSession) {
  EngineProbe probe;
  auto& ftp = probe.ftp;
  Aim(probe, Target(), true);
  ftp.SetConnectionType(ftpSocks5);
  const auto relay = [&] {
    ftp.SetSocksServer("127.0.0.1");
    ftp.SetSocksPort(std::to_string(Peer().Port()));
  };
  relay();
  ASSERT_EQ(probe.Run([&] { ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0})) << probe.Transcript();
  EXPECT_TRUE(ftp.Encrypted());
  EXPECT_EQ(ftp.ControlSocket().PeerPort(), std::to_string(Peer().Port())) << "the control goes through the relay";
  ASSERT_TRUE(probe.Sync([&] { return ftp.TypeBinarySync(); }));
  testsupport::TempDir local;
  RoundTrip(probe, Target(), local.Path(), "socks-tls.bin", 10 * kMiB, relay);
  EXPECT_GE(Peer().RelayedConnections(), 3) << "control and both data connections were relayed";
  EXPECT_EQ(probe.Run([&] { ftp.QuitAsync(); }), (Completion{ftpQuitAsync, 0}));
}

}  // namespace
