#include "net/AddressOrder.h"

#include <algorithm>

#include "platform/Sockets.h"

std::vector<platform::SocketAddress> ConnectOrder(std::vector<platform::SocketAddress> addresses,
                                                  const RouteCheck& hasRoute) {
  const RouteCheck routed = hasRoute ? hasRoute : RouteCheck(platform::HasRouteTo);
  const auto rank = [&](const platform::SocketAddress& a) {
    if (!routed(a)) return 2;
    return a.IsIpv6() ? 0 : 1;
  };
  std::vector<std::pair<int, platform::SocketAddress>> ranked;
  for (const platform::SocketAddress& a : addresses) ranked.emplace_back(rank(a), a);
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
  for (std::size_t i = 0; i < ranked.size(); ++i) addresses[i] = ranked[i].second;
  return addresses;
}
