#pragma once
// The bytes of the SOCKS client messages and the meaning of the servers' reply codes.
// Multi-byte numbers travel in network order. Messages are built at their exact size; a
// SOCKS 5 field longer than its one-byte length can carry is refused (nullopt).
#include <cstdint>
#include <optional>
#include <string>

// Outcome codes of a SOCKS negotiation, reported through OnSocksError and OnSessionConnected.
inline constexpr int32_t kSocksProtocolError = 20001;
inline constexpr int32_t kSocksVersionError = 20002;
inline constexpr int32_t kSocksAuthMethodError = 20003;
inline constexpr int32_t kSocksGeneralFailure = 20004;
inline constexpr int32_t kSocksConnectionRefused = 20008;
inline constexpr int32_t kSocksAddressTypeError = 20011;
inline constexpr int32_t kSocksUnassignedError = 20012;
inline constexpr int32_t kSocksRequestTooLong = 20014;
inline constexpr int32_t kSocksAuthenticationFailed = 20015;
inline constexpr int32_t kSocksRejectedOrFailed = 20016;
inline constexpr int32_t kSocksHostResolutionFailed = 20017;

struct SocksFailure {
  int32_t code;
  std::string text;
};

// SOCKS 5 method numbers this client offers.
inline constexpr uint8_t kSocks5NoAuthentication = 0;
inline constexpr uint8_t kSocks5UserPassword = 2;

// 5, 1, 0 (no authentication) without a login to offer; 5, 2, 0, 2 with one, so that a
// server that needs no login can still choose none.
std::string Socks5MethodSelection(bool offerLogin);
// 1, user length, user, password length, password.
std::optional<std::string> Socks5Credentials(const std::string& user, const std::string& password);
// 5, 1, 0, 3 (domain name), name length, name, port: the SOCKS server resolves the name.
// A numeric IPv6 host goes as 5, 1, 0, 4 (IPv6 address), its 16 bytes, port: a server need
// not take an IPv6 text for a name.
std::optional<std::string> Socks5ConnectRequest(const std::string& host, uint16_t port);
// 4, 1, port, IPv4 address, user ID, 0.
std::string Socks4ConnectRequest(uint16_t port, uint32_t addressNetworkOrder, const std::string& userId);
// 4, 1, port, 0.0.0.1, user ID, 0, host name, 0: the SOCKS server resolves the name.
std::string Socks4AConnectRequest(uint16_t port, const std::string& userId, const std::string& host);

// The failure a SOCKS 5 connect reply code (not 0) stands for.
SocksFailure Socks5ReplyFailure(uint8_t reply);
// The failure a SOCKS 4 reply code stands for; nullopt for 90, the grant.
std::optional<SocksFailure> Socks4ReplyFailure(uint8_t reply);
