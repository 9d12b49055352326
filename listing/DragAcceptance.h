#pragma once
// Which drags the remote pane accepts. Panes are told apart by their tags.
#include <optional>

namespace listing {

inline constexpr int kLocalPaneTag = 2;
inline constexpr int kRemotePaneTag = 16;

// `sourceListViewTag` is the tag of the list view the drag comes from, or nothing when the
// source is not a list view. Only files dragged from the local pane onto a shown server
// directory are taken, and only while no operation runs.
constexpr bool RemotePaneAcceptsDrag(std::optional<int> sourceListViewTag, bool showingSites,
                                     bool busy) {
  return sourceListViewTag == kLocalPaneTag && !showingSites && !busy;
}

}  // namespace listing
