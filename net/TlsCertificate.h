#pragma once
// What the user is shown about a server's certificate, and the one-line summary for the log.
#include <string>

typedef struct x509_st X509;  // OpenSSL's own declaration

struct TlsCertificateFacts {
  std::string subject;     // "CN=ftp.example.org,O=Example"
  std::string issuer;
  std::string validFrom;   // "2026-12-06 15:34 UTC"
  std::string validUntil;
  std::string sha256;      // "AB:CD:..." (32 bytes)
  std::string hostName;    // the name it was checked against
  bool verified = false;   // the chain leads to a trusted certificate and names hostName
  std::string problem;     // why it was not verified ("certificate has expired", ...)

  bool operator==(const TlsCertificateFacts&) const = default;
};

// The facts of `certificate`; verified, problem and hostName are left for the caller.
TlsCertificateFacts DescribeCertificate(X509* certificate);

// "CN=localhost, issued by CN=marlo test CA, valid 2026-12-06 15:34 UTC to 2027-12-06 15:34 UTC,
// SHA-256 AB:CD:..."
std::string CertificateSummary(const TlsCertificateFacts& facts);
