#pragma once
// The one sort order of both panes. Items compare by image first, so directories (0) come
// before files (1) in either direction. Then by the column the pane's sort key names (its
// absolute value: 1 name, 2 size, 3 date, 4 time, 5 attributes; anything else is the name),
// ascending for a key >= 0 and descending for a negative one:
// - size: the leading digits of the size text as a 64-bit number (0 when there are none),
//   larger first for a positive key;
// - date: "dd.mm.yy" (remote) and "dd/mm/yyyy" (local) texts rearranged year first, so that
//   they order by year, month, day;
// - name, time, attributes: the texts byte by byte with a..z upper-cased, so "b" < "C".
// Returns a negative number, zero or a positive number.
#include "listing/PaneItem.h"

namespace listing {

int ComparePaneItems(const PaneItem& item1, const PaneItem& item2, int sortKey);

}  // namespace listing
