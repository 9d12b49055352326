// Renders the program's windows without a display into PNG files named after each shot, so
// their look can be judged and kept beside the documentation:
//   marlo_screenshots OUTPUT_DIRECTORY
// Each shot builds its window on sample data, as a user would see it on opening.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/AboutBox.h"
#include "dialogs/Ftpinput.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/SiteManager.h"
#include "dialogs/UChMod.h"
#include "dialogs/custom.h"
#include "listing/PaneModel.h"
#include "shell/LogMemo.h"
#include "shell/MainWindow.h"
#include "sites/HostTypes.h"

namespace {

struct Shot {
  const char* file;
  std::function<std::unique_ptr<QWidget>()> make;
};

SiteRecord SampleSite(const ProgramOptions& options) {
  SiteRecord site = NewSiteRecord(options);
  site.Name = "Зеркало дистрибутивов";
  site.Server = "ftp.example.org";
  site.User = "ivanov";
  site.Password = "секрет";
  site.InitialDir = "/pub/debian";
  site.LocalDir = "/home/ivanov/Загрузки";
  site.Desc = "Основное зеркало`Работает круглосуточно";
  site.Pasv = true;
  return site;
}

ProgramOptions SampleOptions() {
  ProgramOptions options;
  options.StartDirectory = "/home/ivanov";
  options.AnonymousMailEnabled = true;
  options.AnonymousMail = "ivanov@example.org";
  options.AsciiExtensions = "txt,htm,html,pl,cgi";
  options.TransferMode = 1;
  options.LogEnabled = true;
  options.LogFile = "/home/ivanov/ftp.log";
  options.KeepAlive = true;
  options.KeepCommands = "NOOP,PWD";
  options.ConnectionType = 4;
  options.SocksServer = "127.0.0.1";
  options.SocksPort = "1080";
  options.SocksUserCode = "ivanov";
  options.SocksPassword = "секрет";
  options.SocksPasswordMasked = true;
  return options;
}

std::unique_ptr<QWidget> OptionsAtPage(int page) {
  auto dialog = std::make_unique<dialogs::T_Options>(nullptr, SampleOptions());
  auto* tree = dialog->findChild<QTreeWidget*>("TreeView1");
  QTreeWidgetItemIterator it(tree);
  for (int i = 0; *it && i < page; ++i) ++it;
  tree->setCurrentItem(*it);
  return dialog;
}

listing::PaneItem PaneEntry(const char* name, int image, const char* size, const char* date, const char* time,
                           const char* attributes = "") {
  return {name, image, {size, date, time, attributes}, false};
}

// The panes of the main window's shot: a server directory on the right, a home on the left.
struct SamplePanes {
  listing::PaneModel remote;
  listing::PaneModel local;

  SamplePanes() {
    using listing::kImageDirectory, listing::kImageFile;
    remote.Assign({PaneEntry("..", kImageDirectory, "", "", ""),
                   PaneEntry("pub", kImageDirectory, "", "12.03.24", "09:15", "drwxr-xr-x"),
                   PaneEntry("incoming", kImageDirectory, "", "02.11.23", "18:40", "drwxrwxr-x"),
                   PaneEntry("Документы", kImageDirectory, "", "28.02.24", "11:02", "drwxr-xr-x"),
                   PaneEntry("README.txt", kImageFile, "2381", "05.01.24", "14:22", "-rw-r--r--"),
                   PaneEntry("debian-12.5.0-amd64-netinst.iso", kImageFile, "658505728", "10.02.24", "12:00",
                             "-rw-r--r--"),
                   PaneEntry("backup-2024.tar.gz", kImageFile, "5368709120", "01.03.24", "03:30", "-rw-------"),
                   PaneEntry("index.html", kImageFile, "14876", "20.02.24", "16:45", "-rw-r--r--"),
                   PaneEntry("Отчёт за квартал.pdf", kImageFile, "482113", "15.01.24", "10:05", "-rw-r--r--")});
    local.Assign({PaneEntry("photos", kImageDirectory, "", "04.03.2024", "19:12"),
                  PaneEntry("projects", kImageDirectory, "", "11.03.2024", "08:55"),
                  PaneEntry("notes.txt", kImageFile, "1204", "12.03.2024", "21:40"),
                  PaneEntry("site.zip", kImageFile, "10485760", "01.03.2024", "12:00"),
                  PaneEntry("Письмо.odt", kImageFile, "23552", "09.03.2024", "17:31")});
    remote.SetSorting(true);
    local.SetSorting(true);
  }
};

std::unique_ptr<QWidget> MainWindowShot(SamplePanes& panes, const std::string& directory) {
  auto window = std::make_unique<shell::MainWindow>(panes.remote, panes.local, directory);
  window->FTPView->SetStyle(shell::ViewStyle::Report);
  window->RemoteTitle->setText("ftp.example.org");
  window->ShowLocalDirectory("/usr/share");
  window->FTPPath->addItems({"SERVER LIST ...", "ftp.example.org", "pub"});
  window->FTPPath->setCurrentIndex(2);
  for (const char* line : {"Connecting to ftp.example.org", "< 220 Welcome", "> USER anonymous",
                           "< 331 Please specify the password.", "> PASS ********", "< 230 Login successful.",
                           "> CWD /pub", "< 250 Directory successfully changed."}) {
    window->Log->AppendLine(line);
  }
  window->resize(1280, 800);
  return window;
}

bool Render(QWidget& window, const QString& path) {
  window.show();
  QApplication::processEvents();
  return window.grab().save(path, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
    return 2;
  }
  const QDir output(QString::fromLocal8Bit(argv[1]));
  QTemporaryDir programDirectory;
  const std::string directory = programDirectory.path().toStdString() + "/";
  if (const platform::WriteResult written =
          SaveHostTypes({{"Default", "0957681"}, {"Сервер в офисе", "2946581"}}, directory);
      !written) {
    std::fprintf(stderr, "%s\n", written.error.c_str());
    return 1;
  }
  const ProgramOptions options = SampleOptions();
  SamplePanes panes;

  const std::vector<Shot> shots = {
      {"site-manager.png",
       [&] { return std::make_unique<dialogs::TFFtpBase>(nullptr, SampleSite(options), directory); }},
      {"site-manager-custom.png",
       [&] {
         SiteRecord site = SampleSite(options);
         site.AutoListing = false;
         site.Answer = "2946581";
         site.AnswerName = "Сервер в офисе";
         return std::make_unique<dialogs::TFFtpBase>(nullptr, site, directory);
       }},
      {"options-connection.png", [] { return OptionsAtPage(0); }},
      {"options-ascii-binary.png", [] { return OptionsAtPage(1); }},
      {"options-log.png", [] { return OptionsAtPage(2); }},
      {"options-keep-alive.png", [] { return OptionsAtPage(3); }},
      {"options-proxy-socks.png", [] { return OptionsAtPage(4); }},
      {"options-interface.png", [] { return OptionsAtPage(5); }},
      {"permissions.png", [] { return std::make_unique<dialogs::T_ChMod>(nullptr, "-rwxr-xr-x"); }},
      {"custom-commands.png",
       [] {
         auto dialog = std::make_unique<dialogs::T_FCmd>(
             nullptr, CustomCommands{{"Помощь сервера", "Права 644"}, {"SITE HELP", "SITE CHMOD 644 index.html"}});
         dialog->findChild<QListWidget*>("lbCmd")->setCurrentRow(1);
         return dialog;
       }},
      {"input.png",
       [] { return std::make_unique<dialogs::TInputForm>(nullptr, "Add Command", "Enter command", "NOOP", true); }},
      {"about.png", [] { return std::make_unique<dialogs::TAboutBox>(nullptr); }},
      {"help.png", [] { return std::make_unique<dialogs::THelpWindow>(nullptr); }},
      {"main-window-sample.png", [&] { return MainWindowShot(panes, directory); }},
  };

  int failures = 0;
  for (const Shot& shot : shots) {
    const std::unique_ptr<QWidget> window = shot.make();
    const QString path = output.filePath(QString::fromLatin1(shot.file));
    const bool saved = Render(*window, path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    failures += saved ? 0 : 1;
  }
  return failures == 0 ? 0 : 1;
}
