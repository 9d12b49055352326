#pragma once
// A peer that cannot run on this machine skips the test on a developer's machine, with the
// reason, but fails it under CI=true, where every peer must be installed.
#include <gtest/gtest.h>

#include <string>

namespace testsupport {

bool InContinuousIntegration();

}  // namespace testsupport

#define MARLO_REQUIRE_PEER(peer)                                                   \
  do {                                                                             \
    const std::string marloSkipReason = (peer).SkipReason();                       \
    if (!marloSkipReason.empty()) {                                                \
      if (::testsupport::InContinuousIntegration()) FAIL() << marloSkipReason;     \
      GTEST_SKIP() << marloSkipReason;                                             \
    }                                                                              \
  } while (false)
