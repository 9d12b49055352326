#include <cstdint>
#include <optional>

#include "listing/AsciiCase.h"
#include "listing/ListingFormats.h"

namespace listing {

namespace {

// Reads a line token by token; tokens end at a space, and every step stops at the line's end.
class LineScanner {
 public:
  explicit LineScanner(std::string_view line) : line_(line) {}

  std::string_view Token() {
    const std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ' ') ++pos_;
    return line_.substr(start, pos_ - start);
  }
  void SkipSpaces() {
    while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
  }
  std::string_view NextToken() {
    SkipSpaces();
    return Token();
  }
  std::string_view Rest() const { return line_.substr(pos_); }

 private:
  std::string_view line_;
  std::size_t pos_ = 0;
};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Decimal digits after an optional sign, the whole text, 64 bits (sizes beyond 2 GiB are
// integers too, so a group column is not mistaken for the size when a file is large).
std::optional<std::int64_t> WholeInteger(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

// The value of the leading digits; nothing when there are none (or too many to be a year).
std::optional<std::int64_t> LeadingDigits(std::string_view text) {
  std::size_t count = 0;
  while (count < text.size() && text[count] >= '0' && text[count] <= '9') ++count;
  return WholeInteger(text.substr(0, count));
}

// Where the month name occurs first in the month table; 1 when it does not occur.
int MonthOf(std::string_view token) {
  static constexpr std::string_view kMonths = "janfebmaraprmayjunjulaugsepoctnovdec";
  if (token.empty() || token.size() > kMonths.size()) return 1;
  std::string lower(token);
  for (char& c : lower) c = AsciiLower(c);
  const std::size_t at = kMonths.find(lower);
  return at == std::string_view::npos ? 1 : static_cast<int>(at / 3) + 1;
}

int DayOf(std::string_view token) {
  const auto day = WholeInteger(token);
  return day && *day >= INT32_MIN && *day <= INT32_MAX ? static_cast<int>(*day) : 1;
}

// A time instead of a year means the last twelve months: the date is put in the start-up
// year, or in the year before when that would lie after the start-up day.
std::optional<std::int64_t> YearOfTimedDate(int month, int day, const CalendarDate& startupDate) {
  const CalendarDate date{startupDate.year, month, day};
  if (!IsValidDate(date)) return std::nullopt;
  return date > startupDate ? startupDate.year - 1 : startupDate.year;
}

}  // namespace

// Unix long listing, with or without the group column:
//   "-rw-r--r--   1 ftp      ftp          1234 Mar  5 12:00 read me.txt"
//   "-rw-r--r--   1 ftp          1234 Mar  5  1999 a.txt"
//   "lrwxrwxrwx   1 ftp ftp 7 Jan 10 09:30 bin -> usr/bin"
// The name is the rest of the line, spaces and link arrow included.
RemoteEntry ParseStandardLine(std::string_view line, const CalendarDate& startupDate) {
  RemoteEntry entry;
  LineScanner scan(line);
  entry.attributes = scan.Token();
  scan.NextToken();  // link count
  scan.NextToken();  // owner
  entry.size = scan.NextToken();
  std::string_view monthToken = scan.NextToken();
  if (WholeInteger(monthToken)) {  // the token before was the group
    entry.size = monthToken;
    monthToken = scan.NextToken();
  }
  const int month = MonthOf(monthToken);
  const int day = DayOf(scan.NextToken());
  const std::string_view timeOrYear = scan.NextToken();
  scan.SkipSpaces();
  entry.name = scan.Rest();

  std::optional<std::int64_t> year;
  if (timeOrYear.find(':') != std::string_view::npos) {
    entry.time = timeOrYear;
    year = YearOfTimedDate(month, day, startupDate);
  } else {
    year = LeadingDigits(timeOrYear);
  }
  if (!year) {
    entry.name = line;
    entry.date = "error";
    return entry;
  }
  entry.date = ShortDateText(day, month, *year);
  entry.isDirectory = entry.attributes.starts_with('d');
  return entry;
}

}  // namespace listing
