#pragma once
// The listing of a directory that a tree download or a recursive delete walks into: read
// from the listing file (which is deleted), parsed line by line as the remote pane parses
// its listings (lines under 20 characters hold no entry), without "." and "..".
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
};

// True for a name that stays inside the directory it is joined to.
bool IsSafeEntryName(std::string_view name);

WalkListing ReadWalkListing(const std::filesystem::path& listingFile, const listing::ListingContext& context);

}  // namespace session
