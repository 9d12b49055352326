// Renders the program's windows without a display into PNG files named after each shot, so
// their look can be judged and kept beside the documentation:
//   marlo_screenshots OUTPUT_DIRECTORY
// Each shot builds its window on sample data, as a user would see it on opening.
#include <QApplication>
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

  const std::vector<Shot> shots = {
      {"site-manager.png",
       [&] { return std::make_unique<dialogs::TFFtpBase>(nullptr, SampleSite(options), directory); }},
      {"site-manager-custom.png",
       [&] {
         SiteRecord site = SampleSite(options);
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
  return failures == 0 ? 0 : 1;
}
