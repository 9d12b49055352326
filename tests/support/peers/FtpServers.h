#pragma once
// The four real FTP servers, for typed test suites:
//
//   TYPED_TEST_SUITE(MySuite, testsupport::FtpServers, testsupport::PeerName);
#include <gtest/gtest.h>

#include <string>

#include "support/peers/ProftpdPeer.h"
#include "support/peers/PureFtpdPeer.h"
#include "support/peers/PyftpdlibPeer.h"
#include "support/peers/VsftpdPeer.h"

namespace testsupport {

using FtpServers = ::testing::Types<VsftpdPeer, PureFtpdPeer, ProftpdPeer, PyftpdlibPeer>;

// Names each typed test after its peer ("FtpTransfer/vsftpd.PassiveRoundTrips").
struct PeerName {
  template <class Peer>
  static std::string GetName(int) {
    return Peer::kName;
  }
};

}  // namespace testsupport
