#pragma once
// Sort commands of both panes.
#include "listing/PaneModel.h"

namespace listing {

// Column tags, shared by the column headers and the sort menu entries.
enum ColumnTag : int { kColumnName = 1, kColumnSize = 2, kColumnDate = 3, kColumnTime = 4, kColumnAttributes = 5 };

// Applies the pane's sort key: sorts once and leaves sorting on. The texts and images stay;
// the selection is lost and a directory's size text is emptied (as when the items are read
// back into a fresh view). An empty pane is left alone.
void ResortPane(PaneModel& pane);

// A click on the column with this tag (or the sort menu entry with it): the same column
// again reverses the direction, another column sorts by it ascending; then ResortPane.
// The remote pane must not pass clicks on while it shows the stored sites.
void ClickColumn(PaneModel& pane, int columnTag);

}  // namespace listing
