#pragma once
// Shared by the listing tests. Table rows (structs with a `what` text) name their tests and
// print as that text, so CTest and failures say which case is meant; entries print field
// by field. The helpers live in the tests' unnamed namespace, where lookup finds PrintTo.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "listing/ListingCache.h"
#include "listing/PaneModel.h"
#include "listing/RemoteEntry.h"

namespace listing {

inline void PrintTo(const RemoteEntry& e, std::ostream* os) {
  *os << "{name '" << e.name << "', size '" << e.size << "', date '" << e.date << "', time '" << e.time
      << "', attributes '" << e.attributes << "', " << (e.isDirectory ? "directory}" : "file}");
}

namespace {

template <typename Case>
  requires requires(const Case& c) { c.what; }
void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    std::string name = info.param.what;
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
  }
};

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
