#include "listing/AsciiCase.h"
#include "listing/ListingFormats.h"
#include "listing/SplitFields.h"

namespace listing {

// Microsoft FTP service 4.0:
//   "01-05-01  10:15AM       <DIR>          pub"
//   "01-05-01  10:15AM                 1234 read me.txt"
// The name is the rest of the line after the third column, so names with spaces (common on
// these servers) stay whole instead of keeping only their first word.
RemoteEntry ParseMsFtp4Line(std::string_view line) {
  FieldCursor cursor(line, " ");
  RemoteEntry entry;
  if (const auto date = cursor.Next()) entry.date = *date;
  if (const auto time = cursor.Next()) entry.time = *time;
  if (const auto sizeOrDir = cursor.Next()) {
    entry.isDirectory = EqualsIgnoringCase(*sizeOrDir, "<dir>");
    if (!entry.isDirectory) entry.size = *sizeOrDir;
  }
  entry.name = cursor.Rest();
  return entry;
}

}  // namespace listing
