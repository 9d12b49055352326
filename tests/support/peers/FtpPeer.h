#pragma once
// An FTP server peer. Each logs in User()/Password() and the user "anonymous" (any password)
// with Root() as their root folder ("/" as the client sees it).
//
// Root() starts empty; the test fills it. The user may upload into Root() and into what
// GiveToUser() was called on; anonymous users can upload on proftpd and pyftpdlib only
// (vsftpd and pure-ftpd refuse an anonymous root writable by the anonymous account).
// Passive data ports come from PassivePorts(), or from the system when it is {0, 0}.
// A peer listens on 127.0.0.1, or on ::1 when constructed with that address (Ipv6Peers.h).
#include <filesystem>
#include <optional>

#include "support/loopback/FreePorts.h"
#include "support/peers/PeerServer.h"
#include "support/peers/TestAccount.h"
#include "support/peers/TestCertificates.h"

namespace testsupport {

// How a peer speaks TLS: not at all; after AUTH TLS; from the first byte. With TLS, the
// peer requires it of logins and data connections.
enum class PeerTls { None, Explicit, Implicit };

class FtpPeer : public PeerServer {
 public:
  const std::filesystem::path& Root() const { return root_; }
  PortRange PassivePorts() const { return passivePorts_; }
  // Makes `path` and everything below it belong to the account the server runs the user as
  // (after Start(); nothing to do for pyftpdlib, which serves as the test program's user).
  void GiveToUser(const std::filesystem::path& path) const;
  bool OnIpv6() const { return Address() == "::1"; }

  // Before Start(): speak TLS with `certificate`.
  void UseTls(PeerTls mode, const ServerCertificate& certificate) {
    tls_ = mode;
    certificate_ = certificate;
  }
  PeerTls Tls() const { return tls_; }
  const ServerCertificate& Certificate() const { return certificate_; }

 protected:
  static constexpr int kPassivePortCount = 200;

  FtpPeer(std::string name, PortRange passivePorts, std::string address);

  // Creates the system test account and gives it Root(); for servers that serve as it.
  AccountIds ServeAsTestAccount();
  // Waits for the greeting on Port().
  void AwaitGreeting() { AwaitPort(Port(), true); }

 private:
  std::filesystem::path root_;
  PortRange passivePorts_;
  std::optional<AccountIds> owner_;
  PeerTls tls_ = PeerTls::None;
  ServerCertificate certificate_;
};

}  // namespace testsupport
