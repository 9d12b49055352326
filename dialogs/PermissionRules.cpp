#include "dialogs/PermissionRules.h"

#include <cctype>

namespace dialogs {
namespace {

constexpr std::array<int, 3> kBitValues = {4, 2, 1};  // read, write, execute

bool IsModeText(std::string_view text) {
  if (text.empty() || text.size() > 3) return false;
  for (char c : text)
    if (!IsModeDigit(c)) return false;
  return true;
}

}  // namespace

std::string ModeTextFromPermissions(std::string_view permissions) {
  static constexpr std::string_view kLetters = "rwx";
  int value = 0;
  for (std::size_t row = 0; row < 3; ++row) {
    int digit = 0;
    for (std::size_t bit = 0; bit < 3; ++bit) {
      const std::size_t at = 1 + row * 3 + bit;
      if (at < permissions.size() &&
          std::tolower(static_cast<unsigned char>(permissions[at])) == kLetters[bit]) {
        digit += kBitValues[bit];
      }
    }
    value = value * 10 + digit;
  }
  return value < 1 ? std::string() : std::to_string(value);
}

std::optional<PermissionBoxes> BoxesFromModeText(std::string_view text) {
  if (text.empty()) return PermissionBoxes{};
  const std::optional<int> mode = ModeFromText(text);
  if (!mode) return std::nullopt;
  const std::array<int, 3> digits = {*mode / 100, *mode % 100 / 10, *mode % 10};
  PermissionBoxes boxes{};
  for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i] = (digits[i / 3] & kBitValues[i % 3]) != 0;
  return boxes;
}

std::string ModeTextFromBoxes(const PermissionBoxes& boxes) {
  std::string text;
  for (std::size_t row = 0; row < 3; ++row) {
    int digit = 0;
    for (std::size_t bit = 0; bit < 3; ++bit)
      if (boxes[row * 3 + bit]) digit += kBitValues[bit];
    text += static_cast<char>('0' + digit);
  }
  return text;
}

std::optional<int> ModeFromText(std::string_view text) {
  if (!IsModeText(text)) return std::nullopt;
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

}  // namespace dialogs
