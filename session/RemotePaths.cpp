#include "session/RemotePaths.h"

namespace session {

std::string WithTrailingSlash(std::string path) {
  if (!path.ends_with('/')) path += '/';
  return path;
}

std::string ParentDirectory(std::string_view path) {
  if (path.ends_with('/')) path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos || slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

}  // namespace session
