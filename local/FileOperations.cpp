#include "local/FileOperations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace local {

namespace {

std::error_code Outcome(int result) {
  return result == 0 ? std::error_code{} : std::error_code(errno, std::system_category());
}

}  // namespace

std::error_code MakeDirectory(const std::filesystem::path& path) {
  return Outcome(::mkdir(path.c_str(), 0777));
}

std::error_code RenameEntry(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (from == to) return {};
  const int result = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (result == 0 || errno != EINVAL) return Outcome(result);
  // A file system that cannot refuse atomically: look first, then rename.
  struct stat existing {};
  if (::lstat(to.c_str(), &existing) == 0) return std::make_error_code(std::errc::file_exists);
  return Outcome(std::rename(from.c_str(), to.c_str()));
}

std::error_code RemoveFile(const std::filesystem::path& path) { return Outcome(::unlink(path.c_str())); }

std::error_code RemoveDirectory(const std::filesystem::path& path) {
  return Outcome(::rmdir(path.c_str()));
}

std::string FileErrorText(const std::filesystem::path& path, std::error_code error) {
  return path.native() + ": " + error.message();
}

}  // namespace local
