#pragma once
// What may be dropped on each pane. A drop is either the selection of the other pane
// (known by that pane's tag) or files dragged from the desktop's file manager.
//
// The remote pane takes the local pane's selection, and the desktop's files, while it
// shows a server directory and no operation runs. The local pane takes the remote pane's
// selection on the same conditions; files from the desktop it leaves to the file manager.
#include <optional>
#include <string>
#include <vector>

namespace shell {

struct PaneDrop {
  std::optional<int> sourcePaneTag;    // the pane the drag comes from
  std::vector<std::string> localPaths;  // else: the local files dropped, as file-system bytes
};

// What each pane's acceptance depends on, as the session logic states it.
struct DropState {
  bool showingSites = true;
  bool busy = false;
};

bool RemotePaneAcceptsDrop(const PaneDrop& drop, const DropState& state);
bool LocalPaneAcceptsDrop(const PaneDrop& drop, const DropState& state);

}  // namespace shell
