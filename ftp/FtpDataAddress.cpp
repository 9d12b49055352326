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

bool IsServerAddress(const sockaddr_in& caller, const sockaddr_in& server) {
  return caller.sin_family == server.sin_family && caller.sin_addr.s_addr == server.sin_addr.s_addr;
}
