// The program's entry: answers --help and --version without a display, finds the directory
// of the program's files, and runs the main window until it is closed. SIGTERM, SIGINT and
// SIGHUP close the window as the user would, so the program always ends through its
// orderly shutdown.
#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <iostream>
#include <sys/socket.h>
#include <unistd.h>

#include "shell/CommandLine.h"
#include "shell/ConfigDirectory.h"
#include "shell/Icons.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int number) {
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

// Turns the termination signals into a close request on the event loop.
void CloseOnSignals(QWidget& window) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte;
    [[maybe_unused]] const ssize_t read = ::read(signalPipe[0], &byte, 1);
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : {SIGTERM, SIGINT, SIGHUP}) sigaction(number, &action, nullptr);
}

std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 0 ? std::filesystem::path(argv[0]).filename().string() : "marlo";
  switch (shell::TextOnlyAction(Arguments(argc, argv))) {
    case shell::CommandLine::Action::Help:
      std::cout << shell::UsageText(program);
      return 0;
    case shell::CommandLine::Action::Version:
      std::cout << shell::VersionText();
      return 0;
    default:
      break;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("marlo");
  QApplication::setApplicationDisplayName("TOVIK FTP");
  QApplication::setApplicationVersion(MARLO_VERSION);
  QApplication::setDesktopFileName("marlo");
  QApplication::setWindowIcon(shell::ProgramIcon());

  // The application took its own options out of argv.
  const shell::CommandLine line = shell::ParseCommandLine(Arguments(argc, argv));
  if (line.action == shell::CommandLine::Action::Error) {
    std::cerr << program << ": " << line.error << "\n" << shell::UsageText(program);
    return 2;
  }
  std::error_code status;
  const std::filesystem::path directory = std::filesystem::absolute(shell::ChooseConfigDirectory(
      shell::CurrentConfigPlaces(line.configDir ? std::optional<std::filesystem::path>(*line.configDir) : std::nullopt),
      shell::RealFileProbe()), status);
  std::string error;
  if (!shell::MakeConfigDirectory(directory, error)) {
    std::cerr << program << ": cannot use " << directory.string() << ": " << error << "\n";
    return 1;
  }

  // The local pane starts where the program was started, unless the options name a start
  // directory.
  const std::filesystem::path here = std::filesystem::current_path(status);
  shell::Program marlo(directory, status ? std::filesystem::path("/") : here);
  CloseOnSignals(marlo.Window());
  marlo.Window().showMaximized();
  return app.exec();
}
