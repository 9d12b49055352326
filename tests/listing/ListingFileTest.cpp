#include <gtest/gtest.h>

#include <string>

#include "listing/ListingFile.h"
#include "support/peers/TempDir.h"
#include "support/listing/ListingTestSupport.h"

namespace listing {
namespace {

using Outcome = ListingReadOutcome;

const std::string kPrefix = "-rw-r--r-- 1 ftp ftp 12 Mar  5  1999 ";  // a Standard line before its name

struct ReadCase {
  const char* what;
  std::string text;
  ListingLimits limits;
  Names names;  // the entries read, in order
  Outcome outcome;
};

std::string Repeat(std::string_view text, int count) {
  std::string repeated;
  for (int i = 0; i < count; ++i) repeated += text;
  return repeated;
}

// Names "file0000", "file0001", ...: `lines` lines of 47 bytes (CR LF included), `read` names.
ReadCase Numbered(const char* what, int lines, ListingLimits limits, int read, Outcome outcome) {
  ReadCase c{what, "", limits, {}, outcome};
  for (int i = 0; i < lines; ++i) {
    const std::string number = std::to_string(10000 + i).substr(1);
    c.text += kPrefix + "file" + number + "\r\n";
    if (i < read) c.names.push_back("file" + number);
  }
  return c;
}

const std::size_t kEndCrName = kListingReadBlock - 1 - kPrefix.size();  // its CR ends the first block
const std::string kLongName = std::string(40000, 'x') + Repeat("\xD0\x96", 20000);
// The bound falls on the second byte of a Cyrillic character, which is then left out whole.
const std::string kLongNameKept = kLongName.substr(0, kMaxListingLine - 1 - kPrefix.size());

const ReadCase kReadCases[] = {
    {"short lines are skipped, a last line without LF counts",
     "total 12\r\n" + kPrefix + "a\r\n\r\nshort\n" + kPrefix + "b c", {}, {"a", "b c"}, Outcome::Complete},
    {"CR at a block's end, its LF in the next", kPrefix + std::string(kEndCrName, 'x') + "\r\n" + kPrefix + "next",
     {}, {std::string(kEndCrName, 'x'), "next"}, Outcome::Complete},
    {"over-long line keeps its first bytes, never half a character", kPrefix + kLongName + "\r\n" + kPrefix + "next",
     {}, {kLongNameKept, "next"}, Outcome::Complete},
    {"twenty characters make an entry line, counted as shown", Repeat("\xD0\x96", 10) + "\n" + std::string(20, '\xE0'),
     {}, {std::string(20, '\xE0')}, Outcome::Complete},
    Numbered("lines spanning blocks", 3000, {}, 3000, Outcome::Complete),
    Numbered("entry limit keeps the entries before it", 3, {2, 1000}, 2, Outcome::CutShort),
    Numbered("as many entries as the limit is complete", 2, {2, 1000}, 2, Outcome::Complete),
    Numbered("byte limit drops the line it cuts", 3, {10, 47 * 2 + 40}, 2, Outcome::CutShort),
    Numbered("listing of exactly the byte limit is complete", 2, {10, 47 * 2}, 2, Outcome::Complete),
    Numbered("byte limit beyond the first blocks", 3000, {5000, 47 * 2500 + 46}, 2500, Outcome::CutShort),
};

class TakeListingEntriesTest : public testing::TestWithParam<ReadCase> {};

TEST_P(TakeListingEntriesTest, ReadsTheEntriesWithinTheLimitsAndDeletesTheFile) {
  const ReadCase& c = GetParam();
  const testsupport::TempDir dir;
  const std::filesystem::path file = dir.Path() / "FTPDIR1.TXT";
  WriteFile(file, c.text);
  ListingCache cache;
  const ListingReadResult read =
      TakeListingEntries(file, {}, c.limits, [&cache](RemoteEntry entry) { cache.Append(entry); });
  Names names;
  for (const RemoteEntry& entry : EntriesOf(cache)) names.push_back(entry.name);
  EXPECT_EQ(names, c.names);
  EXPECT_EQ(read.outcome, c.outcome);
  EXPECT_EQ(read.entries, c.names.size());
  EXPECT_FALSE(std::filesystem::exists(file));
}

INSTANTIATE_TEST_SUITE_P(Listings, TakeListingEntriesTest, testing::ValuesIn(kReadCases), CaseName());

TEST(TakeListingEntriesTest, UnreadableFileGivesNothingAndIsLeft) {
  const testsupport::TempDir dir;
  int entries = 0;
  for (const auto& file : {dir.Path() / "missing", dir.Path()}) {
    EXPECT_EQ(TakeListingEntries(file, {}, {}, [&](RemoteEntry) { ++entries; }).outcome, Outcome::Unreadable);
  }
  EXPECT_EQ(entries, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.Path()));
}

}  // namespace
}  // namespace listing
