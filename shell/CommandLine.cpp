#include "shell/CommandLine.h"

#include <string_view>

namespace shell {

namespace {

constexpr std::string_view kConfigOption = "--config-dir";

bool IsHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }
bool IsVersion(const std::string& argument) { return argument == "--version" || argument == "-v"; }

CommandLine Failure(std::string error) {
  CommandLine line;
  line.action = CommandLine::Action::Error;
  line.error = std::move(error);
  return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (IsHelp(argument)) {
      line.action = CommandLine::Action::Help;
    } else if (IsVersion(argument)) {
      if (line.action != CommandLine::Action::Help) line.action = CommandLine::Action::Version;
    } else if (argument == kConfigOption) {
      if (i + 1 >= arguments.size()) return Failure("--config-dir needs a directory");
      line.configDir = arguments[++i];
    } else if (argument.starts_with(std::string(kConfigOption) + "=")) {
      line.configDir = argument.substr(kConfigOption.size() + 1);
    } else {
      return Failure("unknown argument: " + argument);
    }
    if (line.configDir && line.configDir->empty()) return Failure("--config-dir needs a directory");
  }
  return line;
}

CommandLine::Action TextOnlyAction(const std::vector<std::string>& arguments) {
  CommandLine::Action action = CommandLine::Action::Run;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == kConfigOption) ++i;  // its value is a directory, whatever it reads
    else if (IsHelp(arguments[i])) return CommandLine::Action::Help;
    else if (IsVersion(arguments[i])) action = CommandLine::Action::Version;
  }
  return action;
}

std::string UsageText(const std::string& program) {
  return "Usage: " + program + " [--config-dir DIR]\n"
         "A two-pane FTP client: the local computer on the left, an FTP server on the right.\n"
         "\n"
         "  --config-dir DIR  keep the site list, the options and the command list in DIR\n"
         "                    (default: $XDG_CONFIG_HOME/marlo, or beside the program when\n"
         "                    ftplist.TXT or options.ftp already stand there)\n"
         "  -h, --help        show this text and exit\n"
         "  -v, --version     show the version and exit\n";
}

std::string VersionText() { return std::string("marlo ") + MARLO_VERSION + "\n"; }

}  // namespace shell
