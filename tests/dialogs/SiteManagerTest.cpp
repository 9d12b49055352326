// The site manager: how it shows a site's listing format and host types, what saving and
// cancelling store, and the host type buttons.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "dialogs/SiteManager.h"
#include "support/files/ScratchDir.h"
#include "sites/SiteLine.h"
#include "support/widgets/DialogTesting.h"
#include "support/shell/DialogSteps.h"

namespace {

using dialogs::TFFtpBase;
using dialogtest::AnswerNextModal;
using dialogtest::Find;
using dialogtest::Press;
using dialogtest::Do;
using dialogtest::Step;
using dialogtest::Steps;

const char* const kTwoHostTypes = "\"Default\",0957681\r\n\"Office\",2946581\r\n";
const char* const kThreeHostTypes = "\"Default\",0957681\r\n\"A\",2111111\r\n\"B\",2222222\r\n";

// A site whose listings are read in the format of its Answer code.
SiteRecord Site(const std::string& answer, const std::string& answerName) {
  SiteRecord site = NewSiteRecord(ProgramOptions{});
  site.Name = "Work";
  site.Server = "ftp.example.org";
  site.Answer = answer;
  site.AnswerName = answerName;
  site.AutoListing = false;
  return site;
}

SiteRecord AutomaticSite(const std::string& answer, platform::CharacterSet charset = platform::CharacterSet::Automatic) {
  SiteRecord site = Site(answer, "");
  site.AutoListing = true;
  site.Charset = charset;
  return site;
}

SiteRecord EncryptedSite(SiteEncryption encryption, const std::string& port) {
  SiteRecord site = Site("0957681", "");
  site.Encryption = encryption;
  site.Port = port;
  return site;
}

std::string Columns(const TFFtpBase& dialog) {
  std::string digits;
  for (const char* name : {"eFName", "eFSize", "eFDate", "eFDate2", "eFTime", "eFAttr"})
    digits += Find<QLineEdit>(dialog, name)->text().toStdString();
  return digits;
}

bool ColumnsEnabled(const TFFtpBase& dialog) { return Find<QLineEdit>(dialog, "eFName")->isEnabled(); }

QComboBox* HostTypes(const TFFtpBase& dialog) { return Find<QComboBox>(dialog, "cbName"); }

// "name=code" for each host type, separated by blanks.
std::string Stored(const TFFtpBase& dialog) {
  std::string text;
  for (const HostType& hostType : dialog.HostTypes()) text += (text.empty() ? "" : " ") + hostType.Name + "=" + hostType.Code;
  return text;
}

TEST(SiteManager, OpeningShowsTheListingFormat) {
  struct Row {
    const char* name;
    const char* hostTypesFile;  // nullptr: no Answer.txt
    SiteRecord site;
    const char* format;  // the checked radio button
    bool customShown;
    const char* hostType;  // the combo's text, "" for none
    const char* columns;
    bool columnsEnabled;
  };
  const char* const oddFirst = "\"Default\",0111111\r\n\"Office\",2946581\r\n";
  const Row rows[] = {
      {"standard format, no host type", kTwoHostTypes, Site("0957681", "Default"), "rbDefault", false, "", "957681", false},
      {"text format", kTwoHostTypes, Site("1946581", ""), "rbText", false, "", "946581", false},
      {"Microsoft format", kTwoHostTypes, Site("3957681", ""), "rbMFTP", false, "", "957681", false},
      {"an unknown digit is the standard format", kTwoHostTypes, Site("7123456", ""), "rbDefault", false, "", "123456", false},
      {"an Answer of another length is the standard code", kTwoHostTypes, Site("21", "Office"), "rbDefault", false, "",
       "957681", false},
      {"custom with a stored host type shows its code", kTwoHostTypes, Site("2111111", "Office"), "rbCustom", true, "Office",
       "946581", true},
      {"custom with an unknown host type: the first one, columns 9,5,7,6,8,1", oddFirst, Site("2946581", "Gone"), "rbCustom",
       true, "Default", "957681", false},
      {"custom with the first host type keeps it fixed", kTwoHostTypes, Site("2957681", "Default"), "rbCustom", true,
       "Default", "957681", false},
      {"no Answer.txt: the single host type Default", nullptr, Site("2946581", "Office"), "rbCustom", true, "Default",
       "957681", false},
      {"automatic, no host type, the code's columns", kTwoHostTypes, AutomaticSite("0946581"), "rbAuto", false, "",
       "946581", false},
      {"automatic whatever the code's format", kTwoHostTypes, AutomaticSite("2946581"), "rbAuto", false, "", "946581",
       false},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    if (row.hostTypesFile) dir.Write("Answer.txt", row.hostTypesFile);
    TFFtpBase dialog(nullptr, row.site, dir.Path());
    dialog.show();
    EXPECT_TRUE(Find<QRadioButton>(dialog, row.format)->isChecked()) << row.name;
    EXPECT_EQ(HostTypes(dialog)->isVisible(), row.customShown) << row.name;
    EXPECT_EQ(HostTypes(dialog)->currentText().toStdString(), row.hostType) << row.name;
    EXPECT_EQ(Columns(dialog), row.columns) << row.name;
    EXPECT_EQ(ColumnsEnabled(dialog), row.columnsEnabled) << row.name;
    EXPECT_EQ(HostTypes(dialog)->count(), row.hostTypesFile ? 2 : 1) << row.name;
  }
}

TEST(SiteManager, ControlsFollowTheirSwitches) {
  ScratchDir dir;
  TFFtpBase dialog(nullptr, Site("0957681", ""), dir.Path());
  dialog.show();
  dialogtest::Perform(
      dialog, {{Do::Is, "PasswordEdt", "masked"}, {Do::Press, "cbMPsw"}, {Do::Is, "PasswordEdt", "plain"},
               {Do::Is, "EMailEdt", "disabled"}, {Do::Press, "AnonymousCB"}, {Do::Is, "EMailEdt", "enabled"},
               {Do::Is, "UserEdt", "disabled"}, {Do::Is, "PasswordEdt", "disabled"}, {Do::Is, "AccountEdt", "disabled"},
               {Do::Press, "rbCustom"}, {Do::Is, "cbName", "visible"}, {Do::Press, "rbText"}, {Do::Is, "cbName", "hidden"},
               {Do::Press, "rbCustom"}, {Do::Press, "rbAuto"}, {Do::Is, "cbName", "hidden"}});
}

// What EditSite gives back, seen through the site's line in the site list.
TEST(SiteManager, SaveAndCancel) {
  struct Row {
    const char* name;
    SiteRecord site;
    Steps steps;  // "Сохранить" follows unless they cancel
    std::vector<std::string> pairs;  // expected in the site's line
    const char* absent{};            // a key the line must not hold
  };
  const char* const implicitTls = "Неявный TLS (порт 990)";
  const Row rows[] = {
      {"texts are trimmed, the remote directory gets its /, comment lines are joined with `", Site("0957681", ""),
       {{Do::Edit, "NameEdt", "  Mirror  "}, {Do::Edit, "RemoteDirEdt", " pub/debian "},
        {Do::Edit, "PasswordEdt", " se cret "}, {Do::Edit, "mDesc", "first\nsecond\n"}},
       {"Name=Mirror;", "InitialDir=/pub/debian;", "Password=se cret;", "Desc=first`second;"}},
      {"the standard format keeps the stored columns and names no host type", Site("0946581", "Default"), {},
       {"Answer=0946581;CheckPSW"}},
      {"the custom format saves the shown columns and the host type", Site("2946581", "Office"),
       {{Do::Edit, "eFSize", "3"}}, {"Answer=2936581;AnswerName=Office;"}},
      {"an emptied column field is saved as 0", Site("2946581", "Office"), {{Do::Edit, "eFAttr", ""}},
       {"Answer=2946580;"}},
      {"anonymous keeps the typed user and password", Site("0957681", ""),
       {{Do::Edit, "UserEdt", "ivan"}, {Do::Edit, "PasswordEdt", "pw"}, {Do::Press, "AnonymousCB"}},
       {"Password=pw;User=ivan;", "Anonymous=1;"}},
      {"automatic keeps the shown columns and host type behind the standard digit", Site("2946581", "Office"),
       {{Do::Press, "rbAuto"}}, {"Answer=0946581;AnswerName=Office;CheckPSW=1;Listing=auto;"}},
      {"another format ends automatic listings", AutomaticSite("0957681"), {{Do::Press, "rbMFTP"}}, {"Answer=3957681;"},
       "Listing="},
      {"the chosen character set is saved by its id", AutomaticSite("0957681"), {{Do::Choose, "cbCharset", "KOI8-R"}},
       {"Listing=auto;Charset=koi8-r;"}},
      {"a stored character set is shown and kept", AutomaticSite("0957681", platform::CharacterSet::Cp866),
       {{Do::Shows, "cbCharset", "CP866 (DOS)"}}, {"Charset=cp866;"}},
      {"a new site encrypts when the server offers it", Site("0957681", ""),
       {{Do::Shows, "cbEncryption", "Явный TLS, если сервер поддерживает"}}, {"Port=21;", "Encryption=tls;"}},
      {"plain FTP writes no pair", Site("0957681", ""), {{Do::Choose, "cbEncryption", "Нет (обычный FTP)"}},
       {"Port=21;"}, "Encryption="},
      {"implicit TLS moves the standard port to 990", Site("0957681", ""), {{Do::Choose, "cbEncryption", implicitTls}},
       {"Port=990;", "Encryption=implicit;"}},
      {"leaving implicit TLS moves 990 back to 21; a chosen port stays", EncryptedSite(SiteEncryption::Implicit, "990"),
       {{Do::Shows, "PortEdt", "990"}, {Do::Choose, "cbEncryption", "Только явный TLS"}, {Do::Shows, "PortEdt", "21"},
        {Do::Edit, "PortEdt", "2121"}, {Do::Choose, "cbEncryption", implicitTls},
        {Do::Choose, "cbEncryption", "Только явный TLS"}},
       {"Port=2121;", "Encryption=tls-required;"}},
      {"Отмена leaves the site alone", Site("0957681", ""),
       {{Do::Edit, "NameEdt", "Changed"}, {Do::Press, "CancelButton"}}, {"Name=Work;"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchDir dir;
    dir.Write("Answer.txt", kTwoHostTypes);
    SiteRecord site = row.site;
    const bool cancels = !row.steps.empty() && std::string(row.steps.back().control) == "CancelButton";
    AnswerNextModal<TFFtpBase>([&row, cancels](TFFtpBase& d) {
      dialogtest::Perform(d, row.steps);
      if (!cancels) Press(d, "SaveButton");
    });
    EXPECT_EQ(dialogs::EditSite(nullptr, site, dir.Path()), !cancels);
    const std::string line = FormatSiteLine(site);
    for (const std::string& pair : row.pairs) EXPECT_NE(line.find(pair), std::string::npos) << line;
    if (row.absent) {
      EXPECT_EQ(line.find(row.absent), std::string::npos) << line;
    }
  }
}

TEST(SiteManager, SaveIsRefusedWhileTheSiteCannotBeStored) {
  struct Row {
    const char* name;
    const char* field;
    const char* text;
    const char* message;
  };
  const Row rows[] = {
      {"no name", "NameEdt", "  ", "Attention: Server Name must be defined"},
      {"no server", "ServerEdt", "", "Attention: Server Name must be defined"},
      {"a ; in the password would cut it on reading", "PasswordEdt", "a;b", "«Пароль»"},
      {"a ; in the server", "ServerEdt", "host;x", "«FTP Сервер»"},
      {"a pasted line break inside a value would split the site's line", "RemoteDirEdt", "/pub\n/x",
       "«Начальная директория на сервере»"},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    SiteRecord site = Site("0957681", "");
    QString message;
    AnswerNextModal<TFFtpBase>([&row, &message](TFFtpBase& d) {
      auto* edit = Find<QLineEdit>(d, row.field);
      edit->selectAll();
      edit->insert(QString::fromUtf8(row.text));  // as a paste does
      dialogtest::AnswerMessage(message);
      Press(d, "SaveButton");
      EXPECT_TRUE(d.isVisible()) << row.name;
      Press(d, "CancelButton");
    });
    EXPECT_FALSE(dialogs::EditSite(nullptr, site, dir.Path())) << row.name;
    EXPECT_TRUE(message.contains(QString::fromUtf8(row.message))) << row.name << ": " << message.toStdString();
  }
}

TEST(SiteManager, CancelStillWritesTheHostTypes) {
  ScratchDir dir;
  SiteRecord site = Site("2957681", "Default");
  AnswerNextModal<TFFtpBase>([](TFFtpBase& d) {
    dialogtest::Perform(d, {{Do::Answer, "", "Unix"}, {Do::Press, "AddHostTypeButton"}, {Do::Press, "CancelButton"}});
  });
  EXPECT_FALSE(dialogs::EditSite(nullptr, site, dir.Path()));
  // The shown host type's code, format digit included, was kept when "Add" was pressed.
  EXPECT_EQ(dir.Read("Answer.txt"), "\"Default\",2957681\r\n\"Unix\",0957681\r\n");
  EXPECT_EQ(dir.EntryCount(), 1u);  // no temporary file left beside it
}

TEST(SiteManager, AHostTypeFileThatCannotBeWrittenIsReported) {
  ScratchDir dir;
  dir.Write("Answer.txt", kTwoHostTypes);
  dir.SetMode("Answer.txt", 0400);
  SiteRecord site = Site("0957681", "");
  QString message;
  AnswerNextModal<TFFtpBase>([&message](TFFtpBase& d) {
    dialogtest::AnswerMessage(message);
    Press(d, "SaveButton");
  });
  EXPECT_TRUE(dialogs::EditSite(nullptr, site, dir.Path()));
  EXPECT_TRUE(message.contains(QString::fromStdString(": Unable to write to " + dir.File("Answer.txt"))))
      << message.toStdString();
  EXPECT_EQ(dir.Read("Answer.txt"), kTwoHostTypes);
}

TEST(SiteManager, HostTypeButtons) {
  struct Row {
    const char* name;
    Steps steps;        // the first picks the host type
    const char* shown;  // the combo's text afterwards
    const char* columns;
    bool columnsEnabled;
    // What Answer.txt would hold; a host type that was shown and left keeps the format digit
    // with its columns.
    const char* stored;
  };
  const Step pickA{Do::Choose, "cbName", "A"};
  const Row rows[] = {
      {"a letter typed into a column erases its digit", {pickA, {Do::Append, "eFName", "x"}}, "A", "11111", true,
       "Default=2957681 A=2111111 B=2222222"},
      {"selecting another host type stores the shown columns",
       {pickA, {Do::Append, "eFName", "x5"}, {Do::Choose, "cbName", "B"}}, "B", "222222", true,
       "Default=2957681 A=2511111 B=2222222"},
      {"delete with the first host type selected does nothing", {{Do::Press, "DeleteHostTypeButton"}}, "Default",
       "957681", false, "Default=0957681 A=2111111 B=2222222"},
      {"delete shows the first host type; the one moving up keeps its code",
       {pickA, {Do::Append, "eFName", "x"}, {Do::Press, "DeleteHostTypeButton"}}, "Default", "957681", false,
       "Default=2957681 B=2222222"},
      {"Add stores the shown columns and shows the new host type with the standard code",
       {{Do::Choose, "cbName", "B"}, {Do::Append, "eFName", "x3"}, {Do::Answer, "New Host Type", "C"},
        {Do::Press, "AddHostTypeButton"}},
       "C", "957681", true, "Default=2957681 A=2111111 B=2322222 C=0957681"},
      {"edit renames the selected host type",
       {pickA, {Do::Answer, "Edit Host Type", "Renamed"}, {Do::Press, "EditHostTypeButton"}}, "Renamed", "111111",
       true, "Default=2957681 Renamed=2111111 B=2222222"},
      {"edit on the first host type adds one",
       {{Do::Answer, "New Host Type", "D"}, {Do::Press, "EditHostTypeButton"}}, "D", "957681", true,
       "Default=2957681 A=2111111 B=2222222 D=0957681"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchDir dir;
    dir.Write("Answer.txt", kThreeHostTypes);
    TFFtpBase dialog(nullptr, Site("2957681", "Default"), dir.Path());
    dialog.show();
    dialogtest::Perform(dialog, row.steps);
    EXPECT_EQ(HostTypes(dialog)->currentText().toStdString(), row.shown);
    EXPECT_EQ(Columns(dialog), row.columns);
    EXPECT_EQ(ColumnsEnabled(dialog), row.columnsEnabled);
    EXPECT_EQ(Stored(dialog), row.stored);
  }
}

}  // namespace
