#pragma once
// Compares the local pane with the remote one by the items as they stand, listing nothing:
// afterwards each pane's selection is exactly its items without an item of the same
// caption (case-sensitive) and the same size text on the other side. Directories carry no
// size on either side, so they match by name alone; dates and times do not count. The
// remote "..", having no local counterpart, ends up selected.
#include "listing/PaneModel.h"

namespace local {

void CompareDirectories(listing::PaneModel& localPane, listing::PaneModel& remotePane);

}  // namespace local
