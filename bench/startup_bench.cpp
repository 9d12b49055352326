// Start-up of the program, offscreen: the time from the process's start until the main window,
// bound to the session's logic on a program directory of its own, is shown and the event loop
// idle. Then the time to show a 100,000-entry remote listing in the remote view, from the
// listing file the server's data was written to: read and parsed, the pane filled in one
// update with sorting off and sorted once, the first column sized, the view painted.
// Goals: under 1 s and under 0.5 s.
// Usage: startup_bench [entries] (default 100000)
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "BenchSupport.h"
#include "SampleListing.h"
#include "listing/RemoteListingView.h"
#include "session/uMain.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"

namespace {

// Seconds since this process started, from its start time in /proc and the boot clock.
double SecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string line;
  std::getline(stat, line);
  // The fields after the command name (which may hold blanks) start after its ')'.
  std::istringstream rest(line.substr(line.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22 && rest >> field; ++i) {
  }
  const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 - started;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
  QApplication app(argc, argv);
  QTemporaryDir programDirectory;
  shell::Program program(programDirectory.path().toStdString(), programDirectory.path().toStdString());
  shell::MainWindow& window = program.Window();
  window.showMaximized();

  // Idle: the first time the loop has nothing else to do after showing the window.
  QTimer::singleShot(0, [&] {
    std::printf("window shown and idle: %.3f s after the process started\n", SecondsSinceProcessStart());
    listing::RemoteListingRequest request;
    request.listingFile = program.Logic().ListingFile();
    request.context = {"0957681", bench::kListingToday};
    request.hostName = "127.0.0.1";
    request.remoteDirectory = "/pub";
    request.metrics = window.FTPView->CaptionMetrics();
    if (bench::GenerateListing(request.listingFile, entries) < 0) {
      std::fprintf(stderr, "cannot write %s\n", request.listingFile.c_str());
      app.exit(1);
      return;
    }
    window.FTPView->SetStyle(shell::ViewStyle::Report);
    listing::ListingCache cache;
    const auto start = std::chrono::steady_clock::now();
    const listing::ShownListing shown = listing::ShowRemoteListing(request, program.Logic().RemotePane(), cache);
    window.FTPView->SetFirstColumnWidth(shown.firstColumnWidth);
    window.FTPView->ReportView()->viewport()->repaint();
    QCoreApplication::processEvents();
    std::printf("%zu entries shown in the remote view: %.3f s\n", program.Logic().RemotePane().Count(),
                bench::SecondsSince(start));
    std::printf("peak memory: %.1f MiB\n", bench::PeakMemoryMiB());
    app.quit();
  });
  return app.exec();
}
