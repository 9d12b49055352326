#pragma once
// Case changes that touch only the Latin letters a..z, leaving every other byte (UTF-8 and
// code-page letters included) as it is.

namespace listing {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace listing
