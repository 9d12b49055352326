#include "listing/CalendarDate.h"

#include <cstdio>
#include <ctime>

namespace listing {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool IsValidDate(const CalendarDate& date) {
  return date.year >= 1 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
         date.day <= DaysInMonth(date.year, date.month);
}

CalendarDate Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string ShortDateText(int day, int month, std::int64_t year) {
  char text[32];
  std::snprintf(text, sizeof text, "%2d.%2d.%2d", day, month, static_cast<int>(year % 100));
  std::string date(text);
  for (char& c : date) {
    if (c == ' ') c = '0';
  }
  return date;
}

std::optional<DateTime> LocalTimeOfUtc(const DateTime& utc) {
  if (!IsValidDate(utc.date) || utc.hour < 0 || utc.hour > 23 || utc.minute < 0 || utc.minute > 59 ||
      utc.second < 0 || utc.second > 60) {
    return std::nullopt;
  }
  std::tm fields{};
  fields.tm_year = utc.date.year - 1900;
  fields.tm_mon = utc.date.month - 1;
  fields.tm_mday = utc.date.day;
  fields.tm_hour = utc.hour;
  fields.tm_min = utc.minute;
  fields.tm_sec = utc.second;
  const std::time_t moment = timegm(&fields);
  std::tm local{};
  if (!localtime_r(&moment, &local)) return std::nullopt;
  return DateTime{{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday}, local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace listing
