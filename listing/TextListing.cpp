#include "listing/ListingFormats.h"

namespace listing {

// Any text; the whole line is the name, and a line starting with 'd' is taken for a
// directory, e.g. "docs" or "dir pub".
RemoteEntry ParseTextLine(std::string_view line) {
  RemoteEntry entry;
  entry.name = line;
  entry.isDirectory = line.starts_with('d');
  return entry;
}

}  // namespace listing
