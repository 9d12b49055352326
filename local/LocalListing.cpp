#include "local/LocalListing.h"

#include <sys/stat.h>

#include <ctime>
#include <string>
#include <system_error>

#include "listing/MaskMatch.h"

namespace local {

namespace {

namespace fs = std::filesystem;

// What a link points to when it can be examined, else the entry itself.
bool Examine(const fs::path& path, struct stat& info) {
  return ::stat(path.c_str(), &info) == 0 || ::lstat(path.c_str(), &info) == 0;
}

// "dd.mm.yyyy" and "hh:mm" in local time.
void SetModificationTexts(std::time_t modified, listing::PaneItem& item) {
  std::tm local{};
  if (::localtime_r(&modified, &local) == nullptr) return;
  char date[16];
  char time[8];
  std::strftime(date, sizeof date, "%d.%m.%Y", &local);
  std::strftime(time, sizeof time, "%H:%M", &local);
  item.subItems[listing::kSubDate] = date;
  item.subItems[listing::kSubTime] = time;
}

listing::PaneItem ItemOf(const fs::path& path, std::string name) {
  listing::PaneItem item;
  item.caption = std::move(name);
  struct stat info {};
  if (!Examine(path, info)) return item;
  if (S_ISDIR(info.st_mode)) {
    item.image = listing::kImageDirectory;
  } else {
    item.subItems[listing::kSubSize] = std::to_string(info.st_size);
  }
  SetModificationTexts(info.st_mtime, item);
  return item;
}

}  // namespace

std::vector<listing::PaneItem> ReadLocalDirectory(const fs::path& directory,
                                                  std::string_view mask) {
  std::vector<listing::PaneItem> items;
  std::error_code error;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().native();
    if (!listing::MatchesMask(name, mask)) continue;
    items.push_back(ItemOf(it->path(), std::move(name)));
  }
  return items;
}

}  // namespace local
