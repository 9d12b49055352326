#include <algorithm>

#include "listing/AsciiCase.h"
#include "listing/ListingFormats.h"

namespace listing {

namespace {

enum class EntryType { File, Directory, Link, NotShown };

// "file", "dir", "OS.unix=slink:/target" (pure-ftpd), "OS.unix=symlink" (proftpd); "cdir"
// and "pdir" (the listed directory and its parent) and anything else are not shown. A line
// without a type is taken for a file.
EntryType TypeOf(std::string_view type) {
  if (type.empty() || EqualsIgnoringCase(type, "file")) return EntryType::File;
  if (EqualsIgnoringCase(type, "dir")) return EntryType::Directory;
  const std::string_view slink = "os.unix=slink";
  if (EqualsIgnoringCase(type, "os.unix=symlink") || EqualsIgnoringCase(type.substr(0, slink.size()), slink)) {
    return EntryType::Link;
  }
  return EntryType::NotShown;
}

struct Facts {
  std::string_view type, size, modify, unixMode, perm;
};

// "type=file;size=1234;" in any order; the names of facts ignore case, the first of a name counts.
Facts ReadFacts(std::string_view text) {
  Facts facts;
  const std::pair<std::string_view, std::string_view Facts::*> kWanted[] = {
      {"type", &Facts::type}, {"size", &Facts::size}, {"modify", &Facts::modify},
      {"unix.mode", &Facts::unixMode}, {"perm", &Facts::perm}};
  bool seen[std::size(kWanted)] = {};
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(';'), text.size());
    const std::string_view fact = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t equals = fact.find('=');
    if (equals == std::string_view::npos) continue;
    for (std::size_t i = 0; i < std::size(kWanted); ++i) {
      if (seen[i] || !EqualsIgnoringCase(fact.substr(0, equals), kWanted[i].first)) continue;
      facts.*kWanted[i].second = fact.substr(equals + 1);
      seen[i] = true;
    }
  }
  return facts;
}

// "YYYYMMDDHHMMSS", perhaps with a fraction of a second, in UTC.
std::optional<DateTime> LocalTimeOfModify(std::string_view modify) {
  modify = modify.substr(0, modify.find('.'));
  if (modify.size() != 14 || !IsAsciiDigits(modify)) return std::nullopt;
  const auto number = [modify](std::size_t at, std::size_t length) {
    int value = 0;
    for (const char c : modify.substr(at, length)) value = value * 10 + (c - '0');
    return value;
  };
  return LocalTimeOfUtc({{number(0, 4), number(4, 2), number(6, 2)}, number(8, 2), number(10, 2), number(12, 2)});
}

std::string TwoDigits(int value) { return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)}; }

// Octal "0644", "100644" or "4755": the permission bits and the set-id and sticky bits.
std::optional<unsigned> ModeBits(std::string_view mode) {
  if (mode.empty() || mode.size() > 7) return std::nullopt;
  unsigned bits = 0;
  for (const char c : mode) {
    if (c < '0' || c > '7') return std::nullopt;
    bits = bits * 8 + static_cast<unsigned>(c - '0');
  }
  return bits & 07777;
}

// "rwxr-sr-t" as ls writes it: an s or t where the execute letter stands marks the set-id
// or sticky bit, upper case when that execute bit is clear.
std::string PermissionLetters(unsigned bits) {
  std::string letters;
  for (int who = 0; who < 3; ++who) {
    const unsigned three = (bits >> (6 - 3 * who)) & 7;
    const bool special = bits & (04000u >> who);
    letters += three & 4 ? 'r' : '-';
    letters += three & 2 ? 'w' : '-';
    const char mark = who == 2 ? 't' : 's';
    letters += special ? (three & 1 ? mark : AsciiUpper(mark)) : (three & 1 ? 'x' : '-');
  }
  return letters;
}

// What the logged-in user may do (RFC 3659 perm letters), as the owner's three letters: a
// file is readable with r and writable with w or a; a directory is listable with l,
// writable with c, m or p, and can be entered with e.
std::string OwnerLettersOfPerm(std::string_view perm, bool directory) {
  const auto any = [perm](std::string_view letters) {
    return std::ranges::any_of(perm, [letters](char c) { return letters.find(AsciiLower(c)) != std::string_view::npos; });
  };
  std::string letters;
  letters += any(directory ? "l" : "r") ? 'r' : '-';
  letters += any(directory ? "cmp" : "wa") ? 'w' : '-';
  letters += directory && any("e") ? 'x' : '-';
  return letters + "------";
}

std::string Attributes(const Facts& facts, EntryType type) {
  const char kind = type == EntryType::Directory ? 'd' : type == EntryType::Link ? 'l' : '-';
  if (const std::optional<unsigned> bits = ModeBits(facts.unixMode)) return kind + PermissionLetters(*bits);
  if (!facts.perm.empty()) return kind + OwnerLettersOfPerm(facts.perm, type == EntryType::Directory);
  return {};
}

}  // namespace

// Machine listing (MLSD) lines from pure-ftpd, proftpd and pyftpdlib:
//   "type=file;size=4;modify=20240102030405;UNIX.mode=0644;UNIX.uid=1001;unique=fe00g; lib.so.1"
//   "modify=20240102030405;perm=flcdmpe;type=dir;unique=FE00U;UNIX.mode=0755; Мои документы"
//   "modify=20240102030405;perm=radfwMT;size=3;type=file;unique=fe00g; semi;colon.txt"
// The facts end at the first "; " (a fact's value holds no ";"); a line without facts
// begins with the space.
std::optional<RemoteEntry> ParseMlsdLine(std::string_view line) {
  const std::size_t end = line.starts_with(' ') ? 0 : line.find("; ");
  if (end == std::string_view::npos) return std::nullopt;
  const std::size_t nameStart = end == 0 ? 1 : end + 2;
  const Facts facts = ReadFacts(line.substr(0, end));
  const EntryType type = TypeOf(facts.type);
  if (type == EntryType::NotShown || nameStart >= line.size()) return std::nullopt;

  RemoteEntry entry;
  entry.name = line.substr(nameStart);
  entry.isDirectory = type == EntryType::Directory;
  if (!entry.isDirectory && IsAsciiDigits(facts.size)) entry.size = facts.size;
  if (const std::optional<DateTime> local = LocalTimeOfModify(facts.modify)) {
    entry.date = ShortDateText(local->date.day, local->date.month, local->date.year);
    entry.time = TwoDigits(local->hour) + ":" + TwoDigits(local->minute);
  }
  entry.attributes = Attributes(facts, type);
  if (type == EntryType::Link) GuessLinkTarget(entry);
  return entry;
}

}  // namespace listing
