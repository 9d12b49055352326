#pragma once
// The per-format steps of ParseListingLine; each starts from an empty entry. Private to the
// listing library: callers go through ParseListingLine, which also applies the link rule
// (to the lines of every format but Mlsd, whose parser knows its links by their type).
#include <optional>
#include <string_view>

#include "listing/CalendarDate.h"
#include "listing/ListingFormat.h"
#include "listing/RemoteEntry.h"

namespace listing {

RemoteEntry ParseTextLine(std::string_view line);
RemoteEntry ParseCustomLine(std::string_view line, const CustomColumns& columns);
RemoteEntry ParseMsFtp4Line(std::string_view line);
RemoteEntry ParseStandardLine(std::string_view line, const CalendarDate& startupDate);
std::optional<RemoteEntry> ParseAutomaticLine(std::string_view line, const CalendarDate& startupDate);
std::optional<RemoteEntry> ParseMlsdLine(std::string_view line);

// A link is taken for a directory when its name is "." or has no dot, and then has no size.
void GuessLinkTarget(RemoteEntry& entry);

}  // namespace listing
