#pragma once
// Rules on remote directory paths ("/" separated, as the server takes them).
#include <string>
#include <string_view>

namespace session {

// The path with a "/" at its end.
std::string WithTrailingSlash(std::string path);

// One level up: a trailing "/" is ignored and the path is cut before its last "/"; with no
// "/" left, or nothing before it, the root "/". So "/a/b/" and "/a/b" give "/a", "/a" and "/"
// give "/".
std::string ParentDirectory(std::string_view path);

// The directory a "Change Directory" answer names, seen from `current`: a relative answer is
// taken below `current`; "." and ".." components are resolved ("/a/b/.." is "/a", ".." of
// the root is the root); the result has no trailing "/" but for the root.
std::string ResolveRemotePath(std::string_view current, std::string_view typed);

}  // namespace session
