#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include "listing/PaneModel.h"
#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() {
    for (const char* name : {"one", "two"}) {
      remote_.Add({name, listing::kImageFile, {}, false});
      local_.Add({name, listing::kImageFile, {}, false});
    }
  }

  void ShowActive() {
    window_.show();
    QApplication::setActiveWindow(&window_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_, 5000));
  }

  listing::PaneModel remote_;
  listing::PaneModel local_;
  MainWindow window_{remote_, local_, "/tmp"};
};

// Presses each key in each pane's view and tells which of the pane actions ran.
TEST_F(MainWindowTest, PaneKeysRunTheFocusedPanesAction) {
  struct Row {
    const char* name;
    QKeySequence key;
    QAction* local;
    QAction* remote;
  };
  const MainWindow& w = window_;
  const Row rows[] = {
      {"Enter opens", Qt::Key_Return, w.LocalPopup.Open, w.RemotePopup.Open},
      {"Backspace goes up", Qt::Key_Backspace, w.Buttons.SpeedButton4, w.Buttons.FTPOneLevelUp},
      {"F2 renames", Qt::Key_F2, w.LocalPopup.MenuItem7, w.RemotePopup.RenameFile4},
      {"Delete deletes", Qt::Key_Delete, w.LocalPopup.MenuItem8, w.RemoteDeleteKey},
      {"Ctrl A selects all", QKeySequence::SelectAll, w.LocalPopup.Select1[0], w.RemotePopup.Select3[0]},
      {"F5 refreshes", Qt::Key_F5, w.LocalPopup.Refresh, w.RemotePopup.Refresh},
  };
  ShowActive();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QSignalSpy localRuns(row.local, &QAction::triggered);
    QSignalSpy remoteRuns(row.remote, &QAction::triggered);
    window_.lvLoc->ShownView()->setFocus();
    QTest::keySequence(window_.lvLoc->ShownView(), row.key);
    EXPECT_EQ(localRuns.count(), 1);
    EXPECT_EQ(remoteRuns.count(), 0);
    window_.FTPView->ShownView()->setFocus();
    QTest::keySequence(window_.FTPView->ShownView(), row.key);
    EXPECT_EQ(localRuns.count(), 1);
    EXPECT_EQ(remoteRuns.count(), 1);
    window_.cbCmd->setFocus();
    QTest::keySequence(window_.cbCmd, row.key);
    EXPECT_EQ(localRuns.count() + remoteRuns.count(), 2) << "outside the panes the key is the widget's own";
  }
}

TEST_F(MainWindowTest, TabGoesBetweenThePanes) {
  ShowActive();
  window_.lvLoc->ShownView()->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), window_.FTPView->ShownView());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), window_.lvLoc->ShownView());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), window_.FTPView->ShownView());
}

TEST_F(MainWindowTest, WindowCommandsActOnTheirPane) {
  EXPECT_EQ(window_.FTPView->Style(), ViewStyle::List) << "the sites show as a list";
  EXPECT_FALSE(window_.CommandBar->isVisibleTo(&window_));
  window_.MainMenu.View3[0]->trigger();
  EXPECT_EQ(window_.FTPView->Style(), ViewStyle::LargeIcons);
  window_.LocalPopup.MenuItem10[2]->trigger();
  EXPECT_EQ(window_.lvLoc->Style(), ViewStyle::List);
  EXPECT_EQ(window_.FTPView->Style(), ViewStyle::LargeIcons);

  window_.ShowCommandBar(true);
  EXPECT_TRUE(window_.CommandBar->isVisibleTo(&window_));
  EXPECT_TRUE(window_.MainMenu.CustomCommand1->isChecked());
  EXPECT_TRUE(window_.RemotePopup.CustomCommand2->isChecked());
  window_.ShowCommandBar(false);
  EXPECT_FALSE(window_.CommandBar->isVisibleTo(&window_));
  EXPECT_FALSE(window_.RemotePopup.CustomCommand2->isChecked());
}

TEST_F(MainWindowTest, BusyMarksTheRemoteControls) {
  window_.SetRemoteBusy(true);
  EXPECT_FALSE(window_.FTPPath->isEnabled());
  EXPECT_EQ(window_.FTPView->cursor().shape(), Qt::WaitCursor);
  window_.SetRemoteBusy(false);
  EXPECT_TRUE(window_.FTPPath->isEnabled());
  EXPECT_EQ(window_.FTPView->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace shell
