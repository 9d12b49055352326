#pragma once
// A pane model (listing::PaneModel) as a Qt table model, for the views that show it. The
// adapter holds no rows of its own: every cell is read from the pane when a view asks, so
// a pane of 100,000 items shows at once, and only the visible rows cost anything.
//
// Column i shows the caption (i = 0) or sub-item i - 1; its tag, as the sort commands
// know it, is i + 1. The remote pane has the five columns "Имя", "Размер", "Дата", "Время"
// and "Атрибуты", the local pane the first four.
//
// The adapter is the pane's listener: a change of the items resets the table model, and a
// change of the selection flags alone is passed on as selectionFlagsChanged (the view that
// keeps its selection in step with the pane listens to it). Items can be dragged: the drag
// carries the pane's tag, so that the other pane can tell where it came from.
#include <QAbstractTableModel>
#include <QString>
#include <optional>

#include "listing/PaneModel.h"

class QMimeData;

namespace shell {

class PaneTableModel : public QAbstractTableModel, private listing::PaneModelListener {
  Q_OBJECT

 public:
  static constexpr int kRemoteColumns = 5;
  static constexpr int kLocalColumns = 4;
  // The type under which a drag from a pane carries the pane's tag.
  static constexpr const char* kPaneDragType = "application/x-marlo-pane";

  PaneTableModel(listing::PaneModel& pane, int paneTag, int columns, QObject* parent = nullptr);
  ~PaneTableModel() override;

  listing::PaneModel& Pane() const { return pane_; }
  int PaneTag() const { return paneTag_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override;

  // The tag of the pane a drag comes from; nothing when it does not come from a pane.
  static std::optional<int> DragSourceTag(const QMimeData* data);

 signals:
  // Only selection flags of the pane changed; the rows are as they were.
  void selectionFlagsChanged();

 private:
  void PaneItemsReset() override;
  void PaneSelectionChanged() override { emit selectionFlagsChanged(); }

  listing::PaneModel& pane_;
  int paneTag_;
  int columns_;
};

}  // namespace shell
