#include "local/CaseConversion.h"

#include <algorithm>

#include "listing/AsciiCase.h"

namespace local {

std::string ConvertCase(std::string_view name, CaseMode mode) {
  std::string converted(name);
  switch (mode) {
    case CaseMode::Upper:
      std::ranges::transform(converted, converted.begin(), listing::AsciiUpper);
      break;
    case CaseMode::Lower:
    case CaseMode::Sentence:
      std::ranges::transform(converted, converted.begin(), listing::AsciiLower);
      if (mode == CaseMode::Sentence && !converted.empty()) {
        converted[0] = listing::AsciiUpper(converted[0]);
      }
      break;
  }
  return converted;
}

}  // namespace local
