#pragma once
// The server's end of data connections in a script (see Script::SendData/ReceiveData).
//
// Passive: listens on a free 127.0.0.1 port from construction on, so a client may connect
// as soon as it has read PasvReply(); the connection waits in the backlog until a data step
// takes it. Active: a data step connects to the address of the client's latest PORT command
// on the control connection (only 127.0.0.1 is accepted).
//
// A DataPort must outlive the server whose script names it. Received() may be read from any
// thread.
#include <mutex>
#include <string>
#include <string_view>

#include "support/loopback/LoopbackSocket.h"

namespace testsupport {

class DataPort {
 public:
  enum class Mode { Passive, Active };

  explicit DataPort(Mode mode = Mode::Passive);

  // Passive only: the listening port and the reply that names it.
  uint16_t Port() const { return port_; }
  std::string PasvReply() const;  // "227 Entering Passive Mode (127,0,0,1,p1,p2)\r\n"

  // Every byte clients sent on this port's data connections, in order.
  std::string Received() const;

  // For the server thread: opens one data connection (accepting it, or connecting to the
  // PORT argument "h1,h2,h3,h4,p1,p2"); throws std::runtime_error when it cannot.
  LoopbackSocket Open(std::string_view portArgument, Millis limit, int interruptFd);
  void Record(std::string_view bytes);

 private:
  LoopbackSocket Connect(std::string_view portArgument) const;

  Mode mode_;
  LoopbackSocket listener_;
  uint16_t port_ = 0;
  mutable std::mutex mutex_;
  std::string received_;
};

}  // namespace testsupport
