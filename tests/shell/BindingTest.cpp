// The main window bound to the session's logic: which command each entry runs, enabling that
// follows the session, and the window's own events (double clicks, column clicks, the local
// directory boxes, close requests, the progress window's cancel).
#include "shell/MainBinding.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <map>

#include "listing/DragAcceptance.h"
#include "support/session/SessionHarness.h"
#include "shell/DirectoryListBox.h"
#include "shell/MainWindow.h"
#include "shell/PaneTableModel.h"
#include "support/EventLoop.h"
#include "support/peers/PeerRequirement.h"
#include "support/peers/TlsPeers.h"
#include "support/scripted/ScriptedFtpServer.h"
#include "support/widgets/DialogTesting.h"
#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using session::Command;
using sessiontest::SessionHarness;
using testsupport::PumpUntil;

// The main window over a headless logic of the harness; with a runner, commands are only
// recorded.
class BoundWindow {
 public:
  explicit BoundWindow(SessionHarness& h, MainBinding::Runner runner = {}) {
    h.Start();
    window = std::make_unique<MainWindow>(h.Logic().RemotePane(), h.Logic().LocalPane().Model(), h.ProgramDir());
    binding = std::make_unique<MainBinding>(*window, h.Logic(), std::move(runner));
  }
  std::unique_ptr<MainWindow> window;
  std::unique_ptr<MainBinding> binding;  // declared last: gone before its window
};

// ---- The command map ------------------------------------------------------------------------

// An entry, or a family of entries named <name>_<tag>, and what each runs.
struct MapRow {
  const char* name;
  Command command;
  std::vector<int> tags = {0};
};

const MapRow kMap[] = {
    // Toolbar and pane buttons.
    {"sbConnect", Command::Connect},
    {"sbDisConnect", Command::Disconnect},
    {"sbStop", Command::StopTransfer},
    {"ExplorerButton1", Command::AbortAndExit},
    {"sbMkd1", Command::LocalMakeDirectory},
    {"sbRen1", Command::LocalRename},
    {"sbDel1", Command::LocalDelete},
    {"sbView", Command::LocalView},
    {"sbRun", Command::LocalRun},
    {"SpeedButton4", Command::LocalUpOneLevel},
    {"SpeedButton1", Command::UploadSelection},    // the upload arrow
    {"SpeedButton2", Command::DownloadSelection},  // the download arrow
    {"sbNewServer", Command::NewSite},
    {"sbProperties", Command::SiteProperties},
    {"sbMkd2", Command::RemoteMakeDirectory},
    {"sbRen2", Command::RemoteRename},
    {"sbDel2", Command::RemoteDelete},
    {"FTPOneLevelUp", Command::RemoteUpOneLevel},
    {"SpeedButton6", Command::PickStoredCommand},
    {"SpeedButton5", Command::SendCommandLine},
    // Main menu.
    {"Connect1", Command::Connect},
    {"Disconnect1", Command::Disconnect},
    {"StopTransfer1", Command::StopTransfer},
    {"Spawnnewsession1", Command::SpawnSession},
    {"FtpOptions1", Command::Options},
    {"Exit1", Command::CloseWindow},
    {"NewServer1", Command::NewSite},
    {"ServerProperties1", Command::SiteProperties},
    {"DownloadSelectedFiles1", Command::DownloadSelection},  // "...на локальный компьютер"
    {"Makedirectory2", Command::RemoteMakeDirectory},
    {"RenameFile3", Command::RemoteRename},
    {"DeleteServerFile1", Command::RemoteDelete},
    {"ChandDirect1", Command::RemoteChangeDirectory},
    {"FileAttributes2", Command::RemotePermissions},
    {"CustomCommand1", Command::ToggleCommandBar},
    {"CompareDirectories1", Command::CompareDirectories},
    {"ChangeCase3", Command::RemoteChangeCase, {0, 1, 2}},
    {"Sorting3", Command::RemoteSort, {1, 2, 3}},
    {"Select2", Command::RemoteSelect, {-1, -2, -3, -4}},
    {"Filter4", Command::RemoteFilter},
    {"View3", Command::RemoteViewStyle, {0, 1, 2, 3}},
    {"Font4", Command::PaneFont, {1}},
    {"UploadSelectedFiles1", Command::UploadSelection},  // "...на FTP сервер"
    {"MakeDirectory1", Command::LocalMakeDirectory},
    {"RenameFile2", Command::LocalRename},
    {"DeleteFile1", Command::LocalDelete},
    {"Viewfile2", Command::LocalView},
    {"RunFile1", Command::LocalRun},
    {"ChangeCase1", Command::LocalChangeCase, {0, 1, 2}},
    {"Sorting4", Command::LocalSort, {1, 2, 3}},
    {"SelectAll2", Command::LocalSelect, {1, 2, 3, 4}},
    {"Filter1", Command::LocalFilter},
    {"View4", Command::LocalViewStyle, {0, 1, 2, 3}},
    {"Font3", Command::PaneFont, {0}},
    {"Help1", Command::Help},
    {"About2", Command::About},
    // Remote popup.
    {"RemoteOpen", Command::RemoteOpen},
    {"RemoteRefresh", Command::RemoteRefresh},
    {"DownloadSelectedFiles2", Command::DownloadSelection},  // "Загрузить выбранные файлы"
    {"New1", Command::NewSite},
    {"Properties1", Command::SiteProperties},
    {"MakeDirectory3", Command::RemoteMakeDirectory},
    {"RenameFile4", Command::RemoteRename},
    {"Delete1", Command::RemoteDelete},
    {"ChangeDirectory1", Command::RemoteChangeDirectory},
    {"FileAttributes1", Command::RemotePermissions},
    {"CustomCommand2", Command::ToggleCommandBar},
    {"CompareDirectories2", Command::CompareDirectories},
    {"ChangeCase4", Command::RemoteChangeCase, {0, 1, 2}},
    {"Sorting2", Command::RemoteSort, {1, 2, 3}},
    {"Select3", Command::RemoteSelect, {-1, -2, -3, -4}},
    {"Filter3", Command::RemoteFilter},
    {"View1", Command::RemoteViewStyle, {0, 1, 2, 3}},
    {"Font1", Command::PaneFont, {1}},
    // Local popup.
    {"LocalOpen", Command::LocalOpen},
    {"LocalRefresh", Command::LocalRefresh},
    {"UploadSelectedFiles2", Command::UploadSelection},  // "Загрузить выбранные файлы"
    {"MenuItem4", Command::LocalMakeDirectory},
    {"MenuItem7", Command::LocalRename},
    {"MenuItem8", Command::LocalDelete},
    {"ViewFile3", Command::LocalView},
    {"RunApplication1", Command::LocalRun},
    {"ChangeCase2", Command::LocalChangeCase, {0, 1, 2}},
    {"Sorting1", Command::LocalSort, {1, 2, 3}},
    {"Select1", Command::LocalSelect, {1, 2, 3, 4}},
    {"Filter2", Command::LocalFilter},
    {"MenuItem10", Command::LocalViewStyle, {0, 1, 2, 3}},
    {"Font2", Command::PaneFont, {0}},
};

// Every entry struct holds nothing but action pointers and arrays of them.
template <typename Entries>
std::vector<QAction*> ActionsOf(const Entries& entries) {
  static_assert(sizeof(Entries) % sizeof(QAction*) == 0);
  const auto* first = reinterpret_cast<QAction* const*>(&entries);
  return {first, first + sizeof(Entries) / sizeof(QAction*)};
}

TEST(CommandMapTest, EveryEntryAndPaneEventRunsTheCommandItNames) {
  SessionHarness h;
  std::vector<std::pair<Command, int>> ran;
  BoundWindow bound(h, [&](Command command, int tag) { ran.emplace_back(command, tag); });
  MainWindow& window = *bound.window;

  // Only the binding is heard: what the window does by itself (dialogs, a second copy of
  // the program) stays out of this test.
  std::map<QString, QAction*> actions;
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->objectName().isEmpty()) continue;
    for (QObject* own : {static_cast<QObject*>(&window), static_cast<QObject*>(window.FTPView),
                         static_cast<QObject*>(window.lvLoc)}) {
      QObject::disconnect(action, nullptr, own, nullptr);
    }
    action->setEnabled(true);
    EXPECT_FALSE(action->text().isEmpty()) << action->objectName().toStdString();
    EXPECT_TRUE(actions.emplace(action->objectName(), action).second) << "twice: " << action->objectName().toStdString();
  }

  for (const auto& entries : {ActionsOf(window.MainMenu), ActionsOf(window.RemotePopup), ActionsOf(window.LocalPopup),
                              ActionsOf(window.Buttons)}) {
    for (QAction* entry : entries) {
      ASSERT_NE(entry, nullptr);
      EXPECT_EQ(actions[entry->objectName()], entry) << "a named action of its own: " << entry->text().toStdString();
    }
  }
  std::size_t covered = 0;
  for (const MapRow& row : kMap) {
    for (int tag : row.tags) {
      const QString name = row.tags.size() == 1 ? row.name : QString("%1_%2").arg(row.name).arg(tag);
      const auto found = actions.find(name);
      ASSERT_NE(found, actions.end()) << name.toStdString();
      ran.clear();
      found->second->trigger();
      EXPECT_EQ(ran, (std::vector<std::pair<Command, int>>{{row.command, tag}})) << name.toStdString();
      ++covered;
    }
  }
  EXPECT_EQ(covered, actions.size()) << "every entry of the window is in the table";

  // The panes' own events.
  ran.clear();
  emit window.FTPView->doubleClicked();
  emit window.lvLoc->doubleClicked();
  emit window.FTPView->columnClicked(3);
  emit window.lvLoc->columnClicked(2);
  window.FTPPath->addItems({"SERVER LIST ...", "host", "pub"});
  emit window.FTPPath->activated(1);
  EXPECT_EQ(ran, (std::vector<std::pair<Command, int>>{{Command::RemoteOpen, 0}, {Command::LocalOpen, 0},
                                                       {Command::RemoteSort, 3}, {Command::LocalSort, 2},
                                                       {Command::RemotePath, 1}}));
}

TEST(CommandMapTest, DeleteKeyOnTheRemotePaneAsksFirst) {
  SessionHarness h;
  h.AddSite(SessionHarness::SiteFor("box", 21, "u", "p", ""));
  std::vector<std::pair<Command, int>> ran;
  BoundWindow bound(h, [&](Command command, int tag) { ran.emplace_back(command, tag); });
  bound.window->RemoteDeleteKey->trigger();
  EXPECT_TRUE(ran.empty()) << "nothing selected, nothing asked";

  h.SelectRemote({"box"});
  for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
    dialogtest::AnswerNextModal<QMessageBox>([answer](QMessageBox& box) {
      EXPECT_EQ(box.text(), "Do you wish to remove the selected sites?");
      box.button(answer)->click();
    });
    bound.window->RemoteDeleteKey->trigger();
  }
  EXPECT_EQ(ran, (std::vector<std::pair<Command, int>>{{Command::RemoteDelete, 0}}));
}

// ---- Enabling and the session ---------------------------------------------------------------

// The enabled state of the entries that tell the session's state.
std::vector<bool> SessionEntries(const MainWindow& w) {
  std::vector<bool> enabled;
  for (QAction* action : {w.Buttons.SpeedButton1, w.Buttons.SpeedButton2, w.Buttons.sbDisConnect, w.Buttons.sbStop,
                          w.MainMenu.Disconnect1, w.MainMenu.StopTransfer1, w.MainMenu.DownloadSelectedFiles1,
                          w.Buttons.sbConnect, w.Buttons.sbNewServer}) {
    enabled.push_back(action->isEnabled());
  }
  return enabled;
}

TEST(BindingTest, EnablingFollowsTheSessionAndTheRemotePaneItsMode) {
  const std::vector<bool> withoutSession = {false, false, false, false, false, false, false, true, true};
  testsupport::DataPort data;
  // Greeting, login, TYPE A, CWD /d/ and a listing of one file.
  testsupport::ScriptedFtpServer server(sessiontest::ScriptedLogin()
                                            .Reply(data.PasvReply())
                                            .Reply("150 Here\r\n")
                                            .SendData(data, "-rw-r--r--  1 u  g  1000000 Jan 01  2020 big.bin\r\n")
                                            .Send("226 Done\r\n"));
  SessionHarness h;
  h.AddSite(SessionHarness::SiteFor("box", server.Port(), "user", "secret", "/d"));
  BoundWindow bound(h);
  MainWindow& w = *bound.window;
  w.show();
  EXPECT_EQ(SessionEntries(w), withoutSession) << "nothing to transfer or end before a session";
  EXPECT_EQ(w.FTPView->Style(), ViewStyle::List);
  h.SelectRemote({"box"});
  emit w.FTPView->doubleClicked();  // as a user connects
  ASSERT_TRUE(PumpUntil([&] {
    return w.FTPView->Model()->rowCount() == 1 && !h.Logic().ShowingSites() && !h.Logic().Busy() &&
           !h.Logic().RequestRunning();
  })) << h.Transcript();

  EXPECT_EQ(SessionEntries(w), (std::vector<bool>{true, true, true, true, true, true, true, false, false}));
  EXPECT_EQ(w.FTPView->Style(), ViewStyle::Report);
  EXPECT_EQ(w.RemoteTitle->text(), "127.0.0.1");
  ASSERT_EQ(w.FTPPath->count(), 3);
  EXPECT_EQ(w.FTPPath->currentText(), "d");
  EXPECT_EQ(w.FTPView->Model()->index(0, 0).data().toString(), "big.bin");

  w.Buttons.sbDisConnect->trigger();
  ASSERT_TRUE(h.WaitForSites()) << h.Transcript();
  EXPECT_EQ(SessionEntries(w), withoutSession);
  EXPECT_EQ(w.FTPView->Style(), ViewStyle::List);
  EXPECT_EQ(w.RemoteTitle->text(), "Удаленные FTP серверы");
  EXPECT_FALSE(QApplication::overrideCursor()) << "the hourglass of the disconnect is gone";
}

TEST(BindingTest, TheRemoteTitleShowsALockWhileTheSessionIsEncrypted) {
  testsupport::VsftpdTlsPeer server;
  MARLO_REQUIRE_PEER(server);
  ASSERT_TRUE(server.Start()) << server.Failure();
  SessionHarness h;
  SiteRecord site = SessionHarness::SiteFor("box", server.Port(), server.User(), server.Password(), "");
  site.Encryption = SiteEncryption::ExplicitRequired;
  h.AddSite(site);
  BoundWindow bound(h);
  h.Engine().SetTlsTrustFile(testsupport::TestCertificates::Shared().CaFile());
  h.ConnectTo("box");
  ASSERT_TRUE(PumpUntil([&] { return !h.Logic().ShowingSites() && !h.Logic().RequestRunning(); })) << h.Transcript();
  QLabel* title = bound.window->RemoteTitle;
  EXPECT_EQ(title->textFormat(), Qt::RichText);
  EXPECT_TRUE(title->text().contains("lock.svg") && title->text().endsWith("127.0.0.1")) << title->text().toStdString();
  EXPECT_FALSE(title->toolTip().isEmpty());

  h.Logic().Run(Command::Disconnect);
  ASSERT_TRUE(h.WaitForSites()) << h.Transcript();
  EXPECT_EQ(title->text(), "Удаленные FTP серверы");
  EXPECT_TRUE(title->toolTip().isEmpty());
}

// ---- The window's own events ----------------------------------------------------------------

TEST(BindingTest, LocalPaneFollowsItsBoxesAndClicksAndTheSitesTakeNoDrops) {
  SessionHarness h;
  fs::create_directories(h.LocalDir() / "sub" / "deeper");
  std::ofstream(h.LocalDir() / "b.txt") << "bb";
  std::ofstream(h.LocalDir() / "a.txt") << "a";
  BoundWindow bound(h);
  MainWindow& window = *bound.window;
  EXPECT_EQ(window.dlbx->Directory(), h.LocalDir());

  emit window.localDirectoryChosen(h.LocalDir() / "sub");
  EXPECT_EQ(h.Logic().LocalPane().Directory(), h.LocalDir() / "sub");
  h.SelectLocal({"deeper"});
  emit window.lvLoc->doubleClicked();
  EXPECT_EQ(window.dlbx->Directory(), h.LocalDir() / "sub" / "deeper") << "the list box follows the pane";
  window.Buttons.SpeedButton4->trigger();
  window.Buttons.SpeedButton4->trigger();
  EXPECT_EQ(window.dlbx->Directory(), h.LocalDir());

  // A click on the size column: the larger file first.
  emit window.lvLoc->ReportView()->header()->sectionClicked(1);
  const auto* model = window.lvLoc->Model();
  ASSERT_EQ(model->rowCount(), 3);
  EXPECT_EQ(model->index(1, 0).data().toString(), "b.txt");

  window.show();
  QMimeData desktop;
  desktop.setUrls({QUrl::fromLocalFile(QString::fromStdString((h.LocalDir() / "a.txt").string()))});
  EXPECT_FALSE(DragAndDrop(*window.FTPView, desktop)) << "the stored sites take no files";
}

TEST(BindingTest, WindowFontFollowsTheOptions) {
  struct Row {
    const char* name;
    std::string font;
    int size;
    std::int32_t color;  // as stored: 0x00BBGGRR
    QString family;      // empty: the desktop's
    int pointSize;       // 0: the desktop's
    QColor text;         // invalid: the desktop's
  };
  const Row rows[] = {
      {"the stored default is the desktop's font", "MS Sans Serif", 8, 0, {}, 0, {}},
      {"a chosen font and colour", "DejaVu Serif", 13, 0x000080, "DejaVu Serif", 13, QColor(128, 0, 0)},
      {"a chosen size of the default family", "MS Sans Serif", 11, 0, "MS Sans Serif", 11, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SessionHarness h;
    h.options.FontName = row.font, h.options.FontSize = row.size, h.options.FontColor = row.color;
    BoundWindow bound(h);
    const QFont font = bound.window->font();
    EXPECT_EQ(font.family(), row.family.isEmpty() ? QApplication::font().family() : row.family);
    EXPECT_EQ(font.pointSize(), row.pointSize == 0 ? QApplication::font().pointSize() : row.pointSize);
    EXPECT_EQ(bound.window->palette().color(QPalette::WindowText),
              row.text.isValid() ? row.text : QApplication::palette().color(QPalette::WindowText));
  }
}

TEST(BindingTest, CloseRequestsCloseTheWindowOnceTheirHandlerReturned) {
  for (const char* entry : {"Exit1", "ExplorerButton1"}) {
    SessionHarness h;
    BoundWindow bound(h);
    MainWindow& window = *bound.window;
    window.show();
    window.findChild<QAction*>(entry)->trigger();
    EXPECT_TRUE(window.isVisible()) << entry;
    EXPECT_TRUE(PumpUntil([&] { return !window.isVisible(); }, 5s)) << entry;
  }
}

}  // namespace
}  // namespace shell
