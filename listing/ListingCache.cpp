#include "listing/ListingCache.h"

#include <algorithm>

namespace listing {

namespace {

// Large enough that a block holds a thousand typical entries, small enough that the unused
// end of the last one does not matter.
constexpr std::size_t kBlockBytes = 64 * 1024;

}  // namespace

void ListingCache::Clear() {
  records_.clear();
  blocks_.clear();
  free_ = nullptr;
  room_ = 0;
}

char* ListingCache::Reserve(std::size_t bytes) {
  if (bytes > room_) {
    room_ = std::max(bytes, kBlockBytes);
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(room_));
    free_ = blocks_.back().get();
  }
  char* const start = free_;
  free_ += bytes;
  room_ -= bytes;
  return start;
}

void ListingCache::Append(const RemoteEntry& entry) {
  const std::string_view fields[kFields] = {entry.name, entry.size, entry.date, entry.time,
                                            entry.attributes};
  std::size_t total = 0;
  for (const std::string_view field : fields) total += field.size();
  Record record{Reserve(total), {}, entry.isDirectory};
  char* out = record.text;
  for (std::size_t i = 0; i < kFields; ++i) {
    out = std::copy(fields[i].begin(), fields[i].end(), out);
    record.lengths[i] = static_cast<std::uint32_t>(fields[i].size());
  }
  records_.push_back(record);
}

CachedEntry ListingCache::At(std::size_t index) const {
  const Record& record = records_.at(index);
  std::string_view fields[kFields];
  const char* text = record.text;
  for (std::size_t i = 0; i < kFields; ++i) {
    fields[i] = {text, record.lengths[i]};
    text += record.lengths[i];
  }
  return {fields[0], fields[1], fields[2], fields[3], fields[4], record.isDirectory};
}

}  // namespace listing
