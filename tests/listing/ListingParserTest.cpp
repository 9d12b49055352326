#include <gtest/gtest.h>

#include <string>

#include "listing/ListingParser.h"
#include "support/listing/ListingTestSupport.h"

namespace listing {
namespace {

constexpr CalendarDate kStartup{2024, 6, 15};  // lines with a time are dated up to this day

struct ParseCase {
  const char* what;
  const char* answer;
  std::string line;
  RemoteEntry expected;  // name, size, date, time, attributes, isDirectory
};

class ParseListingLineTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseListingLineTest, GivesEveryField) {
  const ParseCase& c = GetParam();
  EXPECT_EQ(ParseListingLine(c.line, ListingContext{c.answer, kStartup}), c.expected);
}

const std::string kBadDate = "drwxr-xr-x   2 ftp ftp 512 Feb 30 10:00 pub";
const std::string kBadDateLink = "lrwxrwxrwx 1 ftp ftp 3 Apr 31 10:00 x -> y";
const std::string kNoYear = "-rw-r--r--   1 ftp ftp 12 Mar  5 ---- x.txt";
const char* const kUnix = "0957681";

// Group columns, sizes beyond 32 bits, directories and links as servers write them: RealListingTest.
const ParseCase kStandardCases[] = {
    {"time, day after start-up goes to the year before", kUnix, "-rw-r--r-- 1 ftp ftp 1 Dec 24 10:00 later.txt",
     {"later.txt", "1", "24.12.23", "10:00", "-rw-r--r--", false}},
    {"time, 29 February of a leap start-up year", kUnix, "-rw-r--r-- 1 ftp ftp 1 Feb 29 10:00 leap.txt",
     {"leap.txt", "1", "29.02.24", "10:00", "-rw-r--r--", false}},
    {"no group column, year instead of time", kUnix, "-rw-r--r--   1 ftp          1234 Mar  5  1999 a.txt",
     {"a.txt", "1234", "05.03.99", "", "-rw-r--r--", false}},
    {"month and day that are no month and no number give 1 January", kUnix,
     "-rw-r--r-- 1 ftp ftp 12 Xyz xx  1999 odd.txt", {"odd.txt", "12", "01.01.99", "", "-rw-r--r--", false}},
    {"impossible date with a year is not checked", kUnix, "-rw-r--r-- 1 ftp ftp 12 Feb 30  1999 feb.txt",
     {"feb.txt", "12", "30.02.99", "", "-rw-r--r--", false}},
    {"impossible date with a time is an error line, not a directory", kUnix, kBadDate,
     {kBadDate, "512", "error", "10:00", "drwxr-xr-x", false}},
    {"error line of a link still gets the link rule", kUnix, kBadDateLink,
     {"lrwxrwxrwx 1 ftp ftp 3 Apr 31 10:00 x", "", "error", "10:00", "lrwxrwxrwx", true}},
    {"year column without digits is an error line", kUnix, kNoYear, {kNoYear, "12", "error", "", "-rw-r--r--", false}},
    {"trailing blanks belong to the name", kUnix, "-rw-r--r-- 1 ftp ftp 12 Mar  5  1999 trailing  ",
     {"trailing  ", "12", "05.03.99", "", "-rw-r--r--", false}},
};
INSTANTIATE_TEST_SUITE_P(Standard, ParseListingLineTest, testing::ValuesIn(kStandardCases), CaseName());

const ParseCase kOtherFormatCases[] = {
    {"text, line starting with d is a directory named by the whole line", "1957681",
     "drwxr-xr-x 2 ftp ftp 512 pub",
     {"drwxr-xr-x 2 ftp ftp 512 pub", "", "", "", "", true}},
    {"custom, Unix line by columns: date is column 7, a space and column 6", "2957681",
     "drwxr-xr-x   2 ftp ftp 512 Jan 10 09:30 pub", {"pub", "512", "10 Jan", "09:30", "drwxr-xr-x", true}},
    {"custom, a name is one column only", "2957681", "-rw-r--r-- 1 ftp ftp 12 Jan 10 09:30 read me.txt",
     {"read", "12", "10 Jan", "09:30", "-rw-r--r--", false}},
    {"custom, link rule applies to a column name", "2957681", "lrwxrwxrwx 1 ftp ftp 7 Jan 10 09:30 bin -> usr/bin",
     {"bin", "", "10 Jan", "09:30", "lrwxrwxrwx", true}},
    {"custom, zero, non-digit and missing columns stay empty", "2x0a0b1", "-rw-r--r-- 1 ftp ftp 12 x",
     {"", "", "", "", "-rw-r--r--", false}},
    {"msftp4, directory has no size", "3957681", "01-05-01  10:15AM       <DIR>          pub",
     {"pub", "", "01-05-01", "10:15AM", "", true}},
    {"msftp4 (also a short code), file with size, name with spaces stays whole", "3", "01-05-01  10:15AM   1234 read me now.txt",
     {"read me now.txt", "1234", "01-05-01", "10:15AM", "", false}},
};
INSTANTIATE_TEST_SUITE_P(OtherFormats, ParseListingLineTest, testing::ValuesIn(kOtherFormatCases), CaseName());

// The automatic format reads a line as the format that fits it, or gives no entry.
struct AutomaticCase {
  std::string what;
  std::string line;
  const char* fits;  // the Answer code of the fitting format; nullptr: no format reads the line
};

class AutomaticFormatTest : public testing::TestWithParam<AutomaticCase> {};

TEST_P(AutomaticFormatTest, ReadsTheLineAsTheFormatThatFitsIt) {
  const AutomaticCase& c = GetParam();
  const std::optional<RemoteEntry> expected =
      c.fits ? ParseListingLine(c.line, ListingContext{c.fits, kStartup}) : std::nullopt;
  EXPECT_EQ(ParseListingLine(c.line, ListingContext{kUnix, kStartup, ListingFormat::Automatic}), expected);
}

const char* const kMsDos = "3957681";

// Every line of the tables above (the Text and Custom lines are Unix lines), and lines that
// look almost like one of the two kinds. The real listings: RealListingTest.
std::vector<AutomaticCase> AutomaticCases() {
  std::vector<AutomaticCase> cases = {
      {"unix, access control list mark", "drwxr-xr-x+ 2 ftp ftp 512 Jan 10 09:30 acl", kUnix},
      {"unix, set-id and sticky letters", "drwsr-Sr-t 2 ftp ftp 512 Jan 10 09:30 odd", kUnix},
      {"ms-dos, four-digit year and a 24-hour time", "01-05-2001  22:15      1234 evening.txt", kMsDos},
      {"none, a permission text with a foreign letter", "-rwxr-xr-q 1 ftp ftp 12 Mar  5  1999 q.txt", nullptr},
      {"none, a permission text of nine letters", "-rwxr-xr- 1 ftp ftp 12 Mar  5  1999 short.txt", nullptr},
      {"none, an ms-dos line without a name", "01-05-01  10:15AM       <DIR>   ", nullptr},
      {"none, an ms-dos date with slashes", "01/05/01  10:15AM       <DIR>  pub", nullptr},
      {"none, an ms-dos time without minutes", "01-05-01  10AM       <DIR>  pub", nullptr},
      {"none, a VMS line", "PUB.DIR;1  1/3  5-MAR-1999 10:00:00 [FTP] (RWED,RWED,RE,RE)", nullptr},
      {"none, a machine listing line", "type=file;size=1;modify=20240102030405; a.txt", nullptr},
  };
  for (const ParseCase& c : kStandardCases) cases.push_back({std::string("standard table: ") + c.what, c.line, kUnix});
  for (const ParseCase& c : kOtherFormatCases) {
    cases.push_back({std::string("other formats table: ") + c.what, c.line, c.answer[0] == '3' ? kMsDos : kUnix});
  }
  return cases;
}
INSTANTIATE_TEST_SUITE_P(Lines, AutomaticFormatTest, testing::ValuesIn(AutomaticCases()), CaseName());

}  // namespace
}  // namespace listing
