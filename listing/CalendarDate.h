#pragma once
// A day of the Gregorian calendar, as the listing parser needs it: listing lines that give
// a time instead of a year are dated against the day the program started.
#include <compare>

namespace listing {

struct CalendarDate {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31

  auto operator<=>(const CalendarDate&) const = default;
};

// True when the day exists (31 April and 29 February of a common year do not).
bool IsValidDate(const CalendarDate& date);

// Today in local time.
CalendarDate Today();

}  // namespace listing
