#include "listing/ComparePaneItems.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

#include "listing/AsciiCase.h"

namespace listing {

namespace {

enum SortColumn : long long { kSortSize = 2, kSortDate = 3, kSortTime = 4, kSortAttributes = 5 };

// Leading decimal digits, saturating instead of wrapping on absurd lengths.
std::uint64_t LeadingNumber(std::string_view text) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (kMax - digit) / 10) return kMax;
    value = value * 10 + digit;
  }
  return value;
}

// Larger first for an ascending key.
int CompareSizes(const PaneItem& item1, const PaneItem& item2) {
  const std::uint64_t size1 = LeadingNumber(item1.subItems[kSubSize]);
  const std::uint64_t size2 = LeadingNumber(item2.subItems[kSubSize]);
  if (size2 > size1) return 1;
  if (size2 < size1) return -1;
  return 0;
}

int CompareTexts(std::string_view text1, std::string_view text2) {
  const std::size_t common = std::min(text1.size(), text2.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto c1 = static_cast<unsigned char>(AsciiUpper(text1[i]));
    const auto c2 = static_cast<unsigned char>(AsciiUpper(text2[i]));
    if (c1 != c2) return c1 < c2 ? -1 : 1;
  }
  if (text1.size() == text2.size()) return 0;
  return text1.size() < text2.size() ? -1 : 1;
}

// Characters 7..10, ".", 4..5, ".", 1..2 of a day-first date: "05.03.99" -> "99.03.05",
// "05/03/1999" -> "1999.03.05". Parts beyond a short text are simply missing.
class YearFirstDate {
 public:
  explicit YearFirstDate(std::string_view date) {
    Append(date, 6, 4);
    text_[length_++] = '.';
    Append(date, 3, 2);
    text_[length_++] = '.';
    Append(date, 0, 2);
  }
  std::string_view View() const { return {text_, length_}; }

 private:
  void Append(std::string_view date, std::size_t from, std::size_t count) {
    if (from >= date.size()) return;
    const std::string_view part = date.substr(from, count);
    std::copy(part.begin(), part.end(), text_ + length_);
    length_ += part.size();
  }

  char text_[10] = {};
  std::size_t length_ = 0;
};

int CompareByColumn(const PaneItem& item1, const PaneItem& item2, long long column) {
  switch (column) {
    case kSortSize: return CompareSizes(item1, item2);
    case kSortDate:
      return CompareTexts(YearFirstDate(item1.subItems[kSubDate]).View(),
                          YearFirstDate(item2.subItems[kSubDate]).View());
    case kSortTime: return CompareTexts(item1.subItems[kSubTime], item2.subItems[kSubTime]);
    case kSortAttributes:
      return CompareTexts(item1.subItems[kSubAttributes], item2.subItems[kSubAttributes]);
    default: return CompareTexts(item1.caption, item2.caption);
  }
}

}  // namespace

int ComparePaneItems(const PaneItem& item1, const PaneItem& item2, int sortKey) {
  if (item1.image != item2.image) return item1.image - item2.image;
  const int direction = sortKey >= 0 ? 1 : -1;
  const long long column = sortKey >= 0 ? sortKey : -static_cast<long long>(sortKey);
  return CompareByColumn(item1, item2, column) * direction;
}

}  // namespace listing
