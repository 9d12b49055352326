#pragma once
// The local file a LIST request's data is stored in, and the one way it is read back: by the
// shown listing and by the recursive download and delete walks alike.
//
// TakeListingEntries reads the file as a stream, in blocks of kListingReadBlock bytes, and
// never holds more of it than one block and one line. Lines are cut at LF, a CR before the
// LF dropped; a last line without LF counts, an empty text after the last LF does not. A
// line may span blocks. Lines shorter than 20 characters ("total 12", empty lines) hold no
// entry and are skipped, except in a machine listing (MLSD), where only empty lines are;
// characters are counted as shown: code points when the line is valid UTF-8, bytes
// otherwise. Every other line is parsed with ParseListingLine, and the entries it gives are
// handed to `onEntry`, in the file's order, "." and ".." included (what to skip is the
// caller's). A line that gives no entry (ListingParser.h) is passed over.
//
// A server decides how large a listing is, so the reading is bounded:
// - a line longer than kMaxListingLine bytes keeps its first bytes (never half a UTF-8
//   character) and loses the rest; no name on a real file system comes near it;
// - a listing with more than `maxEntries` entries, or of more than `maxBytes` bytes, is
//   cut short: the entries before the limit have been handed over, nothing after it is
//   read (a line the byte limit cuts in two is dropped), and the outcome says so. The caller
//   keeps what was read and logs ListingCutShortText.
// The file is deleted once read, also when cut short. When it cannot be opened or read it
// is left as it is and the outcome is Unreadable; entries handed over before a read error
// are then to be discarded.
//
// A directory walk reads a listing so:
//   const ListingLimits limits;
//   const ListingReadResult read = TakeListingEntries(file, context, limits, [&](RemoteEntry entry) {
//     if (entry.name == "." || entry.name == "..") return;
//     ...queue entry.name, by entry.isDirectory...
//   });
//   if (const std::string note = ListingCutShortText(read, limits); !note.empty()) log(note);
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "listing/ListingParser.h"

namespace listing {

inline constexpr std::size_t kListingReadBlock = 64 * 1024;
inline constexpr std::size_t kMaxListingLine = 64 * 1024;

// "FTPDIR<pid>.TXT": running copies of the program use different files.
std::string ListingFileNameForProcess(long processId);

struct ListingLimits {
  std::size_t maxEntries = 1'000'000;
  std::uint64_t maxBytes = std::uint64_t{256} << 20;
};

enum class ListingReadOutcome { Complete, CutShort, Unreadable };

struct ListingReadResult {
  ListingReadOutcome outcome = ListingReadOutcome::Complete;
  std::size_t entries = 0;  // entries handed to the caller
};

ListingReadResult TakeListingEntries(const std::filesystem::path& file, const ListingContext& context,
                                     const ListingLimits& limits,
                                     const std::function<void(RemoteEntry)>& onEntry);

// The log line for a listing cut short by the limits, e.g. "Listing too large (over 1000000
// entries or 268435456 bytes): only its first 1000000 entries were read"; empty otherwise.
std::string ListingCutShortText(const ListingReadResult& result, const ListingLimits& limits);

}  // namespace listing
