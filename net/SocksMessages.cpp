#include "net/SocksMessages.h"

#include <netinet/in.h>

#include "platform/SocketAddress.h"

namespace {

constexpr size_t kMaxSocks5Field = 255;  // a SOCKS 5 length byte
constexpr uint8_t kSocks4Granted = 90;

std::string PortBytes(uint16_t port) { return {static_cast<char>(port >> 8), static_cast<char>(port & 0xFF)}; }

// A SOCKS 5 field preceded by its length; nullopt when the length does not fit its byte.
std::optional<std::string> LengthPrefixed(const std::string& field) {
  if (field.size() > kMaxSocks5Field) return std::nullopt;
  return static_cast<char>(field.size()) + field;
}

SocksFailure Unassigned(uint8_t reply) { return {kSocksUnassignedError, "unassigned error #" + std::to_string(reply)}; }

}  // namespace

std::string Socks5MethodSelection(bool offerLogin) {
  if (!offerLogin) return {'\x05', '\x01', kSocks5NoAuthentication};
  return {'\x05', '\x02', kSocks5NoAuthentication, kSocks5UserPassword};
}

std::optional<std::string> Socks5Credentials(const std::string& user, const std::string& password) {
  const auto userField = LengthPrefixed(user);
  const auto passwordField = LengthPrefixed(password);
  if (!userField || !passwordField) return std::nullopt;
  return '\x01' + *userField + *passwordField;
}

std::optional<std::string> Socks5ConnectRequest(const std::string& host, uint16_t port) {
  if (const auto address = platform::SocketAddress::FromText(host); address && address->IsIpv6()) {
    const auto* bytes = reinterpret_cast<const char*>(&reinterpret_cast<const sockaddr_in6*>(address->Raw())->sin6_addr);
    return std::string{'\x05', '\x01', '\x00', '\x04'} + std::string(bytes, 16) + PortBytes(port);
  }
  const auto hostField = LengthPrefixed(host);
  if (!hostField) return std::nullopt;
  return std::string{'\x05', '\x01', '\x00', '\x03'} + *hostField + PortBytes(port);
}

std::string Socks4ConnectRequest(uint16_t port, uint32_t addressNetworkOrder, const std::string& userId) {
  const auto* address = reinterpret_cast<const char*>(&addressNetworkOrder);
  return std::string{'\x04', '\x01'} + PortBytes(port) + std::string(address, 4) + userId + '\0';
}

std::string Socks4AConnectRequest(uint16_t port, const std::string& userId, const std::string& host) {
  return std::string{'\x04', '\x01'} + PortBytes(port) + std::string("\x00\x00\x00\x01", 4) + userId + '\0' + host +
         '\0';
}

SocksFailure Socks5ReplyFailure(uint8_t reply) {
  static const char* const texts[] = {
      "general SOCKS server failure", "connection not allowed by ruleset", "network unreachable",
      "host unreachable",             "connection refused",                "time to live expired",
      "command not supported",        "address type not supported"};
  if (reply >= 1 && reply <= 8) return {kSocksGeneralFailure + reply - 1, texts[reply - 1]};
  return Unassigned(reply);
}

std::optional<SocksFailure> Socks4ReplyFailure(uint8_t reply) {
  switch (reply) {
    case kSocks4Granted: return std::nullopt;
    case 91: return SocksFailure{kSocksRejectedOrFailed, "request rejected or failed"};
    case 92: return SocksFailure{kSocksConnectionRefused, "connection refused"};
    case 93: return SocksFailure{kSocksAuthenticationFailed, "authentification failed"};
    default: return Unassigned(reply);
  }
}
