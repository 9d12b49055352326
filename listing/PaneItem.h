#pragma once
// One row of a pane (the remote or the local file view): a caption, an image and four
// sub-item texts, shown as columns in report style, and whether the user selected it.
#include <array>
#include <string>

namespace listing {

// Indexes into the image lists both panes share; the comparison sorts by them first.
enum PaneImage : int { kImageDirectory = 0, kImageFile = 1, kImageSite = 2 };

// Sub-items of the remote pane; the local pane uses the first three the same way.
enum SubItem : std::size_t { kSubSize = 0, kSubDate = 1, kSubTime = 2, kSubAttributes = 3 };

struct PaneItem {
  std::string caption;
  int image = kImageFile;
  std::array<std::string, 4> subItems;
  bool selected = false;
  // A server's entry whose name is shown decoded from its character set keeps the server's
  // bytes here, for every command that names the entry to the server; empty when they are
  // the caption's.
  std::string serverName;

  bool IsDirectory() const { return image == kImageDirectory; }
  const std::string& ServerName() const { return serverName.empty() ? caption : serverName; }
};

}  // namespace listing
