#pragma once
// The items that list one local directory; LocalPane.h states what they hold.
#include <filesystem>
#include <string_view>
#include <vector>

#include "listing/PaneItem.h"

namespace local {

// In the order the file system gives them; an unreadable directory gives none, and an error
// half way keeps what was read.
std::vector<listing::PaneItem> ReadLocalDirectory(const std::filesystem::path& directory,
                                                  std::string_view mask);

}  // namespace local
