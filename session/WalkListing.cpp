#include "session/WalkListing.h"

#include <optional>

#include "listing/ListingFile.h"

namespace session {

bool IsSafeEntryName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

WalkListing ReadWalkListing(const std::filesystem::path& listingFile, const listing::ListingContext& context) {
  WalkListing walk;
  const std::optional<std::string> text = listing::TakeListingFile(listingFile);
  if (!text) return walk;
  for (const std::string_view line : listing::ListingLines(*text)) {
    if (!listing::IsEntryLine(line)) continue;
    listing::RemoteEntry entry = listing::ParseListingLine(line, context);
    if (entry.name == "." || entry.name == "..") continue;
    if (IsSafeEntryName(entry.name))
      walk.entries.push_back(std::move(entry));
    else
      walk.unsafeNames.push_back(std::move(entry.name));
  }
  return walk;
}

}  // namespace session
