#pragma once
// Where the program keeps its files (the site list, the options, the command list).
//
// In order of precedence:
//  1. the directory named on the command line (--config-dir), created if missing;
//  2. the executable's own directory, when the site list or the options file already stand
//     there and the directory is writable: a portable copy keeps its files beside itself;
//  3. $XDG_CONFIG_HOME/marlo, or ~/.config/marlo when that variable is unset, empty or not
//     an absolute path, created if missing.
// A directory this code creates is private to the user (mode 0700); an existing one is left
// as it is.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace shell {

struct ConfigPlaces {
  std::optional<std::filesystem::path> named;  // --config-dir
  std::filesystem::path executableDirectory;
  std::string xdgConfigHome;  // the variable's value, empty when unset
  std::filesystem::path home;
};

// The questions the choice asks of the file system; tests answer them from a table.
struct FileProbe {
  std::function<bool(const std::filesystem::path&)> exists;
  std::function<bool(const std::filesystem::path&)> writable;
};

FileProbe RealFileProbe();

// The places of this process: its executable, its environment and its user's home.
ConfigPlaces CurrentConfigPlaces(std::optional<std::filesystem::path> named);

std::filesystem::path ChooseConfigDirectory(const ConfigPlaces& places, const FileProbe& probe);

// Creates `directory` and its missing parents, the new ones with mode 0700; false with the
// system's message in `error` when that fails or a file stands in the way.
bool MakeConfigDirectory(const std::filesystem::path& directory, std::string& error);

}  // namespace shell
