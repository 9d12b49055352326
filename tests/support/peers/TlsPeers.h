#pragma once
// The FTP servers with TLS, each with a certificate for localhost and 127.0.0.1 from the
// test CA (TestCertificates), requiring TLS of logins and data connections:
//   vsftpd (AUTH TLS, with its default requirement that data connections resume the control
//   connection's session), vsftpd with implicit TLS, pure-ftpd (-Y 3), proftpd (mod_tls),
//   pyftpdlib (TLS_FTPHandler).
// For typed suites: TYPED_TEST_SUITE(MySuite, testsupport::TlsFtpServers, testsupport::PeerName);
#include <gtest/gtest.h>

#include "support/peers/FtpServers.h"

namespace testsupport {

template <class Server, PeerTls kMode>
class TlsPeer : public Server {
 public:
  TlsPeer() { this->UseTls(kMode, TestCertificates::Shared().Get(CertificateKind::Good)); }
};

struct VsftpdTlsPeer : TlsPeer<VsftpdPeer, PeerTls::Explicit> {
  static constexpr char kName[] = "vsftpdtls";
};

struct VsftpdImplicitPeer : TlsPeer<VsftpdPeer, PeerTls::Implicit> {
  static constexpr char kName[] = "vsftpdimplicit";
};

struct PureFtpdTlsPeer : TlsPeer<PureFtpdPeer, PeerTls::Explicit> {
  static constexpr char kName[] = "pureftpdtls";
};

struct ProftpdTlsPeer : TlsPeer<ProftpdPeer, PeerTls::Explicit> {
  static constexpr char kName[] = "proftpdtls";

 protected:
  std::vector<std::string> RequiredFiles() const override {
    auto files = ProftpdPeer::RequiredFiles();
    files.push_back(UnpackedProgram("usr/lib/proftpd/mod_tls.so"));
    return files;
  }
};

struct PyftpdlibTlsPeer : TlsPeer<PyftpdlibPeer, PeerTls::Explicit> {
  static constexpr char kName[] = "pyftpdlibtls";

 protected:
  std::vector<std::string> RequiredFiles() const override {
    auto files = PyftpdlibPeer::RequiredFiles();
    files.push_back("/usr/lib/python3/dist-packages/OpenSSL/SSL.py");
    return files;
  }
};

using TlsFtpServers = ::testing::Types<VsftpdTlsPeer, VsftpdImplicitPeer, PureFtpdTlsPeer, ProftpdTlsPeer, PyftpdlibTlsPeer>;

}  // namespace testsupport
