#pragma once
// The order in which a host's addresses are tried when connecting to it: IPv6 first where
// this machine has a route to the address, then IPv4, then whatever it has no route to (a
// host's IPv6 address is of no use on a network without IPv6). Within each group the
// resolver's order stays.
#include <functional>
#include <vector>

#include "platform/SocketAddress.h"

using RouteCheck = std::function<bool(const platform::SocketAddress&)>;

// `hasRoute` defaults to asking the system (platform::HasRouteTo).
std::vector<platform::SocketAddress> ConnectOrder(std::vector<platform::SocketAddress> addresses,
                                                  const RouteCheck& hasRoute = {});
