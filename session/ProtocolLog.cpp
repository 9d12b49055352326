#include "session/ProtocolLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "platform/PrivateDirectory.h"
#include "platform/ProgramDirectory.h"
#include "platform/StringUtils.h"

namespace session {

namespace {

constexpr std::string_view kMask = "****";
constexpr std::string_view kMaskedPass = "> PASS ****";
constexpr std::string_view kSentPrefix = "> ";

void ReplaceAll(std::string& text, std::string_view secret) {
  for (std::size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + kMask.size()))
    text.replace(at, secret.size(), kMask);
}

// A sent command: its verb (upper case) and the rest after the verb's blank.
struct SentCommand {
  std::string verb;
  std::string_view arguments;
};

SentCommand Parse(std::string_view command) {
  const std::size_t blank = command.find(' ');
  SentCommand sent{platform::UpperCase(command.substr(0, blank)), {}};
  if (blank != std::string_view::npos) sent.arguments = command.substr(blank + 1);
  return sent;
}

std::FILE* CreateEmpty(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "w");
  if (!file) ::close(fd);
  return file;
}

}  // namespace

std::string MaskLogLine(std::string_view line, const std::vector<std::string>& secrets) {
  if (line.find("PASS ") != std::string_view::npos) return std::string(kMaskedPass);
  if (!line.starts_with(kSentPrefix)) return std::string(line);

  const SentCommand sent = Parse(line.substr(kSentPrefix.size()));
  if (sent.verb == "PASS") return std::string(kMaskedPass);
  std::string shown(line);
  if (sent.verb == "USER") {
    const std::size_t extra = sent.arguments.find(' ');
    if (extra != std::string_view::npos)
      shown = std::string(line.substr(0, line.size() - sent.arguments.size() + extra)) + " " + std::string(kMask);
  }
  for (const std::string& secret : secrets)
    if (!secret.empty()) ReplaceAll(shown, secret);
  return shown;
}

ProtocolLog::ProtocolLog(LogSink& memo, std::string programDirectory)
    : memo_(memo), programDirectory_(std::move(programDirectory)) {}

ProtocolLog::~ProtocolLog() { CloseFile(); }

void ProtocolLog::AddLog(const std::string& line) {
  memo_.AppendLine(line);
  if (!file_) return;
  const bool written = std::fwrite(line.data(), 1, line.size(), file_) == line.size() &&
                       std::fputc('\n', file_) != EOF && std::fflush(file_) == 0;
  if (!written) CloseFile();
}

// Masked first: the secrets are known by their bytes.
void ProtocolLog::Display(std::string_view line, const std::vector<std::string>& secrets,
                          platform::CharacterSet names) {
  AddLog(platform::DecodeText(MaskLogLine(line, secrets), names));
}

void ProtocolLog::ApplyLogFile(bool enabled, const std::string& name) {
  if (!enabled) return CloseFile();
  if (file_ && fileName_ == name) return;
  CloseFile();
  OpenFile(name);
}

void ProtocolLog::OpenFile(const std::string& name) {
  fileName_ = name;
  file_ = CreateEmpty(PathOf(name));
  if (!file_) file_ = CreateEmpty(PathOf(name + "." + std::to_string(platform::CurrentProcessId())));
}

void ProtocolLog::CloseFile() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
}

std::string ProtocolLog::PathOf(const std::string& name) const {
  if (std::filesystem::path(name).is_absolute()) return name;
  return platform::FileInDirectory(programDirectory_, name);
}

}  // namespace session
