#pragma once
// A private-profile (INI) file, read and written key by key without disturbing the rest:
//   [Common]
//   TimeOut=15
//   ; a comment, a blank line or a foreign key stays where it is
//
// Section and key names match without regard to ASCII case; the first matching section and
// the first matching key in it count. Keys and section names are trimmed of blanks, values
// are not, so a value with leading or trailing blanks (a password) reads back unchanged.
// A value is read up to kMaxIniValueChars characters.
//
// Writing changes the text in memory: an existing key's line is rewritten in place, a
// missing key goes after the last line of its section, a missing section is appended at the
// end. Save() then replaces the file as a whole (see TextFile.h), and refuses to when the
// file exists but could not be read, as saving then would wipe the lines this object never
// saw. A value cannot span lines, so it is cut at its first line break when written.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextFile.h"

namespace platform {

inline constexpr std::size_t kMaxIniValueChars = 2047;

// A whole value as a 32-bit integer: decimal, or hexadecimal after "0x" or "0X", with an
// optional sign and surrounding blanks; nullopt for anything else or out of range.
// Hexadecimal takes up to 32 bits, so "0xFFFFFFFF" is -1.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

class IniFile {
 public:
  // Loads the file; a missing or unreadable file reads as empty.
  explicit IniFile(std::string path);

  const std::string& Path() const { return path_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // A value that is not a number gives the default.
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;
  // Any number other than 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  WriteResult Save(FileAccess access) const;

 private:
  struct SectionRange {
    std::size_t header;  // index of the "[name]" line
    std::size_t end;     // one past its last line
  };

  std::optional<SectionRange> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const SectionRange& range, std::string_view key) const;
  std::optional<std::string_view> FindValue(std::string_view section, std::string_view key) const;

  std::string path_;
  std::vector<std::string> lines_;
};

}  // namespace platform
