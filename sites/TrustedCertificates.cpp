#include "sites/TrustedCertificates.h"

#include <algorithm>

#include "platform/ProgramDirectory.h"
#include "settings/CommaText.h"

namespace {

bool SameAddress(const TrustedCertificate& entry, const std::string& site, const std::string& host,
                 const std::string& port) {
  return entry.Site == site && entry.Host == host && entry.Port == port;
}

}  // namespace

TrustedCertificates LoadTrustedCertificates(const std::string& directory) {
  TrustedCertificates trusted;
  const auto lines = platform::ReadTextLines(platform::FileInDirectory(directory, kTrustedCertificatesFileName));
  for (const std::string& line : lines.value_or(std::vector<std::string>{})) {
    const std::vector<std::string> fields = ParseCommaText(line);
    if (fields.size() >= 4) trusted.push_back({fields[0], fields[1], fields[2], fields[3]});
  }
  return trusted;
}

platform::WriteResult SaveTrustedCertificates(const TrustedCertificates& trusted, const std::string& directory) {
  std::vector<std::string> lines;
  lines.reserve(trusted.size());
  for (const TrustedCertificate& entry : trusted)
    lines.push_back(FormatCommaText({entry.Site, entry.Host, entry.Port, entry.Fingerprint}));
  return platform::WriteTextLines(platform::FileInDirectory(directory, kTrustedCertificatesFileName), lines,
                                  platform::FileAccess::OwnerOnly);
}

std::optional<std::string> FindTrustedCertificate(const TrustedCertificates& trusted, const std::string& site,
                                                  const std::string& host, const std::string& port) {
  const auto found = std::find_if(trusted.begin(), trusted.end(),
                                  [&](const TrustedCertificate& entry) { return SameAddress(entry, site, host, port); });
  if (found == trusted.end()) return std::nullopt;
  return found->Fingerprint;
}

void TrustCertificate(TrustedCertificates& trusted, const TrustedCertificate& certificate) {
  std::erase_if(trusted, [&](const TrustedCertificate& entry) {
    return SameAddress(entry, certificate.Site, certificate.Host, certificate.Port);
  });
  trusted.push_back(certificate);
}
