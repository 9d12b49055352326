#pragma once
// Every modal question the main window's logic asks the user, answered by the window (Qt
// dialogs) or by a test (scripted answers). The local pane's questions come from
// local::LocalPrompts; this adds those of the sessions, the sites and the settings.
//
// Texts are UTF-8 byte strings. Every call is modal: it returns once the user has answered.
#include <string>

#include "local/LocalPrompts.h"
#include "net/TlsCertificate.h"
#include "settings/commands.h"
#include "settings/options.h"
#include "sites/SiteRecord.h"

namespace session {

// The answer of the overwrite prompt; each value is the tag of one of its buttons. A prompt
// closed without a button answers Resume.
enum class OverwriteAction : int { Resume = 0, Overwrite = 1, All = 2, Skip = 3, SaveAs = 4, Cancel = 5 };

// A server's certificate failed verification (the certificate's `problem` says why): the
// user decides whether the session goes on. `changed`: the site trusted another certificate
// at this address before. Each value is the tag of one of the question's buttons; a question
// closed without a button answers Cancel.
struct CertificateQuestion {
  std::string site;
  TlsCertificateFacts certificate;
  bool changed = false;
};

enum class CertificateAnswer : int { Cancel = 0, TrustOnce = 1, TrustAlways = 2 };

class Prompts : public local::LocalPrompts {
 public:
  // The standard one-line text query (no mask box, no length limit), as used for
  // "Change Directory". True when confirmed, with `value` holding the text.
  virtual bool InputQuery(const std::string& title, const std::string& prompt,
                          std::string& value) = 0;

  // The same query for the login password: the field never shows what is typed.
  virtual bool PasswordQuery(const std::string& title, const std::string& prompt,
                             std::string& value) = 0;

  // Asks what to do about the existing target `path` of a transfer. With SaveAs, `path`
  // holds the new path the user entered.
  virtual OverwriteAction OverwritePrompt(std::string& path) = 0;

  // The permissions dialog on a permission text such as "-rwxr-xr-x". True when confirmed
  // with a mode; `mode` is then the three digits read as a decimal number (755).
  virtual bool ShowChModDialog(const std::string& permissions, int& mode) = 0;

  // The stored custom commands. Edits made in the dialog stay in `commands` however it
  // ends. Gives the picked command line, or an empty text.
  virtual std::string ShowCommandDialog(CustomCommands& commands) = 0;

  // The site manager on a copy of a site. True when the user saved; `site` then holds the
  // edits.
  virtual bool EditSite(SiteRecord& site) = 0;

  // The options dialog. True when the user saved: the dialog has then written the options
  // file and `options` holds the new settings. Cancelled, `options` is unchanged.
  virtual bool ShowOptionsDialog(ProgramOptions& options) = 0;

  // The system's beep.
  virtual void Beep() = 0;

  // Asks about a certificate that failed verification; nothing is sent to the server until
  // it returns. A window that does not ask refuses every such certificate.
  virtual CertificateAnswer AskAboutCertificate(const CertificateQuestion&) { return CertificateAnswer::Cancel; }
};

}  // namespace session
