#pragma once
// The FTP servers listening on ::1 alone, for typed suites of IPv6 sessions:
//
//   TYPED_TEST_SUITE(MySuite, testsupport::Ipv6FtpServers, testsupport::PeerName);
#include <gtest/gtest.h>

#include "support/peers/ProftpdPeer.h"
#include "support/peers/PureFtpdPeer.h"
#include "support/peers/PyftpdlibPeer.h"
#include "support/peers/VsftpdPeer.h"

namespace testsupport {

template <class Server>
class Ipv6Peer : public Server {
 public:
  Ipv6Peer() : Server("::1") {}
};

using Ipv6FtpServers =
    ::testing::Types<Ipv6Peer<VsftpdPeer>, Ipv6Peer<PureFtpdPeer>, Ipv6Peer<ProftpdPeer>, Ipv6Peer<PyftpdlibPeer>>;

}  // namespace testsupport
