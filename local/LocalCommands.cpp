#include "local/LocalCommands.h"

namespace local {

LocalCommands LocalCommandsFor(const listing::PaneModel& pane, bool atTreeTop,
                               bool serverDirectoryShown) {
  const std::vector<std::size_t> selected = pane.SelectedIndexes();
  LocalCommands commands;
  commands.fileSelected = !selected.empty() && pane.Item(selected.front()).image == listing::kImageFile;
  commands.deleteEntries = !selected.empty() || !atTreeTop;
  commands.uploadEntries = !selected.empty() && serverDirectoryShown;
  return commands;
}

}  // namespace local
