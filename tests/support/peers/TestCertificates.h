#pragma once
// Certificates for TLS peers, made with the `openssl` command line: a throw-away test CA
// (whose file the client under test is told to trust) and server certificates, good ones
// and ones a client must refuse.
//
//   const ServerCertificate& good = TestCertificates::Shared().Get(CertificateKind::Good);
//   peer.SetCertificate(good);                     // before Start()
//   engine.SetTlsTrustFile(TestCertificates::Shared().CaFile());
//
// The files live in a temporary directory of the test program, readable by the servers'
// unprivileged processes; each kind is made once, on first use. Throws when openssl fails.
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

#include "support/peers/TempDir.h"

namespace testsupport {

enum class CertificateKind {
  Good,        // for localhost and 127.0.0.1, by the test CA, valid for a year
  Renewed,     // the same names and CA, another key: a certificate that changed
  OtherHost,   // for other.example only, by the test CA
  Expired,     // for localhost and 127.0.0.1, by the test CA, expired yesterday
  SelfSigned,  // for localhost and 127.0.0.1, signed by its own key
};

struct ServerCertificate {
  std::filesystem::path certificate;  // PEM
  std::filesystem::path key;          // PEM, without a passphrase
};

class TestCertificates {
 public:
  static TestCertificates& Shared();

  std::string CaFile() const { return (dir_.Path() / "ca.pem").string(); }
  const ServerCertificate& Get(CertificateKind kind);

 private:
  TestCertificates();
  ServerCertificate Make(CertificateKind kind, const std::string& name);

  TempDir dir_;
  std::mutex mutex_;
  std::map<CertificateKind, ServerCertificate> made_;
};

}  // namespace testsupport
