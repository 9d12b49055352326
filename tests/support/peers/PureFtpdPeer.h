#pragma once
// pure-ftpd, unpacked by tools/unpacked-peers.sh, as root: the user is a virtual user (run as
// the test account's ids) chrooted into Root(). Anonymous users (read-only) get the home
// folder of the system account "ftp", so the server runs in its own mount namespace where
// Root() is bound over that folder. No passive port range: a small one runs out under many
// transfers (ports in TIME_WAIT).
#include "support/peers/FtpPeer.h"

namespace testsupport {

class PureFtpdPeer : public FtpPeer {
 public:
  static constexpr char kName[] = "pureftpd";

  explicit PureFtpdPeer(std::string address = "127.0.0.1");

 protected:
  std::vector<std::string> RequiredFiles() const override;
  void Launch() override;

 private:
  std::string UserDatabase(AccountIds ids);
};

}  // namespace testsupport
