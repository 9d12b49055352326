// The options dialog: pages chosen from the tree, the rules between its controls, and what a
// save or a cancel leaves in memory and on disk.
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <functional>
#include <utility>
#include <gtest/gtest.h>
#include <string>

#include "dialogs/OptionsDialog.h"
#include "support/files/ScratchDir.h"
#include "support/shell/DialogSteps.h"

namespace {

using dialogs::T_Options;
using dialogtest::AnswerNextModal;
using dialogtest::Find;
using dialogtest::Do;
using dialogtest::Press;
using dialogtest::Steps;

// Every field away from its default, each value one the dialog can show.
ProgramOptions Unusual() {
  ProgramOptions o;
  o.ConnectionType = 3, o.TransferMode = 2, o.PassiveTransfer = true, o.SyncCommands = true;
  o.ProxyServer = "proxy", o.ProxyPort = "8021", o.ProxyPassword = "a b", o.ProxyPasswordMasked = true;
  o.SocksServer = "127.0.0.1", o.SocksPort = "1080", o.SocksPassword = "пароль", o.SocksUserCode = "ivan";
  o.SocksPasswordMasked = true, o.LogEnabled = true, o.LogFile = "/tmp/ftp.log", o.TimeOut = 45, o.RetryCount = 3;
  o.AsciiExtensions = "txt,\"my ext\"", o.KeepAlive = true, o.KeepStart = 30, o.KeepInterval = 5;
  o.KeepCommands = "NOOP,PWD", o.AnonymousMailEnabled = true, o.AnonymousMail = "ivan@example.org";
  o.FirewallHost = "fw", o.FirewallPort = "2121", o.FirewallUser = "u", o.FirewallPassword = "p";
  o.FirewallSymbol = "#", o.FirewallType = 4, o.StartDirectory = "/home/ivan", o.FontName = "DejaVu Sans";
  o.FontSize = 11, o.FontColor = 0x0000FF, o.PromptDownload = false, o.PromptUpload = false;
  o.DefaultPromptAction = 2;
  return o;
}

ProgramOptions With(const std::function<void(ProgramOptions&)>& change) {
  ProgramOptions options;
  change(options);
  return options;
}

TEST(OptionsDialog, TreeNodeByPositionSelectsItsPage) {
  T_Options dialog(nullptr, ProgramOptions{});
  dialog.show();
  auto* tree = Find<QTreeWidget>(dialog, "TreeView1");
  auto* pages = Find<QTabWidget>(dialog, "PageControl1");
  const char* const tabs[] = {"Соединение", "Ascii/Binary", "Log ", "Поддержка соединения", "Proxy", "Интерфейс"};
  // Backwards, so that every click changes the page.
  for (int position = 5; position >= 0; --position) {
    QTreeWidgetItemIterator it(tree);
    for (int i = 0; i < position; ++i) ++it;
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(*it).center());
    EXPECT_EQ(pages->currentIndex(), position) << (*it)->text(0).toStdString();
    EXPECT_EQ(pages->tabText(pages->currentIndex()).toStdString(), tabs[position]);
  }
  pages->setCurrentIndex(4);
  EXPECT_EQ(tree->currentItem()->text(0), "Proxy / Firewall / Socks");
}

TEST(OptionsDialog, SwitchesGovernTheirControls) {
  T_Options dialog(nullptr, With([](ProgramOptions& o) { o.ProxyPasswordMasked = true; }));
  dialog.show();
  Steps steps = {{Do::Is, "eProxyPsw", "masked"}, {Do::Is, "eSocksPsw", "plain"},
                 {Do::Is, "pnlProxy", "disabled"}, {Do::Is, "pnlSocks", "disabled"},  // Direct
                 {Do::Press, "rgType1"},           {Do::Is, "pnlProxy", "enabled"},
                 {Do::Is, "pnlSocks", "disabled"}, {Do::Is, "eProxy", "white"},
                 {Do::Is, "eSocks", "silver"},     {Do::Press, "cbProxyPswMask"}};
  for (const char* socks : {"rgType2", "rgType3", "rgType4"})
    steps.insert(steps.end(), {{Do::Press, socks}, {Do::Is, "pnlProxy", "disabled"}, {Do::Is, "pnlSocks", "enabled"}});
  steps.insert(steps.end(), {{Do::Is, "eSocks", "white"},     {Do::Press, "cbSocksPswMask"},
                             {Do::Is, "eProxyPsw", "plain"},  {Do::Is, "eSocksPsw", "masked"},
                             {Do::Is, "eAno", "disabled"},    {Do::Press, "cbAno"},
                             {Do::Is, "eAno", "enabled"},     {Do::Is, "cbFW", "disabled"},
                             {Do::Is, "gbFW", "disabled"},    {Do::Is, "lbExt", "silver"},
                             {Do::Press, "rgMode1"},          {Do::Is, "lbExt", "white"},
                             {Do::Is, "eLogFile", "silver"},  {Do::Press, "cbLog"},
                             {Do::Is, "eLogFile", "white"}});
  dialogtest::Perform(dialog, steps);
}

TEST(OptionsDialog, SaveReadsEveryControlBack) {
  struct Row {
    const char* name;
    ProgramOptions before;
    Steps steps;  // before "Сохранить"
    ProgramOptions after;
  };
  const Row rows[] = {
      {"every field round-trips unchanged", Unusual(), {}, Unusual()},
      {"keep-alive without commands is saved off", With([](ProgramOptions& o) { o.KeepAlive = true; }), {}, {}},
      {"the firewall switch is always saved off; its other fields stay",
       With([](ProgramOptions& o) { o.FirewallEnabled = true, o.FirewallHost = "fw", o.FirewallPassword = "pw"; }), {},
       With([](ProgramOptions& o) { o.FirewallHost = "fw", o.FirewallPassword = "pw"; })},
      {"values outside their choices are saved as the first choice",
       With([](ProgramOptions& o) {
         o.TransferMode = 7, o.ConnectionType = 9, o.FirewallType = 8, o.DefaultPromptAction = -1;
       }),
       {}, With([](ProgramOptions& o) { o.TransferMode = o.ConnectionType = o.FirewallType = o.DefaultPromptAction = 0; })},
      {"numbers are held within their spin boxes' bounds",
       With([](ProgramOptions& o) { o.TimeOut = 5, o.KeepStart = 5000; }), {},
       With([](ProgramOptions& o) { o.TimeOut = 10, o.KeepStart = 1000; })},
      {"choices made in the dialog are saved", {},
       {{Do::Press, "rgType4"}, {Do::Append, "eSocks", "127.0.0.1"}, {Do::Append, "eSocksPort", "1080"},
        {Do::Press, "rbPrompt1"}},
       With([](ProgramOptions& o) {
         o.ConnectionType = 4, o.SocksServer = "127.0.0.1", o.SocksPort = "1080", o.DefaultPromptAction = 1;
       })},
      {"list buttons: add, change the selected line, change without a selection adds, delete",
       With([](ProgramOptions& o) { o.AsciiExtensions = "txt,htm"; }),
       {{Do::Answer, "Add extention", "pl"}, {Do::Press, "SpeedButton6"}, {Do::Answer, "Add extention", "cgi"},
        {Do::Press, "SpeedButton8"}, {Do::Current, "lbExt", "", 1}, {Do::Answer, "Edit extention", "html"},
        {Do::Press, "SpeedButton8"}, {Do::Current, "lbExt", "", 0}, {Do::Press, "SpeedButton7"},
        {Do::Answer, "Add Command", "NOOP"}, {Do::Press, "SpeedButton4"}, {Do::Press, "cbKeep"}},
       With([](ProgramOptions& o) { o.AsciiExtensions = "html,pl,cgi", o.KeepCommands = "NOOP", o.KeepAlive = true; })},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchDir dir;
    ProgramOptions options = row.before;
    AnswerNextModal<T_Options>([&row](T_Options& d) {
      dialogtest::Perform(d, row.steps);
      Press(d, "SpeedButton2");
    });
    EXPECT_TRUE(dialogs::ShowOptionsDialog(nullptr, options, dir.Path()));
    EXPECT_EQ(options, row.after);
    EXPECT_EQ(LoadOptions(dir.Path()), options);
    EXPECT_EQ(dir.Mode("options.ftp"), 0600u);
  }
}

TEST(OptionsDialog, CancelChangesNothingOnDisk) {
  struct Row {
    const char* name;
    const char* file;  // nullptr: no options file
  };
  const Row rows[] = {
      {"no file stays no file", nullptr},
      {"a file keeps its bytes", "[Common]\r\nTimeOut=20\r\n; a comment\r\n"},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    if (row.file) dir.Write("options.ftp", row.file);
    ProgramOptions options = Unusual();
    options.TransferMode = 5;
    AnswerNextModal<T_Options>([](T_Options& d) {
      Press(d, "rgType0");
      Press(d, "SpeedButton3");
    });
    EXPECT_FALSE(dialogs::ShowOptionsDialog(nullptr, options, dir.Path())) << row.name;
    ProgramOptions expected = Unusual();
    expected.TransferMode = 0;  // corrected when shown, however the dialog ends
    EXPECT_EQ(options, expected) << row.name;
    EXPECT_EQ(dir.Exists("options.ftp"), row.file != nullptr) << row.name;
    if (row.file) EXPECT_EQ(dir.Read("options.ftp"), row.file) << row.name;
  }
}

TEST(OptionsDialog, AFailedWriteIsReportedAndTheValuesKept) {
  ScratchDir dir;
  dir.Write("options.ftp", "[Common]\r\n");
  dir.SetMode("options.ftp", 0400);
  ProgramOptions options;
  QString message;
  AnswerNextModal<T_Options>([&message](T_Options& d) {
    Press(d, "cbLog");
    dialogtest::AnswerMessage(message);
    Press(d, "SpeedButton2");
  });
  EXPECT_TRUE(dialogs::ShowOptionsDialog(nullptr, options, dir.Path()));
  EXPECT_TRUE(options.LogEnabled);
  EXPECT_TRUE(message.endsWith(QString::fromStdString(": Unable to write to " + dir.File("options.ftp"))))
      << message.toStdString();
  EXPECT_EQ(dir.Read("options.ftp"), "[Common]\r\n");
}

}  // namespace
