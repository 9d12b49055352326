#pragma once
// A day of the Gregorian calendar, as the listing parser needs it: listing lines that give
// a time instead of a year are dated against the day the program started, and machine
// listings give a moment in UTC that is shown in local time.
#include <compare>
#include <cstdint>
#include <optional>
#include <string>

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

// "dd.mm.yy", zero-padded, as the panes show a server's dates ("05.03.01").
std::string ShortDateText(int day, int month, std::int64_t year);

struct DateTime {
  CalendarDate date;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The local time of a moment given in UTC (a leap second counts as the next minute's
// first); nothing when the day or the time of day does not exist.
std::optional<DateTime> LocalTimeOfUtc(const DateTime& utc);

}  // namespace listing
