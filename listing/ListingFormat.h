#pragma once
// A site's listing format comes from its 7-character Answer code (default "0957681"):
// character 1 picks the format, characters 2..7 are the 1-based columns the Custom format
// reads the name, size, first and second date column, time and attributes from (a 0 or a
// character that is not a digit means "no column").
//
// Two more ways of reading a listing come from elsewhere than the code: Automatic, for a
// site whose listing choice is "automatic", tells Unix-style and MS-DOS-style lines apart by
// themselves, line by line; Mlsd reads the facts of a machine listing (the MLSD command),
// which such a site uses when the server offers it.
#include <string_view>

namespace listing {

inline constexpr std::string_view kDefaultAnswer = "0957681";

enum class ListingFormat { Text, Custom, MsFtp4, Standard, Automatic, Mlsd };

// One of the first four: the format the code's first character picks.
ListingFormat ListingFormatOf(std::string_view answer);

// Columns of the Custom format; 0 means the field has no column.
struct CustomColumns {
  int name = 0;
  int size = 0;
  int date = 0;        // labelled "Month" in the site manager
  int secondDate = 0;  // labelled "Day"; appended to the date after a space
  int time = 0;
  int attributes = 0;
};

CustomColumns CustomColumnsOf(std::string_view answer);

}  // namespace listing
