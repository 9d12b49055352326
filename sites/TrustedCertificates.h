#pragma once
// The server certificates the user chose to trust always, per site, in "certificates.txt" in
// the program's directory: one line per site and server address, as comma text
// (settings/CommaText.h) of the site's name, the host, the port and the certificate's SHA-256
// fingerprint:
//   "My site",ftp.example.org,21,AB:CD:...:EF
// A site trusts one certificate per address: trusting another replaces it. The file says
// whom the user trusts, so it is written with mode 0600, whole or not at all. Lines with
// fewer than four fields are skipped.
#include <optional>
#include <string>
#include <vector>

#include "platform/TextFile.h"

inline constexpr const char* kTrustedCertificatesFileName = "certificates.txt";

struct TrustedCertificate {
  std::string Site;
  std::string Host;
  std::string Port;
  std::string Fingerprint;

  bool operator==(const TrustedCertificate&) const = default;
};

using TrustedCertificates = std::vector<TrustedCertificate>;

// `directory` is the program's directory; a missing or unreadable file trusts nothing.
TrustedCertificates LoadTrustedCertificates(const std::string& directory);

platform::WriteResult SaveTrustedCertificates(const TrustedCertificates& trusted, const std::string& directory);

// The fingerprint the site trusts at host:port, if any.
std::optional<std::string> FindTrustedCertificate(const TrustedCertificates& trusted, const std::string& site,
                                                  const std::string& host, const std::string& port);

// Trusts `certificate` for its site and address, in place of what was trusted there.
void TrustCertificate(TrustedCertificates& trusted, const TrustedCertificate& certificate);
