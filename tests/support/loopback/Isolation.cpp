#include "support/loopback/Isolation.h"

#include <net/if.h>

#include <string>

namespace testsupport {

bool OnlyLoopbackNetwork() {
  struct if_nameindex* interfaces = if_nameindex();
  if (!interfaces) return false;
  bool onlyLoopback = true;
  for (const struct if_nameindex* i = interfaces; i->if_index != 0; ++i)
    if (std::string(i->if_name) != "lo") onlyLoopback = false;
  if_freenameindex(interfaces);
  return onlyLoopback;
}

}  // namespace testsupport
