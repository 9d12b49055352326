#pragma once
// Table rows name their tests. A row is a struct with a `what` (or `name`) text; CaseName
// turns it into the test's name and PrintTo prints the row as it in failure messages:
//
//   namespace {
//   using testsupport::PrintTo;  // found beside the rows, where GoogleTest looks for it
//   struct Row { const char* what; ... };
//   INSTANTIATE_TEST_SUITE_P(Rows, MyTest, testing::ValuesIn(kRows), testsupport::CaseName());
//   }
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

namespace testsupport {

template <typename Case>
std::string CaseText(const Case& c) {
  if constexpr (requires { c.what; }) {
    return std::string(c.what);
  } else {
    return std::string(c.name);
  }
}

template <typename Case>
  requires requires(const Case& c) { c.what; } || requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* os) {
  *os << CaseText(c);
}

struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    std::string name = CaseText(info.param);
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
  }
};

}  // namespace testsupport
