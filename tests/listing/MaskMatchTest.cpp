#include <gtest/gtest.h>

#include "listing/MaskMatch.h"
#include "support/listing/ListingTestSupport.h"

namespace listing {
namespace {

struct MaskCase {
  const char* what;
  const char* mask;
  const char* name;
  bool matches;
};

class MatchesMaskTest : public testing::TestWithParam<MaskCase> {};

TEST_P(MatchesMaskTest, DecidesLikeTheProgram) {
  const MaskCase& c = GetParam();
  EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches);
}

const MaskCase kMaskCases[] = {
    {"star matches a name without dot", "*", "README", true},
    {"star dot star matches a name without dot", "*.*", "README", true},
    {"extension mask is case sensitive", "*.TXT", "a.txt", false},
    {"extension mask needs as many parts", "*.txt", "a.b.txt", false},
    {"extension mask needs a dot", "*.txt", "readme", false},
    {"three parts", "*.*.gz", "a.tar.gz", true},
    {"star part matches an empty part", "*.bashrc", ".bashrc", true},
    {"parts are trimmed", "*.txt", "a. txt", true},
    {"question mark matches one character", "a?c.txt", "abc.txt", true},
    {"star needs a character before the literal", "a*b", "ab", false},
    {"star finds the first later occurrence only", "*b", "abab", false},
    {"trailing star matches the rest", "ab*", "abcdef", true},
    {"trailing star needs a character", "ab*", "ab", false},
    {"question mark on the last character with mask left", "a?c", "ab", false},
    {"question mark on the last character at the mask end", "a?", "ab", true},
    {"star and question marks fitting the rest", "*??", "ab", true},
    {"star and question marks not fitting the rest", "*??", "abc", false},
    {"question marks after a star fill the characters before the literal", "*??b", "xxb", true},
    {"question marks after a star must fit before the literal", "*??b", "xb", false},
    {"empty mask matches nothing", "", "a", false},
};
INSTANTIATE_TEST_SUITE_P(Rules, MatchesMaskTest, testing::ValuesIn(kMaskCases), CaseName());

}  // namespace
}  // namespace listing
