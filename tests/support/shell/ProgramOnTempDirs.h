#pragma once
// The whole program as a user meets it, for widget tests: a program directory and a local
// directory of their own, the stored sites and options written first, then the program's
// window shown on them; and the mouse on its panes.
#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "session/uMain.h"
#include "settings/options.h"
#include "shell/LogMemo.h"
#include "shell/MainWindow.h"
#include "shell/PaneTableModel.h"
#include "shell/Program.h"
#include "sites/SiteList.h"
#include "support/EventLoop.h"
#include "support/peers/TempDir.h"
#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

using namespace std::chrono_literals;

class ProgramOnTempDirs {
 public:
  const std::filesystem::path& ProgramDir() const { return programDir_.Path(); }
  const std::filesystem::path& LocalDir() const { return localDir_.Path(); }

  // Writes the files and starts the program, its window shown.
  void Start(const std::vector<SiteRecord>& sites = {}) {
    ProgramOptions options;
    options.StartDirectory = LocalDir().string();
    SaveOptions(options, ProgramDir().string());
    if (!sites.empty()) EXPECT_TRUE(SaveSiteList(sites, ProgramDir().string()));
    program_ = std::make_unique<Program>(ProgramDir(), LocalDir());
    Window().show();
  }

  MainWindow& Window() { return program_->Window(); }
  session::MainLogic& Logic() { return program_->Logic(); }

  // The row of the item with this caption, or -1.
  static int RowOf(PaneView* view, const QString& caption) {
    const PaneTableModel* model = view->Model();
    for (int row = 0; row < model->rowCount(); ++row)
      if (model->index(row, 0).data().toString() == caption) return row;
    return -1;
  }

  // Clicks the item with this caption (it alone is selected); a double click, if asked.
  static void Click(PaneView* view, const QString& caption, bool twice = false) {
    const int row = RowOf(view, caption);
    ASSERT_GE(row, 0) << caption.toStdString();
    QAbstractItemView* shown = view->ShownView();
    const QPoint at = shown->visualRect(view->Model()->index(row, 0)).center();
    if (twice) QTest::mouseDClick(shown->viewport(), Qt::LeftButton, {}, at);
    else QTest::mouseClick(shown->viewport(), Qt::LeftButton, {}, at);
  }

  // Waits until the view shows an item of this caption and no operation runs.
  bool WaitForItem(PaneView* view, const QString& caption) {
    return testsupport::PumpUntil(
        [&] { return RowOf(view, caption) >= 0 && !Logic().Busy() && !Logic().RequestRunning(); }, 20s);
  }

  // The protocol log as shown.
  std::string Transcript() { return Window().Log->toPlainText().toStdString(); }

 private:
  testsupport::TempDir programDir_;
  testsupport::TempDir localDir_;
  std::unique_ptr<Program> program_;
};

}  // namespace
}  // namespace shell
