#include "session/RemotePaths.h"

#include <vector>

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

std::string ResolveRemotePath(std::string_view current, std::string_view typed) {
  std::string path = typed.starts_with('/') ? std::string(typed) : WithTrailingSlash(std::string(current)) + std::string(typed);
  std::vector<std::string_view> parts;
  std::string_view rest = path;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string resolved;
  for (const std::string_view part : parts) (resolved += '/') += part;
  return resolved.empty() ? "/" : resolved;
}

}  // namespace session
