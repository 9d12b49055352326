// The input dialog, the help window and the About box.
#include <QLabel>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>
#include <string>

#include "dialogs/AboutBox.h"
#include "dialogs/Ftpinput.h"
#include "dialogs/HelpWindow.h"
#include "support/shell/DialogSteps.h"

namespace {

using dialogs::TInputForm;
using dialogtest::AnswerNextModal;
using dialogtest::Do;
using dialogtest::Find;
using dialogtest::Press;
using dialogtest::Steps;

TEST(InputDialog, AnswersAndTheValueTheyLeave) {
  struct Row {
    const char* name;
    int maxLength;
    Steps steps;  // must end the dialog
    bool confirmed;
    std::string value;  // starts as "old"
  };
  const auto typeThen = [](const char* text, const char* key) {
    return Steps{{Do::Edit, "ValueEdit", text}, {Do::Key, "ValueEdit", key}};
  };
  const Row rows[] = {
      {"Enter confirms the typed text", 255, typeThen("new", "Return"), true, "new"},
      {"a longer text is cut to the limit in characters, not bytes", 3, typeThen("абвгд", "Return"), true, "абв"},
      {"no limit keeps the whole text", 0, typeThen("абвгд", "Return"), true, "абвгд"},
      {"Escape cancels and keeps the old value", 255, typeThen("new", "Esc"), false, "old"},
      {"Отмена cancels", 255, {{Do::Press, "CancelButton"}}, false, "old"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string value = "old";
    AnswerNextModal<TInputForm>([&row](TInputForm& form) { dialogtest::Perform(form, row.steps); });
    EXPECT_EQ(dialogs::InputDialog(nullptr, "Title", "Prompt", value, false, row.maxLength), row.confirmed);
    EXPECT_EQ(value, row.value);
  }
}

TEST(InputDialog, MaskOnceSetStaysSet) {
  TInputForm plain(nullptr, "Title", "Prompt", "", false);
  plain.show();
  dialogtest::Perform(plain, {{Do::Is, "MaskCheck", "hidden"}});
  TInputForm form(nullptr, "Title", "Prompt", "secret", true);
  form.show();
  dialogtest::Perform(form, {{Do::Is, "MaskCheck", "visible"}, {Do::Is, "ValueEdit", "plain"}, {Do::Press, "MaskCheck"},
                             {Do::Is, "ValueEdit", "masked"}, {Do::Press, "MaskCheck"}, {Do::Is, "MaskCheck", "unchecked"},
                             {Do::Is, "ValueEdit", "masked"}});
}

TEST(HelpWindow, OpensAtTheStartAndFollowsLinksFromTheKeyboard) {
  dialogs::THelpWindow* help = dialogs::ShowHelp(nullptr);
  ASSERT_NE(help, nullptr);
  auto* text = Find<QTextBrowser>(*help, "HelpText");
  EXPECT_TRUE(text->toPlainText().contains("Клавиши"));
  EXPECT_TRUE(text->toPlainText().contains("Ctrl+A"));

  QTest::keyClick(text, Qt::Key_Tab);  // the first link: the section on the window
  QTest::keyClick(text, Qt::Key_Return);
  EXPECT_EQ(text->source().fragment(), "window");
  Press(*help, "BackButton");
  EXPECT_TRUE(text->source().fragment().isEmpty());

  EXPECT_EQ(dialogs::ShowHelp(nullptr), help);  // asked again, the same window
  help->close();
}

TEST(AboutBox, NamesTheProgramItsVersionLicenceAndQt) {
  dialogs::TAboutBox about(nullptr);
  const auto line = [&about](const char* name) { return Find<QLabel>(about, name)->text().toStdString(); };
  EXPECT_EQ(line("ProgramName"), "TOVIK FTP");
  EXPECT_EQ(line("Version"), std::string("marlo, версия ") + MARLO_VERSION);
  EXPECT_FALSE(line("Licence").empty());
  EXPECT_EQ(line("QtVersion"), std::string("Qt ") + qVersion());
}

}  // namespace
