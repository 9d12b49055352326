#pragma once
// Host names that the system's resolver is not asked about. While a ScopedHostTable is
// installed, every lookup of this process, blocking (LookupHostAddresses) or asynchronous
// (MessageSink), answers a name of the table with the table's addresses, in the table's
// order, and a name outside it as before. Tests use it for names that resolve to an IPv6 and
// an IPv4 address at once, without a query ever leaving the machine.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/SocketAddress.h"

namespace platform {

class ScopedHostTable {
 public:
  // Host name -> numeric address texts; a name with no address is "host not found".
  explicit ScopedHostTable(std::map<std::string, std::vector<std::string>> hosts);
  ~ScopedHostTable();
  ScopedHostTable(const ScopedHostTable&) = delete;
  ScopedHostTable& operator=(const ScopedHostTable&) = delete;
};

// The addresses the installed table gives `name`; nothing when the table does not hold it.
std::optional<std::vector<SocketAddress>> HostTableAddresses(const std::string& name);

}  // namespace platform
