#include "platform/HostTable.h"

namespace platform {

namespace {

std::optional<std::map<std::string, std::vector<std::string>>>& Installed() {
  static std::optional<std::map<std::string, std::vector<std::string>>> table;
  return table;
}

}  // namespace

ScopedHostTable::ScopedHostTable(std::map<std::string, std::vector<std::string>> hosts) {
  Installed() = std::move(hosts);
}

ScopedHostTable::~ScopedHostTable() { Installed().reset(); }

std::optional<std::vector<SocketAddress>> HostTableAddresses(const std::string& name) {
  if (!Installed()) return std::nullopt;
  const auto entry = Installed()->find(name);
  if (entry == Installed()->end()) return std::nullopt;
  std::vector<SocketAddress> addresses;
  for (const std::string& text : entry->second)
    if (const auto address = SocketAddress::FromText(text)) addresses.push_back(*address);
  return addresses;
}

}  // namespace platform
