#include "shell/PaneView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QMimeData>
#include <QTreeView>
#include <QTest>
#include <QUrl>

#include "dialogs/QtText.h"
#include "listing/DragAcceptance.h"
#include "listing/PaneModel.h"
#include "shell/PaneTableModel.h"
#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

using listing::PaneItem;

PaneItem Item(std::string name, int image = listing::kImageFile, std::string size = "") {
  return {std::move(name), image, {std::move(size), "01.02.24", "10:00", "-rw-r--r--"}, false};
}

std::vector<int> ViewRows(const PaneView& view) {
  std::vector<int> rows;
  for (const QModelIndex& index : view.Selection()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<int> PaneRows(const listing::PaneModel& pane) {
  std::vector<int> rows;
  for (std::size_t index : pane.SelectedIndexes()) rows.push_back(static_cast<int>(index));
  return rows;
}

class PaneViewTest : public testing::Test {
 protected:
  void SetUp() override {
    pane_.Assign({Item("dir", listing::kImageDirectory), Item("a.txt", listing::kImageFile, "10"), Item("b.txt"),
                  Item("\xCE\xF2\xF7\xE5\xF2.doc"), Item("c.txt")});
    pane_.SetChangeHandler([this] { ++changes_; });
  }

  void SelectRowsInView(int first, int last, QItemSelectionModel::SelectionFlags how) {
    const QAbstractItemModel* model = view_.Model();
    view_.Selection()->select(QItemSelection(model->index(first, 0), model->index(last, model->columnCount() - 1)), how);
  }

  listing::PaneModel pane_;
  PaneView view_{pane_, listing::kRemotePaneTag, PaneTableModel::kRemoteColumns};
  int changes_ = 0;
};

TEST_F(PaneViewTest, TableShowsTheItemsTextsAndIcons) {
  const PaneTableModel& model = *view_.Model();
  ASSERT_EQ(model.rowCount(), 5);
  ASSERT_EQ(model.columnCount(), 5);
  QStringList titles;
  for (int column = 0; column < model.columnCount(); ++column) titles << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  EXPECT_EQ(titles, (QStringList{"Имя", "Размер", "Дата", "Время", "Атрибуты"}));
  EXPECT_EQ(model.data(model.index(1, 0), Qt::DisplayRole).toString(), "a.txt");
  EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), "10");
  EXPECT_EQ(model.data(model.index(1, 4), Qt::DisplayRole).toString(), "-rw-r--r--");
  EXPECT_EQ(model.data(model.index(3, 0), Qt::DisplayRole).toString(), "Отчет.doc") << "code page 1251 bytes";
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_FALSE(model.data(model.index(0, 1), Qt::DecorationRole).isValid());
  EXPECT_FALSE(model.data(model.index(5, 0), Qt::DisplayRole).isValid()) << "beyond the last row";

  listing::PaneModel localPane;
  PaneView local(localPane, listing::kLocalPaneTag, PaneTableModel::kLocalColumns);
  EXPECT_EQ(local.Model()->columnCount(), 4);
}

TEST_F(PaneViewTest, SelectionsOfPaneAndViewFollowEachOtherAndTheViewsComeInOneChange) {
  pane_.SetSelected(1, true);
  EXPECT_EQ(ViewRows(view_), (std::vector<int>{1}));
  pane_.ChangeSelection([](const PaneItem& item) { return !item.selected; });
  EXPECT_EQ(ViewRows(view_), (std::vector<int>{0, 2, 3, 4}));
  changes_ = 0;
  SelectRowsInView(1, 3, QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(PaneRows(pane_), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(changes_, 1);
  SelectRowsInView(2, 2, QItemSelectionModel::Deselect);
  EXPECT_EQ(PaneRows(pane_), (std::vector<int>{1, 3}));
  EXPECT_EQ(changes_, 2);
  EXPECT_EQ(ViewRows(view_), (std::vector<int>{1, 3})) << "the echo from the pane changes nothing";

  // A refill shows the items' own selection; the view's select-all reaches the pane.
  std::vector<PaneItem> items = {Item("x"), Item("y"), Item("z")};
  items[0].selected = items[2].selected = true;
  pane_.Assign(std::move(items));
  EXPECT_EQ(ViewRows(view_), (std::vector<int>{0, 2}));
  view_.ReportView()->selectAll();
  EXPECT_EQ(PaneRows(pane_), (std::vector<int>{0, 1, 2}));
}

TEST_F(PaneViewTest, StylesShareTheModelAndTheSelection) {
  pane_.SetSelected(2, true);
  view_.SetStyle(ViewStyle::LargeIcons);
  EXPECT_EQ(view_.ShownView(), view_.IconView());
  EXPECT_EQ(view_.IconView()->viewMode(), QListView::IconMode);
  EXPECT_TRUE(view_.IconView()->selectionModel()->isRowSelected(2, {}));
  view_.SetStyle(ViewStyle::List);
  EXPECT_EQ(view_.IconView()->flow(), QListView::TopToBottom);
  // The first item is the shortest: a longer caption keeps its whole width.
  view_.resize(600, 300);
  view_.show();
  QCoreApplication::processEvents();
  const QString longest = view_.Model()->index(3, 0).data().toString();
  EXPECT_GE(view_.IconView()->visualRect(view_.Model()->index(3, 0)).width(),
            view_.IconView()->fontMetrics().horizontalAdvance(longest));
  view_.SetStyle(ViewStyle::Report);
  EXPECT_EQ(view_.ShownView(), view_.ReportView());
}

TEST_F(PaneViewTest, FirstColumnTakesItsWidthOrFillsTheView) {
  view_.resize(600, 300);
  view_.show();
  QHeaderView* header = view_.ReportView()->header();
  int others = 0;
  for (int column = 1; column < header->count(); ++column) others += header->sectionSize(column);
  const int room = view_.ReportView()->viewport()->width() - others;
  view_.SetFirstColumnWidth(room + 500);
  EXPECT_EQ(header->sectionSize(0), room + 500) << "a long caption";
  view_.SetFirstColumnWidth(10);
  EXPECT_EQ(header->sectionSize(0), room) << "short captions";
  EXPECT_GT(view_.CaptionMetrics().captionWidth("Отчёт за квартал.pdf"), view_.CaptionMetrics().captionWidth("a"));
}

TEST_F(PaneViewTest, CaptionsAreMeasuredInTheViewsFontNeverNarrower) {
  const listing::CaptionMetrics metrics = view_.CaptionMetrics();
  const QFontMetrics font = view_.ReportView()->fontMetrics();
  for (const std::string caption : {"file_000123.dat", "AVAVAV Wall.txt", "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82.txt",
                                    "\xCE\xF2\xF7\xE5\xF2.doc", ""}) {
    const int shaped = font.horizontalAdvance(dialogs::ToQString(caption));
    const int measured = metrics.captionWidth(caption);
    EXPECT_GE(measured, shaped) << caption;
    EXPECT_LE(measured, shaped + static_cast<int>(caption.size())) << caption;
  }
}

TEST_F(PaneViewTest, HeaderClicksGiveColumnTagsAndDoubleClicksCountAnywhere) {
  std::vector<int> tags;
  int doubleClicks = 0;
  QObject::connect(&view_, &PaneView::columnClicked, [&](int tag) { tags.push_back(tag); });
  QObject::connect(&view_, &PaneView::doubleClicked, [&] { ++doubleClicks; });
  view_.resize(400, 300);
  view_.show();
  emit view_.ReportView()->header()->sectionClicked(1);
  emit view_.ReportView()->header()->sectionClicked(0);
  EXPECT_EQ(tags, (std::vector<int>{2, 1}));
  QTest::mouseDClick(view_.ReportView()->viewport(), Qt::LeftButton, {}, {200, 280});
  EXPECT_EQ(doubleClicks, 0) << "reported after the mouse event";
  QCoreApplication::processEvents();
  EXPECT_EQ(doubleClicks, 1) << "below the last item";
}

TEST_F(PaneViewTest, DropsReachTheSignalOnlyWhenTheRuleTakesThem) {
  std::vector<PaneDrop> dropped;
  QObject::connect(&view_, &PaneView::dropped, [&](const PaneDrop& drop) { dropped.push_back(drop); });
  // The rule sees where a drag comes from, and the desktop's files by their paths.
  bool busy = false;
  view_.SetDropRule([&](const PaneDrop& drop) {
    return !busy && (drop.sourcePaneTag == listing::kLocalPaneTag || (!drop.sourcePaneTag && !drop.localPaths.empty()));
  });

  listing::PaneModel localPane;
  localPane.Add(Item("up.txt"));
  PaneTableModel local(localPane, listing::kLocalPaneTag, PaneTableModel::kLocalColumns);
  std::unique_ptr<QMimeData> fromLocal(local.mimeData({local.index(0, 0)}));
  EXPECT_TRUE(DragAndDrop(view_, *fromLocal));
  std::unique_ptr<QMimeData> fromItself(view_.Model()->mimeData({view_.Model()->index(0, 0)}));
  EXPECT_FALSE(DragAndDrop(view_, *fromItself));
  QMimeData desktop;
  desktop.setUrls({QUrl::fromLocalFile("/home/u/a b.txt"), QUrl::fromLocalFile("/home/u/dir")});
  EXPECT_TRUE(DragAndDrop(view_, desktop));
  QMimeData web;
  web.setUrls({QUrl("https://example.org/a.txt")});
  EXPECT_FALSE(DragAndDrop(view_, web));
  busy = true;
  EXPECT_FALSE(DragAndDrop(view_, *fromLocal));

  EXPECT_TRUE(dropped.empty()) << "reported after the drop event";
  QCoreApplication::processEvents();
  ASSERT_EQ(dropped.size(), 2u);
  EXPECT_EQ(dropped[0].sourcePaneTag, listing::kLocalPaneTag);
  EXPECT_FALSE(dropped[1].sourcePaneTag);
  EXPECT_EQ(dropped[1].localPaths, (std::vector<std::string>{"/home/u/a b.txt", "/home/u/dir"}));
}

}  // namespace
}  // namespace shell
