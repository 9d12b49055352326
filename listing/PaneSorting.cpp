#include "listing/PaneSorting.h"

#include <utility>
#include <vector>

namespace listing {

void ResortPane(PaneModel& pane) {
  if (pane.Empty()) return;
  const auto detached = pane.DetachChangeHandler();
  const PaneUpdate update(pane);
  std::vector<PaneItem> items = pane.TakeItems();
  for (PaneItem& item : items) {
    item.selected = false;
    if (item.IsDirectory()) item.subItems[kSubSize].clear();
  }
  pane.SetSorting(true);
  pane.Assign(std::move(items));
}

void ClickColumn(PaneModel& pane, int columnTag) {
  const int key = pane.SortKey();
  pane.SetSortKey(key == columnTag || key == -columnTag ? -key : columnTag);
  ResortPane(pane);
}

}  // namespace listing
