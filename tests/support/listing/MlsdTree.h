#pragma once
// The directory whose machine listings (MLSD) the listing tests read, made on disk for the
// real servers that offer them (pure-ftpd, proftpd, pyftpdlib). The entries expected of it are dated in Moscow time (UTC+3, no summer time), which the tests
// set as the local time zone, so that each date shows the shift from UTC.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "listing/ListingFile.h"
#include "listing/RemoteEntry.h"
#include "support/peers/TempDir.h"
#include "support/listing/ListingTestSupport.h"

namespace listing {
namespace {

inline constexpr std::int64_t kFiveGiB = std::int64_t{5} << 30;

struct TreeFile {
  std::string name;
  std::int64_t size;  // -1: a directory
  unsigned mode;
  std::time_t modified;  // UTC
  std::string linkTarget{};  // not empty: a symbolic link to it
};

inline constexpr std::time_t kJan2At0304 = 1704164645;   // 2024-01-02 03:04:05 UTC: 06:04 in Moscow
inline constexpr std::time_t kNewYearsEve = 1704065400;  // 2023-12-31 23:30:00 UTC: 02:30 on 1 January
inline constexpr std::time_t kMarch1999 = 920628000;     // 1999-03-05 10:00:00 UTC

inline const std::vector<TreeFile> kMlsdTree = {
    {"plain.txt", 5, 0640, kMarch1999},
    {"late.txt", 3, 0644, kNewYearsEve},
    {"Отчёт за год.txt", 5, 0644, kJan2At0304},
    {"emoji 😀.txt", 1, 0644, kJan2At0304},
    {"semi;colon.txt", 3, 0644, kJan2At0304},
    {"big.iso", kFiveGiB, 0644, kJan2At0304},
    {"run.sh", 2, 04755, kJan2At0304},
    {"lib.so.1", 4, 0644, kJan2At0304},
    {"lib.so", 0, 0777, kJan2At0304, "lib.so.1"},
    {"pub", -1, 0755, kJan2At0304},
    {"publink", 0, 0777, kJan2At0304, "pub"},
    {"Мои документы", -1, 0750, kJan2At0304},
};

// What pure-ftpd and proftpd list: the real modes; links as links, guessed by their names.
inline const std::vector<RemoteEntry> kMlsdEntries = {
    {"plain.txt", "5", "05.03.99", "13:00", "-rw-r-----", false},
    {"late.txt", "3", "01.01.24", "02:30", "-rw-r--r--", false},
    {"Отчёт за год.txt", "5", "02.01.24", "06:04", "-rw-r--r--", false},
    {"emoji 😀.txt", "1", "02.01.24", "06:04", "-rw-r--r--", false},
    {"semi;colon.txt", "3", "02.01.24", "06:04", "-rw-r--r--", false},
    {"big.iso", "5368709120", "02.01.24", "06:04", "-rw-r--r--", false},
    {"run.sh", "2", "02.01.24", "06:04", "-rwsr-xr-x", false},
    {"lib.so.1", "4", "02.01.24", "06:04", "-rw-r--r--", false},
    {"lib.so", "8", "02.01.24", "06:04", "lrwxrwxrwx", false},
    {"pub", "", "02.01.24", "06:04", "drwxr-xr-x", true},
    {"publink", "", "02.01.24", "06:04", "lrwxrwxrwx", true},
    {"Мои документы", "", "02.01.24", "06:04", "drwxr-x---", true},
};

// pyftpdlib gives only what the user may do (perm), and lists the links' targets.
inline const std::vector<RemoteEntry> kPermOnlyMlsdEntries = {
    {"plain.txt", "5", "05.03.99", "13:00", "-rw-------", false},
    {"late.txt", "3", "01.01.24", "02:30", "-rw-------", false},
    {"Отчёт за год.txt", "5", "02.01.24", "06:04", "-rw-------", false},
    {"emoji 😀.txt", "1", "02.01.24", "06:04", "-rw-------", false},
    {"semi;colon.txt", "3", "02.01.24", "06:04", "-rw-------", false},
    {"big.iso", "5368709120", "02.01.24", "06:04", "-rw-------", false},
    {"run.sh", "2", "02.01.24", "06:04", "-rw-------", false},
    {"lib.so.1", "4", "02.01.24", "06:04", "-rw-------", false},
    {"lib.so", "4", "02.01.24", "06:04", "-rw-------", false},
    {"pub", "", "02.01.24", "06:04", "drwx------", true},
    {"publink", "", "02.01.24", "06:04", "drwx------", true},
    {"Мои документы", "", "02.01.24", "06:04", "drwx------", true},
};

inline std::vector<RemoteEntry> SortedByName(std::vector<RemoteEntry> entries) {
  std::ranges::sort(entries, {}, &RemoteEntry::name);
  return entries;
}

// The entries of MLSD output as the listing file reader gives them, sorted by name (each
// server lists in its own order).
inline std::vector<RemoteEntry> MlsdEntriesOf(const std::string& listing) {
  const testsupport::TempDir dir;
  const std::filesystem::path file = dir.Path() / "FTPDIR1.TXT";
  WriteFile(file, listing);
  std::vector<RemoteEntry> entries;
  TakeListingEntries(file, {"0957681", {2026, 12, 6}, ListingFormat::Mlsd}, {},
                     [&entries](RemoteEntry entry) { entries.push_back(std::move(entry)); });
  return SortedByName(std::move(entries));
}

// Makes Moscow time the local time zone for as long as it lives; a member of the fixtures.
class MoscowTime {
 public:
  MoscowTime() {
    if (const char* zone = std::getenv("TZ")) saved_ = zone;
    setenv("TZ", "MSK-3", 1);
    tzset();
  }
  ~MoscowTime() {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  MoscowTime(const MoscowTime&) = delete;
  MoscowTime& operator=(const MoscowTime&) = delete;

 private:
  std::optional<std::string> saved_;
};

}  // namespace
}  // namespace listing
