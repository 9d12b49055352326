#pragma once
// The program's small text files (options, site list, command list, host types), read and
// written whole.
//
// Reading decodes the file (UTF-8, or code page 1251 from a file made on Windows) and splits
// it at CR LF, LF or a lone CR; a line break at the very end starts no further line.
// Anything that is not a readable regular file of at most kMaxTextFileSize bytes counts as
// unreadable, so a stray huge or special file can never exhaust memory.
//
// Writing is all or nothing: the text goes, in UTF-8 with CR LF after every line, to a new
// file in the same directory, which is flushed to disk and then renamed over the old one.
// A crash or a full disk leaves the old file as it was. A file whose write permission is
// taken away (no write bit at all, or none for us) is refused like a read-only file.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace platform {

inline constexpr std::size_t kMaxTextFileSize = 64 * 1024 * 1024;

enum class FileAccess {
  Shared,     // a new file follows the umask; an existing file keeps its permission bits
  OwnerOnly,  // always mode 0600: the file holds passwords
};

// The file's lines, or nullopt when it is missing or unreadable.
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);

// True when the file's lines were written.
[[nodiscard]] bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                                  FileAccess access);

}  // namespace platform
