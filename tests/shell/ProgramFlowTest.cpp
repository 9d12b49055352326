// The program end to end against real servers, driven through its window as a user drives it:
// a site double-clicked, files copied by the arrows and by drops, checked on both
// disks; a site made in the site manager; options that send the next session through SOCKS;
// and a transfer cancelled in the progress window.
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "dialogs/OptionsDialog.h"
#include "dialogs/SiteManager.h"
#include "shell/LogMemo.h"
#include "shell/progressfrm.h"
#include "support/peers/PyftpdlibPeer.h"
#include "support/peers/RelayPeers.h"
#include "support/scripted/ScriptedFtpServer.h"
#include "support/shell/DialogSteps.h"
#include "support/files/PatternFiles.h"
#include "support/session/SessionHarness.h"
#include "support/shell/ProgramOnTempDirs.h"

namespace shell {
namespace {

namespace fs = std::filesystem;
using sessiontest::SessionHarness;
using testsupport::Sha256Of;
using testsupport::WritePattern;
using testsupport::PumpUntil;

QString Caption(const char* text) { return QString::fromUtf8(text); }

// ---- A session on pyftpdlib -------------------------------------------------------------------

class ProgramFlow : public testsupport::PeerSuite<testsupport::PyftpdlibPeer> {
 protected:
  fs::path Pub() const { return Peer().Root() / "pub"; }

  void SetUp() override {
    PeerSuite::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    fs::remove_all(Pub());
    fs::create_directories(Pub());
  }

  SiteRecord Site() const { return SessionHarness::SiteFor("box", Peer().Port(), Peer().User(), Peer().Password(), "/pub"); }

  // Double-clicks the stored site and waits for the server's directory.
  void Connect(const QString& expected) {
    p.Click(p.Window().FTPView, "box", true);
    ASSERT_TRUE(p.WaitForItem(p.Window().FTPView, expected)) << p.Transcript();
  }

  ProgramOnTempDirs p;
};

TEST_F(ProgramFlow, DoubleClickArrowsAndDropsReachBothDisks) {
  WritePattern(Pub() / "data.bin", 300000, 1);
  WritePattern(p.LocalDir() / "from pane.txt", 2000, 2);
  WritePattern(p.LocalDir() / "up.bin", 9000, 5);
  testsupport::TempDir desktop;
  WritePattern(desktop.Path() / "Отчёт.txt", 5000, 3);
  p.Start({Site()});
  Connect("data.bin");
  MainWindow& w = p.Window();
  EXPECT_EQ(w.FTPView->Style(), ViewStyle::Report);

  p.Click(w.FTPView, "data.bin");
  QTest::mouseClick(w.findChild<QToolButton*>("SpeedButton2"), Qt::LeftButton);
  ASSERT_TRUE(p.WaitForItem(w.lvLoc, "data.bin")) << p.Transcript();
  EXPECT_EQ(Sha256Of(p.LocalDir() / "data.bin"), Sha256Of(Pub() / "data.bin"));
  p.Click(w.lvLoc, "up.bin");
  QTest::mouseClick(w.findChild<QToolButton*>("SpeedButton1"), Qt::LeftButton);
  ASSERT_TRUE(p.WaitForItem(w.FTPView, "up.bin")) << p.Transcript();
  EXPECT_EQ(Sha256Of(Pub() / "up.bin"), Sha256Of(p.LocalDir() / "up.bin"));

  // A file of the desktop's file manager, and the local pane's selection dragged across.
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString((desktop.Path() / "Отчёт.txt").string()))});
  ASSERT_TRUE(DragAndDrop(*w.FTPView, files));
  ASSERT_TRUE(p.WaitForItem(w.FTPView, Caption("Отчёт.txt"))) << p.Transcript();
  EXPECT_EQ(Sha256Of(Pub() / "Отчёт.txt"), Sha256Of(desktop.Path() / "Отчёт.txt"));

  p.Click(w.lvLoc, "from pane.txt");
  const int row = p.RowOf(w.lvLoc, "from pane.txt");
  std::unique_ptr<QMimeData> dragged(w.lvLoc->Model()->mimeData({w.lvLoc->Model()->index(row, 0)}));
  ASSERT_TRUE(DragAndDrop(*w.FTPView, *dragged));
  ASSERT_TRUE(p.WaitForItem(w.FTPView, "from pane.txt")) << p.Transcript();
  EXPECT_EQ(Sha256Of(Pub() / "from pane.txt"), Sha256Of(p.LocalDir() / "from pane.txt"));
}

TEST_F(ProgramFlow, SiteMadeInTheSiteManagerIsStoredAndConnects) {
  WritePattern(Pub() / "seen.txt", 10, 6);
  p.Start();
  dialogtest::AnswerNextModal<dialogs::TFFtpBase>([this](dialogs::TFFtpBase& d) {
    using dialogtest::Do;
    const std::string port = std::to_string(Peer().Port()), user = Peer().User(), password = Peer().Password();
    dialogtest::Perform(d, {{Do::Edit, "NameEdt", "made here"}, {Do::Edit, "ServerEdt", "127.0.0.1"},
                            {Do::Edit, "PortEdt", port.c_str()}, {Do::Edit, "UserEdt", user.c_str()},
                            {Do::Edit, "PasswordEdt", password.c_str()}, {Do::Edit, "RemoteDirEdt", "/pub"},
                            {Do::Check, "SavePasswordCB"}, {Do::Press, "SaveButton"}});
  });
  QTest::mouseClick(p.Window().findChild<QToolButton*>("sbNewServer"), Qt::LeftButton);

  SiteList stored;
  ASSERT_TRUE(LoadSiteList(stored, ProgramOptions{}, p.ProgramDir().string()));
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].Name, "made here");
  EXPECT_EQ(stored[0].Port, std::to_string(Peer().Port()));
  EXPECT_EQ(stored[0].InitialDir, "/pub");

  QTest::mouseClick(p.Window().findChild<QToolButton*>("sbConnect"), Qt::LeftButton);
  ASSERT_TRUE(p.WaitForItem(p.Window().FTPView, "seen.txt")) << p.Transcript();
}

// ---- Options that take the next session through SOCKS 5 ---------------------------------------

class ProgramThroughDante : public testsupport::RelaySuite<testsupport::DantePeer, testsupport::PyftpdlibPeer> {
 protected:
  ProgramOnTempDirs p;
};

TEST_F(ProgramThroughDante, Socks5SavedInTheOptionsDialogCarriesTheNextSession) {
  fs::create_directories(Target().Root() / "relayed");
  std::ofstream(Target().Root() / "relayed" / "via-socks.txt") << "hello\n";
  p.Start({SessionHarness::SiteFor("box", Target().Port(), Target().User(), Target().Password(), "/relayed")});
  const int before = Peer().RelayedConnections();

  dialogtest::AnswerNextModal<dialogs::T_Options>([this](dialogs::T_Options& d) {
    using dialogtest::Do;
    const std::string port = std::to_string(Peer().Port());
    dialogtest::Perform(d, {{Do::Press, "rgType4"}, {Do::Edit, "eSocks", "127.0.0.1"}, {Do::Edit, "eSocksPort", port.c_str()},
                            {Do::Press, "SpeedButton2"}});
  });
  p.Window().MainMenu.FtpOptions1->trigger();
  EXPECT_EQ(LoadOptions(p.ProgramDir().string()).ConnectionType, 4);

  p.Click(p.Window().FTPView, "box", true);
  ASSERT_TRUE(p.WaitForItem(p.Window().FTPView, "via-socks.txt")) << p.Transcript();
  EXPECT_GE(Peer().RelayedConnections() - before, 2) << "the control connection and the listing's";
}

// ---- Cancel in the progress window --------------------------------------------------------------

TEST(ProgramCancel, CancelInTheProgressWindowEndsTheSessionAfterItsClick) {
  testsupport::DataPort data;
  // The server names the data port for the download and then keeps the file back.
  testsupport::ScriptedFtpServer server(sessiontest::ScriptedLogin()
                                            .Reply(data.PasvReply())
                                            .Reply("150 Here\r\n")
                                            .SendData(data, "-rw-r--r--  1 u  g  1000000 Jan 01  2020 big.bin\r\n")
                                            .Send("226 Done\r\n")
                                            .Reply("200 Type I\r\n")
                                            .Reply(data.PasvReply())
                                            .Reply("150 Here\r\n")
                                            .Pause(20s));
  ProgramOnTempDirs p;
  p.Start({SessionHarness::SiteFor("box", server.Port(), "user", "secret", "/d")});
  p.Click(p.Window().FTPView, "box", true);
  ASSERT_TRUE(p.WaitForItem(p.Window().FTPView, "big.bin")) << p.Transcript();
  p.Click(p.Window().FTPView, "big.bin");
  p.Window().Buttons.SpeedButton2->trigger();
  TProgress& progress = *p.Window().Progress;
  ASSERT_TRUE(PumpUntil([&] { return progress.IsOpen() && server.Commands().back().starts_with("RETR"); }, 10s))
      << p.Transcript();

  QTest::mouseClick(progress.CancelBtn, Qt::LeftButton);
  EXPECT_TRUE(progress.IsOpen()) << "the window stays while its button's click is handled";
  ASSERT_TRUE(PumpUntil([&] { return p.Logic().ShowingSites() && !p.Logic().RequestRunning(); }, 10s))
      << p.Transcript();
  EXPECT_FALSE(progress.IsOpen());
  EXPECT_TRUE(p.Window().Buttons.sbConnect->isEnabled());
  EXPECT_FALSE(p.Window().Buttons.SpeedButton2->isEnabled());
}

}  // namespace
}  // namespace shell
