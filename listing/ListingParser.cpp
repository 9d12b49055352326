#include "listing/ListingParser.h"

#include "listing/ListingFormats.h"

namespace listing {

namespace {

std::optional<RemoteEntry> ParseInFormat(std::string_view line, const ListingContext& context) {
  switch (ListingFormatOf(context)) {
    case ListingFormat::Text: return ParseTextLine(line);
    case ListingFormat::Custom: return ParseCustomLine(line, CustomColumnsOf(context.answer));
    case ListingFormat::MsFtp4: return ParseMsFtp4Line(line);
    case ListingFormat::Automatic: return ParseAutomaticLine(line, context.startupDate);
    case ListingFormat::Mlsd: return ParseMlsdLine(line);
    case ListingFormat::Standard: break;
  }
  return ParseStandardLine(line, context.startupDate);
}

// A link's target is not listed, so whether it is a directory is guessed from its name: a
// name without a dot is taken for a directory. The test looks at the name before the arrow
// is cut off, so "pub -> /var/pub" counts as a directory but "www -> ../www" as a file.
void ApplyLinkRule(RemoteEntry& entry) {
  if (!entry.attributes.starts_with('l')) return;
  GuessLinkTarget(entry);
  const std::size_t arrow = entry.name.find(" ->");
  if (arrow != std::string::npos) entry.name.resize(arrow);
}

}  // namespace

void GuessLinkTarget(RemoteEntry& entry) {
  entry.isDirectory = entry.name == "." || entry.name.find('.') == std::string::npos;
  if (entry.isDirectory) entry.size.clear();
}

ListingFormat ListingFormatOf(const ListingContext& context) {
  return context.format.value_or(ListingFormatOf(context.answer));
}

std::optional<RemoteEntry> ParseListingLine(std::string_view line, const ListingContext& context) {
  std::optional<RemoteEntry> entry = ParseInFormat(line, context);
  // A machine listing names links by their own names, with no arrow to cut.
  if (entry && ListingFormatOf(context) != ListingFormat::Mlsd) ApplyLinkRule(*entry);
  return entry;
}

}  // namespace listing
