#pragma once
// The program's small text files (options, site list, command list, host types), read and
// written whole.
//
// Reading splits the file at CR LF, LF or a lone CR (a line break at the very end starts no
// further line) and decodes each line on its own: a line that is valid UTF-8 is kept as it
// is, any other is taken as code page 1251 (a file made on Windows). One stray byte, such as
// a Linux path that is not UTF-8, thus changes only its own line. A byte order mark at the
// start of the file is dropped, once.
// Anything that is not a regular file of at most kMaxTextFileSize bytes that we may read
// counts as unreadable, so a stray huge or special file (a FIFO) can neither exhaust memory
// nor block the program.
//
// Writing is all or nothing: the text goes, in UTF-8 with CR LF after every line, to a new
// file in the same directory, which is flushed to disk and then renamed over the old one.
// A crash or a full disk leaves the old file as it was. When the text itself begins with
// U+FEFF, a byte order mark goes in front of it, so that reading gives the text back.
// Refused, leaving everything as it was:
// - a file whose write permission is taken away (no write bit at all, or none for us);
// - an existing file that is unreadable (above): its content never reached the program, so
//   replacing it would lose it.
// A path that is a symbolic link (dotfile managers keep files so) keeps being one: the file
// the link leads to is replaced, with the new file made beside it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr std::size_t kMaxTextFileSize = 64 * 1024 * 1024;

enum class FileAccess {
  Shared,     // a new file follows the umask; an existing file keeps its permission bits
  OwnerOnly,  // always mode 0600: the file holds passwords
};

// The outcome of a save. On failure `error` says so in a sentence for the user or the log:
// "Unable to write to <path>: <reason>".
struct [[nodiscard]] WriteResult {
  std::string error;

  explicit operator bool() const { return error.empty(); }
};

// The text up to its first line break (CR or LF): what a value keeps in a file of lines.
inline std::string_view FirstLine(std::string_view text) { return text.substr(0, text.find_first_of("\r\n")); }

// The file's lines, or nullopt when it is missing or unreadable.
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);

WriteResult WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                           FileAccess access);

}  // namespace platform
