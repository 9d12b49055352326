#pragma once
// The entries of the remote directory on show, in the listing's order: the one source the
// remote view is filled (and refilled, when the filter changes) from.
//
// Each record holds, in this order, whether it is a file, the name, size, date, time and
// attributes. They are kept as separate fields rather than joined with ";" into one text,
// so a name that contains ";" (or ends in blanks) comes back exactly as the server sent it.
//
// A listing can be large, so the cache keeps one compact copy of each entry: the texts of
// all entries lie end to end in a few large blocks, and a record holds where its fields are.
// The views At gives stay valid until Clear, which frees everything.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

#include "listing/RemoteEntry.h"

namespace listing {

struct CachedEntry {
  std::string_view name;
  std::string_view size;
  std::string_view date;
  std::string_view time;
  std::string_view attributes;
  bool isDirectory = false;
};

class ListingCache {
 public:
  void Clear();
  // Each field of an entry is at most 4 GiB - 1 bytes (listing lines are far shorter).
  void Append(const RemoteEntry& entry);

  CachedEntry At(std::size_t index) const;
  std::size_t Size() const { return records_.size(); }
  bool Empty() const { return records_.empty(); }

 private:
  static constexpr std::size_t kFields = 5;

  struct Record {
    char* text;  // the fields, end to end
    std::uint32_t lengths[kFields];
    bool isDirectory;
  };

  char* Reserve(std::size_t bytes);

  std::deque<Record> records_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;  // the unused end of the last block
  std::size_t room_ = 0;
};

}  // namespace listing
