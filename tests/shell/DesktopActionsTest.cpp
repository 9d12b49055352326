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

TEST(TextViewerTest, ShowsUtf8AndCodePage1251Files) {
  testsupport::TempDir dir;
  std::ofstream(dir.Path() / "utf8.txt") << "Привет\nworld";
  std::ofstream(dir.Path() / "cp1251.txt") << "\xCF\xF0\xE8\xE2\xE5\xF2";
  std::string error;
  for (const char* name : {"utf8.txt", "cp1251.txt"}) ASSERT_TRUE(ShowTextFile(dir.Path() / name, nullptr, error)) << error;

  QPlainTextEdit* utf8 = ViewerTitled("utf8.txt");
  QPlainTextEdit* cp1251 = ViewerTitled("cp1251.txt");
  ASSERT_NE(utf8, nullptr);
  ASSERT_NE(cp1251, nullptr);
  EXPECT_EQ(utf8->toPlainText(), "Привет\nworld");
  EXPECT_EQ(cp1251->toPlainText(), "Привет");
  EXPECT_TRUE(utf8->isReadOnly());
  utf8->close();
  cp1251->close();
}

TEST(TextViewerTest, ReportsWhatCannotBeRead) {
  testsupport::TempDir dir;
  std::string error;
  EXPECT_FALSE(ShowTextFile(dir.Path() / "missing.txt", nullptr, error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(ShowTextFile(dir.Path(), nullptr, error));
  EXPECT_FALSE(error.empty());
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
