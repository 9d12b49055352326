#pragma once
// The protocol log: every line the FTP engine displays (commands sent "> ", replies "< ",
// its own notes "! ") and the main window's own lines, shown in the log memo and, when the
// options ask for it, copied to a log file.
//
// Secrets never reach the memo or the file. A line that contains "PASS " anywhere becomes
// "> PASS ****", as does a sent PASS command in any letter case; a sent USER command keeps
// only its first argument; and in every sent command the passwords in use (the login's, the
// FTP proxy's, the SOCKS relay's) are replaced by "****", so a raw or custom command that
// carries one does not show it.
//
// The log file is created anew, empty, each time a name is taken (at start-up and when the
// configured name changes), never appended to across runs. It is made with mode 0600. A
// relative name is taken in the program's directory. When the file cannot be created under
// its name, the name followed by "." and the process id is tried. When it cannot be created
// at all, or a write fails, only the memo gets the lines until the options are applied with
// another name (or logging is switched off and on).
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextCodec.h"
#include "session/LogSink.h"

namespace session {

// The line as it may be shown; `secrets` are the passwords in use (empty ones are ignored).
std::string MaskLogLine(std::string_view line, const std::vector<std::string>& secrets);

class ProtocolLog {
 public:
  ProtocolLog(LogSink& memo, std::string programDirectory);
  ~ProtocolLog();
  ProtocolLog(const ProtocolLog&) = delete;
  ProtocolLog& operator=(const ProtocolLog&) = delete;

  // One line of the main window's own, as it is.
  void AddLog(const std::string& line);
  // One line the engine displays, masked, with the server's names in it decoded from their
  // character set.
  void Display(std::string_view line, const std::vector<std::string>& secrets,
               platform::CharacterSet names = platform::CharacterSet::Automatic);

  // The log file part of applying the options.
  void ApplyLogFile(bool enabled, const std::string& name);
  void CloseFile();

  bool FileOpen() const { return file_ != nullptr; }
  // The configured name of the open file (empty when none was taken).
  const std::string& FileName() const { return fileName_; }

 private:
  void OpenFile(const std::string& name);
  std::string PathOf(const std::string& name) const;

  LogSink& memo_;
  std::string programDirectory_;
  std::string fileName_;
  std::FILE* file_ = nullptr;
};

}  // namespace session
