#pragma once
// pyftpdlib (Debian's python3-pyftpdlib) run by Debian's own /usr/bin/python3 (another
// python3 may come first on PATH without Debian's modules). Needs no privileges: it serves as
// the test program's user, and anonymous users may upload.
#include "support/peers/FtpPeer.h"

namespace testsupport {

class PyftpdlibPeer : public FtpPeer {
 public:
  static constexpr char kName[] = "pyftpdlib";

  explicit PyftpdlibPeer(std::string address = "127.0.0.1");

 protected:
  std::vector<std::string> RequiredFiles() const override;
  bool NeedsRoot() const override { return false; }
  void Launch() override;
};

}  // namespace testsupport
