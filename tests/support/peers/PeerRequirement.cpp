#include "support/peers/PeerRequirement.h"

#include <cstdlib>
#include <string_view>

namespace testsupport {

bool InContinuousIntegration() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string_view(ci) == "true";
}

}  // namespace testsupport
