#pragma once
// The session harness under the name bench/tree_bench.cpp uses, with the file helpers it
// takes from the harness's namespace.
#include "support/files/PatternFiles.h"
#include "support/session/SessionHarness.h"

namespace sessiontest {
using testsupport::DigestOf;
using testsupport::WritePattern;
}  // namespace sessiontest
