#include "shell/PaneView.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QTreeView>
#include <array>
#include <memory>

#include "dialogs/QtText.h"
#include "listing/PaneModel.h"
#include "shell/Icons.h"
#include "shell/PaneTableModel.h"

namespace shell {

namespace {

void SetUpItemView(QAbstractItemView* view, QObject* filter) {
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setDragEnabled(true);
  view->setDragDropMode(QAbstractItemView::DragDrop);
  view->setDefaultDropAction(Qt::CopyAction);
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  view->viewport()->installEventFilter(filter);
}

// Files dragged from the desktop: local files only, as the file system names them.
std::vector<std::string> LocalPathsOf(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  }
  return paths;
}

}  // namespace

PaneView::PaneView(listing::PaneModel& pane, int paneTag, int columns, QWidget* parent)
    : QStackedWidget(parent),
      pane_(pane),
      model_(new PaneTableModel(pane, paneTag, columns, this)),
      report_(new QTreeView(this)),
      icons_(new QListView(this)),
      selection_(new QItemSelectionModel(model_, this)) {
  report_->setModel(model_);
  report_->setSelectionModel(selection_);
  report_->setRootIsDecorated(false);
  report_->setItemsExpandable(false);
  report_->setUniformRowHeights(true);
  report_->setAllColumnsShowFocus(true);
  report_->setIconSize({kSmallIconSize, kSmallIconSize});
  report_->header()->setSectionsClickable(true);
  report_->header()->setSectionsMovable(false);
  connect(report_->header(), &QHeaderView::sectionClicked, this,
          [this](int section) { emit columnClicked(section + 1); });

  // The icon view's model is set before the shared selection model, which replaces the
  // one the view makes for itself.
  icons_->setModel(model_);
  QItemSelectionModel* own = icons_->selectionModel();
  icons_->setSelectionModel(selection_);
  delete own;
  icons_->setUniformItemSizes(true);
  icons_->setMovement(QListView::Static);
  icons_->setResizeMode(QListView::Adjust);
  icons_->setLayoutMode(QListView::Batched);
  icons_->setBatchSize(2000);

  for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
    SetUpItemView(view, this);
    addWidget(view);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
      if (contextMenu_ != nullptr) contextMenu_->popup(view->viewport()->mapToGlobal(at));
    });
  }
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* before, QWidget* now) {
    const bool was = before != nullptr && isAncestorOf(before);
    const bool is = now != nullptr && isAncestorOf(now);
    if (was != is) emit focusChanged(is);
  });
  connect(selection_, &QItemSelectionModel::selectionChanged, this, &PaneView::ViewSelectionChanged);
  connect(model_, &PaneTableModel::selectionFlagsChanged, this, &PaneView::ShowPaneSelection);
  connect(model_, &QAbstractItemModel::modelReset, this, &PaneView::ShowPaneSelection);

  SetColumnWidths();
  SetStyle(ViewStyle::Report);
}

QAbstractItemView* PaneView::ShownView() const {
  return style_ == ViewStyle::Report ? static_cast<QAbstractItemView*>(report_) : icons_;
}

void PaneView::SetStyle(ViewStyle style) {
  style_ = style;
  if (style != ViewStyle::Report) {
    const bool large = style == ViewStyle::LargeIcons;
    icons_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    icons_->setFlow(style == ViewStyle::List ? QListView::TopToBottom : QListView::LeftToRight);
    icons_->setWrapping(true);
    icons_->setWordWrap(large);
    const int icon = large ? kLargeIconSize : kSmallIconSize;
    icons_->setIconSize({icon, icon});
    // Large icons sit in a regular grid with room for two lines of caption under each.
    icons_->setGridSize(large ? QSize(icon * 3, icon + fontMetrics().lineSpacing() * 3) : QSize());
    // Without the grid each item is as wide as its caption: sizes taken from the first item
    // alone would cut the longer captions short.
    icons_->setUniformItemSizes(large);
    icons_->setMovement(QListView::Static);
  }
  const bool hadFocus = ShownView() != nullptr && (report_->hasFocus() || icons_->hasFocus());
  setCurrentWidget(ShownView());
  setFocusProxy(ShownView());
  if (hadFocus) ShownView()->setFocus();
}

void PaneView::SetColumnWidths() {
  const QFontMetrics metrics = report_->fontMetrics();
  const int padding = metrics.horizontalAdvance("MM");
  // The name takes the room the other columns leave; they are wide enough for their
  // longest texts: a ten-digit size, a date, a time, the permission letters.
  const int widths[] = {0, metrics.horizontalAdvance("0000000000") + padding,
                        metrics.horizontalAdvance("00/00/0000") + padding, metrics.horizontalAdvance("00:00") + padding * 2,
                        metrics.horizontalAdvance("drwxr-xr-x") + padding};
  QHeaderView* header = report_->header();
  header->setStretchLastSection(false);
  header->setMinimumSectionSize(metrics.horizontalAdvance("Время") + padding);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column = 1; column < model_->columnCount(); ++column) header->resizeSection(column, widths[column]);
}

listing::CaptionMetrics PaneView::CaptionMetrics() const {
  // A listing asks for every caption's width. Shaping each one costs more than the rest of
  // showing the listing, so a caption of plain ASCII is measured as the sum of its
  // characters' advances (what shaping adds for Latin text, kerning, only narrows it);
  // any other caption is shaped.
  const QFontMetrics metrics = report_->fontMetrics();
  auto advances = std::make_shared<std::array<int, 128>>();
  for (int c = 0; c < 128; ++c) (*advances)[static_cast<std::size_t>(c)] = metrics.horizontalAdvance(QChar(c));
  return {[metrics, advances](std::string_view caption) {
            int width = 0;
            for (const char c : caption) {
              if (static_cast<unsigned char>(c) >= 128) return metrics.horizontalAdvance(dialogs::ToQString(caption));
              width += (*advances)[static_cast<unsigned char>(c)];
            }
            return width;
          },
          report_->viewport()->width()};
}

void PaneView::SetFirstColumnWidth(int width) {
  QHeaderView* header = report_->header();
  int others = 0;
  for (int column = 1; column < header->count(); ++column) others += header->sectionSize(column);
  header->setSectionResizeMode(0, QHeaderView::Interactive);
  header->resizeSection(0, std::max(width, report_->viewport()->width() - others));
}

void PaneView::ViewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  if (syncing_) return;
  syncing_ = true;
  {
    listing::PaneUpdate update(pane_);
    const auto apply = [this](const QItemSelection& ranges, bool on) {
      for (const QItemSelectionRange& range : ranges) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
          if (static_cast<std::size_t>(row) < pane_.Count()) pane_.SetSelected(static_cast<std::size_t>(row), on);
        }
      }
    };
    apply(deselected, false);
    apply(selected, true);
  }
  syncing_ = false;
}

void PaneView::ShowPaneSelection() {
  if (syncing_) return;
  QItemSelection shown;
  const auto& items = pane_.Items();
  const int lastColumn = model_->columnCount() - 1;
  for (std::size_t row = 0; row < items.size();) {
    if (!items[row].selected) {
      ++row;
      continue;
    }
    std::size_t end = row;
    while (end + 1 < items.size() && items[end + 1].selected) ++end;
    shown.append(QItemSelectionRange(model_->index(static_cast<int>(row), 0),
                                     model_->index(static_cast<int>(end), lastColumn)));
    row = end + 1;
  }
  // Clearing first and then selecting keeps either step's comparison of the old and the new
  // selection trivial; a single ClearAndSelect compares every old range with every new one,
  // which takes seconds when thousands of scattered items change.
  syncing_ = true;
  selection_->clearSelection();
  selection_->select(shown, QItemSelectionModel::Select);
  syncing_ = false;
}

bool PaneView::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        QTimer::singleShot(0, this, [this] { emit doubleClicked(); });
      }
      return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return HandleDrag(event);
    default:
      return QStackedWidget::eventFilter(watched, event);
  }
}

bool PaneView::HandleDrag(QEvent* event) {
  auto* drag = static_cast<QDropEvent*>(event);
  PaneDrop drop;
  drop.sourcePaneTag = PaneTableModel::DragSourceTag(drag->mimeData());
  if (!drop.sourcePaneTag) drop.localPaths = LocalPathsOf(drag->mimeData());
  if (!dropRule_ || !dropRule_(drop)) {
    drag->ignore();
    return true;
  }
  drag->setDropAction(Qt::CopyAction);
  drag->accept();
  if (event->type() == QEvent::Drop) QTimer::singleShot(0, this, [this, drop] { emit dropped(drop); });
  return true;
}

}  // namespace shell
