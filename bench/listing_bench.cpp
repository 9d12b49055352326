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
#include <string>

#include "BenchSupport.h"
#include "SampleListing.h"
#include "listing/ListingFile.h"
#include "listing/PaneSorting.h"
#include "listing/RemoteListingView.h"

namespace {

using Clock = std::chrono::steady_clock;

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
  const long long bytes = bench::GenerateListing(source, lines, false);
  if (bytes < 0) {
    std::fprintf(stderr, "cannot write %s\n", source.c_str());
    return 1;
  }
  const auto freshListing = [&] {
    std::filesystem::copy_file(source, file, std::filesystem::copy_options::overwrite_existing);
  };
  const listing::ListingContext context{"0957681", bench::kListingToday};
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

  if (bench::GenerateListing(file, lines, true) < 0) return 1;
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
