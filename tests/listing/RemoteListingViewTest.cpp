#include <gtest/gtest.h>

#include "listing/PaneSorting.h"
#include "listing/RemoteListingView.h"
#include "support/peers/TempDir.h"
#include "support/listing/ListingTestSupport.h"

namespace listing {
namespace {

const std::string kUnixListing =
    "total 12\r\n"
    "drwxr-xr-x   2 ftp ftp 512 Jan 10 09:30 .\r\n"
    "drwxr-xr-x   2 ftp ftp 512 Jan 10 09:30 ..\r\n"
    "drwxr-xr-x   2 ftp ftp 512 Jan 10 09:30 zdocs\r\n"
    "-rw-r--r--   1 ftp ftp 1234 Mar  5  1999 b.txt\r\n"
    "-rw-r--r--   1 ftp ftp 99 Mar  5  1999 a.log\r\n"
    "-rw-r--r--   1 ftp ftp 7 Mar  5  1999 semi;colon.txt\r\n"
    "\r\n";

class ShowRemoteListingTest : public testing::Test {
 protected:
  ShownListing Show(const std::string& listing, std::string answer = "0957681", std::string mask = "*.*",
                    ListingLimits limits = {}) {
    if (!listing.empty()) WriteFile(file_, listing);
    const CaptionMetrics metrics{[](std::string_view caption) { return static_cast<int>(caption.size()) * 7; },
                                 600};
    return ShowRemoteListing({file_, {std::move(answer), {2024, 6, 15}}, std::move(mask), "ftp.example.org",
                              "/pub/incoming", metrics, limits},
                             pane_, cache_);
  }

  const testsupport::TempDir dir_;
  const std::filesystem::path file_ = dir_.Path() / "FTPDIR1.TXT";
  PaneModel pane_;
  ListingCache cache_;
};

TEST_F(ShowRemoteListingTest, ShowsEntriesSortedWithTheirColumns) {
  const ShownListing shown = Show(kUnixListing);
  EXPECT_TRUE(shown.listingRead);
  EXPECT_EQ(Captions(pane_), (Names{"..", "zdocs", "a.log", "b.txt", "semi;colon.txt"}));
  EXPECT_EQ(pane_.Item(1).subItems[kSubSize], "");
  EXPECT_EQ(pane_.Item(4).subItems, (std::array<std::string, 4>{"7", "05.03.99", "", "-rw-r--r--"}));
  EXPECT_EQ(shown.pathItems, (Names{"SERVER LIST ...", "ftp.example.org", "pub", "incoming"}));
  EXPECT_EQ(shown.firstColumnWidth, 14 * 7 + 30);
}

TEST_F(ShowRemoteListingTest, FilterHidesFilesButNeverDirectories) {
  Show(kUnixListing, "0957681", "*.txt");
  EXPECT_EQ(Captions(pane_), (Names{"..", "zdocs", "b.txt", "semi;colon.txt"}));
  FillRemoteView(cache_, "0957681", "*.log", pane_, {});
  ResortPane(pane_);
  EXPECT_EQ(Captions(pane_), (Names{"..", "zdocs", "a.log"}));
}

TEST_F(ShowRemoteListingTest, TextFormatShowsRawLinesUnfiltered) {
  const ShownListing shown = Show(kUnixListing, "1957681", "*.none");
  EXPECT_EQ(pane_.Count(), 6u);
  EXPECT_EQ(pane_.Item(0).caption, "drwxr-xr-x   2 ftp ftp 512 Jan 10 09:30 .");
  EXPECT_EQ(shown.firstColumnWidth, 600 - 14);
}

TEST_F(ShowRemoteListingTest, UnreadableOrShortListingLeavesNothingStaleAndNoChangeEvents) {
  pane_.Add(File("stale"));
  int changes = 0;
  pane_.SetChangeHandler([&] { ++changes; });
  EXPECT_TRUE(Show("total 0\nshort line\n\n").listingRead);
  EXPECT_TRUE(pane_.Empty() && cache_.Empty());
  EXPECT_EQ(changes, 1);  // the stale entry going; filling and sorting are silent
  Show(kUnixListing);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(Show("").listingRead);
  EXPECT_TRUE(pane_.Empty() && cache_.Empty());
}

TEST_F(ShowRemoteListingTest, CutShortListingShowsWhatWasReadAndSaysSo) {
  const ShownListing shown = Show(kUnixListing, "0957681", "*.*", {3, 1000});
  EXPECT_TRUE(shown.listingRead);
  EXPECT_EQ(Captions(pane_), (Names{"..", "zdocs"}));
  EXPECT_EQ(shown.logLine, "Listing too large (over 3 entries or 1000 bytes): only its first 3 entries were read");
  EXPECT_EQ(Show(kUnixListing).logLine, "");
}

struct PathCase {
  const char* what;
  const char* directory;
  Names components;
};

class RemotePathItemsTest : public testing::TestWithParam<PathCase> {};

TEST_P(RemotePathItemsTest, ListsServerHostAndComponents) {
  Names expected{"SERVER LIST ...", "host"};
  expected.insert(expected.end(), GetParam().components.begin(), GetParam().components.end());
  EXPECT_EQ(RemotePathItems("host", GetParam().directory), expected);
}

const PathCase kPathCases[] = {
    {"root gives no component", "/", {}},
    {"two components", "/a/b", {"a", "b"}},
    {"double slash gives an empty component", "/a//b", {"a", "", "b"}},
    {"trailing slash adds nothing, spaces stay", "/my dir/b/", {"my dir", "b"}},
};
INSTANTIATE_TEST_SUITE_P(Paths, RemotePathItemsTest, testing::ValuesIn(kPathCases), CaseName());

}  // namespace
}  // namespace listing
