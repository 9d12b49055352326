// The session's questions as the user sees them: the standard query, the masked password
// query, the question and error boxes.
#include "shell/QtPrompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <functional>

#include "support/widgets/DialogTesting.h"
#include "support/shell/ShellTestSupport.h"

namespace shell {
namespace {

struct PromptCase {
  const char* what;
  std::function<bool(QtPrompts&, std::string&)> ask;  // starts with the value "before"
  std::function<void(QDialog&)> answer;               // the user, in the dialog
  bool confirmed;
  std::string value;
};

class QtPromptsTest : public testing::TestWithParam<PromptCase> {};

TEST_P(QtPromptsTest, AsksTheUser) {
  QtPrompts prompts("/nonexistent");
  std::string value = "before";
  const auto answer = GetParam().answer;
  dialogtest::AnswerNextModal<QDialog>([answer](QDialog& dialog) { answer(dialog); });
  EXPECT_EQ(GetParam().ask(prompts, value), GetParam().confirmed);
  EXPECT_EQ(value, GetParam().value);
}

QLineEdit* Field(QDialog& dialog) { return dialog.findChild<QLineEdit*>(); }

void Type(QDialog& dialog, const char* text) { dialogtest::ReplaceText(Field(dialog), QString::fromUtf8(text)); }

INSTANTIATE_TEST_SUITE_P(
    Questions, QtPromptsTest,
    testing::Values(
        PromptCase{"the query shows the value and gives back what is typed",
                   [](QtPrompts& p, std::string& v) { return p.InputQuery("Change Directory", "", v); },
                   [](QDialog& d) {
                     EXPECT_EQ(d.windowTitle(), "Change Directory");
                     EXPECT_EQ(Field(d)->text(), "before");
                     Type(d, "pub/Отчёты");
                     d.accept();
                   },
                   true, "pub/Отчёты"},
        PromptCase{"a cancelled query leaves the value",
                   [](QtPrompts& p, std::string& v) { return p.InputQuery("Change Directory", "", v); },
                   [](QDialog& d) {
                     Type(d, "elsewhere");
                     d.reject();
                   },
                   false, "before"},
        PromptCase{"the password query never shows what is typed, nor a value it was given",
                   [](QtPrompts& p, std::string& v) { return p.PasswordQuery("Enter password", "Password:", v); },
                   [](QDialog& d) {
                     EXPECT_EQ(Field(d)->echoMode(), QLineEdit::Password);
                     EXPECT_TRUE(Field(d)->text().isEmpty());
                     Type(d, "s3cret");
                     d.accept();
                   },
                   true, "s3cret"},
        PromptCase{"yes confirms",
                   [](QtPrompts& p, std::string&) { return p.Confirm("Attention", "Do you wish to remove 1 file(s)"); },
                   [](QDialog& d) {
                     auto& box = static_cast<QMessageBox&>(d);
                     EXPECT_EQ(box.text(), "Do you wish to remove 1 file(s)");
                     box.button(QMessageBox::Yes)->click();
                   },
                   true, "before"},
        PromptCase{"closing the question answers no",
                   [](QtPrompts& p, std::string&) { return p.Confirm("Attention", "Do you wish to remove 1 file(s)"); },
                   [](QDialog& d) { d.reject(); }, false, "before"},
        PromptCase{"an error is shown under the program's title",
                   [](QtPrompts& p, std::string&) {
                     p.ReportError("/tmp/x: Permission denied");
                     return false;
                   },
                   [](QDialog& d) {
                     auto& box = static_cast<QMessageBox&>(d);
                     EXPECT_EQ(box.windowTitle(), QApplication::applicationDisplayName());
                     EXPECT_EQ(box.text(), "/tmp/x: Permission denied");
                     EXPECT_EQ(box.icon(), QMessageBox::Critical);
                     box.accept();
                   },
                   false, "before"}),
    CaseName{});

}  // namespace
}  // namespace shell
