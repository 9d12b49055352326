// The machine listings (MLSD) of the real servers that offer them, read into entries: names
// come whole, sizes beyond 4 GiB, dates are the files' modification times in local time.
// vsftpd offers no MLSD.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/loopback/FtpProbe.h"
#include "support/peers/FtpServers.h"
#include "support/peers/PeerSuite.h"
#include "support/listing/MlsdTree.h"

namespace listing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void MakeTree(const fs::path& root, const testsupport::FtpPeer& server) {
  for (const TreeFile& file : kMlsdTree) {
    const fs::path path = root / file.name;
    if (!file.linkTarget.empty()) {
      fs::create_symlink(file.linkTarget, path);
    } else if (file.size < 0) {
      fs::create_directory(path);
    } else {
      std::ofstream(path, std::ios::binary) << std::string(static_cast<std::size_t>(std::min<std::int64_t>(file.size, 16)), 'x');
      fs::resize_file(path, static_cast<std::uintmax_t>(file.size));  // sparse beyond its first bytes
    }
  }
  server.GiveToUser(root);
  for (const TreeFile& file : kMlsdTree) {  // after the change of owner, which clears a set-id bit
    const fs::path path = root / file.name;
    if (file.linkTarget.empty()) {
      ASSERT_EQ(::chmod(path.c_str(), file.mode), 0) << path;
    }
    const timespec times[2] = {{file.modified, 0}, {file.modified, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
  }
}

// The raw MLSD output for the root, fetched over a passive data connection.
std::string FetchMlsd(const testsupport::FtpPeer& server) {
  testsupport::FtpProbe probe(server.Port());
  EXPECT_EQ(probe.ReadReply().code, 220);
  EXPECT_EQ(probe.Command("USER " + server.User()).code, 331);
  EXPECT_EQ(probe.Command("PASS " + server.Password()).code, 230);
  EXPECT_EQ(probe.Command("TYPE I").code, 200);
  testsupport::LoopbackSocket data = probe.OpenPassive();
  EXPECT_TRUE(data.Valid());
  const int opening = probe.Command("MLSD").code;
  EXPECT_TRUE(opening == 150 || opening == 125) << opening;
  std::string listing = data.ReceiveToEnd(10s);
  data.Close();  // proftpd answers only once the client has closed its end too
  EXPECT_EQ(probe.ReadReply(10s).code, 226);
  return listing;
}

template <class Server>
class MlsdPeersTest : public testsupport::PeerSuite<Server> {
  const MoscowTime zone_;
};

using MlsdServers = ::testing::Types<testsupport::PureFtpdPeer, testsupport::ProftpdPeer, testsupport::PyftpdlibPeer>;
TYPED_TEST_SUITE(MlsdPeersTest, MlsdServers, testsupport::PeerName);

TYPED_TEST(MlsdPeersTest, ListsTheTreeWithItsSizesModesAndModificationTimes) {
  TypeParam& server = TestFixture::Peer();
  MakeTree(server.Root(), server);
  const std::string listing = FetchMlsd(server);
  // pyftpdlib sends no modes unless asked to (OPTS MLST), and follows links.
  const bool permOnly = std::string_view(TypeParam::kName) == "pyftpdlib";
  EXPECT_EQ(MlsdEntriesOf(listing), SortedByName(permOnly ? kPermOnlyMlsdEntries : kMlsdEntries)) << listing;
}

}  // namespace
}  // namespace listing
