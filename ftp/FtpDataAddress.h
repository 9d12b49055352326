#pragma once
// Where the data connection goes and where it may come from. Every address of the data
// connection is decided here: the PORT line that names our listening end, the port a PASV
// reply names, and who may connect to a listening data socket. Pure code, no I/O.
#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>

// "PORT h1,h2,h3,h4,p1,p2": the address's four bytes in network order, the port's high and
// low byte.
std::string PortLine(uint32_t addressNetworkOrder, uint16_t port);

// The port of "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)": the numbers after the fourth
// comma that follows the first '(' up to the next ',' and then up to the next ')'. The four
// address numbers are not read (the data connection goes to the control connection's peer).
// nullopt when the numbers are missing, carry anything else, or lie outside 0 to 255.
std::optional<uint16_t> PasvReplyPort(const std::string& reply);

// An active data connection is taken only from the host the control connection goes to:
// whoever else calls first could inject a download or receive an upload.
bool IsServerAddress(const sockaddr_in& caller, const sockaddr_in& server);
