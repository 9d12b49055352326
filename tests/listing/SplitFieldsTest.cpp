#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listing/SplitFields.h"
#include "support/listing/ListingTestSupport.h"

namespace listing {
namespace {

struct SplitCase {
  const char* what;
  std::string text;
  std::string separator;
  std::vector<std::string> expected;
};

class SplitFieldsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitFieldsTest, CutsAndTrimsFields) {
  EXPECT_EQ(SplitFields(GetParam().text, GetParam().separator), GetParam().expected);
}

const SplitCase kSplitCases[] = {
    {"empty text gives no fields", "", " ", {}},
    {"run of spaces is one separator", "a   b  c", " ", {"a", "b", "c"}},
    {"leading separator gives an empty first field", "  a b", " ", {"", "a", "b"}},
    {"empty field between separators stays", "a;;b", ";", {"a", "", "b"}},
    {"separator at the end adds no field", "a;b;", ";", {"a", "b"}},
    {"fields are trimmed of blanks and tabs", " a ;\tb ;c ", ";", {"a", "b", "c"}},
    {"blank text without separator is one empty field", "   ", ";", {""}},
    {"empty separator never matches", "a b", "", {"a b"}},
};
INSTANTIATE_TEST_SUITE_P(Rules, SplitFieldsTest, testing::ValuesIn(kSplitCases), CaseName());

}  // namespace
}  // namespace listing
