#pragma once
// The listing of a directory that a tree download, a tree upload or a recursive delete walks
// into: read from the listing file (which is deleted) by the bounded reader of
// listing/ListingFile.h, as the remote pane reads its listings, without "." and "..".
//
// A server's names become local paths (downloads) and commands (deletes), so a name that
// could lead out of the walked directory is never taken: one that is empty, holds "/", "\"
// or a NUL byte. Such entries are handed back apart, for the caller to report.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "listing/ListingParser.h"
#include "listing/RemoteEntry.h"

namespace session {

struct WalkListing {
  std::vector<listing::RemoteEntry> entries;
  std::vector<std::string> unsafeNames;
  std::string cutShort;  // the log line of a listing cut short by the reader's limits
};

// True for a name that stays inside the directory it is joined to.
bool IsSafeEntryName(std::string_view name);

WalkListing ReadWalkListing(const std::filesystem::path& listingFile, const listing::ListingContext& context);

}  // namespace session
