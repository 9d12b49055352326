#pragma once
// Where the data connection goes and where it may come from. Every address of the data
// connection is decided here: the PORT or EPRT line that names our listening end, the
// command that asks for a passive one, the port a PASV or EPSV reply names, and who may
// connect to a listening data socket. Pure code, no I/O.
//
// The extended commands (EPSV, EPRT) are the only ones that work over IPv6: PASV and PORT
// carry IPv4 addresses. Over IPv4 EPSV is used when the server offers it: its reply names
// no address, so a server behind NAT that names a wrong one in its 227 reply does no harm.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/SocketAddress.h"

// "PORT h1,h2,h3,h4,p1,p2": the address's four bytes in network order, the port's high and
// low byte.
std::string PortLine(uint32_t addressNetworkOrder, uint16_t port);

// "EPRT |2|::1|port|" (|1| and a dotted address for IPv4).
std::string EprtLine(const platform::SocketAddress& address);

// "EPSV" where it is to be used (see above), else "PASV". `epsvRefused`: the server refused
// an EPSV of this session.
std::string PassiveCommand(bool controlIsIpv6, bool serverOffersEpsv, bool epsvRefused);

// The port of "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)": the numbers after the fourth
// comma that follows the first '(' up to the next ',' and then up to the next ')'. The four
// address numbers are not read (the data connection goes to the control connection's peer).
// nullopt when the numbers are missing, carry anything else, or lie outside 0 to 255.
std::optional<uint16_t> PasvReplyPort(const std::string& reply);

// The port of "229 Entering Extended Passive Mode (|||6446|)": after the '(' come three
// delimiters (the same character, any of ASCII 33..126), the decimal port, the delimiter
// again. nullopt for anything else, or a port outside 1 to 65535.
std::optional<uint16_t> EpsvReplyPort(const std::string& reply);

// The port of a 227 or 229 reply, by its code.
std::optional<uint16_t> PassiveReplyPort(const std::string& reply);

// An active data connection is taken only from the host the control connection goes to:
// whoever else calls first could inject a download or receive an upload.
bool IsServerAddress(const platform::SocketAddress& caller, const platform::SocketAddress& server);
