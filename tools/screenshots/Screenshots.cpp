// Renders the program's windows without a display into PNG files named after each shot, so
// their look can be judged and kept beside the documentation:
//   marlo_screenshots OUTPUT_DIRECTORY
// Each shot builds its window on sample data, as a user would see it on opening; the main
// window's shows a session on an FTP server started for it on 127.0.0.1 (pyftpdlib).
#include <QApplication>
#include <QElapsedTimer>
#include <QComboBox>
#include <QLabel>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
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
#include "session/uMain.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"
#include "sites/HostTypes.h"
#include "sites/SiteList.h"
#include "support/peers/PyftpdlibPeer.h"

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

bool Render(QWidget& window, const QString& path) {
  window.show();
  QApplication::processEvents();
  return window.grab().save(path, "PNG");
}

// A server directory and a home directory with a few entries of different kinds and ages.
void WriteFile(const std::filesystem::path& path, std::size_t size, int daysOld) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << std::string(size, 'x');
  std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * daysOld));
}

void MakeSampleFiles(const std::filesystem::path& server, const std::filesystem::path& home) {
  for (const char* directory : {"pub/incoming", "pub/releases", "pub/Документы"})
    std::filesystem::create_directories(server / directory);
  WriteFile(server / "pub/README.txt", 2381, 40);
  WriteFile(server / "pub/marlo-0.1.tar.gz", 1843200, 12);
  WriteFile(server / "pub/backup-2024.tar.gz", 52428800, 90);
  WriteFile(server / "pub/index.html", 14876, 3);
  WriteFile(server / "pub/Отчёт за квартал.pdf", 482113, 20);
  WriteFile(server / "pub/CHANGES", 7302, 1);
  for (const char* directory : {"photos", "projects"}) std::filesystem::create_directories(home / directory);
  WriteFile(home / "notes.txt", 1204, 2);
  WriteFile(home / "site.zip", 10485760, 15);
  WriteFile(home / "Письмо.odt", 23552, 5);
}

// The program's window with a session on a local pyftpdlib server, its /pub directory listed.
bool MainWindowShot(const QString& path) {
  testsupport::PyftpdlibPeer server;
  if (!server.SkipReason().empty() || !server.Start()) {
    std::fprintf(stderr, "main window: no FTP server to show: %s%s\n", server.SkipReason().c_str(),
                 server.Failure().c_str());
    return false;
  }
  QTemporaryDir programDirectory;
  QTemporaryDir scratch;
  // The user's home, as the places box names it.
  const std::string home = scratch.path().toStdString() + "/home/ivanov";
  qputenv("HOME", QByteArray::fromStdString(home));
  MakeSampleFiles(server.Root(), home);
  ProgramOptions options;
  options.StartDirectory = home;
  SaveOptions(options, programDirectory.path().toStdString());
  SiteRecord site = NewSiteRecord(options);
  site.Name = "Зеркало проекта";
  site.Server = "127.0.0.1";
  site.Port = std::to_string(server.Port());
  site.User = server.User();
  site.Password = server.Password();
  site.InitialDir = "/pub";
  site.Pasv = true;
  if (!SaveSiteList({site}, programDirectory.path().toStdString())) return false;

  shell::Program program(programDirectory.path().toStdString(), home);
  shell::MainWindow& window = program.Window();
  window.resize(1280, 800);
  window.show();
  program.Logic().RemotePane().SetSelected(0, true);
  program.Logic().Run(session::Command::Connect);
  QElapsedTimer waited;
  waited.start();
  while ((program.Logic().ShowingSites() || program.Logic().Busy() || program.Logic().RequestRunning()) &&
         waited.elapsed() < 10000) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  if (program.Logic().ShowingSites()) return false;
  return Render(window, path);
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
  };

  int failures = 0;
  for (const Shot& shot : shots) {
    const std::unique_ptr<QWidget> window = shot.make();
    const QString path = output.filePath(QString::fromLatin1(shot.file));
    const bool saved = Render(*window, path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    failures += saved ? 0 : 1;
  }
  const QString main = output.filePath("main-window.png");
  const bool saved = MainWindowShot(main);
  std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(main));
  failures += saved ? 0 : 1;
  return failures == 0 ? 0 : 1;
}
