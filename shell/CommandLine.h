#pragma once
// The program's command line. Qt's own options (-platform, -style, ...) are taken out by the
// application object before these rules see the arguments.
#include <optional>
#include <string>
#include <vector>

namespace shell {

struct CommandLine {
  enum class Action { Run, Help, Version, Error };
  Action action = Action::Run;
  std::optional<std::string> configDir;  // --config-dir DIR or --config-dir=DIR
  std::string error;                     // for Error: what was wrong, for the user
};

// `arguments` without the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// Help or Version when the arguments ask for one (help first), else Run. Asked before any
// window system is touched, so that both answer without a display, whatever else the
// arguments hold.
CommandLine::Action TextOnlyAction(const std::vector<std::string>& arguments);

std::string UsageText(const std::string& program);
std::string VersionText();

}  // namespace shell
