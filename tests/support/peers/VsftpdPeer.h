#pragma once
// vsftpd (Debian's package), as root: the user logs in through PAM as the system test
// account, chrooted into Root(); anonymous users are read-only.
#include "support/peers/FtpPeer.h"

namespace testsupport {

class VsftpdPeer : public FtpPeer {
 public:
  static constexpr char kName[] = "vsftpd";

  VsftpdPeer();

 protected:
  explicit VsftpdPeer(std::string name);
  std::vector<std::string> RequiredFiles() const override { return {"/usr/sbin/vsftpd"}; }
  void Launch() override;
};

}  // namespace testsupport
