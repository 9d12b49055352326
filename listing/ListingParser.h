#pragma once
// Turns one line of a server's directory listing into a RemoteEntry, in the listing format
// the connected site's Answer code selects, or the one the context names. Pure: any bytes
// in, never fails. An unreadable Standard line comes back with the whole line as its name
// and "error" as its date, so that it still shows up and the user sees something went wrong.
//
// The four formats of the Answer code make an entry of every line. The other two make none
// of a line that holds no entry to show:
// - Automatic reads a line whose first word is a Unix permission text ("drwxr-xr-x") as
//   Standard does, and one that begins with an MS-DOS date, a time, "<DIR>" or a size and
//   a name ("01-05-01  10:15AM <DIR> pub") as MsFtp4 does; any other line holds no entry.
// - Mlsd reads "fact=value;...; name" lines (facts in any order and case): a file, a
//   directory or a symbolic link makes an entry; the directory itself and its parent
//   (types cdir and pdir) and types we do not show make none, as does a line without a name.
//   The name is exactly the text after the facts, and stays whole (a link's name is never
//   cut at " ->"). A directory has no size. modify (UTC) is shown in local time as
//   "dd.mm.yy" and "hh:mm"; unix.mode gives the attributes ("-rw-r--r--"); without it, perm
//   (what the logged-in user may do) gives the owner's three letters and "------".
//   Whether a link leads to a directory is guessed from its name, as for a LIST line.
#include <optional>
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
  // Set when the lines are not read in the Answer code's format: Automatic for a site whose
  // listing choice is "automatic", Mlsd when the file holds MLSD output.
  std::optional<ListingFormat> format{};  // "{}" lets callers leave it out without a warning
};

ListingFormat ListingFormatOf(const ListingContext& context);

// Nothing when the line holds no entry (see above); the Answer code's formats always give one.
std::optional<RemoteEntry> ParseListingLine(std::string_view line, const ListingContext& context);

}  // namespace listing
