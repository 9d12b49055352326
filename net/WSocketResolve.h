#pragma once
// Host, port and protocol texts to numbers. Each function answers at once (a host name is
// looked up with a blocking call) and throws ESocketException on bad input or a failed lookup.
#include <cstdint>
#include <string>

// The address of a dotted text or host name, in network order.
uint32_t WSocketResolveHost(const std::string& text);
// A decimal port (digits up to the first non-digit, at most 65535) or a service name; host
// order.
uint16_t WSocketResolvePort(const std::string& port, const std::string& proto);
// A decimal protocol number or a protocol name.
int WSocketResolveProto(const std::string& proto);

// Four decimal parts of at most 255, three dots, blanks allowed around.
bool IsDottedIp(const std::string& text);
