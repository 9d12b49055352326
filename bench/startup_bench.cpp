// Start-up of the program's window, offscreen: the time from the process's start until the
// main window is shown and the event loop idle, then the time to show a 100,000-entry
// remote listing in the view (the pane filled in one update with sorting off, sorted once,
// and the view painted). Goals: under 1 s and under 0.5 s.
// Usage: startup_bench [entries] (default 100000)
#include <QApplication>
#include <QTimer>
#include <QTreeView>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

#include "BenchSupport.h"
#include "listing/PaneModel.h"
#include "shell/MainWindow.h"

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

std::vector<listing::PaneItem> RemoteEntries(int count) {
  std::mt19937 random(2026);
  std::vector<listing::PaneItem> items;
  items.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const bool directory = random() % 10 == 0;
    items.push_back({"file_" + std::to_string(random() % 1000000) + (directory ? "" : ".dat"),
                     directory ? listing::kImageDirectory : listing::kImageFile,
                     {directory ? "" : std::to_string(random() % 900000), "06.12.26", "10:00", "-rw-r--r--"},
                     false});
  }
  return items;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
  QApplication app(argc, argv);
  listing::PaneModel remote;
  listing::PaneModel local;
  shell::MainWindow window(remote, local, "/tmp");
  window.FTPView->SetStyle(shell::ViewStyle::Report);
  window.showMaximized();

  // Idle: the first time the loop has nothing else to do after showing the window.
  QTimer::singleShot(0, [&] {
    std::printf("window shown and idle: %.3f s after the process started\n", SecondsSinceProcessStart());
    std::vector<listing::PaneItem> items = RemoteEntries(entries);
    const auto start = std::chrono::steady_clock::now();
    {
      listing::PaneUpdate update(remote);
      remote.SetSorting(false);
      remote.Assign(std::move(items));
      remote.SetSorting(true);
    }
    window.FTPView->ReportView()->viewport()->repaint();
    QCoreApplication::processEvents();
    std::printf("%d entries shown in the remote view: %.3f s\n", entries, bench::SecondsSince(start));
    std::printf("peak memory: %.1f MiB\n", bench::PeakMemoryMiB());
    app.quit();
  });
  return app.exec();
}
