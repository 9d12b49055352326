// A server decides how large a listing is: past MaxListingSize the engine cuts it off and the
// request fails, so that the listing file cannot fill the disk. A file's download is not a
// listing and takes no such limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ftp/FtpTransferSizes.h"
#include "support/CaseName.h"
#include "support/ftp/EngineProbe.h"
#include "support/peers/TempDir.h"
#include "support/scripted/ScriptedFtpServer.h"

using ftptest::Completion;
using ftptest::EngineProbe;
using testsupport::DataPort;
using testsupport::Script;
using testsupport::ScriptedFtpServer;

namespace {

using testsupport::PrintTo;

constexpr int64_t kLimit = 64 * 1024;
const std::string kCutOff = "! Listing larger than 65536 bytes: the rest is not received";

struct LimitCase {
  const char* what;
  void (TCustomFtpCli::*request)();
  TFtpRequest kind;
  std::size_t sent;
  bool cutOff;
};

class ListingLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ListingLimit, OnlyListingsAreCutOff) {
  const LimitCase& c = GetParam();
  DataPort data;
  ScriptedFtpServer server(Script()
                               .Send("220 Ready\r\n")
                               .Reply(data.PasvReply())
                               .Reply("150 Here\r\n")
                               .SendData(data, std::string(c.sent, 'x') + "\r\n")
                               .Send("226 Done\r\n"));
  EngineProbe probe;
  testsupport::TempDir dir;
  const std::filesystem::path file = dir.Path() / "FTPDIR.TXT";
  probe.Target(server.Port());
  probe.ftp.SetPassive(true);
  probe.ftp.SetMaxListingSize(kLimit);
  ASSERT_EQ(probe.Run([&] { probe.ftp.OpenAsync(); }), (Completion{ftpOpenAsync, 0}));

  probe.ftp.SetHostFileName(c.kind == ftpGetAsync ? "big.bin" : "");
  probe.ftp.SetLocalFileName(file.string());
  const Completion done = probe.Run([&] { (probe.ftp.*c.request)(); });

  EXPECT_EQ(done.kind, c.kind);
  EXPECT_EQ(done.error != 0, c.cutOff) << probe.Transcript();
  EXPECT_EQ(std::count(probe.log.begin(), probe.log.end(), kCutOff), c.cutOff ? 1 : 0) << probe.Transcript();
  const auto size = static_cast<int64_t>(std::filesystem::file_size(file));
  if (c.cutOff)
    EXPECT_LE(size, kLimit + kFtpReceiveBlockSize);
  else
    EXPECT_EQ(size, static_cast<int64_t>(c.sent + 2));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ListingLimit,
    ::testing::Values(LimitCase{"ListingWithinTheLimit", &TCustomFtpCli::DirAsync, ftpDirAsync, 60000, false},
                      LimitCase{"ListingOverTheLimit", &TCustomFtpCli::DirAsync, ftpDirAsync, 8 << 20, true},
                      LimitCase{"NameListOverTheLimit", &TCustomFtpCli::LsAsync, ftpLsAsync, 8 << 20, true},
                      LimitCase{"DownloadOverTheLimit", &TCustomFtpCli::GetAsync, ftpGetAsync, 8 << 20, false}),
    testsupport::CaseName());

}  // namespace
