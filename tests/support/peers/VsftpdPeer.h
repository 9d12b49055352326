#pragma once
// vsftpd (Debian's package), as root: the user logs in through PAM as the system test
// account, chrooted into Root(); anonymous users are read-only.
#include "support/peers/FtpPeer.h"

namespace testsupport {

class VsftpdPeer : public FtpPeer {
 public:
  static constexpr char kName[] = "vsftpd";

  explicit VsftpdPeer(std::string address = "127.0.0.1");

 protected:
  std::vector<std::string> RequiredFiles() const override { return {"/usr/sbin/vsftpd"}; }
  void Launch() override;
};

}  // namespace testsupport
