// MainLogic: the decision on a server certificate that failed verification. The site's
// earlier "trust always" answers it when it names this very certificate; otherwise the user
// is asked, and told when the site trusted another certificate at this address before.
#include "session/uMain.h"
#include "sites/TrustedCertificates.h"

namespace session {

bool MainLogic::DecideCertificate(const TlsCertificateFacts& certificate) {
  TrustedCertificates trusted = LoadTrustedCertificates(programDirectory_);
  const std::string& site = currentSite_.Name;
  const std::string port = ftp_.Port();
  const std::optional<std::string> stored = FindTrustedCertificate(trusted, site, certificate.hostName, port);
  if (stored == certificate.sha256) {
    log_.AddLog("The certificate is one this site trusts");
    return true;
  }
  switch (prompts_.AskAboutCertificate({site, certificate, stored.has_value()})) {
    case CertificateAnswer::TrustAlways:
      TrustCertificate(trusted, {site, certificate.hostName, port, certificate.sha256});
      if (const platform::WriteResult saved = SaveTrustedCertificates(trusted, programDirectory_); !saved)
        log_.AddLog(saved.error);
      return true;
    case CertificateAnswer::TrustOnce: return true;
    case CertificateAnswer::Cancel: break;
  }
  // The user's refusal, as Disconnect is: no reconnection answers it.
  connectAttempt_ = -1;
  reconnectDue_ = false;
  return false;
}

}  // namespace session
