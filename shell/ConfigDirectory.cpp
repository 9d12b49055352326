#include "shell/ConfigDirectory.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "platform/ProgramDirectory.h"

namespace shell {

namespace fs = std::filesystem;

namespace {

// The files whose presence marks a portable copy.
constexpr const char* kPortableMarks[] = {"ftplist.TXT", "options.ftp"};

fs::path HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr) return user->pw_dir;
  return "/";
}

}  // namespace

FileProbe RealFileProbe() {
  return {
      [](const fs::path& path) {
        std::error_code error;
        return fs::exists(path, error);
      },
      [](const fs::path& directory) { return access(directory.c_str(), W_OK | X_OK) == 0; },
  };
}

ConfigPlaces CurrentConfigPlaces(std::optional<fs::path> named) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  return {std::move(named), fs::path(platform::ProgramDirectory()), xdg != nullptr ? xdg : "", HomeDirectory()};
}

fs::path ChooseConfigDirectory(const ConfigPlaces& places, const FileProbe& probe) {
  if (places.named) return *places.named;
  for (const char* mark : kPortableMarks) {
    if (probe.exists(places.executableDirectory / mark) && probe.writable(places.executableDirectory)) {
      return places.executableDirectory;
    }
  }
  const fs::path xdg(places.xdgConfigHome);
  const fs::path base = xdg.is_absolute() ? xdg : places.home / ".config";
  return base / "marlo";
}

bool MakeConfigDirectory(const fs::path& directory, std::string& error) {
  // Collect the missing parts first, so that exactly those get the private mode.
  std::vector<fs::path> missing;
  std::error_code status;
  for (fs::path part = directory; !part.empty() && !fs::exists(part, status); part = part.parent_path()) {
    missing.push_back(part);
    if (part == part.parent_path()) break;
  }
  for (auto part = missing.rbegin(); part != missing.rend(); ++part) {
    if (mkdir(part->c_str(), 0700) != 0 && errno != EEXIST) {
      error = std::error_code(errno, std::generic_category()).message();
      return false;
    }
  }
  if (!fs::is_directory(directory, status)) {
    error = status ? status.message() : std::error_code(ENOTDIR, std::generic_category()).message();
    return false;
  }
  return true;
}

}  // namespace shell
