// The executable as a user starts it: text answers without a display, and a window that
// starts on its own config directory and ends cleanly on a close request (SIGTERM).
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <filesystem>

#include "support/EventLoop.h"
#include "support/peers/TempDir.h"
#include "tests/shell/ShellTestSupport.h"

namespace shell {
namespace {

using namespace std::chrono_literals;

struct TextCase {
  const char* what;
  QString argument;
  QString startOfOutput;
};

class ProgramTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(ProgramTextTest, AnswersWithoutADisplay) {
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  program.setProcessEnvironment(environment);
  program.start(MARLO_EXECUTABLE, {GetParam().argument});
  ASSERT_TRUE(program.waitForFinished(10000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_TRUE(program.readAllStandardOutput().startsWith(GetParam().startOfOutput.toUtf8()));
}

INSTANTIATE_TEST_SUITE_P(Arguments, ProgramTextTest,
                         testing::Values(TextCase{"version", "--version", "marlo "},
                                         TextCase{"help", "--help", "Usage: marlo"}),
                         CaseName{});

TEST(ProgramTest, StartsOnItsConfigDirectoryAndEndsCleanlyOnSigterm) {
  testsupport::TempDir root;
  const std::filesystem::path config = root.Path() / "config";
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  program.setProcessEnvironment(environment);
  program.start(MARLO_EXECUTABLE, {"--config-dir", QString::fromStdString(config.string())});
  ASSERT_TRUE(program.waitForStarted(10000));
  ASSERT_TRUE(testsupport::PumpUntil([&] { return std::filesystem::is_directory(config); }, 10s));
  testsupport::PumpFor(500ms);
  ASSERT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();

  kill(static_cast<pid_t>(program.processId()), SIGTERM);
  ASSERT_TRUE(program.waitForFinished(10000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

}  // namespace
}  // namespace shell
