#include "platform/SocketAddress.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cstring>

namespace platform {

namespace {

const sockaddr_in& AsIpv4(const sockaddr_storage& s) { return reinterpret_cast<const sockaddr_in&>(s); }
const sockaddr_in6& AsIpv6(const sockaddr_storage& s) { return reinterpret_cast<const sockaddr_in6&>(s); }

// The IPv4 address an IPv6 address maps ("::ffff:a.b.c.d"), when it is one.
std::optional<uint32_t> MappedIpv4(const sockaddr_in6& a) {
  if (!IN6_IS_ADDR_V4MAPPED(&a.sin6_addr)) return std::nullopt;
  uint32_t v4 = 0;
  std::memcpy(&v4, a.sin6_addr.s6_addr + 12, sizeof v4);
  return v4;
}

}  // namespace

SocketAddress::SocketAddress() { storage_.ss_family = AF_INET; }

SocketAddress SocketAddress::Any(int family) {
  SocketAddress a;
  a.storage_.ss_family = static_cast<sa_family_t>(family == AF_INET6 ? AF_INET6 : AF_INET);
  return a;
}

std::optional<SocketAddress> SocketAddress::FromText(std::string_view text, uint16_t port) {
  const std::string s(text);
  SocketAddress a;
  auto& v4 = reinterpret_cast<sockaddr_in&>(a.storage_);
  if (::inet_pton(AF_INET, s.c_str(), &v4.sin_addr) == 1) {
    v4.sin_family = AF_INET;
  } else {
    // getaddrinfo, rather than inet_pton, so that a zone ("%eth0") is understood.
    addrinfo hints{};
    hints.ai_family = AF_INET6;
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo* found = nullptr;
    if (s.empty() || ::getaddrinfo(s.c_str(), nullptr, &hints, &found) != 0) return std::nullopt;
    std::memcpy(&a.storage_, found->ai_addr, found->ai_addrlen);
    ::freeaddrinfo(found);
  }
  a.SetPort(port);
  return a;
}

uint16_t SocketAddress::Port() const {
  return ntohs(IsIpv6() ? AsIpv6(storage_).sin6_port : AsIpv4(storage_).sin_port);
}

void SocketAddress::SetPort(uint16_t port) {
  if (IsIpv6())
    reinterpret_cast<sockaddr_in6&>(storage_).sin6_port = htons(port);
  else
    reinterpret_cast<sockaddr_in&>(storage_).sin_port = htons(port);
}

std::string SocketAddress::Text() const {
  char text[NI_MAXHOST] = {};
  if (::getnameinfo(Raw(), Length(), text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0) return {};
  return text;
}

uint32_t SocketAddress::Ipv4() const { return IsIpv6() ? 0 : AsIpv4(storage_).sin_addr.s_addr; }

bool SocketAddress::SameHost(const SocketAddress& other) const {
  const auto v4Of = [](const SocketAddress& a) -> std::optional<uint32_t> {
    return a.IsIpv6() ? MappedIpv4(AsIpv6(a.storage_)) : std::optional<uint32_t>(a.Ipv4());
  };
  const auto mine = v4Of(*this);
  const auto theirs = v4Of(other);
  if (mine || theirs) return mine == theirs;
  return std::memcmp(&AsIpv6(storage_).sin6_addr, &AsIpv6(other.storage_).sin6_addr, sizeof(in6_addr)) == 0;
}

socklen_t SocketAddress::Length() const {
  return static_cast<socklen_t>(IsIpv6() ? sizeof(sockaddr_in6) : sizeof(sockaddr_in));
}

bool IsIpv6Text(std::string_view text) {
  const auto a = SocketAddress::FromText(text);
  return a && a->IsIpv6();
}

}  // namespace platform
