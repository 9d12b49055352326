#include "listing/MaskMatch.h"

#include "listing/SplitFields.h"

namespace listing {

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*" || mask == "*.*") return true;
  FieldCursor maskParts(mask, ".");
  FieldCursor nameParts(name, ".");
  while (true) {
    const auto maskPart = maskParts.Next();
    const auto namePart = nameParts.Next();
    if (!maskPart || !namePart) return !maskPart && !namePart;
    if (!WildMatch(*maskPart, *namePart)) return false;
  }
}

bool WildMatch(std::string_view mask, std::string_view name) {
  if (mask == "*") return true;
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < mask.size() && j < name.size()) {
    if (mask[i] == '*') {
      while (i < mask.size() && mask[i] == '*') ++i;
      if (i == mask.size()) return true;
      std::size_t questionMarks = 0;
      while (i < mask.size() && mask[i] == '?') {
        ++questionMarks;
        ++i;
      }
      // Only '?' after the '*': the shortcut that ends the part early, taken as a match only
      // because nothing else is left in the mask.
      if (i == mask.size()) return questionMarks == name.size() - j;
      do {
        ++j;
      } while (j < name.size() && name[j] != mask[i]);
      // The '?' run must fit before the literal, which the next pass compares.
      if (j == name.size() || j < questionMarks) return false;
    } else if (mask[i] == '?' || mask[i] == name[j]) {
      ++i;
      ++j;
    } else {
      return false;
    }
  }
  return i == mask.size() && j == name.size();
}

}  // namespace listing
