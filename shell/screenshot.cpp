// Renders the main window offscreen into a PNG file, so that its look can be judged
// without a display: a local pane and a remote listing filled with sample entries.
//   marlo_screenshot OUTPUT.png [WIDTH HEIGHT]
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <iostream>

#include "listing/PaneItem.h"
#include "listing/PaneModel.h"
#include "shell/DirectoryListBox.h"
#include "shell/LogMemo.h"
#include "shell/MainWindow.h"

namespace {

using listing::PaneItem;

PaneItem Entry(const char* name, int image, const char* size, const char* date, const char* time,
               const char* attributes = "") {
  return {name, image, {size, date, time, attributes}, false};
}

void FillRemote(listing::PaneModel& pane) {
  listing::PaneUpdate update(pane);
  pane.Add(Entry("..", listing::kImageDirectory, "", "", ""));
  pane.Add(Entry("pub", listing::kImageDirectory, "", "12.03.24", "09:15", "drwxr-xr-x"));
  pane.Add(Entry("incoming", listing::kImageDirectory, "", "02.11.23", "18:40", "drwxrwxr-x"));
  pane.Add(Entry("Документы", listing::kImageDirectory, "", "28.02.24", "11:02", "drwxr-xr-x"));
  pane.Add(Entry("README.txt", listing::kImageFile, "2381", "05.01.24", "14:22", "-rw-r--r--"));
  pane.Add(Entry("debian-12.5.0-amd64-netinst.iso", listing::kImageFile, "658505728", "10.02.24", "12:00", "-rw-r--r--"));
  pane.Add(Entry("backup-2024.tar.gz", listing::kImageFile, "5368709120", "01.03.24", "03:30", "-rw-------"));
  pane.Add(Entry("index.html", listing::kImageFile, "14876", "20.02.24", "16:45", "-rw-r--r--"));
  pane.Add(Entry("Отчёт за квартал.pdf", listing::kImageFile, "482113", "15.01.24", "10:05", "-rw-r--r--"));
  pane.SetSorting(true);
}

void FillLocal(listing::PaneModel& pane) {
  listing::PaneUpdate update(pane);
  pane.Add(Entry("photos", listing::kImageDirectory, "", "04/03/2024", "19:12"));
  pane.Add(Entry("projects", listing::kImageDirectory, "", "11/03/2024", "08:55"));
  pane.Add(Entry("notes.txt", listing::kImageFile, "1204", "12/03/2024", "21:40"));
  pane.Add(Entry("site.zip", listing::kImageFile, "10485760", "01/03/2024", "12:00"));
  pane.Add(Entry("Письмо.odt", listing::kImageFile, "23552", "09/03/2024", "17:31"));
  pane.SetSorting(true);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: marlo_screenshot OUTPUT.png [WIDTH HEIGHT]\n";
    return 2;
  }
  QApplication app(argc, argv);
  const int width = argc >= 4 ? std::atoi(argv[2]) : 1280;
  const int height = argc >= 4 ? std::atoi(argv[3]) : 800;

  listing::PaneModel remote;
  listing::PaneModel local;
  FillRemote(remote);
  FillLocal(local);
  shell::MainWindow window(remote, local, "/tmp");
  window.FTPView->SetStyle(shell::ViewStyle::Report);
  window.RemoteTitle->setText("ftp.example.org");
  window.ShowLocalDirectory(QDir::homePath().toStdString());
  window.FTPPath->addItems({"SERVER LIST ...", "ftp.example.org", "pub"});
  window.FTPPath->setCurrentIndex(2);
  for (const char* line : {"Connecting to ftp.example.org", "< 220 Welcome", "> USER anonymous",
                           "< 331 Please specify the password.", "> PASS ********", "< 230 Login successful.",
                           "> CWD /pub", "< 250 Directory successfully changed."}) {
    window.Log->AppendLine(line);
  }
  window.resize(width, height);
  window.show();
  QTimer::singleShot(200, [&] {
    const bool saved = window.grab().save(argv[1]);
    app.exit(saved ? 0 : 1);
  });
  return app.exec();
}
