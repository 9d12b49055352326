#include "platform/IniFile.h"

#include <limits>
#include <utility>

#include "platform/TextCodec.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// "[name]" gives name; a header without its closing bracket runs to the end of the line.
std::optional<std::string_view> SectionNameOf(std::string_view line) {
  line = Trim(line);
  if (!line.starts_with('[')) return std::nullopt;
  line.remove_prefix(1);
  return Trim(line.substr(0, line.find(']')));
}

std::optional<std::string_view> KeyNameOf(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

std::string_view ValueOf(std::string_view line) { return line.substr(line.find('=') + 1); }

std::string KeyLine(std::string_view key, std::string_view value) {
  return std::string(key) + "=" + std::string(FirstLine(value));
}

std::optional<std::uint32_t> ParseDigits(std::string_view digits, unsigned base) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * base + digit;
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<std::int32_t> ParseProfileInteger(std::string_view text) {
  text = Trim(text);
  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+')) text.remove_prefix(1);
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  if (hex) text.remove_prefix(2);
  const std::optional<std::uint32_t> magnitude = ParseDigits(text, hex ? 16 : 10);
  if (!magnitude) return std::nullopt;
  const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
  if (!hex && *magnitude > limit) return std::nullopt;
  const auto bits = static_cast<std::int32_t>(*magnitude);  // hexadecimal wraps to 32 bits
  return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(bits)) : bits;
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  if (std::optional<std::vector<std::string>> lines = ReadTextLines(path_)) lines_ = std::move(*lines);
}

std::optional<IniFile::SectionRange> IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::optional<std::string_view> name = SectionNameOf(lines_[i]);
    if (!name || !EqualsIgnoringCase(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionNameOf(lines_[end])) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> IniFile::FindKey(const SectionRange& range, std::string_view key) const {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const std::optional<std::string_view> name = KeyNameOf(lines_[i]);
    if (name && EqualsIgnoringCase(*name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string_view> IniFile::FindValue(std::string_view section,
                                                   std::string_view key) const {
  const std::optional<SectionRange> range = FindSection(section);
  if (!range) return std::nullopt;
  const std::optional<std::size_t> line = FindKey(*range, key);
  if (!line) return std::nullopt;
  return ValueOf(lines_[*line]);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const std::optional<std::string_view> value = FindValue(section, key);
  return std::string(CutToChars(value.value_or(defaultValue), kMaxIniValueChars));
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
  const std::optional<std::string_view> value = FindValue(section, key);
  if (!value) return defaultValue;
  return ParseProfileInteger(CutToChars(*value, kMaxIniValueChars)).value_or(defaultValue);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::optional<SectionRange> range = FindSection(section);
  if (!range) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(KeyLine(key, value));
    return;
  }
  if (const std::optional<std::size_t> line = FindKey(*range, key)) {
    lines_[*line] = KeyLine(key, value);
    return;
  }
  std::size_t insertAt = range->end;
  while (insertAt > range->header + 1 && Trim(lines_[insertAt - 1]).empty()) --insertAt;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), KeyLine(key, value));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteInteger(section, key, value ? 1 : 0);
}

WriteResult IniFile::Save(FileAccess access) const { return WriteTextLines(path_, lines_, access); }

}  // namespace platform
