#pragma once
// Small byte-string helpers with the classic semantics the program's rules are written in:
// "trim" removes every byte up to and including the blank (control characters too).
#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

inline bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= ' '; }

inline std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlankByte(s[b])) ++b;
  return std::string(s.substr(b));
}

inline std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlankByte(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

inline std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// ASCII upper case; other bytes unchanged.
inline std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

// printf into a std::string.
inline std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(out.data(), out.size() + 1, format, args);
  va_end(args);
  return out;
}

}  // namespace platform
