#pragma once
// A client socket and the peer it reaches over 127.0.0.1: a listener on a free port adopts the
// first caller as `peer`, which collects what it receives in `peerReceived`. Both sockets run
// on the Qt event loop of the test's thread; the test sets the client's handlers.
#include <memory>
#include <string>

#include "net/WSocket.h"
#include "support/EventLoop.h"

namespace testsupport {

class ConnectedPair {
 public:
  ConnectedPair() {
    listener_.SetAddr("127.0.0.1");
    listener_.SetPort("0");
    listener_.OnSessionAvailable = [this](TCustomWSocket*, uint16_t) {
      peer = std::make_unique<TWSocket>();
      peer->OnDataAvailable = [this](TCustomWSocket* s, uint16_t) { peerReceived += s->ReceiveStr(); };
      peer->Dup(listener_.Accept());
    };
    listener_.Listen();
  }

  std::string Port() { return listener_.GetBoundPort(); }

  // Starts the client's connect to `port` (the listener's when empty).
  void Connect(const std::string& port = "") {
    client.SetAddr("127.0.0.1");
    client.SetPort(port.empty() ? Port() : port);
    client.Connect();
  }
  // Connects and waits (bounded) until both ends are connected.
  bool Connected() {
    Connect();
    return PumpUntil([&] { return peer && peer->State() == wsConnected && client.State() == wsConnected; });
  }

  TWSocket client;
  std::unique_ptr<TWSocket> peer;
  std::string peerReceived;

 private:
  TWSocket listener_;
};

}  // namespace testsupport
