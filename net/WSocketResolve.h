#pragma once
// Host, port and protocol texts to numbers. Each function answers at once (a host name is
// looked up with a blocking call) and throws ESocketException on bad input or a failed lookup.
#include <cstdint>
#include <string>

#include "platform/SocketAddress.h"

// The IPv4 address of a dotted text or host name, in network order (a host's first IPv4
// address).
uint32_t WSocketResolveHost(const std::string& text);
// The address of a numeric text of either family, or a host name's first address in the
// order of ConnectOrder (AddressOrder.h); port 0.
platform::SocketAddress WSocketResolveAddress(const std::string& text);
// A decimal port (digits up to the first non-digit, at most 65535) or a service name; host
// order.
uint16_t WSocketResolvePort(const std::string& port, const std::string& proto);
// A decimal protocol number or a protocol name.
int WSocketResolveProto(const std::string& proto);

// Four decimal parts of at most 255, three dots, blanks allowed around.
bool IsDottedIp(const std::string& text);
