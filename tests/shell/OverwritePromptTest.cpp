#include "shell/UReWrite.h"

#include <QPushButton>
#include <QTest>

#include "support/shell/ShellTestSupport.h"
#include "support/widgets/DialogTesting.h"

namespace shell {
namespace {

using session::OverwriteAction;

constexpr const char* kTarget = "/home/u/Отчёт.txt";

// Runs the modal prompt on `path` while `drive` acts on it from the event loop.
OverwriteAction RunPrompt(std::string& path, const std::function<void(TFReWrite&)>& drive,
                          TFReWrite::PathQuery query = {}) {
  dialogtest::AnswerNextModal<TFReWrite>(drive);
  return OverwritePrompt(path, nullptr, std::move(query));
}

void Press(TFReWrite& prompt, OverwriteAction action) { prompt.Button(action)->click(); }

TEST(OverwritePromptTest, AnswersAndLeavesThePathAlone) {
  struct Row {
    const char* name;
    std::function<void(TFReWrite&)> drive;
    OverwriteAction answer;
  };
  std::vector<Row> rows = {
      {"Escape answers Resume", [](TFReWrite& p) { QTest::keyClick(&p, Qt::Key_Escape); }, OverwriteAction::Resume},
      {"closing the window answers Resume", [](TFReWrite& p) { p.close(); }, OverwriteAction::Resume},
  };
  for (const OverwriteAction button : {OverwriteAction::Resume, OverwriteAction::Overwrite, OverwriteAction::All,
                                       OverwriteAction::Skip, OverwriteAction::Cancel}) {
    rows.push_back({"its button", [button](TFReWrite& p) { Press(p, button); }, button});
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.name << " " << static_cast<int>(row.answer));
    std::string path = kTarget;
    EXPECT_EQ(RunPrompt(path, row.drive), row.answer);
    EXPECT_EQ(path, kTarget);
  }
}

TEST(OverwritePromptSaveAsTest, CancelledQueryKeepsThePromptOpenAndASecondSaveAsAsksAgain) {
  std::vector<std::string> proposed;
  int queries = 0;
  const auto query = [&](QWidget*, std::string& path) {
    proposed.push_back(path);
    if (++queries == 1) return false;
    path = "/home/u/Отчёт (2).txt";
    return true;
  };
  bool openAfterCancel = false;
  std::string path = kTarget;
  const OverwriteAction answer = RunPrompt(
      path,
      [&](TFReWrite& prompt) {
        Press(prompt, OverwriteAction::SaveAs);
        openAfterCancel = prompt.isVisible();
        Press(prompt, OverwriteAction::SaveAs);
      },
      query);
  EXPECT_TRUE(openAfterCancel);
  EXPECT_EQ(answer, OverwriteAction::SaveAs);
  EXPECT_EQ(proposed, (std::vector<std::string>{kTarget, kTarget}));
  EXPECT_EQ(path, "/home/u/Отчёт (2).txt");
}

TEST(OverwritePromptSaveAsTest, CancelledQueryThenAnotherButtonKeepsThePath) {
  std::string path = kTarget;
  const OverwriteAction answer = RunPrompt(
      path,
      [](TFReWrite& prompt) {
        Press(prompt, OverwriteAction::SaveAs);
        Press(prompt, OverwriteAction::Skip);
      },
      [](QWidget*, std::string& entered) {
        entered = "/elsewhere";
        return false;
      });
  EXPECT_EQ(answer, OverwriteAction::Skip);
  EXPECT_EQ(path, kTarget);
}

}  // namespace
}  // namespace shell
