// The custom command dialog driven by its keys, buttons and clicks through ShowCommandDialog.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "dialogs/custom.h"
#include "support/shell/DialogSteps.h"

namespace {

using dialogtest::AnswerNextModal;
using dialogtest::Do;
using dialogtest::Step;
using dialogtest::Steps;

TEST(CommandDialog, KeysButtonsAndTheirResults) {
  struct Row {
    const char* name;
    CustomCommands before;
    Steps steps;  // must end the dialog
    std::string picked;
    CustomCommands after;
  };
  const CustomCommands two{{"Help", "Chmod"}, {"SITE HELP", "SITE CHMOD 644 a"}};
  const CustomCommands nameWithoutLine{{"a", "b"}, {"LIST"}};
  const Step enter{Do::Key, "lbCmd", "Return"};
  const Row rows[] = {
      {"Enter with an entry selected picks its line", two, {{Do::Click, "lbCmd", "", 1}, enter}, "SITE CHMOD 644 a",
       two},
      {"Enter with nothing selected closes without a command", two, {enter}, "", two},
      {"Escape closes without a command and keeps the edits", two,
       {{Do::Click, "lbCmd"}, {Do::Append, "eAl", "!"}, {Do::Key, "eAl", "Esc"}}, "",
       {{"Help!", "Chmod"}, two.CommandLines}},
      {"Delete while typing a command removes the entry, not a character; nothing stays selected", two,
       {{Do::Click, "lbCmd"}, {Do::Append, "eCmd", "x"}, {Do::Key, "eCmd", "Del"}, enter}, "",
       {{"Chmod"}, {"SITE CHMOD 644 a"}}},
      {"Insert adds an entry that the edits fill and Enter picks", two,
       {{Do::Key, "eAl", "Ins"}, {Do::Append, "eAl", "Noop"}, {Do::Append, "eCmd", "NOOP"}, {Do::Key, "eCmd", "Return"}},
       "NOOP", {{"Help", "Chmod", "Noop"}, {"SITE HELP", "SITE CHMOD 644 a", "NOOP"}}},
      {"Shift+Insert in an edit is the edit's paste, not a new entry", two,
       {{Do::Click, "lbCmd"}, {Do::Key, "eCmd", "Shift+Ins"}, {Do::Key, "eCmd", "Esc"}}, "", two},
      {"an entry added and closed with Закрыть stays, empty", two, {{Do::Press, "AddButton"}, {Do::Press, "CloseButton"}},
       "", {{"Help", "Chmod", ""}, {"SITE HELP", "SITE CHMOD 644 a", ""}}},
      {"Выбрать picks the selected entry", two, {{Do::Click, "lbCmd"}, {Do::Press, "PickButton"}}, "SITE HELP", two},
      {"a double click picks the entry", two, {{Do::DoubleClick, "lbCmd", "", 1}}, "SITE CHMOD 644 a", two},
      {"a name without a line picks an empty line", nameWithoutLine, {{Do::Click, "lbCmd", "", 1}, enter}, "",
       nameWithoutLine},
      {"a name without a line gets one when edited", nameWithoutLine,
       {{Do::Click, "lbCmd", "", 1}, {Do::Append, "eCmd", "PWD"}, {Do::Key, "eCmd", "Return"}}, "PWD",
       {{"a", "b"}, {"LIST", "PWD"}}},
      {"an entry added after names without lines keeps its own line", {{"a", "b"}, {}},
       {{Do::Key, "lbCmd", "Ins"}, {Do::Append, "eCmd", "PWD"}, {Do::Press, "PickButton"}}, "PWD",
       {{"a", "b", ""}, {"", "", "PWD"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CustomCommands commands = row.before;
    AnswerNextModal<dialogs::T_FCmd>([&row](dialogs::T_FCmd& d) { dialogtest::Perform(d, row.steps); });
    EXPECT_EQ(dialogs::ShowCommandDialog(nullptr, commands), row.picked);
    EXPECT_EQ(commands.CommandAliases, row.after.CommandAliases);
    EXPECT_EQ(commands.CommandLines, row.after.CommandLines);
  }
}

TEST(CommandDialog, EditsAreWritableOnlyWithAnEntrySelected) {
  dialogs::T_FCmd dialog(nullptr, {{"Help"}, {"SITE HELP"}});
  dialog.show();
  dialogtest::Perform(dialog, {{Do::Is, "eAl", "readonly"}, {Do::Is, "eCmd", "readonly"}, {Do::Click, "lbCmd"},
                               {Do::Is, "eAl", "writable"}, {Do::Is, "eCmd", "writable"}, {Do::Shows, "eCmd", "SITE HELP"},
                               {Do::Key, "lbCmd", "Del"}, {Do::Is, "eAl", "readonly"}, {Do::Is, "eCmd", "readonly"},
                               {Do::Shows, "eCmd", ""}});
}

}  // namespace
