#include "SampleListing.h"

#include <cstdio>
#include <random>

namespace bench {

namespace {
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}  // namespace

long long GenerateListing(const std::filesystem::path& file, int lines) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) return -1;
  std::mt19937 random(2026);
  std::fprintf(out, "total %d\r\n", lines * 4);
  for (int i = 0; i < lines; ++i) {
    const unsigned kind = random() % 10;
    const char* attributes = kind == 0 ? "drwxr-xr-x" : kind == 1 ? "lrwxrwxrwx" : "-rw-r--r--";
    const unsigned long long size = kind == 0 ? 4096 : random() % (kind == 9 ? 8000000000ULL : 900000ULL);
    const char* month = kMonths[random() % 12];
    const unsigned day = 1 + random() % 28;
    char when[8];
    if (random() % 2) {
      std::snprintf(when, sizeof when, "%02u:%02u", static_cast<unsigned>(random() % 24),
                    static_cast<unsigned>(random() % 60));
    } else {
      std::snprintf(when, sizeof when, " %u", 1995 + static_cast<unsigned>(random() % 30));
    }
    const unsigned id = static_cast<unsigned>(random() % 1000000);
    const char* stem = kind == 2 ? "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 " : kind == 3 ? "Read Me " : "file_";
    const char* tail = kind == 1 ? " -> target" : kind == 0 ? "" : ".dat";
    std::fprintf(out, "%s    1 ftp      ftp      %10llu %s %2u %5s %s%06u%s\r\n", attributes, size, month, day,
                 when, stem, id, tail);
  }
  const long long size = std::ftell(out);
  return std::fclose(out) == 0 ? size : -1;
}

}  // namespace bench
