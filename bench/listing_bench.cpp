// Runs a generated 100,000-line Unix listing through the remote pane's pipeline: read the
// listing file, parse it into the listing cache, fill a pane model, sort it; then the whole
// ShowRemoteListing once more on a fresh copy. Prints each phase's time and the peak memory.
// Usage: listing_bench [lines] (default 100000)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "BenchSupport.h"
#include "listing/ListingFile.h"
#include "listing/PaneSorting.h"
#include "listing/RemoteListingView.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr listing::CalendarDate kToday{2026, 12, 6};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Directories, files and links in random order, some names with spaces or Cyrillic letters,
// dated with a time or a year, as vsftpd and proftpd write them.
std::string GenerateListing(int lines) {
  std::mt19937 random(2026);
  std::string text = "total " + std::to_string(lines * 4) + "\r\n";
  char line[256];
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
    std::snprintf(line, sizeof line, "%s    1 ftp      ftp      %10llu %s %2u %5s %s%06u%s\r\n",
                  attributes, size, month, day, when, stem, id, tail);
    text += line;
  }
  return text;
}

void WriteFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

void Report(const char* phase, Clock::time_point start) {
  std::printf("%-28s %8.3f s   peak %7.1f MiB\n", phase, bench::SecondsSince(start),
              bench::PeakMemoryMiB());
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::string text = GenerateListing(lines);
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     listing::ListingFileNameForProcess(getpid());
  const listing::ListingContext context{"0957681", kToday};
  const listing::CaptionMetrics metrics{
      [](std::string_view caption) { return static_cast<int>(caption.size()) * 7; }, 800};
  std::printf("%d listing lines, %.1f MiB\n", lines, static_cast<double>(text.size()) / (1 << 20));

  WriteFile(file, text);
  const Clock::time_point pipeline = Clock::now();
  Clock::time_point start = Clock::now();
  const std::optional<std::string> read = listing::TakeListingFile(file);
  Report("read listing file", start);

  start = Clock::now();
  listing::ListingCache cache;
  listing::CacheListing(*read, context, cache);
  Report("parse into cache", start);

  start = Clock::now();
  listing::PaneModel pane;
  listing::FillRemoteView(cache, context.answer, "*.*", pane, metrics);
  Report("fill pane", start);

  start = Clock::now();
  listing::ResortPane(pane);
  Report("sort by name", start);
  Report("pipeline (phases above)", pipeline);

  start = Clock::now();
  listing::ClickColumn(pane, listing::kColumnSize);
  Report("resort by size", start);

  WriteFile(file, text);
  listing::PaneModel shownPane;
  listing::ListingCache shownCache;
  start = Clock::now();
  listing::ShowRemoteListing({file, context, "*.*", "localhost", "/pub", metrics}, shownPane,
                             shownCache);
  Report("ShowRemoteListing, whole", start);
  std::printf("%zu entries cached, %zu items shown\n", shownCache.Size(), shownPane.Count());
  return 0;
}
