#pragma once
// The local file operations of the pane's commands, each giving the system's error (none on
// success) instead of throwing, and the text the user is shown for one.
#include <filesystem>
#include <string>
#include <system_error>

namespace local {

std::error_code MakeDirectory(const std::filesystem::path& path);

// Never replaces an existing entry of the new name (that fails with "File exists"), so a
// rename cannot destroy another file. A rename to the very same path does nothing.
std::error_code RenameEntry(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes a directory entry that is not a directory; a symbolic link goes, never its target.
std::error_code RemoveFile(const std::filesystem::path& path);
// Removes an empty directory (a link is refused, not followed).
std::error_code RemoveDirectory(const std::filesystem::path& path);

// "<path>: <the system's message>".
std::string FileErrorText(const std::filesystem::path& path, std::error_code error);

}  // namespace local
