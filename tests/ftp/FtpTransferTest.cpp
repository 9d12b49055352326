// Transfers with the engine against real servers, passive and active: listings, downloads,
// uploads, append and resume, checked by what lands on disk on both sides.
#include <gtest/gtest.h>

#include "PeerFlows.h"
#include "support/loopback/FtpProbe.h"
#include "support/peers/FtpServers.h"
#include "support/peers/PeerSuite.h"
#include "support/peers/TempDir.h"

using namespace ftptest;
using testsupport::ReadAll;
using testsupport::Sha256Of;
using testsupport::WritePattern;

namespace {

template <class Server>
class FtpTransfer : public testsupport::PeerSuite<Server> {
 protected:
  static Server& Ftp() { return testsupport::PeerSuite<Server>::Peer(); }

  // Logged in, binary, with data connections `passive` or not.
  void Login(bool passive) {
    probe.Aim(Ftp(), passive);
    ASSERT_EQ(probe.Run([&] { probe.ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0})) << probe.Transcript();
    ASSERT_TRUE(probe.Sync([&] { return probe.ftp.TypeBinarySync(); })) << probe.Transcript();
  }

  void RoundTrips(bool passive) {
    ASSERT_NO_FATAL_FAILURE(Login(passive));
    for (size_t size : {size_t{0}, size_t{1}, kMiB + 7, 100 * kMiB})
      RoundTrip(probe, Ftp(), local_.Path(), Tag(passive) + "-" + std::to_string(size) + ".bin", size);
  }

  void Listings(bool passive) {
    const fs::path dir = Ftp().Root() / ("listing-" + Tag(passive));
    fs::create_directories(dir / "sub dir");
    WritePattern(dir / "a file.txt", 10);
    WritePattern(dir / "b.bin", 1000);
    for (const auto& entry : fs::directory_iterator(dir))
      fs::last_write_time(entry.path(), fs::file_time_type::clock::now() - std::chrono::hours(24 * 400));
    Ftp().GiveToUser(dir);

    ASSERT_NO_FATAL_FAILURE(Login(passive));
    const std::string remoteDir = "/" + dir.filename().string();
    probe.ftp.SetHostDirName(remoteDir);
    ASSERT_TRUE(probe.Sync([&] { return probe.ftp.CwdSync(); }));
    const fs::path listing = local_.Path() / "FTPDIR.TXT";
    ASSERT_EQ(probe.List(listing.string()), (Completion{ftpDirAsync, 0}));
    EXPECT_EQ(ReadAll(listing), RawList(remoteDir)) << "the listing file holds the server's bytes";
    EXPECT_TRUE(probe.Logged("> LIST"));

    ASSERT_EQ(probe.Run([&] { probe.ftp.LsAsync(); }), (Completion{ftpLsAsync, 0}));
    const std::string names = ReadAll(listing);
    EXPECT_NE(names.find("a file.txt"), std::string::npos) << names;
    EXPECT_NE(names.find("b.bin"), std::string::npos) << names;
  }

  // The same listing fetched with plain socket calls.
  std::string RawList(const std::string& dir) {
    testsupport::FtpProbe raw(Ftp().Port());
    raw.ReadReply();
    raw.Command("USER " + Ftp().User());
    raw.Command("PASS " + Ftp().Password());
    raw.Command("CWD " + dir);
    testsupport::LoopbackSocket data = raw.OpenPassive();
    raw.Command("LIST");
    std::string bytes = data.ReceiveToEnd(testsupport::Millis(10000));
    raw.ReadReply();
    return bytes;
  }

  void AppendAndResume(bool passive) {
    ASSERT_NO_FATAL_FAILURE(Login(passive));
    const std::string tag = Tag(passive);
    const fs::path whole = ResumeBothWays(probe, Ftp(), local_.Path(), tag);

    // Without a local file there is nothing to resume: no REST, the whole file.
    const fs::path fresh = local_.Path() / ("fresh-" + tag);
    probe.log.clear();
    ASSERT_EQ(probe.Get("resume-" + tag + ".bin", fresh.string(), true), (Completion{ftpRestGetAsync, 0}));
    EXPECT_EQ(Sha256Of(fresh), Sha256Of(whole));
    EXPECT_FALSE(probe.Logged("> REST")) << probe.Transcript();

    // Append: the remote file grows by the local one.
    const std::string appended = "appe-" + tag + ".bin";
    const fs::path head = local_.Path() / "head";
    const fs::path tail = local_.Path() / "tail";
    WritePattern(head, 5000);
    WritePattern(tail, 12000, 0, 5000);  // bytes 5000..11999 of the pattern
    ASSERT_EQ(probe.Put(head.string(), appended), (Completion{ftpPutAsync, 0}));
    probe.ftp.SetLocalFileName(tail.string());
    ASSERT_EQ(probe.Run([&] { probe.ftp.AppendAsync(); }), (Completion{ftpAppendAsync, 0})) << probe.Transcript();
    WritePattern(head, 12000);
    EXPECT_EQ(Sha256Of(Ftp().Root() / appended), Sha256Of(head));
  }

  static std::string Tag(bool passive) { return passive ? "pasv" : "port"; }

  EngineProbe probe;
  testsupport::TempDir local_;
};

TYPED_TEST_SUITE(FtpTransfer, testsupport::FtpServers, testsupport::PeerName);

TYPED_TEST(FtpTransfer, PassiveRoundTrips) { this->RoundTrips(true); }
TYPED_TEST(FtpTransfer, ActiveRoundTrips) { this->RoundTrips(false); }
TYPED_TEST(FtpTransfer, PassiveListings) { this->Listings(true); }
TYPED_TEST(FtpTransfer, ActiveListings) { this->Listings(false); }
TYPED_TEST(FtpTransfer, PassiveAppendAndResume) { this->AppendAndResume(true); }
TYPED_TEST(FtpTransfer, ActiveAppendAndResume) { this->AppendAndResume(false); }

}  // namespace
