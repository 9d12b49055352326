#pragma once
// A per-object mailbox on the program's one event loop (Qt's), standing where the classic
// design gives an object a hidden window:
//
// - Post(msg, wParam, lParam) queues a message; it is delivered to the handler later, from
//   the event loop, after the current handler has returned, in posting order. Destroying the
//   sink drops its undelivered messages.
//
// - SelectSocket(handle, msg, mask) reports readiness of a socket as messages `msg` with
//   wParam = handle and lParam = MakeSelectParam(event bit, error code). The events keep the
//   classic library's rhythm:
//     connect (16)  once, when a started connect finishes; its error is the connect's outcome;
//     read (1)      while bytes are readable;
//     accept (8)    while a connection is pending on a listening socket (again after each accept);
//     close (32)    once, when the peer has closed or the connection failed; then reads stop;
//     write (2)     once after a connect completes or when selected on a connected socket, and
//                   again only after a send was refused or partly taken, never in a busy loop.
//   A mask of 0 switches the notifications off; selecting again switches them on.
//
// - LookupHostByName / LookupHostByAddr start an asynchronous, cancellable host lookup whose
//   end is delivered as message `msg` with wParam = the lookup's handle and lParam =
//   MakeSelectParam(0, error); TakeLookupReply(handle) then gives the addresses, IPv6 and IPv4
//   in the order the system gives them (by name), or the host name (by address). The reply
//   never arrives before the start call returns. Names of an installed host table
//   (HostTable.h) are answered from it.
//
// Every delivery happens on the thread that owns the event loop, never inside the call that
// caused it (except that the handler may of course call back into the sink).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/SocketAddress.h"
#include "platform/Sockets.h"

namespace platform {

inline constexpr unsigned kFdRead = 1;
inline constexpr unsigned kFdWrite = 2;
inline constexpr unsigned kFdAccept = 8;
inline constexpr unsigned kFdConnect = 16;
inline constexpr unsigned kFdClose = 32;

constexpr intptr_t MakeSelectParam(unsigned event, int error) {
  return static_cast<intptr_t>((static_cast<uint32_t>(error) << 16) | (event & 0xFFFFu));
}
constexpr unsigned SelectEvent(intptr_t lParam) { return static_cast<unsigned>(lParam) & 0xFFFFu; }
constexpr int SelectError(intptr_t lParam) { return static_cast<int>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFFu); }

struct HostLookupReply {
  std::vector<SocketAddress> addresses;  // port 0, in the order returned
  std::string hostName;
};

class MessageSink {
 public:
  using Handler = std::function<void(unsigned msg, uintptr_t wParam, intptr_t lParam)>;

  explicit MessageSink(Handler handler);
  ~MessageSink();
  MessageSink(const MessageSink&) = delete;
  MessageSink& operator=(const MessageSink&) = delete;

  void Post(unsigned msg, uintptr_t wParam, intptr_t lParam);

  // 0, or -1 with the error in LastSocketError().
  int SelectSocket(SocketHandle s, unsigned msg, unsigned mask);

  // A lookup handle (> 0), or 0 with the error in LastSocketError().
  int LookupHostByName(const std::string& name, unsigned msg);
  int LookupHostByAddr(const SocketAddress& address, unsigned msg);
  // 0, or -1 (10022) when no such lookup runs. A cancelled lookup never replies.
  int CancelLookup(int lookupHandle);
  HostLookupReply TakeLookupReply(int lookupHandle);

  class Impl;

 private:
  Impl* impl_;  // a QObject that frees itself, possibly later than the sink (see Detach)
};

}  // namespace platform
