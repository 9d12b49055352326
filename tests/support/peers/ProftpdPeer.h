#pragma once
// proftpd, unpacked by tools/unpacked-peers.sh, as root: users come from its own user file
// (the user, and "ftp" for anonymous logins, both with the test account's ids), chrooted
// into Root(); anonymous users may upload.
#include "support/peers/FtpPeer.h"

namespace testsupport {

class ProftpdPeer : public FtpPeer {
 public:
  static constexpr char kName[] = "proftpd";

  explicit ProftpdPeer(std::string address = "127.0.0.1");

 protected:
  std::vector<std::string> RequiredFiles() const override;
  void Launch() override;

 private:
  // Writes the user and group files (proftpd refuses world-readable ones).
  void WriteUserFiles(AccountIds ids);
  std::string Config() const;
};

}  // namespace testsupport
