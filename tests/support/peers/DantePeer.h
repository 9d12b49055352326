#pragma once
// dante-server (danted), as root: SOCKS 4 and 5 CONNECT to 127.0.0.0/8. With
// SocksAuth::UserPassword it takes SOCKS 5 clients that log in as the system test account
// (checked against the system passwords) and refuses SOCKS 4. No SOCKS 4A: dante treats the
// address 0.0.0.x as the destination and refuses it.
#include "support/peers/PeerServer.h"
#include "support/peers/SocksAuth.h"

namespace testsupport {

class DantePeer : public PeerServer {
 public:
  static constexpr char kName[] = "dante";

  explicit DantePeer(SocksAuth auth = SocksAuth::None);

  // The connections the relay has made for its clients so far, from its log.
  int RelayedConnections() const;

 protected:
  std::vector<std::string> RequiredFiles() const override { return {"/usr/sbin/danted"}; }
  void Launch() override;

 private:
  std::string Config() const;

  // How the log marks a connection the relay made.
  static constexpr char kConnectLogMark[] = "tcp/connect";

  SocksAuth auth_;
};

}  // namespace testsupport
