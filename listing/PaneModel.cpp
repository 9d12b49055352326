#include "listing/PaneModel.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "listing/ComparePaneItems.h"

namespace listing {

namespace {

auto OrderBy(int sortKey) {
  return [sortKey](const PaneItem& item1, const PaneItem& item2) {
    return ComparePaneItems(item1, item2, sortKey) < 0;
  };
}

}  // namespace

void PaneModel::Clear() {
  if (items_.empty()) return;
  items_ = std::vector<PaneItem>();  // gives the storage back: a long listing's items are tens of megabytes
  Changed(Change::Items);
}

void PaneModel::Add(PaneItem item) {
  if (sorting_ && updateDepth_ == 0) {
    const auto place = std::upper_bound(items_.begin(), items_.end(), item, OrderBy(sortKey_));
    items_.insert(place, std::move(item));
  } else {
    items_.push_back(std::move(item));
    sortPending_ = sortPending_ || sorting_;
  }
  Changed(Change::Items);
}

void PaneModel::Assign(std::vector<PaneItem> items) {
  if (items_.empty() && items.empty()) return;
  items_ = std::move(items);
  sortPending_ = sortPending_ || sorting_;
  Changed(Change::Items);
}

std::vector<PaneItem> PaneModel::TakeItems() {
  std::vector<PaneItem> taken = std::move(items_);
  items_.clear();
  if (!taken.empty()) Changed(Change::Items);
  return taken;
}

void PaneModel::BeginUpdate() { ++updateDepth_; }

void PaneModel::EndUpdate() {
  if (updateDepth_ == 0) return;
  if (--updateDepth_ == 0) Notify();
}

void PaneModel::SetSorting(bool on) {
  sorting_ = on;
  if (!on || items_.empty()) return;
  sortPending_ = true;
  Changed(Change::Order);
}

void PaneModel::SetSelected(std::size_t index, bool selected) {
  PaneItem& item = items_.at(index);
  if (item.selected == selected) return;
  item.selected = selected;
  Changed(Change::Selection);
}

void PaneModel::ChangeSelection(const std::function<bool(const PaneItem&)>& wanted) {
  bool changed = false;
  for (PaneItem& item : items_) {
    const bool selected = wanted(item);
    changed = changed || selected != item.selected;
    item.selected = selected;
  }
  if (changed) Changed(Change::Selection);
}

std::vector<std::size_t> PaneModel::SelectedIndexes() const {
  std::vector<std::size_t> indexes;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].selected) indexes.push_back(i);
  }
  return indexes;
}

void PaneModel::Changed(Change change) {
  (change == Change::Selection ? selectionChanged_ : itemsChanged_) = true;
  handlerPending_ = handlerPending_ || (change != Change::Order && detachDepth_ == 0);
  if (updateDepth_ == 0) Notify();
}

void PaneModel::Notify() {
  if (sortPending_ && sorting_) SortItems();
  sortPending_ = false;
  const bool itemsChanged = std::exchange(itemsChanged_, false);
  const bool selectionChanged = std::exchange(selectionChanged_, false);
  const bool handlerPending = std::exchange(handlerPending_, false);
  if (listener_ && itemsChanged) listener_->PaneItemsReset();
  if (listener_ && selectionChanged && !itemsChanged) listener_->PaneSelectionChanged();
  if (changeHandler_ && handlerPending) changeHandler_();
}

// Sorts positions rather than the items themselves: moving a handful of strings per step
// of the merge costs more than the comparisons. The items are then moved into place along
// the cycles of the order, without a second vector of items.
void PaneModel::SortItems() {
  std::vector<std::size_t> order(items_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto before = OrderBy(sortKey_);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return before(items_[a], items_[b]); });
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    PaneItem first = std::move(items_[start]);
    std::size_t to = start;
    for (std::size_t from = order[to]; from != start; from = order[to]) {
      items_[to] = std::move(items_[from]);
      order[to] = to;
      to = from;
    }
    items_[to] = std::move(first);
    order[to] = to;
  }
}

}  // namespace listing
