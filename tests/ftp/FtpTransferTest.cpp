// Transfers with the engine against real servers, passive and active: listings, downloads,
// uploads, append and resume, checked by what lands on disk on both sides.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/ftp/EngineProbe.h"
#include "support/files/PatternFiles.h"
#include "support/loopback/FtpProbe.h"
#include "support/peers/FtpServers.h"
#include "support/peers/PeerSuite.h"
#include "support/peers/TempDir.h"

namespace fs = std::filesystem;
using ftptest::Completion;
using ftptest::EngineProbe;
using testsupport::ReadAll;
using testsupport::Sha256Of;
using testsupport::WritePattern;
using namespace std::chrono_literals;

namespace {

constexpr size_t kMiB = 1 << 20;

// An engine logged in to the suite's server, run one request at a time.
class Session {
 public:
  Session(const testsupport::FtpPeer& peer, bool passive) {
    probe_.Target(peer.Port());
    probe_.ftp.SetUserName(peer.User());
    probe_.ftp.SetPassWord(peer.Password());
    probe_.ftp.SetPassive(passive);
    EXPECT_EQ(Run([&] { probe_.ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0})) << probe_.ftp.LastResponse();
    EXPECT_TRUE(Sync([&] { return probe_.ftp.TypeBinarySync(); })) << probe_.ftp.LastResponse();
  }

  bool Sync(const std::function<bool()>& request) { return probe_.Sync(request); }
  Completion Run(const std::function<void()>& start) { return probe_.Run(start); }

  Completion Get(const std::string& remote, const fs::path& local, bool resume = false) {
    ftp().SetHostFileName(remote);
    ftp().SetLocalFileName(local.string());
    return Run([&] { resume ? ftp().RestGetAsync() : ftp().GetAsync(); });
  }

  Completion Put(const fs::path& local, const std::string& remote) {
    ftp().SetHostFileName(remote);
    ftp().SetLocalFileName(local.string());
    return Run([&] { ftp().PutAsync(); });
  }

  TFtpClient& ftp() { return probe_.ftp; }
  EngineProbe& probe() { return probe_; }

 private:
  EngineProbe probe_;
};

template <class Server>
class FtpTransfer : public testsupport::PeerSuite<Server> {
 protected:
  static Server& Ftp() { return testsupport::PeerSuite<Server>::Peer(); }

  void RoundTrips(bool passive) {
    Session s(Ftp(), passive);
    const std::string tag = passive ? "pasv" : "port";
    for (size_t size : {size_t{0}, size_t{1}, kMiB + 7, 100 * kMiB}) {
      SCOPED_TRACE(tag + " size " + std::to_string(size));
      const std::string name = tag + "-" + std::to_string(size) + ".bin";
      const fs::path original = local_.Path() / ("orig-" + name);
      WritePattern(original, size);
      const std::string expected = Sha256Of(original);

      ASSERT_EQ(s.Put(original, name), (Completion{ftpPutAsync, 0})) << s.probe().Transcript();
      EXPECT_EQ(Sha256Of(Ftp().Root() / name), expected) << "uploaded";

      const fs::path back = local_.Path() / ("back-" + name);
      ASSERT_EQ(s.Get(name, back), (Completion{ftpGetAsync, 0})) << s.probe().Transcript();
      EXPECT_EQ(Sha256Of(back), expected) << "downloaded";
      fs::remove(original);
      fs::remove(back);
      fs::remove(Ftp().Root() / name);
    }
  }

  void Listings(bool passive) {
    const fs::path dir = Ftp().Root() / (passive ? "listing-pasv" : "listing-port");
    fs::create_directories(dir / "sub dir");
    WritePattern(dir / "a file.txt", 10);
    WritePattern(dir / "b.bin", 1000);
    for (const auto& entry : fs::directory_iterator(dir))
      fs::last_write_time(entry.path(), fs::file_time_type::clock::now() - std::chrono::hours(24 * 400));
    Ftp().GiveToUser(dir);

    Session s(Ftp(), passive);
    const std::string remoteDir = "/" + dir.filename().string();
    s.ftp().SetHostDirName(remoteDir);
    ASSERT_TRUE(s.Sync([&] { return s.ftp().CwdSync(); }));

    const fs::path listing = local_.Path() / "FTPDIR.TXT";
    s.ftp().SetHostFileName("");
    s.ftp().SetLocalFileName(listing.string());
    ASSERT_EQ(s.Run([&] { s.ftp().DirAsync(); }), (Completion{ftpDirAsync, 0}));
    EXPECT_EQ(ReadAll(listing), RawList(remoteDir)) << "the listing file holds the server's bytes";
    EXPECT_NE(s.probe().log.end(), std::find(s.probe().log.begin(), s.probe().log.end(), "> LIST"));

    ASSERT_EQ(s.Run([&] { s.ftp().LsAsync(); }), (Completion{ftpLsAsync, 0}));
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
    Session s(Ftp(), passive);
    const std::string tag = passive ? "pasv" : "port";
    const fs::path whole = local_.Path() / ("whole-" + tag);
    WritePattern(whole, 3 * kMiB + 11);

    // Download resumed from a partial local file.
    const std::string remote = "resume-" + tag + ".bin";
    fs::copy_file(whole, Ftp().Root() / remote, fs::copy_options::overwrite_existing);
    const fs::path partial = local_.Path() / ("partial-" + tag);
    WritePattern(partial, kMiB);
    int64_t firstProgress = -1;
    s.ftp().OnProgress = [&](TCustomFtpCli*, int64_t count, bool&) {
      if (firstProgress < 0) firstProgress = count;
    };
    ASSERT_EQ(s.Get(remote, partial, true), (Completion{ftpRestGetAsync, 0})) << s.ftp().ErrorMessage();
    EXPECT_EQ(Sha256Of(partial), Sha256Of(whole));
    EXPECT_GE(firstProgress, static_cast<int64_t>(kMiB));
    EXPECT_NE(s.probe().log.end(), std::find(s.probe().log.begin(), s.probe().log.end(), "> REST 1048576"));

    // Without a local file there is nothing to resume: no REST, the whole file.
    const fs::path fresh = local_.Path() / ("fresh-" + tag);
    s.probe().log.clear();
    ASSERT_EQ(s.Get(remote, fresh, true), (Completion{ftpRestGetAsync, 0})) << s.ftp().ErrorMessage();
    EXPECT_EQ(Sha256Of(fresh), Sha256Of(whole));
    for (const auto& line : s.probe().log) EXPECT_NE(line.rfind("> REST", 0), 0u) << line;

    // Upload continued on a partial remote file.
    const std::string upload = "restput-" + tag + ".bin";
    WritePattern(Ftp().Root() / upload, 2 * kMiB + 5);
    Ftp().GiveToUser(Ftp().Root() / upload);
    s.ftp().SetHostFileName(upload);
    s.ftp().SetLocalFileName(whole.string());
    s.ftp().SetResumeAt(2 * kMiB + 5);
    ASSERT_EQ(s.Run([&] { s.ftp().RestPutAsync(); }), (Completion{ftpRestPutAsync, 0})) << s.ftp().ErrorMessage();
    EXPECT_EQ(Sha256Of(Ftp().Root() / upload), Sha256Of(whole));

    // Append: the remote file grows by the local one.
    const std::string appended = "appe-" + tag + ".bin";
    const fs::path head = local_.Path() / "head";
    const fs::path tail = local_.Path() / "tail";
    WritePattern(head, 5000);
    WritePattern(tail, 12000, 0, 5000);  // bytes 5000..11999 of the pattern
    ASSERT_EQ(s.Put(head, appended), (Completion{ftpPutAsync, 0}));
    s.ftp().SetLocalFileName(tail.string());
    ASSERT_EQ(s.Run([&] { s.ftp().AppendAsync(); }), (Completion{ftpAppendAsync, 0})) << s.ftp().ErrorMessage();
    WritePattern(head, 12000);
    EXPECT_EQ(Sha256Of(Ftp().Root() / appended), Sha256Of(head));
  }

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
