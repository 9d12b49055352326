#pragma once
// One pane's view: the pane's items shown in one of four styles (large icons, small icons,
// list, report with columns), with the selection kept in step with the pane's selection
// flags both ways, and drags out of and drops onto the pane.
//
// Both the report view and the icon view show the same table model and share one selection
// model, so switching the style keeps the selection. A change of the selection by the user
// sets the pane's flags inside one pane update (the pane's change handler hears of it
// once); a change of the flags by the program (selection commands, refills) is shown in
// the view. Either direction ignores the echo of its own change.
//
// Signals: a double click anywhere in the view (on an item or not, as the pane's own
// handler decides what that means), a click on a column header (with the column's tag), an
// accepted drop, and the focus entering or leaving the pane. Whether a drop is accepted is
// asked of the drop rule while the drag moves over the view; without a rule nothing is
// accepted. Double clicks and drops are reported from the event loop after the mouse
// event is done with, since what they start may run the loop and refill the pane.
#include <QStackedWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "listing/RemoteListingView.h"

class QAbstractItemView;
class QItemSelection;
class QItemSelectionModel;
class QListView;
class QMenu;
class QTreeView;

namespace listing {
class PaneModel;
}

namespace shell {

class PaneTableModel;

// What is dragged onto a pane: the selection of the other pane (known by that pane's tag) or
// files dragged from the desktop's file manager.
struct PaneDrop {
  std::optional<int> sourcePaneTag;     // the pane the drag comes from
  std::vector<std::string> localPaths;  // else: the local files dropped, as file-system bytes
};

// The view styles by the tags of their menu entries.
enum class ViewStyle : int { LargeIcons = 0, SmallIcons = 1, List = 2, Report = 3 };

class PaneView : public QStackedWidget {
  Q_OBJECT

 public:
  PaneView(listing::PaneModel& pane, int paneTag, int columns, QWidget* parent = nullptr);

  PaneTableModel* Model() const { return model_; }
  QTreeView* ReportView() const { return report_; }
  QListView* IconView() const { return icons_; }
  QAbstractItemView* ShownView() const;
  QItemSelectionModel* Selection() const { return selection_; }

  ViewStyle Style() const { return style_; }
  void SetStyle(ViewStyle style);

  // How the report view measures captions, for the width of the first column; and that
  // width. The first column takes the room the other columns leave until it is given a
  // width; given one, it is that wide, or wider to fill the view.
  listing::CaptionMetrics CaptionMetrics() const;
  void SetFirstColumnWidth(int width);

  void SetDropRule(std::function<bool(const PaneDrop&)> rule) { dropRule_ = std::move(rule); }
  void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }

 signals:
  void doubleClicked();
  void columnClicked(int columnTag);
  void dropped(const shell::PaneDrop& drop);
  void focusChanged(bool inside);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ViewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  void ShowPaneSelection();
  void SetColumnWidths();
  bool HandleDrag(QEvent* event);

  listing::PaneModel& pane_;
  PaneTableModel* model_;
  QTreeView* report_;
  QListView* icons_;
  QItemSelectionModel* selection_;
  ViewStyle style_ = ViewStyle::Report;
  std::function<bool(const PaneDrop&)> dropRule_;
  QMenu* contextMenu_ = nullptr;
  bool syncing_ = false;
};

}  // namespace shell
