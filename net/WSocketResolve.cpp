#include "net/WSocketResolve.h"

#include <algorithm>
#include <netinet/in.h>
#include <vector>

#include "net/AddressOrder.h"
#include "net/SocketLibrary.h"
#include "net/WSocketTypes.h"
#include "platform/SocketErrors.h"
#include "platform/Sockets.h"
#include "platform/StringUtils.h"

using platform::Format;
using platform::IsDigit;
using platform::Trim;

namespace {

// The value of the leading decimal digits, saturating well above any valid value.
long LeadingNumber(const std::string& s) {
  long value = 0;
  for (size_t i = 0; i < s.size() && IsDigit(s[i]); ++i) value = std::min(value * 10 + (s[i] - '0'), 1L << 20);
  return value;
}

}  // namespace

bool IsDottedIp(const std::string& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  if (i < n && text[i] == '.') return false;
  int dots = 0;
  long part = 0;
  for (; i < n; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      part = std::min(part * 10 + (c - '0'), 1L << 20);
    } else if (c == '.') {
      if (++dots > 3 || part > 255 || i + 1 == n || !IsDigit(text[i + 1])) return false;
      part = 0;
    } else {
      for (size_t j = i + 1; j < n; ++j)
        if (text[j] != ' ') return false;
      break;
    }
  }
  return dots == 3 && part <= 255;
}

namespace {

std::vector<platform::SocketAddress> LookUp(const std::string& text) {
  if (text.empty() || text.size() > 256)
    throw ESocketException("WSocketResolveHost: '" + text + "' Invalid Hostname.");
  const std::string host = Trim(text);
  std::vector<platform::SocketAddress> addresses;
  const int error = SocketCall(platform::LookupHostAddresses, host, &addresses);
  if (error != 0)
    throw ESocketException(Format("WSocketResolveHost: Cannot convert host address '%s', Error #%d", host.c_str(), error));
  return addresses;
}

}  // namespace

uint32_t WSocketResolveHost(const std::string& text) {
  const std::string host = Trim(text);
  if (!text.empty() && text.size() <= 256 && IsDottedIp(host)) {
    const uint32_t address = SocketCall(platform::InetAddr, host);
    if (address != INADDR_NONE || host == "255.255.255.255") return address;
    throw ESocketException("WSocketResolveHost: '" + text + "' Invalid IP address.");
  }
  for (const platform::SocketAddress& address : LookUp(text))
    if (!address.IsIpv6()) return address.Ipv4();
  throw ESocketException(Format("WSocketResolveHost: Cannot convert host address '%s', Error #%d", host.c_str(),
                                platform::kWsaNO_DATA));
}

platform::SocketAddress WSocketResolveAddress(const std::string& text) {
  const std::string host = Trim(text);
  if (const auto numeric = platform::SocketAddress::FromText(host)) return *numeric;
  if (IsDottedIp(host)) throw ESocketException("WSocketResolveHost: '" + text + "' Invalid IP address.");
  const std::vector<platform::SocketAddress> found = LookUp(text);
  return ConnectOrder(found).front();
}

uint16_t WSocketResolvePort(const std::string& port, const std::string& proto) {
  if (port.empty() || port.size() >= 32) throw ESocketException("WSocketResolvePort: Invalid Port.");
  if (IsDigit(port[0])) {
    // A number beyond 16 bits names no port; cut to 16 bits it would name another one.
    const long number = LeadingNumber(port);
    if (number > 65535) throw ESocketException("WSocketResolvePort: Invalid Port.");
    return static_cast<uint16_t>(number);
  }
  const std::string name = Trim(port);
  uint16_t number = 0;
  const int error = SocketCall(platform::LookupServicePort, name, Trim(proto), &number);
  if (error != 0)
    throw ESocketException(Format("WSocketResolvePort: Cannot convert port '%s', Error #%d", name.c_str(), error));
  return number;
}

int WSocketResolveProto(const std::string& proto) {
  if (proto.empty() || proto.size() >= 32) throw ESocketException("WSocketResolveProto: Invalid Protocol.");
  const std::string name = Trim(proto);
  if (!name.empty() && IsDigit(name[0])) return static_cast<int>(LeadingNumber(name));
  int number = 0;
  const int error = SocketCall(platform::LookupProtocolNumber, name, &number);
  if (error != 0)
    throw ESocketException(Format("WSocketResolveProto: Cannot convert protocol '%s', Error #%d", name.c_str(), error));
  return number;
}
