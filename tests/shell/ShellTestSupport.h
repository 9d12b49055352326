#pragma once
// Shared by the shell tests: table rows (structs with a `what` text) name their tests and
// print as that text.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

namespace shell {
namespace {

template <typename Case>
  requires requires(const Case& c) { c.what; }
void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    std::string name = info.param.what;
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
  }
};

}  // namespace
}  // namespace shell
