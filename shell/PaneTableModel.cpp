#include "shell/PaneTableModel.h"

#include <QMimeData>

#include "dialogs/QtText.h"
#include "listing/PaneSorting.h"
#include "shell/Icons.h"

namespace shell {

namespace {

const char* const kColumnTitles[PaneTableModel::kRemoteColumns] = {"Имя", "Размер", "Дата", "Время", "Атрибуты"};

// Sizes align right, dates and times sit centred, the rest left.
QVariant Alignment(int column) {
  switch (column + 1) {
    case listing::kColumnSize:
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case listing::kColumnDate:
    case listing::kColumnTime:
      return QVariant(Qt::AlignCenter);
    default:
      return {};
  }
}

}  // namespace

PaneTableModel::PaneTableModel(listing::PaneModel& pane, int paneTag, int columns, QObject* parent)
    : QAbstractTableModel(parent), pane_(pane), paneTag_(paneTag), columns_(columns) {
  pane_.SetListener(this);
}

PaneTableModel::~PaneTableModel() { pane_.SetListener(nullptr); }

int PaneTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(pane_.Count());
}

int PaneTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant PaneTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= pane_.Count()) return {};
  const listing::PaneItem& item = pane_.Item(static_cast<std::size_t>(index.row()));
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return dialogs::ToQString(column == 0 ? item.caption : item.subItems.at(static_cast<std::size_t>(column - 1)));
    case Qt::ToolTipRole:
      return column == 0 ? QVariant(dialogs::ToQString(item.caption)) : QVariant();
    case Qt::DecorationRole:
      return column == 0 ? QVariant(PaneItemIcon(item.image)) : QVariant();
    case Qt::TextAlignmentRole:
      return Alignment(column);
    default:
      return {};
  }
}

QVariant PaneTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columns_) return {};
  if (role == Qt::DisplayRole) return QString(kColumnTitles[section]);
  if (role == Qt::TextAlignmentRole) return Alignment(section);
  return {};
}

Qt::ItemFlags PaneTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList PaneTableModel::mimeTypes() const { return {kPaneDragType}; }

QMimeData* PaneTableModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setData(kPaneDragType, QByteArray::number(paneTag_));
  return data;
}

Qt::DropActions PaneTableModel::supportedDragActions() const { return Qt::CopyAction; }

std::optional<int> PaneTableModel::DragSourceTag(const QMimeData* data) {
  if (data == nullptr || !data->hasFormat(kPaneDragType)) return std::nullopt;
  bool number = false;
  const int tag = data->data(kPaneDragType).toInt(&number);
  return number ? std::optional<int>(tag) : std::nullopt;
}

void PaneTableModel::PaneItemsReset() {
  beginResetModel();
  endResetModel();
}

}  // namespace shell
