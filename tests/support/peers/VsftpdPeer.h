#pragma once
// vsftpd (Debian's package), as root: the user logs in through PAM as the system test
// account, chrooted into Root(); anonymous users are read-only.
#include "support/peers/FtpPeer.h"

namespace testsupport {

class VsftpdPeer : public FtpPeer {
 public:
  static constexpr char kName[] = "vsftpd";

  explicit VsftpdPeer(std::string address = "127.0.0.1");

  // With TLS: the commands that reached the server, from its protocol log, each followed by
  // ";" ("AUTH TLS;USER marlotest;PASS <password>;").
  std::string LoggedCommands() const;

 protected:
  std::vector<std::string> RequiredFiles() const override { return {"/usr/sbin/vsftpd"}; }
  void Launch() override;
};

}  // namespace testsupport
