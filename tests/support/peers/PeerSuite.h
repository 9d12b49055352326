#pragma once
// A fixture whose peer is started once for its whole test suite:
//
//   class VsftpdLogin : public testsupport::PeerSuite<testsupport::VsftpdPeer> {};
//   TEST_F(VsftpdLogin, Works) { FtpProbe probe(Peer().Port()); ... }
//
// Each test's SetUp skips (or fails, see PeerRequirement.h) when the peer cannot run here and
// fails when it did not start. Also usable as the base of a typed test suite.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/peers/PeerRequirement.h"

namespace testsupport {

template <class PeerType>
class PeerSuite : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    peer_ = std::make_unique<PeerType>();
    started_ = peer_->SkipReason().empty() && peer_->Start();
  }
  static void TearDownTestSuite() { peer_.reset(); }

 protected:
  void SetUp() override {
    MARLO_REQUIRE_PEER(*peer_);
    ASSERT_TRUE(started_) << peer_->Failure();
  }

  static PeerType& Peer() { return *peer_; }

 private:
  static inline std::unique_ptr<PeerType> peer_;
  static inline bool started_ = false;
};

}  // namespace testsupport
