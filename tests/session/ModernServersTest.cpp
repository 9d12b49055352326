// Sessions with what today's servers offer, against the real servers: names with Cyrillic
// letters, blanks and emoji listed by MLSD and by LIST and moved byte for byte, MLSD dates;
// IPv6 with EPSV and EPRT; a name with an IPv6 and an IPv4 address of which one answers;
// names stored in CP1251 and KOI8-R; an FTP proxy that lets no extended command through.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <type_traits>

#include "support/files/PatternFiles.h"
#include "support/session/SessionHarness.h"
#include "platform/HostTable.h"
#include "platform/TextCodec.h"
#include "support/peers/FtpProxyPeer.h"
#include "support/peers/FtpServers.h"
#include "support/peers/Ipv6Peers.h"
#include "support/peers/PeerSuite.h"
#include "support/peers/RelayPeers.h"

namespace fs = std::filesystem;
using platform::CharacterSet;
using session::Command;
using testsupport::DigestOf;
using sessiontest::SessionHarness;
using testsupport::TreeDigest;
using testsupport::WritePattern;

namespace {

// A site of the harness on `server`, at `initialDir`.
SiteRecord SiteOn(const testsupport::FtpPeer& server, const std::string& initialDir) {
  SiteRecord site = SessionHarness::SiteFor("box", server.Port(), server.User(), server.Password(), initialDir);
  if (server.OnIpv6()) site.Server = "[::1]";
  return site;
}

void ConnectTo(SessionHarness& h, const SiteRecord& site) {
  h.AddSite(site);
  h.Start();
  h.ConnectTo(site.Name);
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
}

void RunAndList(SessionHarness& h, Command command) {
  h.Logic().Run(command);
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
}

// Selects every item of a pane.
void SelectAll(listing::PaneModel& pane) {
  pane.ChangeSelection([](const listing::PaneItem& item) { return item.caption != ".."; });
}

std::vector<std::string> Sorted(std::vector<std::string> texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

// ---- Names of today, by MLSD and by LIST -------------------------------------------------------

const std::vector<std::string> kTopNames = {"Отчёт за март.txt", "😀 smile.bin", "Папка с пробелом"};
// 2021-03-04 05:06:00 UTC, when the top files were last written.
constexpr std::time_t kWritten = 1614834360;

void MakeTree(const fs::path& root) {
  fs::create_directories(root / "Папка с пробелом");
  WritePattern(root / "Отчёт за март.txt", 3000, 1);
  WritePattern(root / "😀 smile.bin", 70000, 2);
  WritePattern(root / "Папка с пробелом" / "émoji 🎉.txt", 10, 3);
  WritePattern(root / "Папка с пробелом" / "a b.txt", 0, 4);
  for (const char* file : {"Отчёт за март.txt", "😀 smile.bin"}) {
    const timespec times[2] = {{kWritten, 0}, {kWritten, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (root / file).c_str(), times, 0), 0);
  }
}

// The date and time columns of a machine listing: the modification time in local time.
std::pair<std::string, std::string> LocalDateAndTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char date[16], time[16];
  std::strftime(date, sizeof date, "%d.%m.%y", &local);
  std::strftime(time, sizeof time, "%H:%M", &local);
  return {date, time};
}

template <class Server>
class TodaysNames : public testsupport::PeerSuite<Server> {
 protected:
  static constexpr bool kOffersMlsd = !std::is_same_v<Server, testsupport::VsftpdPeer>;
  static Server& Ftp() { return testsupport::PeerSuite<Server>::Peer(); }
  fs::path Pub() const { return Ftp().Root() / "pub"; }

  // Lists, downloads and uploads the tree; `automatic`: a site of automatic listings (MLSD
  // where the server offers it), else one of the standard format (LIST).
  void RoundTrip(bool automatic) {
    fs::remove_all(Pub());
    MakeTree(Pub() / "tree");
    fs::create_directories(Pub() / "back");
    Ftp().GiveToUser(Pub());
    SessionHarness h;
    SiteRecord site = SiteOn(Ftp(), "/pub/tree");
    site.AutoListing = automatic;
    ConnectTo(h, site);
    if (this->HasFatalFailure()) return;
    const bool mlsd = automatic && kOffersMlsd;
    EXPECT_EQ(h.Logged("> MLSD"), mlsd) << h.Transcript();
    EXPECT_EQ(Sorted(h.RemoteCaptions()), Sorted(kTopNames)) << h.Transcript();
    if (mlsd) {
      for (const listing::PaneItem& item : h.Logic().RemotePane().Items()) {
        if (item.IsDirectory()) continue;
        const auto [date, time] = LocalDateAndTime(kWritten);
        EXPECT_EQ(item.subItems[listing::kSubDate], date) << item.caption;
        EXPECT_EQ(item.subItems[listing::kSubTime], time) << item.caption;
      }
    }

    SelectAll(h.Logic().RemotePane());
    RunAndList(h, Command::DownloadSelection);
    EXPECT_EQ(DigestOf(h.LocalDir()), DigestOf(Pub() / "tree"));

    h.prompts.inputs = {"/pub/back"};
    RunAndList(h, Command::RemoteChangeDirectory);
    h.SelectLocal(kTopNames);
    RunAndList(h, Command::UploadSelection);
    EXPECT_EQ(DigestOf(Pub() / "back"), DigestOf(Pub() / "tree"));
    EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
  }
};
TYPED_TEST_SUITE(TodaysNames, testsupport::FtpServers, testsupport::PeerName);

TYPED_TEST(TodaysNames, ByMachineListingWhereOffered) { this->RoundTrip(true); }

TYPED_TEST(TodaysNames, ByListLines) { this->RoundTrip(false); }

// ---- IPv6 ----------------------------------------------------------------------------------------

template <class Server>
class Ipv6Session : public testsupport::PeerSuite<Server> {};
TYPED_TEST_SUITE(Ipv6Session, testsupport::Ipv6FtpServers, testsupport::PeerName);

// Passive mode goes by EPSV, active mode by EPRT; both move a file each way byte for byte.
TYPED_TEST(Ipv6Session, PassiveByEpsvAndActiveByEprt) {
  auto& ftp = testsupport::PeerSuite<TypeParam>::Peer();
  const fs::path pub = ftp.Root() / "pub6";
  for (const bool passive : {true, false}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    fs::remove_all(pub);
    fs::create_directories(pub);
    WritePattern(pub / "down.bin", 300000, 5);
    ftp.GiveToUser(pub);
    SessionHarness h;
    WritePattern(h.LocalDir() / "up.bin", 200000, 6);
    SiteRecord site = SiteOn(ftp, "/pub6");
    site.Pasv = passive;
    ConnectTo(h, site);
    if (this->HasFatalFailure()) return;
    h.SelectRemote({"down.bin"});
    RunAndList(h, Command::DownloadSelection);
    h.SelectLocal({"up.bin"});
    RunAndList(h, Command::UploadSelection);
    EXPECT_EQ(testsupport::Sha256Of(h.LocalDir() / "down.bin"), testsupport::Sha256Of(pub / "down.bin"));
    EXPECT_EQ(testsupport::Sha256Of(pub / "up.bin"), testsupport::Sha256Of(h.LocalDir() / "up.bin"));
    EXPECT_TRUE(passive ? h.LoggedLine("> EPSV") : h.Logged("> EPRT |2|::1|")) << h.Transcript();
    EXPECT_FALSE(h.Logged("> PASV") || h.Logged("> PORT")) << h.Transcript();
    EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
  }
}

// A name with an IPv6 and an IPv4 address reaches the server that listens on either.
template <class Server>
class DualAddress : public testsupport::PeerSuite<Server> {};
using DualAddressServers = ::testing::Types<testsupport::VsftpdPeer, testsupport::Ipv6Peer<testsupport::VsftpdPeer>>;
TYPED_TEST_SUITE(DualAddress, DualAddressServers);

TYPED_TEST(DualAddress, ConnectsWhicheverAddressListens) {
  auto& ftp = testsupport::PeerSuite<TypeParam>::Peer();
  const platform::ScopedHostTable hosts({{"dual.test", {"127.0.0.1", "::1"}}});
  SessionHarness h;
  SiteRecord site = SiteOn(ftp, "/");
  site.Server = "dual.test";
  ConnectTo(h, site);
  EXPECT_EQ(h.Engine().DnsResult(), ftp.Address());
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

template <class Server>
class StoredNames : public testsupport::PeerSuite<Server>, public ::testing::WithParamInterface<CharsetCase> {};

// The tree of /pub/Дерево, made with names in the set, is entered by its typed name, shown
// decoded, downloaded into UTF-8 names and uploaded back as the very same bytes.
template <class Server>
void RoundTripInSet(Server& ftp, const CharsetCase& c) {
  SCOPED_TRACE(c.name);
  const fs::path pub = ftp.Root() / "pub";
  const fs::path tree = pub / InSet("Дерево", c.set);
  fs::remove_all(pub);
  fs::create_directories(tree / InSet("Папка", c.set));
  fs::create_directories(pub / "back");
  WritePattern(tree / InSet("Отчёт.txt", c.set), 3000, 1);
  WritePattern(tree / InSet("Папка", c.set) / InSet("файл ё.bin", c.set), 5000, 2);
  ftp.GiveToUser(pub);
  SessionHarness h;
  SiteRecord site = SiteOn(ftp, "/pub/Дерево");
  site.Charset = c.set;
  ConnectTo(h, site);
  if (::testing::Test::HasFatalFailure()) return;
  EXPECT_FALSE(h.Logged("OPTS UTF8")) << "a server that converts names would send them in UTF-8";
  EXPECT_EQ(Sorted(h.RemoteCaptions()), Sorted({"Отчёт.txt", "Папка"})) << h.Transcript();
  EXPECT_EQ(h.Logic().PathItems().back(), "Дерево");

  SelectAll(h.Logic().RemotePane());
  RunAndList(h, Command::DownloadSelection);
  EXPECT_EQ(DigestOf(h.LocalDir()), DecodedDigest(tree, c.set));
  EXPECT_TRUE(h.LoggedLine("> RETR /pub/Дерево/Отчёт.txt")) << "the log shows names decoded\n" << h.Transcript();

  h.prompts.inputs = {"/pub/back"};
  RunAndList(h, Command::RemoteChangeDirectory);
  h.SelectLocal({"Отчёт.txt", "Папка"});
  RunAndList(h, Command::UploadSelection);
  EXPECT_EQ(DigestOf(pub / "back"), DigestOf(tree));
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();

  // A rename names the entry by the server's bytes and the new name in the set.
  h.SelectRemote({"Отчёт.txt"});
  h.prompts.inputs = {"Отчёт (копия).txt"};
  RunAndList(h, Command::RemoteRename);
  EXPECT_TRUE(fs::exists(pub / "back" / InSet("Отчёт (копия).txt", c.set))) << h.Transcript();

  // What the set cannot hold is refused, and nothing goes to the server.
  const int stores = h.LogCount("> STOR");
  const int makes = h.LogCount("> MKD");
  WritePattern(h.LocalDir() / "улыбка 😀.txt", 10);
  h.Logic().ChangeLocalDirectory(h.LocalDir());
  h.SelectLocal({"улыбка 😀.txt"});
  RunAndList(h, Command::UploadSelection);
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

TEST_P(VsftpdNames, ListedDownloadedAndUploadedByLines) { RoundTripInSet(Peer(), GetParam()); }
TEST_P(PureFtpdNames, ListedDownloadedAndUploadedByMachineListing) { RoundTripInSet(Peer(), GetParam()); }

const auto kSets = ::testing::Values(CharsetCase{"Cp1251", CharacterSet::Cp1251},
                                     CharsetCase{"Koi8R", CharacterSet::Koi8R});
const auto kSetName = [](const auto& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(Sets, VsftpdNames, kSets, kSetName);
INSTANTIATE_TEST_SUITE_P(Sets, PureFtpdNames, kSets, kSetName);

// ---- Through an FTP proxy that filters the extended commands -----------------------------------

class ThroughFtpProxy : public testsupport::RelaySuite<testsupport::FtpProxyPeer, testsupport::PureFtpdPeer> {};

// The proxy answers FEAT with 500: the session lists by LIST and connects by PASV, though the
// server behind it offers MLSD and EPSV.
TEST_F(ThroughFtpProxy, ASessionWithoutFeaturesFallsBackToListAndPasv) {
  fs::remove_all(Target().Root() / "pub");
  fs::create_directories(Target().Root() / "pub");
  WritePattern(Target().Root() / "pub" / "Отчёт.txt", 1000);
  Target().GiveToUser(Target().Root() / "pub");
  SessionHarness h;
  h.options.ConnectionType = ftpProxy;
  h.options.ProxyServer = "127.0.0.1";
  h.options.ProxyPort = std::to_string(Peer().Port());
  ConnectTo(h, SiteOn(Target(), "/pub"));
  EXPECT_EQ(h.RemoteCaptions(), std::vector<std::string>{"Отчёт.txt"});
  EXPECT_TRUE(h.LoggedLine("> FEAT") && h.LoggedLine("> PASV") && h.LoggedLine("> LIST")) << h.Transcript();
  EXPECT_FALSE(h.Logged("> MLSD") || h.Logged("> EPSV") || h.Logged("> OPTS")) << h.Transcript();
  h.SelectRemote({"Отчёт.txt"});
  RunAndList(h, Command::DownloadSelection);
  EXPECT_EQ(testsupport::Sha256Of(h.LocalDir() / "Отчёт.txt"), testsupport::Sha256Of(Target().Root() / "pub" / "Отчёт.txt"));
}

}  // namespace
