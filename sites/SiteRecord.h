#pragma once
// One stored FTP site, copied by value between the site list, the site manager and the
// session. The bounded texts hold at most the number of characters in SiteWidth (counted
// in UTF-8 characters, never cutting one in half); FitSiteWidths cuts them, and reading a
// site from its file applies it. A value-initialised record is the zero-filled record.
#include <cstddef>
#include <string>

#include "platform/TextCodec.h"
#include "settings/options.h"

inline constexpr const char* kDefaultAnswerCode = "0957681";
inline constexpr const char* kDefaultAnswerName = "Default";
// Joins the lines of a site's comment (Desc), which has to fit on the site's line.
inline constexpr char kDescLineSeparator = '`';

// How a site's sessions are encrypted: plain FTP; explicit TLS (AUTH TLS) when the server
// offers it, plain FTP otherwise; explicit TLS or no session at all; implicit TLS.
enum class SiteEncryption { None, ExplicitIfOffered, ExplicitRequired, Implicit };

struct SiteRecord {
  std::string Name;          // also the key by which the list finds the record
  std::string Server;
  std::string Password;      // plain text, as typed
  std::string User;
  std::string Account;       // kept and written back; no login step sends it
  std::string Description;   // kept and written back
  std::string LocalDir;
  std::string InitialDir;
  std::string ModifiedDate;  // kept and written back
  std::string EMail;         // password of anonymous logins
  bool Anonymous = false;
  bool SavePassword = false;  // false: ask for the password at every login
  std::string Port;
  bool Pasv = false;
  std::string Desc;  // multi-line comment, lines joined with kDescLineSeparator
  std::string Answer;  // listing format code, 7 characters
  std::string AnswerName;  // host type chosen in the site manager
  bool CheckPSW = false;  // the site manager masks the password
  // The two choices below came after the fields above; a site stored before them reads
  // with AutoListing off, so it keeps the format of its Answer code.
  bool AutoListing = false;  // tell the listing's lines apart by themselves (MLSD when the
                             // server offers it) instead of reading them in Answer's format
  platform::CharacterSet Charset = platform::CharacterSet::Automatic;  // of the server's names
  // Came later still: a site stored before it is plain FTP, as it always was.
  SiteEncryption Encryption = SiteEncryption::None;

  bool operator==(const SiteRecord&) const = default;
};

namespace SiteWidth {
inline constexpr std::size_t Name = 50;
inline constexpr std::size_t Password = 40;
inline constexpr std::size_t User = 40;
inline constexpr std::size_t Account = 40;
inline constexpr std::size_t Description = 200;
inline constexpr std::size_t LocalDir = 255;
inline constexpr std::size_t InitialDir = 255;
inline constexpr std::size_t ModifiedDate = 80;
inline constexpr std::size_t EMail = 60;
inline constexpr std::size_t Answer = 7;
inline constexpr std::size_t AnswerName = 255;
}  // namespace SiteWidth

// A new site: user "anonymous", port "21", automatic listings (and the standard format's
// code for older copies of the program), the automatic character set, explicit TLS when the
// server offers it, the stored password used and masked, and the options' anonymous e-mail
// address when that switch is on.
SiteRecord NewSiteRecord(const ProgramOptions& options);

void FitSiteWidths(SiteRecord& site);
