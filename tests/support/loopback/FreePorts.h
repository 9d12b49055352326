#pragma once
// Free TCP ports on 127.0.0.1 for servers the tests start.
#include <cstdint>

namespace testsupport {

// A port nothing listens on now, from the system's ephemeral range.
uint16_t FreePort();

// `count` consecutive ports that are all free now, below the ephemeral range so that outgoing
// connections never take them; for a server's passive data ports.
struct PortRange {
  uint16_t first = 0;
  uint16_t last = 0;
};
PortRange FreePortRange(int count);

}  // namespace testsupport
