#pragma once
// The program-wide settings and their file "options.ftp" in the program's directory, an INI
// file with the sections "Common", "Proxy" and "Socks" (see platform/IniFile.h).
//
// Loading never fails: a missing or unreadable file, or a missing key, gives the field's
// default below, and a number that does not parse gives its default. Saving writes every
// key, rewriting the keys already in the file in place and keeping every other line; a new
// file gets the sections in the order Common, Proxy, Socks. The file holds passwords, so it
// is always written with mode 0600. A save either replaces the whole file or leaves it as
// it was; failing, it throws OptionsWriteException.
#include <cstdint>
#include <stdexcept>
#include <string>

inline constexpr const char* kOptionsFileName = "options.ftp";

struct ProgramOptions {
  std::uint8_t ConnectionType = 0;  // 0 direct, 1 FTP proxy, 2 SOCKS 4, 3 SOCKS 4A, 4 SOCKS 5
  std::int32_t TransferMode = 0;    // 0 auto-detect, 1 ASCII, 2 binary
  std::string ProxyServer;
  std::string ProxyPort;
  std::string ProxyPassword;
  bool ProxyPasswordMasked = false;
  std::string SocksServer;
  std::string SocksPort;
  std::string SocksPassword;
  std::string SocksUserCode;
  bool SocksPasswordMasked = false;
  bool PassiveTransfer = false;
  bool SyncCommands = false;
  bool LogEnabled = false;
  std::string LogFile;
  std::int32_t TimeOut = 15;
  std::int32_t RetryCount = 0;
  std::string AsciiExtensions;  // comma text (settings/CommaText.h)
  bool KeepAlive = false;
  std::int32_t KeepStart = 100;
  std::int32_t KeepInterval = 10;
  std::string KeepCommands;  // comma text
  bool AnonymousMailEnabled = false;
  std::string AnonymousMail;
  std::string FirewallHost;
  std::string FirewallPort = "21";
  std::string FirewallUser;
  std::string FirewallPassword;
  std::string FirewallSymbol = "@";
  std::int32_t FirewallType = 0;
  bool FirewallEnabled = false;
  std::string StartDirectory;  // loading defaults it to the directory the program starts in
  std::string FontName = "MS Sans Serif";
  std::int32_t FontSize = 8;
  std::int32_t FontColor = 0;
  bool PromptDownload = true;
  bool PromptUpload = true;
  std::int32_t DefaultPromptAction = 0;  // 0 skip, 1 overwrite, 2 resume

  bool operator==(const ProgramOptions&) const = default;
};

// Carries the text "Unable to write to " followed by the file's path.
class OptionsWriteException : public std::runtime_error {
 public:
  explicit OptionsWriteException(const std::string& path);
};

// `directory` is the program's directory. A file without a start directory gives
// `defaultStartDirectory`, or the program's directory when that is empty: the program passes
// the directory it was started in, since its own files live in a configuration directory
// nobody wants to browse.
ProgramOptions LoadOptions(const std::string& directory, const std::string& defaultStartDirectory = {});

void SaveOptions(const ProgramOptions& options, const std::string& directory);
