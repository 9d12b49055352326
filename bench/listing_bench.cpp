// Runs a generated Unix listing through the remote pane's pipeline. First the whole
// ShowRemoteListing, on a fresh process, so its peak memory is its own: once for a new
// directory and once more as a refresh of the same one (the old listing still on show). Then,
// for their times only, the pipeline's phases: read and parse into the listing cache, fill a
// pane model, sort it by name, resort it by size; and reading the same listing in the
// automatic format, and the same entries as a machine listing (MLSD). The listing file is
// written line by line and never held in memory here.
// Usage: listing_bench [lines] (default 100000)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
// dated with a time or a year, as vsftpd and proftpd write them; or the same entries as the
// facts of a machine listing (MLSD), as pure-ftpd writes them. Returns the file's size.
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

void Report(const char* phase, Clock::time_point start) {
  std::printf("%-28s %8.3f s   peak so far %7.1f MiB\n", phase, bench::SecondsSince(start),
              bench::PeakMemoryMiB());
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::filesystem::path directory = std::filesystem::temp_directory_path();
  const std::filesystem::path source = directory / ("listing_bench" + std::to_string(getpid()));
  const std::filesystem::path file = directory / listing::ListingFileNameForProcess(getpid());
  const long long bytes = GenerateListing(source, lines, false);
  if (bytes < 0) {
    std::fprintf(stderr, "cannot write %s\n", source.c_str());
    return 1;
  }
  const auto freshListing = [&] {
    std::filesystem::copy_file(source, file, std::filesystem::copy_options::overwrite_existing);
  };
  const listing::ListingContext context{"0957681", kToday};
  const listing::CaptionMetrics metrics{
      [](std::string_view caption) { return static_cast<int>(caption.size()) * 7; }, 800};
  std::printf("%d listing lines, %.1f MiB; peak before: %.1f MiB\n", lines,
              static_cast<double>(bytes) / (1 << 20), bench::PeakMemoryMiB());

  listing::PaneModel shownPane;
  listing::ListingCache shownCache;
  for (const char* run : {"ShowRemoteListing, new", "ShowRemoteListing, refresh"}) {
    freshListing();
    const Clock::time_point start = Clock::now();
    listing::ShowRemoteListing({file, context, "*.*", "localhost", "/pub", metrics}, shownPane,
                               shownCache);
    Report(run, start);
  }
  std::printf("%zu entries cached, %zu items shown\n", shownCache.Size(), shownPane.Count());
  Clock::time_point start = Clock::now();
  listing::ClickColumn(shownPane, listing::kColumnSize);
  Report("resort by size", start);

  freshListing();
  start = Clock::now();
  listing::ListingCache cache;
  listing::TakeListingEntries(file, context, {}, [&cache](listing::RemoteEntry entry) { cache.Append(entry); });
  Report("read and parse into cache", start);

  start = Clock::now();
  listing::PaneModel pane;
  listing::FillRemoteView(cache, context.answer, "*.*", pane, metrics);
  Report("fill pane", start);

  start = Clock::now();
  listing::ResortPane(pane);
  Report("sort by name", start);

  freshListing();
  start = Clock::now();
  listing::ListingContext automatic = context;
  automatic.format = listing::ListingFormat::Automatic;
  cache.Clear();
  listing::TakeListingEntries(file, automatic, {}, [&cache](listing::RemoteEntry entry) { cache.Append(entry); });
  Report("read and parse, automatic", start);

  if (GenerateListing(file, lines, true) < 0) return 1;
  start = Clock::now();
  listing::ListingContext machine = context;
  machine.format = listing::ListingFormat::Mlsd;
  cache.Clear();
  listing::TakeListingEntries(file, machine, {}, [&cache](listing::RemoteEntry entry) { cache.Append(entry); });
  Report("read and parse, MLSD", start);
  std::printf("%zu MLSD entries cached\n", cache.Size());
  std::filesystem::remove(source);
  return 0;
}
