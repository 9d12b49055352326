#pragma once
// Where the program keeps its files: the directory of the running executable.
#include <string>
#include <string_view>

namespace platform {

// The directory with a trailing "/"; the current directory when the executable's path
// cannot be found.
std::string ProgramDirectory();

// `name` inside `directory`, whether or not the directory ends with "/".
std::string FileInDirectory(const std::string& directory, std::string_view name);

}  // namespace platform
