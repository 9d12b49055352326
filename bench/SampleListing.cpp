#include "SampleListing.h"

#include <cstdio>
#include <random>

namespace bench {

namespace {
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}  // namespace

long long GenerateListing(const std::filesystem::path& file, int lines, bool machineListing) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) return -1;
  std::mt19937 random(2026);
  if (!machineListing) std::fprintf(out, "total %d\r\n", lines * 4);
  for (int i = 0; i < lines; ++i) {
    const unsigned kind = random() % 10;
    const char* attributes = kind == 0 ? "drwxr-xr-x" : kind == 1 ? "lrwxrwxrwx" : "-rw-r--r--";
    const unsigned long long size = kind == 0 ? 4096 : random() % (kind == 9 ? 8000000000ULL : 900000ULL);
    const unsigned month = static_cast<unsigned>(random() % 12);
    const unsigned day = 1 + random() % 28;
    const unsigned hour = static_cast<unsigned>(random() % 24);
    const unsigned minute = static_cast<unsigned>(random() % 60);
    const bool withYear = random() % 2 == 0;
    const unsigned year = withYear ? 1995 + static_cast<unsigned>(random() % 30) : 2026;
    const unsigned id = static_cast<unsigned>(random() % 1000000);
    const char* stem = kind == 2 ? "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 " : kind == 3 ? "Read Me " : "file_";
    if (machineListing) {
      const char* type = kind == 0 ? "dir" : kind == 1 ? "OS.unix=slink:target" : "file";
      std::fprintf(out, "type=%s;size=%llu;modify=%04u%02u%02u%02u%02u00;UNIX.mode=%s;UNIX.uid=1001;UNIX.gid=1001; %s%06u%s\r\n",
                   type, size, year, month + 1, day, hour, minute, kind == 0 ? "0755" : "0644", stem, id,
                   kind < 2 ? "" : ".dat");
      continue;
    }
    char when[8];
    if (withYear) {
      std::snprintf(when, sizeof when, " %u", year);
    } else {
      std::snprintf(when, sizeof when, "%02u:%02u", hour, minute);
    }
    const char* tail = kind == 1 ? " -> target" : kind == 0 ? "" : ".dat";
    std::fprintf(out, "%s    1 ftp      ftp      %10llu %s %2u %5s %s%06u%s\r\n", attributes, size,
                 kMonths[month], day, when, stem, id, tail);
  }
  const long long size = std::ftell(out);
  return std::fclose(out) == 0 ? size : -1;
}

}  // namespace bench
