#pragma once
// The relays in their login variants, and the one FTP server a test program relays to.
#include "support/peers/DantePeer.h"
#include "support/peers/MicrosocksPeer.h"
#include "support/peers/PeerSuite.h"

namespace testsupport {

class DanteLoginPeer : public DantePeer {
 public:
  DanteLoginPeer() : DantePeer(SocksAuth::UserPassword) {}
};

class MicrosocksLoginPeer : public MicrosocksPeer {
 public:
  MicrosocksLoginPeer() : MicrosocksPeer(SocksAuth::UserPassword) {}
};

// An FTP server of the given kind, started on first use and kept for the test program.
template <class Server>
struct RelayTarget {
  Server ftp;
  bool started = ftp.SkipReason().empty() && ftp.Start();

  static RelayTarget& Shared() {
    static RelayTarget target;
    return target;
  }
};

// A suite with its relay started once, and the shared server behind it.
template <class Relay, class Server>
class RelaySuite : public PeerSuite<Relay> {
 protected:
  void SetUp() override {
    PeerSuite<Relay>::SetUp();
    if (this->IsSkipped() || this->HasFatalFailure()) return;
    MARLO_REQUIRE_PEER(Target());
    ASSERT_TRUE(RelayTarget<Server>::Shared().started) << Target().Failure();
  }

  static Relay& Peer() { return PeerSuite<Relay>::Peer(); }
  static Server& Target() { return RelayTarget<Server>::Shared().ftp; }
};

}  // namespace testsupport
