#include "ftp/FtpDataAddress.h"

#include "ftp/FtpReply.h"
#include "platform/StringUtils.h"

std::string PortLine(uint32_t addressNetworkOrder, uint16_t port) {
  const auto* a = reinterpret_cast<const unsigned char*>(&addressNetworkOrder);
  return platform::Format("PORT %d,%d,%d,%d,%d,%d", a[0], a[1], a[2], a[3], port >> 8, port & 0xFF);
}

namespace {

// The number that starts at `from` and ends exactly at `end`, when it is a byte value.
std::optional<int64_t> ByteBetween(const std::string& text, size_t from, size_t end) {
  int64_t value = 0;
  if (end == std::string::npos || GetInteger(text, from, value) != end || value < 0 || value > 255) return {};
  return value;
}

}  // namespace

std::optional<uint16_t> PasvReplyPort(const std::string& reply) {
  size_t pos = reply.find('(');
  for (int comma = 0; comma < 4 && pos != std::string::npos; ++comma) pos = reply.find(',', pos + 1);
  if (pos == std::string::npos) return {};
  const size_t highEnd = reply.find(',', pos + 1);
  const auto high = ByteBetween(reply, pos + 1, highEnd);
  if (!high) return {};
  const auto low = ByteBetween(reply, highEnd + 1, reply.find(')', highEnd + 1));
  if (!low) return {};
  return static_cast<uint16_t>(*high * 256 + *low);
}

std::optional<uint16_t> EpsvReplyPort(const std::string& reply) {
  const size_t open = reply.find('(');
  if (open == std::string::npos || open + 4 >= reply.size()) return {};
  const char delimiter = reply[open + 1];
  if (delimiter < 33 || delimiter > 126 || platform::IsDigit(delimiter)) return {};
  if (reply[open + 2] != delimiter || reply[open + 3] != delimiter) return {};
  const size_t digits = open + 4;
  size_t end = digits;
  while (end < reply.size() && platform::IsDigit(reply[end]) && end - digits < 6) ++end;
  if (end == digits || end >= reply.size() || reply[end] != delimiter) return {};
  const long port = std::stol(reply.substr(digits, end - digits));
  if (port < 1 || port > 65535) return {};
  return static_cast<uint16_t>(port);
}

std::optional<uint16_t> PassiveReplyPort(const std::string& reply) {
  return reply.starts_with("229") ? EpsvReplyPort(reply) : PasvReplyPort(reply);
}

// A zone ("%eth0") means nothing to the server: it is left out.
std::string EprtLine(const platform::SocketAddress& address) {
  const std::string text = address.Text();
  return platform::Format("EPRT |%d|%s|%u|", address.IsIpv6() ? 2 : 1, text.substr(0, text.find('%')).c_str(),
                          address.Port());
}

std::string PassiveCommand(bool controlIsIpv6, bool serverOffersEpsv, bool epsvRefused) {
  return !epsvRefused && (controlIsIpv6 || serverOffersEpsv) ? "EPSV" : "PASV";
}

bool IsServerAddress(const platform::SocketAddress& caller, const platform::SocketAddress& server) {
  return caller.SameHost(server);
}
