#include "support/loopback/FreePorts.h"

#include <random>
#include <stdexcept>

#include "support/loopback/LoopbackSocket.h"

namespace testsupport {

namespace {

constexpr int kLowestRangePort = 20000;
constexpr int kRangeEnd = 32000;  // the ephemeral range starts at 32768

bool AllFree(int first, int count) {
  for (int port = first; port < first + count; ++port) {
    if (!LoopbackSocket::Listen(static_cast<uint16_t>(port)).Valid()) return false;
  }
  return true;
}

}  // namespace

uint16_t FreePort() {
  const LoopbackSocket probe = LoopbackSocket::Listen();
  if (!probe.Valid()) throw std::runtime_error("no free port on 127.0.0.1");
  return probe.LocalPort();
}

PortRange FreePortRange(int count) {
  // Random starts keep test programs that run side by side apart.
  std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<int> start(kLowestRangePort, kRangeEnd - count);
  for (int attempt = 0; attempt < 50; ++attempt) {
    const int first = start(random);
    if (AllFree(first, count)) {
      return {static_cast<uint16_t>(first), static_cast<uint16_t>(first + count - 1)};
    }
  }
  throw std::runtime_error("no free range of " + std::to_string(count) + " ports on 127.0.0.1");
}

}  // namespace testsupport
