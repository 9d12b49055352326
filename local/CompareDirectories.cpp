#include "local/CompareDirectories.h"

#include <set>
#include <string_view>
#include <utility>

namespace local {

namespace {

using Key = std::pair<std::string_view, std::string_view>;  // caption, size text

Key KeyOf(const listing::PaneItem& item) {
  return {item.caption, item.subItems[listing::kSubSize]};
}

// One lookup per item instead of a scan of the other pane: panes may hold 100,000 items.
std::set<Key> KeysOf(const listing::PaneModel& pane) {
  std::set<Key> keys;
  for (const listing::PaneItem& item : pane.Items()) keys.insert(KeyOf(item));
  return keys;
}

void SelectUnmatched(listing::PaneModel& pane, const std::set<Key>& otherKeys) {
  pane.ChangeSelection(
      [&](const listing::PaneItem& item) { return !otherKeys.contains(KeyOf(item)); });
}

}  // namespace

void CompareDirectories(listing::PaneModel& localPane, listing::PaneModel& remotePane) {
  // Both key sets first: they view the items' texts, which selecting leaves alone.
  const std::set<Key> localKeys = KeysOf(localPane);
  const std::set<Key> remoteKeys = KeysOf(remotePane);
  SelectUnmatched(localPane, remoteKeys);
  SelectUnmatched(remotePane, localKeys);
}

}  // namespace local
