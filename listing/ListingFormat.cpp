#include "listing/ListingFormat.h"

#include <cstddef>

namespace listing {

namespace {

int ColumnAt(std::string_view answer, std::size_t index) {
  if (index >= answer.size()) return 0;
  const char c = answer[index];
  return c >= '0' && c <= '9' ? c - '0' : 0;
}

}  // namespace

ListingFormat ListingFormatOf(std::string_view answer) {
  if (answer.empty()) return ListingFormat::Standard;
  switch (answer.front()) {
    case '1': return ListingFormat::Text;
    case '2': return ListingFormat::Custom;
    case '3': return ListingFormat::MsFtp4;
    default: return ListingFormat::Standard;
  }
}

CustomColumns CustomColumnsOf(std::string_view answer) {
  return {ColumnAt(answer, 1), ColumnAt(answer, 2), ColumnAt(answer, 3),
          ColumnAt(answer, 4), ColumnAt(answer, 5), ColumnAt(answer, 6)};
}

}  // namespace listing
