#include <algorithm>

#include "listing/AsciiCase.h"
#include "listing/ListingFormats.h"
#include "listing/SplitFields.h"

namespace listing {

namespace {

// Type and nine permission letters, "drwxr-sr-t"; ls may add a mark for an access control
// list or a security context ("-rw-r--r--+", "-rw-r--r--.").
bool IsUnixPermissions(std::string_view token) {
  if (token.size() == 11 && std::string_view("+.@").find(token.back()) != std::string_view::npos) {
    token.remove_suffix(1);
  }
  if (token.size() != 10 || std::string_view("-dlbcps").find(token[0]) == std::string_view::npos) return false;
  static constexpr std::string_view kAllowed[3] = {"r-", "w-", "xsStTlL-"};
  for (std::size_t i = 1; i < 10; ++i) {
    if (kAllowed[(i - 1) % 3].find(token[i]) == std::string_view::npos) return false;
  }
  return true;
}

// "01-05-01" or "01-05-2001".
bool IsMsDosDate(std::string_view token) {
  return (token.size() == 8 || token.size() == 10) && token[2] == '-' && token[5] == '-' &&
         IsAsciiDigits(token.substr(0, 2)) && IsAsciiDigits(token.substr(3, 2)) && IsAsciiDigits(token.substr(6));
}

// "10:15AM", "9:05pm" or "21:05".
bool IsMsDosTime(std::string_view token) {
  const std::size_t colon = token.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 2) return false;
  std::string_view minutes = token.substr(colon + 1);
  if (minutes.size() == 4) {
    const char half = AsciiUpper(minutes[2]);
    if ((half != 'A' && half != 'P') || AsciiUpper(minutes[3]) != 'M') return false;
    minutes.remove_suffix(2);
  }
  return minutes.size() == 2 && IsAsciiDigits(token.substr(0, colon)) && IsAsciiDigits(minutes);
}

bool IsDirectoryMarkOrSize(std::string_view token) {
  return IsAsciiDigits(token) || EqualsIgnoringCase(token, "<dir>");
}

// Date, time, "<DIR>" or a size, then a name.
bool IsMsDosLine(std::string_view line) {
  FieldCursor cursor(line, " ");
  const auto date = cursor.Next();
  const auto time = cursor.Next();
  const auto sizeOrDir = cursor.Next();
  return sizeOrDir && IsMsDosDate(*date) && IsMsDosTime(*time) && IsDirectoryMarkOrSize(*sizeOrDir) &&
         !cursor.Rest().empty();
}

}  // namespace

// Each line by itself, so a listing may mix the two kinds:
//   "drwxr-xr-x   2 ftp ftp 512 Jan 10 09:30 pub"      read as Standard
//   "01-05-01  10:15AM       <DIR>          pub"       read as MsFtp4
//   "total 12", "pub", "VMS$DISK:[PUB]"                 no entry
std::optional<RemoteEntry> ParseAutomaticLine(std::string_view line, const CalendarDate& startupDate) {
  if (IsUnixPermissions(line.substr(0, line.find(' ')))) return ParseStandardLine(line, startupDate);
  if (IsMsDosLine(line)) return ParseMsFtp4Line(line);
  return std::nullopt;
}

}  // namespace listing
