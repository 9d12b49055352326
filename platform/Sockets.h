#pragma once
// The socket calls of the program, on POSIX sockets with the behaviour of the classic
// asynchronous socket library the rest of the program was designed against:
// - every socket is non-blocking; a connect in progress fails with 10035 (would block);
// - failures return -1 (or kInvalidSocket) and leave a 100xx/110xx code in LastSocketError();
// - no send ever raises SIGPIPE;
// - a send that is refused or only partly taken re-arms the write readiness of the socket
//   (see MessageSink::SelectSocket), the one way write readiness comes back.
#include <cstdint>
#include <netinet/in.h>
#include <string>
#include <vector>

#include "platform/SocketAddress.h"

namespace platform {

using SocketHandle = int;
inline constexpr SocketHandle kInvalidSocket = -1;

SocketHandle OpenSocket(int family, int type, int protocol);
int CloseSocket(SocketHandle s);
int ConnectSocket(SocketHandle s, const SocketAddress& to);
int BindSocket(SocketHandle s, const SocketAddress& local);
int ListenSocket(SocketHandle s, int backlog);
// The accepted handle is non-blocking too; `peer` receives the remote address.
SocketHandle AcceptSocket(SocketHandle s, SocketAddress* peer);
int ShutdownSocket(SocketHandle s, int how);

int SendSocket(SocketHandle s, const void* data, int len, int flags);
int SendToSocket(SocketHandle s, const void* data, int len, int flags, const SocketAddress& to);
int RecvSocket(SocketHandle s, void* buffer, int len, int flags);
int RecvFromSocket(SocketHandle s, void* buffer, int len, int flags, SocketAddress* from);
// Bytes that can be read at once; -1 on failure.
int ReadableBytes(SocketHandle s);

// What SpliceToFile did: `bytes` read from the socket (0: the peer has closed; -1: a socket
// failure, its code in LastSocketError(), 10035 when nothing was readable), and whether the
// file failed to take bytes already read (they are lost).
struct SpliceOutcome {
  int bytes = 0;
  bool fileFailed = false;
};

// Moves up to `len` bytes readable on `s` into the file `fileDescriptor` at its position,
// inside the kernel, without copying them through the program. A file that refuses to be
// spliced into is written the ordinary way.
SpliceOutcome SpliceToFile(SocketHandle s, int fileDescriptor, int len);

// Sends up to `len` bytes of the file `fileDescriptor` from its position (which moves on),
// inside the kernel, without copying them through the program: the bytes sent, 0 at the
// end of the file, -1 on a failure (its code in LastSocketError(), 10035 when the socket
// takes nothing now). A send that stopped short re-arms write readiness, as SendSocket does.
int SendFileToSocket(SocketHandle s, int fileDescriptor, int len);

int SetSocketOption(SocketHandle s, int level, int name, const void* value, int len);
int SetSocketIntOption(SocketHandle s, int level, int name, int value);
int GetSockName(SocketHandle s, SocketAddress* name);
int GetPeerName(SocketHandle s, SocketAddress* name);

// Whether the system has a route to `address`: a host may well have an IPv6 address that
// this machine cannot reach. Sends nothing.
bool HasRouteTo(const SocketAddress& address);

// Dotted text to an address in network order; INADDR_NONE when the text is not one
// (and for "255.255.255.255", which callers tell apart themselves).
uint32_t InetAddr(const std::string& dotted);
std::string InetNtoa(uint32_t addressNetworkOrder);

// Blocking lookups, for the resolution functions that must answer at once.
// Each returns 0 or a lookup error code (11001..11004). A host's addresses come in the order
// the system gives them, IPv6 and IPv4 alike (a host table, HostTable.h, answers first).
int LookupHostAddresses(const std::string& name, std::vector<SocketAddress>* addresses);
int LookupServicePort(const std::string& service, const std::string& proto, uint16_t* portHostOrder);
int LookupProtocolNumber(const std::string& name, int* protocol);

}  // namespace platform
