#pragma once
// The items of one pane (remote or local file view) apart from any widget.
//
// Order. Items are kept in display order. While sorting is on they stay ordered by
// ComparePaneItems under the pane's sort key: an item added outside an update goes to its
// place at once; assigned items, and items added inside BeginUpdate/EndUpdate, are sorted
// once (at the outermost EndUpdate), so a long listing costs one sort. Switching sorting on
// sorts once, deferred the same way. Changing the sort key alone does not re-sort:
// ResortPane does.
// Sorting is stable, so equal items keep the order they were added in.
//
// Notifications. The listener (the widget that shows the pane) hears PaneItemsReset after
// items were added, removed or reordered, and PaneSelectionChanged after only selection
// flags changed; inside an update, once at the outermost EndUpdate. The change handler is
// the pane's own "items or selection changed" hook (the session re-enables its commands
// from it; a mere reordering is not news to it); it hears, with the same folding, only of
// changes made while it is attached, so code that refills the pane detaches it to raise no
// selection events.
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "listing/PaneItem.h"

namespace listing {

class PaneModelListener {
 public:
  virtual ~PaneModelListener() = default;
  virtual void PaneItemsReset() = 0;
  virtual void PaneSelectionChanged() = 0;
};

class PaneModel {
 public:
  const std::vector<PaneItem>& Items() const { return items_; }
  const PaneItem& Item(std::size_t index) const { return items_.at(index); }
  std::size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }

  void Clear();
  void Add(PaneItem item);
  // Replaces every item at once: a clear and one add per item, without the per-item cost.
  void Assign(std::vector<PaneItem> items);
  // Removes every item and hands them over, as they are, in display order.
  std::vector<PaneItem> TakeItems();

  void BeginUpdate();
  void EndUpdate();

  int SortKey() const { return sortKey_; }
  void SetSortKey(int key) { sortKey_ = key; }
  bool Sorting() const { return sorting_; }
  // Switching on (also when already on) sorts the items once.
  void SetSorting(bool on);

  void SetSelected(std::size_t index, bool selected);
  // Gives every item the selection state `wanted` returns for it; one notification.
  void ChangeSelection(const std::function<bool(const PaneItem&)>& wanted);
  std::vector<std::size_t> SelectedIndexes() const;

  void SetListener(PaneModelListener* listener) { listener_ = listener; }
  void SetChangeHandler(std::function<void()> handler) { changeHandler_ = std::move(handler); }

  // Keeps the change handler detached for the guard's lifetime.
  class [[nodiscard]] DetachedChangeHandler {
   public:
    explicit DetachedChangeHandler(PaneModel& pane) : pane_(pane) { ++pane_.detachDepth_; }
    ~DetachedChangeHandler() { --pane_.detachDepth_; }
    DetachedChangeHandler(const DetachedChangeHandler&) = delete;
    DetachedChangeHandler& operator=(const DetachedChangeHandler&) = delete;

   private:
    PaneModel& pane_;
  };
  DetachedChangeHandler DetachChangeHandler() { return DetachedChangeHandler(*this); }

 private:
  // Reordering is news for the listener only: no item or selection state changed.
  enum class Change { Items, Order, Selection };

  void Changed(Change change);
  void Notify();
  void SortItems();

  std::vector<PaneItem> items_;
  int sortKey_ = 0;
  bool sorting_ = false;
  int updateDepth_ = 0;
  int detachDepth_ = 0;
  bool sortPending_ = false;
  bool itemsChanged_ = false;
  bool selectionChanged_ = false;
  bool handlerPending_ = false;
  PaneModelListener* listener_ = nullptr;
  std::function<void()> changeHandler_;
};

// Brackets changes in BeginUpdate/EndUpdate for the guard's lifetime.
class [[nodiscard]] PaneUpdate {
 public:
  explicit PaneUpdate(PaneModel& pane) : pane_(pane) { pane_.BeginUpdate(); }
  ~PaneUpdate() { pane_.EndUpdate(); }
  PaneUpdate(const PaneUpdate&) = delete;
  PaneUpdate& operator=(const PaneUpdate&) = delete;

 private:
  PaneModel& pane_;
};

}  // namespace listing
