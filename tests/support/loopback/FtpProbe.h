#pragma once
// A blocking FTP control connection for test code: reads whole replies (multi-line ones
// included) and sends command lines. The harness uses it to see a peer's greeting; tests
// use it to check a peer, or what a client should see, with plain socket calls.
#include <cstdint>
#include <string>
#include <string_view>

#include "support/loopback/LoopbackSocket.h"

namespace testsupport {

struct FtpReply {
  int code = 0;      // 0 when no complete reply arrived in time
  std::string text;  // every line of the reply, each with its CR LF
};

class FtpProbe {
 public:
  explicit FtpProbe(uint16_t port, Millis connectLimit = Millis(2000));
  // To a server on another loopback address ("::1").
  FtpProbe(const std::string& address, uint16_t port, Millis connectLimit = Millis(2000));
  // Continues on a connection already set up, e.g. through a SOCKS peer.
  explicit FtpProbe(LoopbackSocket socket) : socket_(std::move(socket)) {}

  bool Connected() const { return socket_.Valid(); }
  LoopbackSocket& Socket() { return socket_; }

  FtpReply ReadReply(Millis limit = Millis(5000));
  // Sends `line` with CR LF and reads the reply.
  FtpReply Command(std::string_view line, Millis limit = Millis(5000));
  // Sends PASV and connects to the port its 227 reply names; invalid when either fails.
  LoopbackSocket OpenPassive();

 private:
  LoopbackSocket socket_;
};

// "127,0,0,1,p1,p2": the address of PORT commands and 227 replies, for 127.0.0.1:port.
std::string LoopbackHostPort(uint16_t port);

}  // namespace testsupport
