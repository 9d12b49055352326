#pragma once
// Random input for the readers' robustness tests: arbitrary bytes, with the characters
// that mean something to the readers drawn far more often than chance would.
#include <random>
#include <string>
#include <string_view>

inline constexpr char kMeaningfulBytes[] = ";=\",[]\r\n \t\0x\xD0\xC0\xEF\xBB\xBF";

inline std::string RandomText(std::mt19937& random, std::size_t maxLength) {
  const std::string_view meaningful(kMeaningfulBytes, sizeof kMeaningfulBytes - 1);
  std::uniform_int_distribution<std::size_t> length(0, maxLength);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<std::size_t> pick(0, meaningful.size() - 1);
  std::string text(length(random), '\0');
  for (char& c : text) c = byte(random) < 128 ? meaningful[pick(random)] : static_cast<char>(byte(random));
  return text;
}
