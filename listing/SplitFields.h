#pragma once
// The program's one way of cutting a text into fields. While the rest is not empty: the
// field is the text before the first separator (or the whole rest), trimmed; the new rest is
// the text after that separator, trimmed. Hence:
// - runs of blanks around fields vanish, so with " " a run of spaces is one separator,
//   but a text that begins with the separator yields an empty first field;
// - an empty field between two separators stays; a separator at the very end adds none;
// - an empty text gives no fields.
// "Blanks" are spaces and control characters. An empty separator never matches, so the
// whole text is one field (rather than an endless run of empty ones).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace listing {

// Walks the fields one at a time without copying, so that callers needing only the first
// few fields of a huge line stay cheap.
class FieldCursor {
 public:
  FieldCursor(std::string_view text, std::string_view separator);

  // The next field, or nothing when the text is used up.
  std::optional<std::string_view> Next();

  // What the next fields would be cut from, as it stands (trimmed once a field was taken).
  std::string_view Rest() const { return rest_; }

 private:
  std::string_view rest_;
  std::string_view separator_;
};

std::vector<std::string> SplitFields(std::string_view text, std::string_view separator);

// At most `maxCount` leading fields; views into `text`.
std::vector<std::string_view> LeadingFields(std::string_view text, std::string_view separator,
                                            std::size_t maxCount);

}  // namespace listing
