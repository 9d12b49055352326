#include "shell/DesktopActions.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <fstream>

#include "support/EventLoop.h"
#include "support/peers/TempDir.h"
#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

QPlainTextEdit* ViewerTitled(const QString& title) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    auto* viewer = qobject_cast<QPlainTextEdit*>(window);
    if (viewer != nullptr && viewer->windowTitle() == title) return viewer;
  }
  return nullptr;
}

TEST(TextViewerTest, ShowsUtf8AndCodePage1251FilesAndReportsWhatCannotBeRead) {
  struct Row {
    const char* name;
    const char* bytes;  // nullptr: no such file
    const char* shown;  // nullptr: an error
  };
  const Row rows[] = {
      {"utf8.txt", "Привет\nworld", "Привет\nworld"},
      {"cp1251.txt", "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
      {"missing.txt", nullptr, nullptr},
      {".", nullptr, nullptr},  // a directory
  };
  testsupport::TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.bytes) std::ofstream(dir.Path() / row.name) << row.bytes;
    std::string error;
    EXPECT_EQ(ShowTextFile(dir.Path() / row.name, nullptr, error), row.shown != nullptr);
    EXPECT_EQ(error.empty(), row.shown != nullptr) << error;
    if (!row.shown) continue;
    QPlainTextEdit* viewer = ViewerTitled(row.name);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->toPlainText(), QString::fromUtf8(row.shown));
    EXPECT_TRUE(viewer->isReadOnly());
    viewer->close();
  }
}

TEST(RunFileTest, StartsAnExecutableInTheWorkingDirectory) {
  testsupport::TempDir dir;
  const fs::path script = dir.Path() / "mark.sh";
  std::ofstream(script) << "#!/bin/sh\npwd > marked\n";
  fs::permissions(script, fs::perms::owner_all);
  const fs::path work = dir.Path() / "work";
  fs::create_directory(work);
  ASSERT_TRUE(RunFile(script, work));
  ASSERT_TRUE(testsupport::PumpUntil([&] { return fs::exists(work / "marked") && fs::file_size(work / "marked") > 0; }, 10s));
  std::ifstream marked(work / "marked");
  std::string where;
  std::getline(marked, where);
  EXPECT_EQ(fs::path(where), work);
}

}  // namespace
}  // namespace shell
