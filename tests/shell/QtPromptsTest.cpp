// The session's questions as the user sees them: the standard query, the masked password
// query, the question and error boxes.
#include "shell/QtPrompts.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>

#include "support/widgets/DialogTesting.h"
#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

enum class Ask { Query, Password, Confirm, Error };

// Asks as the session does, the value starting as "before".
bool AskWith(QtPrompts& prompts, Ask ask, std::string& value) {
  switch (ask) {
    case Ask::Query: return prompts.InputQuery("Change Directory", "", value);
    case Ask::Password: return prompts.PasswordQuery("Enter password", "Password:", value);
    case Ask::Confirm: return prompts.Confirm("Attention", "Do you wish to remove 1 file(s)");
    case Ask::Error: prompts.ReportError("/tmp/x: Permission denied"); return false;
  }
  return false;
}

TEST(QtPromptsTest, AsksTheUser) {
  struct Row {
    const char* name;
    Ask ask;
    QString title;  // empty: not checked
    QString shown;  // the field's text or the box's text
    const char* typed;  // nullptr: nothing typed
    bool accept;
    bool confirmed;
    std::string value;
  };
  const Row rows[] = {
      {"the query shows the value and gives back what is typed", Ask::Query, "Change Directory", "before",
       "pub/Отчёты", true, true, "pub/Отчёты"},
      {"a cancelled query leaves the value", Ask::Query, {}, "before", "elsewhere", false, false, "before"},
      {"the password query never shows what is typed, nor a value it was given", Ask::Password, {}, "", "s3cret",
       true, true, "s3cret"},
      {"yes confirms", Ask::Confirm, {}, "Do you wish to remove 1 file(s)", nullptr, true, true, "before"},
      {"closing the question answers no", Ask::Confirm, {}, "Do you wish to remove 1 file(s)", nullptr, false, false,
       "before"},
      {"an error is shown under the program's title", Ask::Error, QApplication::applicationDisplayName(),
       "/tmp/x: Permission denied", nullptr, true, false, "before"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QtPrompts prompts("/nonexistent");
    std::string value = "before";
    dialogtest::AnswerNextModal<QDialog>([&row](QDialog& dialog) {
      if (!row.title.isEmpty()) EXPECT_EQ(dialog.windowTitle(), row.title);
      auto* field = dialog.findChild<QLineEdit*>();
      auto* box = qobject_cast<QMessageBox*>(&dialog);
      EXPECT_EQ(box ? box->text() : field->text(), row.shown);
      if (row.ask == Ask::Password) EXPECT_EQ(field->echoMode(), QLineEdit::Password);
      if (row.ask == Ask::Error) EXPECT_EQ(box->icon(), QMessageBox::Critical);
      if (row.typed) dialogtest::ReplaceText(field, QString::fromUtf8(row.typed));
      if (!row.accept) dialog.reject();
      else if (box && row.ask == Ask::Confirm) box->button(QMessageBox::Yes)->click();
      else dialog.accept();
    });
    EXPECT_EQ(AskWith(prompts, row.ask, value), row.confirmed);
    EXPECT_EQ(value, row.value);
  }
}

}  // namespace
}  // namespace shell
