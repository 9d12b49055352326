#pragma once
// microsocks: SOCKS 5 only, CONNECT from 127.0.0.1; with SocksAuth::UserPassword it asks for
// the test account's user name and password (its own list, no system account). No privileges.
#include "support/peers/PeerServer.h"
#include "support/peers/SocksAuth.h"

namespace testsupport {

class MicrosocksPeer : public PeerServer {
 public:
  static constexpr char kName[] = "microsocks";

  explicit MicrosocksPeer(SocksAuth auth = SocksAuth::None);

 protected:
  std::vector<std::string> RequiredFiles() const override { return {"/usr/bin/microsocks"}; }
  bool NeedsRoot() const override { return false; }
  void Launch() override;
};

}  // namespace testsupport
