#include "shell/DropRules.h"

#include "listing/DragAcceptance.h"

namespace shell {

bool RemotePaneAcceptsDrop(const PaneDrop& drop, const DropState& state) {
  if (drop.sourcePaneTag) return listing::RemotePaneAcceptsDrag(drop.sourcePaneTag, state.showingSites, state.busy);
  return !drop.localPaths.empty() && !state.showingSites && !state.busy;
}

bool LocalPaneAcceptsDrop(const PaneDrop& drop, const DropState& state) {
  return drop.sourcePaneTag == listing::kRemotePaneTag && !state.showingSites && !state.busy;
}

}  // namespace shell
