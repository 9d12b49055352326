#pragma once
// Turns one line of a server's directory listing into a RemoteEntry, in the listing format
// the connected site's Answer code selects. Pure: any bytes in, an entry out, never fails.
// An unreadable Standard line comes back with the whole line as its name and "error" as its
// date, so that it still shows up and the user sees something went wrong.
#include <string>
#include <string_view>

#include "listing/CalendarDate.h"
#include "listing/ListingFormat.h"
#include "listing/RemoteEntry.h"

namespace listing {

struct ListingContext {
  std::string answer{kDefaultAnswer};  // the connected site's Answer code
  CalendarDate startupDate;            // Today() taken once at start-up: lines without a
                                       // year are dated up to this day
};

RemoteEntry ParseListingLine(std::string_view line, const ListingContext& context);

}  // namespace listing
