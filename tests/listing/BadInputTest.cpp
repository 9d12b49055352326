#include <gtest/gtest.h>

#include <random>
#include <string>

#include "listing/ListingParser.h"
#include "listing/MaskMatch.h"

namespace listing {
namespace {

// Arbitrary bytes go through the parser and the mask matcher without crashing, in linear
// time (a quadratic step would blow the CTest timeout on the 10 MiB inputs).

constexpr CalendarDate kStartup{2024, 6, 15};
const ListingContext kEveryFormat[] = {
    {"0957681", kStartup}, {"1957681", kStartup}, {"2957681", kStartup}, {"3957681", kStartup},
    {"2999999", kStartup}, {"0957681", kStartup, ListingFormat::Automatic}, {"0957681", kStartup, ListingFormat::Mlsd},
};
const std::string kHuge(10 << 20, 'a');

std::string RandomBytes(std::mt19937& random, std::size_t length, std::string_view alphabet) {
  std::string bytes(length, '\0');
  for (char& c : bytes) c = alphabet.empty() ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
  return bytes;
}

void ParseInEveryFormat(const std::string& line) {
  for (const ListingContext& context : kEveryFormat) {
    const auto entry = ParseListingLine(line, context);
    EXPECT_LE(entry.value_or(RemoteEntry{}).name.size(), line.size());
  }
}

TEST(BadInputTest, RandomAndHugeLinesParseInEveryFormat) {
  std::mt19937 random(7);
  const std::string_view unixish("drwxl- 0123456789:.->JanFebDec\0\r\t", 34);
  const std::string_view factish("type=filedircslink;size0123456789modify.unix.mode perm ");
  const std::string_view alphabets[] = {"", unixish, factish};
  for (int round = 0; round < 15000; ++round) {
    ParseInEveryFormat(RandomBytes(random, random() % 120, alphabets[round % 3]));
  }
  ParseInEveryFormat(std::string(kHuge.size(), ' '));
  ParseInEveryFormat(std::string(kHuge.size(), '\0'));
  ParseInEveryFormat("lrwxrwxrwx 1 a b 1 Mar 5 10:00 " + kHuge);
  ParseInEveryFormat("-rw-r--r-- 1 a b 1 Mar 5 " + std::string(kHuge.size(), '9') + " x");
  ParseInEveryFormat(RandomBytes(random, kHuge.size(), " a"));
  ParseInEveryFormat(std::string(kHuge.size(), ';') + " x");
  ParseInEveryFormat("type=file;modify=" + kHuge + "; x");
}

TEST(BadInputTest, MasksOfAnyBytesMatchInLinearTime) {
  std::mt19937 random(11);
  for (int round = 0; round < 10000; ++round) {
    MatchesMask(RandomBytes(random, random() % 12, ".ab\0"), RandomBytes(random, random() % 12, "*?.ab"));
  }
  const std::string stars(kHuge.size(), '*');
  EXPECT_TRUE(MatchesMask(kHuge, stars));
  EXPECT_FALSE(MatchesMask(kHuge, stars + "?"));
  EXPECT_FALSE(MatchesMask(kHuge, "*" + std::string(kHuge.size() / 2, '?') + "b"));
  EXPECT_FALSE(MatchesMask(std::string(kHuge.size(), '.'), "*.txt"));
}

}  // namespace
}  // namespace listing
