#include "listing/ListingFile.h"

#include <fstream>

#include "platform/TextCodec.h"

namespace listing {

namespace {

constexpr std::size_t kMinEntryLineLength = 20;
constexpr std::size_t kMaxUtf8Length = 4;

// Characters as shown: code points of valid UTF-8, bytes of anything else (code page text).
std::size_t CharacterCount(std::string_view text) {
  return platform::IsValidUtf8(text) ? platform::CountChars(text) : text.size();
}

}  // namespace

std::string ListingFileNameForProcess(long processId) {
  return "FTPDIR" + std::to_string(processId) + ".TXT";
}

std::optional<std::string> TakeListingFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
  if (size < 0) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(text.data(), size)) return std::nullopt;
  in.close();
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  return text;
}

std::vector<std::string_view> ListingLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

bool IsEntryLine(std::string_view line) {
  if (line.size() < kMinEntryLineLength) return false;
  if (line.size() >= kMinEntryLineLength * kMaxUtf8Length) return true;
  return CharacterCount(line) >= kMinEntryLineLength;
}

}  // namespace listing
