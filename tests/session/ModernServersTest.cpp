// Sessions with what today's servers offer, against the real servers: IPv6 with EPSV and
// EPRT; a name with an IPv6 and an IPv4 address of which one answers; names stored in CP1251
// and KOI8-R.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/HostTable.h"
#include "platform/TextCodec.h"
#include "support/files/PatternFiles.h"
#include "support/peers/FtpServers.h"
#include "support/peers/Ipv6Peers.h"
#include "support/session/ServerSession.h"

namespace fs = std::filesystem;
using platform::CharacterSet;
using session::Command;
using sessiontest::ServerSession;
using testsupport::DigestOf;
using testsupport::TreeDigest;
using testsupport::WritePattern;

namespace {

// ---- IPv6 ----------------------------------------------------------------------------------------

template <class Server>
class Ipv6Session : public ServerSession<Server> {
 protected:
  // A file moved each way byte for byte, the data connections made by EPSV or EPRT alone.
  void MoveBothWays(bool passive) {
    auto& h = this->h;
    const fs::path pub = this->Pub();
    WritePattern(pub / "down.bin", 300000, 5);
    WritePattern(h.LocalDir() / "up.bin", 200000, 6);
    SiteRecord site = this->Site();
    site.Pasv = passive;
    this->Connect(site);
    if (this->HasFatalFailure()) return;
    h.SelectRemote({"down.bin"});
    this->Run(Command::DownloadSelection);
    h.SelectLocal({"up.bin"});
    this->Run(Command::UploadSelection);
    EXPECT_EQ(testsupport::Sha256Of(h.LocalDir() / "down.bin"), testsupport::Sha256Of(pub / "down.bin"));
    EXPECT_EQ(testsupport::Sha256Of(pub / "up.bin"), testsupport::Sha256Of(h.LocalDir() / "up.bin"));
    EXPECT_TRUE(passive ? h.LoggedLine("> EPSV") : h.Logged("> EPRT |2|::1|")) << h.Transcript();
    EXPECT_FALSE(h.Logged("> PASV") || h.Logged("> PORT")) << h.Transcript();
    EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
  }
};
TYPED_TEST_SUITE(Ipv6Session, testsupport::Ipv6FtpServers, testsupport::PeerName);

TYPED_TEST(Ipv6Session, PassiveByEpsv) { this->MoveBothWays(true); }

TYPED_TEST(Ipv6Session, ActiveByEprt) { this->MoveBothWays(false); }

// A name with an IPv6 and an IPv4 address reaches the server that listens on either.
template <class Server>
class DualAddress : public ServerSession<Server> {};
using DualAddressServers = ::testing::Types<testsupport::VsftpdPeer, testsupport::Ipv6Peer<testsupport::VsftpdPeer>>;
TYPED_TEST_SUITE(DualAddress, DualAddressServers);

TYPED_TEST(DualAddress, ConnectsWhicheverAddressListens) {
  const platform::ScopedHostTable hosts({{"dual.test", {"127.0.0.1", "::1"}}});
  SiteRecord site = this->Site("/");
  site.Server = "dual.test";
  this->Connect(site);
  EXPECT_EQ(this->h.Engine().DnsResult(), this->Ftp().Address());
}

// ---- Names in a single-byte character set ----------------------------------------------------

struct CharsetCase {
  const char* name;
  CharacterSet set;
};

// Names as a server of that set stores them: the UTF-8 text encoded in the set.
std::string InSet(const std::string& utf8, CharacterSet set) { return platform::EncodeText(utf8, set).bytes; }

// The digest of a server tree with its names decoded from `set`, to compare with a local one.
TreeDigest DecodedDigest(const fs::path& root, CharacterSet set) {
  TreeDigest decoded;
  for (const auto& [path, digest] : DigestOf(root)) decoded[platform::DecodeText(path, set)] = digest;
  return decoded;
}

// The tree of /pub/Дерево, made with names in the set, is entered by its typed name, shown
// decoded, downloaded into UTF-8 names and uploaded back as the very same bytes.
template <class Server>
class StoredNames : public ServerSession<Server>, public ::testing::WithParamInterface<CharsetCase> {
 protected:
  void RoundTrip();
};

template <class Server>
void StoredNames<Server>::RoundTrip() {
  const CharsetCase& c = this->GetParam();
  const fs::path pub = this->Pub();
  const fs::path tree = pub / InSet("Дерево", c.set);
  fs::create_directories(tree / InSet("Папка", c.set));
  fs::create_directories(pub / "back");
  WritePattern(tree / InSet("Отчёт.txt", c.set), 3000, 1);
  WritePattern(tree / InSet("Папка", c.set) / InSet("файл ё.bin", c.set), 5000, 2);
  SiteRecord site = this->Site("/pub/Дерево");
  site.Charset = c.set;
  this->Connect(site);
  if (this->HasFatalFailure()) return;
  auto& h = this->h;
  EXPECT_FALSE(h.Logged("OPTS UTF8")) << "a server that converts names would send them in UTF-8";
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"Папка", "Отчёт.txt"})) << h.Transcript();
  EXPECT_EQ(h.Logic().PathItems().back(), "Дерево");

  h.SelectAllRemote();
  this->Run(Command::DownloadSelection);
  EXPECT_EQ(DigestOf(h.LocalDir()), DecodedDigest(tree, c.set));
  EXPECT_TRUE(h.LoggedLine("> RETR /pub/Дерево/Отчёт.txt")) << "the log shows names decoded\n" << h.Transcript();

  h.prompts.inputs = {"/pub/back"};
  this->Run(Command::RemoteChangeDirectory);
  h.SelectLocal({"Отчёт.txt", "Папка"});
  this->Run(Command::UploadSelection);
  EXPECT_EQ(DigestOf(pub / "back"), DigestOf(tree));
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();

  // A rename names the entry by the server's bytes and the new name in the set.
  h.SelectRemote({"Отчёт.txt"});
  h.prompts.inputs = {"Отчёт (копия).txt"};
  this->Run(Command::RemoteRename);
  EXPECT_TRUE(fs::exists(pub / "back" / InSet("Отчёт (копия).txt", c.set))) << h.Transcript();

  // What the set cannot hold is refused, and nothing goes to the server.
  const int stores = h.LogCount("> STOR");
  const int makes = h.LogCount("> MKD");
  WritePattern(h.LocalDir() / "улыбка 😀.txt", 10);
  h.Logic().ChangeLocalDirectory(h.LocalDir());
  h.SelectLocal({"улыбка 😀.txt"});
  this->Run(Command::UploadSelection);
  h.prompts.inputs = {"папка 😀"};
  h.Logic().Run(Command::RemoteMakeDirectory);
  const std::string refusal = "cannot be sent: " + std::string(platform::NameOf(c.set).caption) + " has no \"😀\"";
  EXPECT_TRUE(h.LoggedLine("Not sent. The name \"улыбка 😀.txt\" " + refusal)) << h.Transcript();
  EXPECT_EQ(h.prompts.errors, std::vector<std::string>{"The name \"папка 😀\" " + refusal});
  EXPECT_EQ(h.LogCount("> STOR"), stores) << h.Transcript();
  EXPECT_EQ(h.LogCount("> MKD"), makes) << h.Transcript();
  EXPECT_EQ(std::distance(fs::directory_iterator(pub / "back"), fs::directory_iterator()), 2) << "nothing new";
}

using VsftpdNames = StoredNames<testsupport::VsftpdPeer>;
using PureFtpdNames = StoredNames<testsupport::PureFtpdPeer>;

TEST_P(VsftpdNames, ListedDownloadedAndUploadedByLines) { RoundTrip(); }
TEST_P(PureFtpdNames, ListedDownloadedAndUploadedByMachineListing) { RoundTrip(); }

const auto kSets = ::testing::Values(CharsetCase{"Cp1251", CharacterSet::Cp1251},
                                     CharsetCase{"Koi8R", CharacterSet::Koi8R});
const auto kSetName = [](const auto& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(Sets, VsftpdNames, kSets, kSetName);
INSTANTIATE_TEST_SUITE_P(Sets, PureFtpdNames, kSets, kSetName);

}  // namespace
