// Encrypted sessions against real servers with TLS: every server, passive and active, checked
// by what lands on disk; certificates that must be refused before anything is sent; a site
// that requires TLS against a server without it; and TLS through a SOCKS 5 relay.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/ftp/EngineProbe.h"
#include "support/files/PatternFiles.h"
#include "support/peers/DantePeer.h"
#include "support/peers/PeerSuite.h"
#include "support/peers/RelayPeers.h"
#include "support/peers/TempDir.h"
#include "support/peers/TlsPeers.h"
#include "support/scripted/ScriptedFtpServer.h"

namespace fs = std::filesystem;
using ftptest::Completion;
using ftptest::EngineProbe;
using testsupport::ReadAll;
using testsupport::Sha256Of;
using testsupport::WritePattern;
using testsupport::CertificateKind;
using testsupport::PeerTls;
using testsupport::TestCertificates;

namespace {

constexpr size_t kMiB = 1 << 20;

bool Logged(const EngineProbe& probe, const std::string& start) {
  return std::any_of(probe.log.begin(), probe.log.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

// The engine set up for the peer's TLS, trusting the test CA.
void Aim(EngineProbe& probe, const testsupport::FtpPeer& peer, bool passive) {
  probe.Target(peer.Port());
  probe.ftp.SetUserName(peer.User());
  probe.ftp.SetPassWord(peer.Password());
  probe.ftp.SetPassive(passive);
  probe.ftp.SetEncryption(peer.Tls() == PeerTls::Implicit ? ftpEncryptionImplicit : ftpEncryptionExplicit);
  probe.ftp.SetTlsTrustFile(TestCertificates::Shared().CaFile());
}

template <class Server>
class FtpTls : public testsupport::PeerSuite<Server> {
 protected:
  static Server& Ftp() { return testsupport::PeerSuite<Server>::Peer(); }

  Completion Get(const std::string& remote, const fs::path& local, bool resume = false) {
    probe.ftp.SetHostFileName(remote);
    probe.ftp.SetLocalFileName(local.string());
    return probe.Run([&] { resume ? probe.ftp.RestGetAsync() : probe.ftp.GetAsync(); });
  }

  Completion Put(const fs::path& local, const std::string& remote, int64_t resumeAt = 0) {
    probe.ftp.SetHostFileName(remote);
    probe.ftp.SetLocalFileName(local.string());
    probe.ftp.SetResumeAt(resumeAt);
    return probe.Run([&] { resumeAt > 0 ? probe.ftp.RestPutAsync() : probe.ftp.PutAsync(); });
  }

  // Login, uploads and downloads of 0 bytes and 10 MiB, a listing, a resumed download and
  // upload, QUIT; every file checked by its checksum.
  void WholeSession(bool passive) {
    Aim(probe, Ftp(), passive);
    ASSERT_EQ(probe.Run([&] { probe.ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0})) << probe.Transcript();
    EXPECT_TRUE(probe.ftp.Encrypted());
    EXPECT_TRUE(probe.ftp.DataProtected());
    EXPECT_TRUE(Logged(probe, "! TLSv1.")) << "version and cipher in the log\n" << probe.Transcript();
    EXPECT_TRUE(Logged(probe, "! Certificate: CN=localhost, issued by CN=marlo test CA")) << probe.Transcript();
    ASSERT_TRUE(probe.Sync([&] { return probe.ftp.TypeBinarySync(); })) << probe.Transcript();

    const std::string tag = passive ? "pasv" : "port";
    for (size_t size : {size_t{0}, 10 * kMiB}) {
      SCOPED_TRACE(tag + " size " + std::to_string(size));
      const std::string name = tag + "-" + std::to_string(size) + ".bin";
      const fs::path original = local_.Path() / ("orig-" + name);
      WritePattern(original, size);
      ASSERT_EQ(Put(original, name), (Completion{ftpPutAsync, 0})) << probe.Transcript();
      EXPECT_EQ(Sha256Of(Ftp().Root() / name), Sha256Of(original)) << "uploaded";
      const fs::path back = local_.Path() / ("back-" + name);
      ASSERT_EQ(Get(name, back), (Completion{ftpGetAsync, 0})) << probe.Transcript();
      EXPECT_EQ(Sha256Of(back), Sha256Of(original)) << "downloaded";
    }

    const fs::path listing = local_.Path() / "FTPDIR.TXT";
    probe.ftp.SetHostFileName("");
    probe.ftp.SetLocalFileName(listing.string());
    ASSERT_EQ(probe.Run([&] { probe.ftp.DirAsync(); }), (Completion{ftpDirAsync, 0})) << probe.Transcript();
    EXPECT_NE(ReadAll(listing).find(tag + "-10485760.bin"), std::string::npos) << ReadAll(listing);

    const fs::path whole = local_.Path() / ("whole-" + tag);
    WritePattern(whole, 3 * kMiB + 11);
    const std::string remote = "resume-" + tag + ".bin";
    fs::copy_file(whole, Ftp().Root() / remote, fs::copy_options::overwrite_existing);
    Ftp().GiveToUser(Ftp().Root() / remote);
    const fs::path partial = local_.Path() / ("partial-" + tag);
    WritePattern(partial, kMiB);
    ASSERT_EQ(Get(remote, partial, true), (Completion{ftpRestGetAsync, 0})) << probe.Transcript();
    EXPECT_EQ(Sha256Of(partial), Sha256Of(whole)) << "resumed download";

    const std::string upload = "restput-" + tag + ".bin";
    WritePattern(Ftp().Root() / upload, 2 * kMiB + 5);
    Ftp().GiveToUser(Ftp().Root() / upload);
    ASSERT_EQ(Put(whole, upload, 2 * kMiB + 5), (Completion{ftpRestPutAsync, 0})) << probe.Transcript();
    EXPECT_EQ(Sha256Of(Ftp().Root() / upload), Sha256Of(whole)) << "resumed upload";

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
    EXPECT_TRUE(Logged(refused, std::string("! The certificate is not verified: ") + row.problem)) << refused.Transcript();
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
    EXPECT_TRUE(Logged(probe, row.note)) << probe.Transcript();
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
  const fs::path original = local.Path() / "original";
  WritePattern(original, 10 * kMiB);
  ftp.SetHostFileName("socks-tls.bin");
  ftp.SetLocalFileName(original.string());
  relay();
  ASSERT_EQ(probe.Run([&] { ftp.PutAsync(); }), (Completion{ftpPutAsync, 0})) << probe.Transcript();
  EXPECT_EQ(Sha256Of(Target().Root() / "socks-tls.bin"), Sha256Of(original));
  const fs::path back = local.Path() / "back";
  ftp.SetLocalFileName(back.string());
  relay();
  ASSERT_EQ(probe.Run([&] { ftp.GetAsync(); }), (Completion{ftpGetAsync, 0})) << probe.Transcript();
  EXPECT_EQ(Sha256Of(back), Sha256Of(original));
  EXPECT_GE(Peer().RelayedConnections(), 3) << "control and both data connections were relayed";
  EXPECT_EQ(probe.Run([&] { ftp.QuitAsync(); }), (Completion{ftpQuitAsync, 0}));
}

}  // namespace
