#pragma once
// ftp-proxy (Debian's package), as root: an FTP proxy that greets with its own 220 and relays
// to the server the client names in "USER user@host[:port]" (the host must be 127.0.0.1 or
// "localhost" here). It answers FEAT, OPTS, EPSV, EPRT, MLSD and MLST with 500 itself, and
// closes the connection when the named server refuses.
#include "support/peers/PeerServer.h"

namespace testsupport {

class FtpProxyPeer : public PeerServer {
 public:
  static constexpr char kName[] = "ftpproxy";

  FtpProxyPeer();

 protected:
  std::vector<std::string> RequiredFiles() const override { return {"/usr/sbin/ftp-proxy"}; }
  void Launch() override;

 private:
  std::string Config(const std::filesystem::path& logFolder) const;
};

}  // namespace testsupport
