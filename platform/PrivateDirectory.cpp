#include "platform/PrivateDirectory.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace platform {

namespace {

std::filesystem::path TemporaryRoot() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? std::filesystem::path(tmp) : std::filesystem::path("/tmp");
}

}  // namespace

PrivateDirectory::PrivateDirectory() {
  // mkdtemp makes the directory with mode 0700 under a name nobody else can have taken.
  std::string pattern = (TemporaryRoot() / "marlo-XXXXXX").string();
  if (!::mkdtemp(pattern.data()))
    throw std::filesystem::filesystem_error("cannot make a private directory", pattern,
                                            std::error_code(errno, std::generic_category()));
  path_ = pattern;
}

PrivateDirectory::~PrivateDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

long CurrentProcessId() { return static_cast<long>(::getpid()); }

}  // namespace platform
