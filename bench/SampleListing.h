#pragma once
// A generated Unix listing for the benchmarks that show listings.
#include <filesystem>

#include "listing/CalendarDate.h"

namespace bench {

// The day the generated listings are read on (lines without a year are dated up to it).
inline constexpr listing::CalendarDate kListingToday{2026, 12, 6};

// Writes `lines` entries: directories, files and links in random order (the same order every
// time), some names with spaces or Cyrillic letters, dated with a time or a year, as vsftpd
// and proftpd write them; or, as a machine listing, the same entries as the facts of MLSD as
// pure-ftpd writes them. Returns the file's size, or -1 when it cannot be written.
long long GenerateListing(const std::filesystem::path& file, int lines, bool machineListing = false);

}  // namespace bench
