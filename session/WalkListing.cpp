#include "session/WalkListing.h"

#include "listing/ListingFile.h"

namespace session {

bool IsSafeEntryName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

WalkListing ReadWalkListing(const std::filesystem::path& listingFile, const listing::ListingContext& context) {
  WalkListing walk;
  const listing::ListingLimits limits;
  const listing::ListingReadResult read =
      listing::TakeListingEntries(listingFile, context, limits, [&](listing::RemoteEntry entry) {
        if (entry.name == "." || entry.name == "..") return;
        if (IsSafeEntryName(entry.name))
          walk.entries.push_back(std::move(entry));
        else
          walk.unsafeNames.push_back(std::move(entry.name));
      });
  if (read.outcome == listing::ListingReadOutcome::Unreadable) return {};
  walk.cutShort = listing::ListingCutShortText(read, limits);
  return walk;
}

}  // namespace session
