#pragma once
// The entries of the remote directory on show, in the listing's order: the one source the
// remote view is filled (and refilled, when the filter changes) from.
//
// Each record holds, in this order, whether it is a file, the name, size, date, time and
// attributes. They are kept as separate fields rather than joined with ";" into one text,
// so a name that contains ";" (or ends in blanks) comes back exactly as the server sent it.
#include <cstddef>
#include <utility>
#include <vector>

#include "listing/RemoteEntry.h"

namespace listing {

class ListingCache {
 public:
  void Clear() { entries_.clear(); }
  void Append(RemoteEntry entry) { entries_.push_back(std::move(entry)); }
  void Reserve(std::size_t count) { entries_.reserve(count); }

  const std::vector<RemoteEntry>& Entries() const { return entries_; }
  std::size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }

 private:
  std::vector<RemoteEntry> entries_;
};

}  // namespace listing
