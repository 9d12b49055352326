#pragma once
// SOCKS 4, 4A and 5 without authentication, from OpenSSH's dynamic forwarding: a private sshd
// on its own loopback port (host and user keys made in Dir(), key-only login of the test
// program's user, forwarding to 127.0.0.1 and "localhost" only) and `ssh -N -D` to it, whose
// SOCKS port is Port(). The only SOCKS 4A server Debian has.
#include "support/peers/PeerServer.h"

namespace testsupport {

class SshSocksPeer : public PeerServer {
 public:
  static constexpr char kName[] = "sshsocks";

  SshSocksPeer();

 protected:
  std::vector<std::string> RequiredFiles() const override;
  void Launch() override;

 private:
  std::string MakeKey(const std::string& name);
  std::string SshdConfig() const;

  uint16_t sshdPort_;
};

}  // namespace testsupport
