#pragma once
// An address of a socket's end: an IPv4 or an IPv6 address and a port, as the socket calls
// take and give them. Everything else in the program names addresses by their numeric text,
// "127.0.0.1" or "::1" (an IPv6 address with a zone, "fe80::1%eth0", too); in URLs and site
// addresses an IPv6 address stands in brackets, "[::1]:21", which this text never has.
#include <sys/socket.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class SocketAddress {
 public:
  // The IPv4 wildcard 0.0.0.0, port 0.
  SocketAddress();

  // The address a numeric text names (no host names, no brackets), with `port`. IPv4 takes
  // the strict dotted form only ("127.1" is no address).
  static std::optional<SocketAddress> FromText(std::string_view text, uint16_t port = 0);
  // The wildcard address of a family (AF_INET or AF_INET6).
  static SocketAddress Any(int family);

  int Family() const { return storage_.ss_family; }
  bool IsIpv6() const { return Family() == AF_INET6; }
  uint16_t Port() const;
  void SetPort(uint16_t port);
  // The numeric text of the address alone: "127.0.0.1", "::1".
  std::string Text() const;
  // Both name the same host (the ports aside). An IPv4 address and the same address mapped
  // into IPv6 ("::ffff:127.0.0.1") are the same host.
  bool SameHost(const SocketAddress& other) const;
  // The IPv4 address in network order; 0 for an IPv6 address.
  uint32_t Ipv4() const;

  // For the socket calls.
  const sockaddr* Raw() const { return reinterpret_cast<const sockaddr*>(&storage_); }
  sockaddr* Raw() { return reinterpret_cast<sockaddr*>(&storage_); }
  socklen_t Length() const;
  static constexpr socklen_t kCapacity = sizeof(sockaddr_storage);

 private:
  sockaddr_storage storage_{};
};

// A numeric IPv6 text (with or without a zone), never a host name.
bool IsIpv6Text(std::string_view text);

}  // namespace platform
