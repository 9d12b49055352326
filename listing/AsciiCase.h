#pragma once
// Tests and case changes that touch only ASCII: the Latin letters a..z and the digits,
// leaving every other byte (UTF-8 and code-page letters included) as it is.
#include <algorithm>
#include <string_view>

namespace listing {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// `lowerCase` is written in lower case.
inline bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
  return std::ranges::equal(text, lowerCase, {}, AsciiLower);
}

// At least one digit and nothing else.
inline bool IsAsciiDigits(std::string_view text) {
  return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace listing
