// The executable as a user starts it: text answers without a display, and a window that
// starts on its own config directory and ends cleanly on a close request: SIGTERM, and on a
// real X display the window's own close request.
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <filesystem>

#include "support/EventLoop.h"
#include "support/peers/PeerRequirement.h"
#include "support/peers/TempDir.h"
#include "support/shell/ShellTestSupport.h"
#include "support/widgets/XvfbDisplay.h"

namespace shell {
namespace {

using namespace std::chrono_literals;

TEST(ProgramTest, AnswersVersionAndHelpWithoutADisplay) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  for (const auto& [argument, startOfOutput] : {std::pair{"--version", "marlo "}, std::pair{"--help", "Usage: marlo"}}) {
    SCOPED_TRACE(argument);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(MARLO_EXECUTABLE, {argument});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(program.readAllStandardOutput().startsWith(startOfOutput));
  }
}

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

TEST(ProgramTest, ShowsItsMainWindowOnAnXDisplayAndEndsCleanlyWhenItIsClosed) {
  widgettest::XvfbDisplay display;
  MARLO_REQUIRE_PEER(display);
  ASSERT_TRUE(display.Start());
  testsupport::TempDir root;
  const std::filesystem::path config = root.Path() / "config";
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DISPLAY", QString::fromStdString(display.Name()));
  environment.insert("QT_QPA_PLATFORM", "xcb");
  program.setProcessEnvironment(environment);
  program.start(MARLO_EXECUTABLE, {"--config-dir", QString::fromStdString(config.string())});
  ASSERT_TRUE(program.waitForStarted(10000));
  ASSERT_TRUE(testsupport::PumpUntil([&] { return display.WindowShown("TOVIK FTP"); }, 10s))
      << program.readAllStandardError().toStdString();

  // On a bare X server a close request that comes within moments of the window's first
  // showing can go unheard by Qt (so it goes for a plain QMainWindow too): it is repeated
  // while the window stays, as a user clicks again.
  ASSERT_TRUE(testsupport::PumpUntil([&] {
    display.RequestClose("TOVIK FTP");
    return program.waitForFinished(500) || program.state() == QProcess::NotRunning;
  }, 10s));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
  EXPECT_TRUE(std::filesystem::exists(config / "commands.txt")) << "the custom commands are saved on the way out";
}

}  // namespace
}  // namespace shell
