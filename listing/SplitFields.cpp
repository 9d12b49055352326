#include "listing/SplitFields.h"

namespace listing {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

FieldCursor::FieldCursor(std::string_view text, std::string_view separator)
    : rest_(text), separator_(separator) {}

std::optional<std::string_view> FieldCursor::Next() {
  if (rest_.empty()) return std::nullopt;
  const std::size_t at = separator_.empty() ? std::string_view::npos : rest_.find(separator_);
  if (at == std::string_view::npos) {
    const std::string_view field = Trim(rest_);
    rest_ = {};
    return field;
  }
  const std::string_view field = Trim(rest_.substr(0, at));
  rest_ = Trim(rest_.substr(at + separator_.size()));
  return field;
}

std::vector<std::string> SplitFields(std::string_view text, std::string_view separator) {
  std::vector<std::string> fields;
  FieldCursor cursor(text, separator);
  while (const auto field = cursor.Next()) fields.emplace_back(*field);
  return fields;
}

std::vector<std::string_view> LeadingFields(std::string_view text, std::string_view separator,
                                            std::size_t maxCount) {
  std::vector<std::string_view> fields;
  FieldCursor cursor(text, separator);
  while (fields.size() < maxCount) {
    const auto field = cursor.Next();
    if (!field) break;
    fields.push_back(*field);
  }
  return fields;
}

}  // namespace listing
