#pragma once
// The text of the exception a call throws, for checking exact error texts in one line:
//
//   EXPECT_EQ(testsupport::ThrownText<ESocketException>([&] { s.Connect(); }), "Connect: ...");
#include <functional>
#include <string>

namespace testsupport {

// e.what() of the E that `call` throws; "no exception" when it returns normally.
template <class E>
std::string ThrownText(const std::function<void()>& call) {
  try {
    call();
  } catch (const E& e) {
    return e.what();
  }
  return "no exception";
}

}  // namespace testsupport
