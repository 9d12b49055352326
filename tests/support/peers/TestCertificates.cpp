#include "support/peers/TestCertificates.h"

#include <fstream>

#include "support/peers/RunCommand.h"

namespace testsupport {

namespace {

constexpr char kOpenssl[] = "/usr/bin/openssl";
constexpr char kLocalNames[] = "subjectAltName=DNS:localhost,IP:127.0.0.1\n";

}  // namespace

TestCertificates& TestCertificates::Shared() {
  static TestCertificates certificates;
  return certificates;
}

TestCertificates::TestCertificates() {
  const auto dir = dir_.Path();
  RunCommand({kOpenssl, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", (dir / "ca.key").string(), "-out",
              CaFile(), "-days", "3650", "-subj", "/CN=marlo test CA"});
}

const ServerCertificate& TestCertificates::Get(CertificateKind kind) {
  const std::lock_guard lock(mutex_);
  auto found = made_.find(kind);
  if (found == made_.end()) found = made_.emplace(kind, Make(kind, "cert" + std::to_string(made_.size()))).first;
  return found->second;
}

ServerCertificate TestCertificates::Make(CertificateKind kind, const std::string& name) {
  const auto dir = dir_.Path();
  const ServerCertificate made{dir / (name + ".pem"), dir / (name + ".key")};
  const bool otherHost = kind == CertificateKind::OtherHost;
  const std::string subject = otherHost ? "/CN=other.example" : "/CN=localhost";
  const auto extensions = dir / (name + ".ext");
  std::ofstream(extensions) << (otherHost ? "subjectAltName=DNS:other.example\n" : kLocalNames);
  if (kind == CertificateKind::SelfSigned) {
    RunCommand({kOpenssl, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", made.key.string(), "-out",
                made.certificate.string(), "-days", "365", "-subj", subject, "-addext",
                std::string(kLocalNames, sizeof kLocalNames - 2)});
  } else {
    const auto request = dir / (name + ".csr");
    RunCommand({kOpenssl, "req", "-newkey", "rsa:2048", "-nodes", "-keyout", made.key.string(), "-out",
                request.string(), "-subj", subject});
    // -days -1: valid until yesterday.
    RunCommand({kOpenssl, "x509", "-req", "-in", request.string(), "-CA", CaFile(), "-CAkey",
                (dir / "ca.key").string(), "-CAcreateserial", "-out", made.certificate.string(), "-days",
                kind == CertificateKind::Expired ? "-1" : "365", "-extfile", extensions.string()});
  }
  std::filesystem::permissions(made.key, std::filesystem::perms(0644));  // servers read it as other users
  return made;
}

}  // namespace testsupport
