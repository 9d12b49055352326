#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "listing/ListingFile.h"
#include "support/peers/TempDir.h"
#include "support/listing/ListingTestSupport.h"

namespace listing {
namespace {

// LIST output captured on 6 December 2026 from four servers sharing one directory: names
// with spaces, Cyrillic UTF-8 names, symbolic links, a 5 GiB file, a file from 2019, a
// directory from 2021, a name with ";". Column widths, owners and day padding differ; the
// entries must not.
constexpr CalendarDate kCaptureDay{2026, 12, 6};

const std::vector<RemoteEntry> kEntries = {
    {"archive.tar.gz", "3000", "06.12.26", "09:12", "-rw-r--r--", false},
    {"big.iso", "5368709120", "06.12.26", "09:12", "-rw-r--r--", false},
    {"dir with spaces", "4096", "06.12.26", "09:12", "drwxr-xr-x", true},
    {"lib.so", "8", "06.12.26", "09:12", "lrwxrwxrwx", false},
    {"lib.so.1", "4", "06.12.26", "09:12", "-rw-r--r--", false},
    {"link with spaces", "11", "06.12.26", "09:12", "lrwxrwxrwx", false},
    {"old.txt", "4", "05.03.19", "", "-rw-r--r--", false},
    {"pub", "4096", "15.07.21", "", "drwxr-xr-x", true},
    {"publink", "", "06.12.26", "09:12", "lrwxrwxrwx", true},
    {"read me.txt", "6", "06.12.26", "09:12", "-rw-r--r--", false},
    {"semi;colon.txt", "5", "06.12.26", "09:12", "-rw-r--r--", false},
    {"wwwlink", "6", "06.12.26", "09:12", "lrwxrwxrwx", false},
    {"Мои документы", "4096", "06.12.26", "09:12", "drwxr-xr-x", true},
    {"Отчёт за год.txt", "5", "06.12.26", "09:12", "-rw-r--r--", false},
};

struct ServerCase {
  const char* what;
  const char* file;
};

class RealListingTest : public testing::TestWithParam<ServerCase> {};

// Read as the Standard format of the Answer code and as the automatic choice.
TEST_P(RealListingTest, GivesTheSameEntriesAsTheOtherServers) {
  const testsupport::TempDir dir;
  const std::filesystem::path file = dir.Path() / "FTPDIR1.TXT";
  for (const std::optional<ListingFormat> format : {std::optional<ListingFormat>{}, {ListingFormat::Automatic}}) {
    SCOPED_TRACE(format ? "automatic" : "standard");
    std::filesystem::copy_file(std::filesystem::path(LISTING_TEST_DATA_DIR) / GetParam().file, file);
    ListingCache cache;
    TakeListingEntries(file, ListingContext{"0957681", kCaptureDay, format}, {},
                       [&cache](RemoteEntry e) { cache.Append(e); });
    EXPECT_EQ(EntriesOf(cache), kEntries);
  }
}

const ServerCase kServers[] = {
    {"vsftpd", "vsftpd.list"},
    {"pure_ftpd", "pure-ftpd.list"},
    {"proftpd", "proftpd.list"},
    {"pyftpdlib", "pyftpdlib.list"},
};
INSTANTIATE_TEST_SUITE_P(Servers, RealListingTest, testing::ValuesIn(kServers), CaseName());

}  // namespace
}  // namespace listing
