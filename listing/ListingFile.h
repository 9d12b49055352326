#pragma once
// The local file a LIST request's data is stored in, and how its text is read back.
// Shared by the shown listing and the recursive download and delete walks.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace listing {

// "FTPDIR<pid>.TXT": running copies of the program use different files.
std::string ListingFileNameForProcess(long processId);

// The file's bytes; the file is deleted once read. Nothing when it cannot be read, and
// the file is then left as it is.
std::optional<std::string> TakeListingFile(const std::filesystem::path& file);

// The lines of a listing text: cut at LF, a CR before it dropped; a last line without
// LF counts, an empty text after the last LF does not. Views into `text`.
std::vector<std::string_view> ListingLines(std::string_view text);

// Lines shorter than 20 characters ("total 12", empty lines) hold no entry. Characters
// are counted as shown: code points when the line is valid UTF-8, bytes otherwise.
bool IsEntryLine(std::string_view line);

}  // namespace listing
