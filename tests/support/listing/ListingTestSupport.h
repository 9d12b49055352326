#pragma once
// Shared by the listing tests: panes and entries built and read back in one line, entries
// printed field by field, and the rows' names (support/CaseName.h) in the tests' namespace.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "listing/ListingCache.h"
#include "listing/PaneModel.h"
#include "listing/RemoteEntry.h"
#include "support/CaseName.h"

namespace listing {

inline void PrintTo(const RemoteEntry& e, std::ostream* os) {
  *os << "{name '" << e.name << "', size '" << e.size << "', date '" << e.date << "', time '" << e.time
      << "', attributes '" << e.attributes << "', " << (e.isDirectory ? "directory}" : "file}");
}

namespace {

using testsupport::CaseName;
using testsupport::PrintTo;

using Names = std::vector<std::string>;

inline PaneItem File(std::string name, std::string size = "", std::string date = "") {
  return {std::move(name), kImageFile, {std::move(size), std::move(date), "", ""}, false};
}

inline PaneItem Directory(std::string name) { return {std::move(name), kImageDirectory, {}, false}; }

inline PaneModel PaneOf(std::vector<PaneItem> items) {
  PaneModel pane;
  for (PaneItem& item : items) pane.Add(std::move(item));
  return pane;
}

inline Names Captions(const PaneModel& pane, bool selectedOnly = false) {
  Names captions;
  for (const PaneItem& item : pane.Items()) {
    if (item.selected || !selectedOnly) captions.push_back(item.caption);
  }
  return captions;
}

inline std::vector<RemoteEntry> EntriesOf(const ListingCache& cache) {
  std::vector<RemoteEntry> entries;
  for (std::size_t i = 0; i < cache.Size(); ++i) {
    const CachedEntry e = cache.At(i);
    entries.push_back({std::string(e.name), std::string(e.size), std::string(e.date), std::string(e.time),
                       std::string(e.attributes), e.isDirectory});
  }
  return entries;
}

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace
}  // namespace listing
