// The custom command dialog driven by its keys, buttons and clicks through ShowCommandDialog.
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "dialogs/custom.h"
#include "support/widgets/DialogTesting.h"

namespace {

using dialogtest::AnswerNextModal;
using dialogtest::Find;
using dialogtest::Press;

QListWidget* List(const dialogs::T_FCmd& dialog) { return Find<QListWidget>(dialog, "lbCmd"); }

void SelectRow(const dialogs::T_FCmd& dialog, int row) {
  QListWidget* list = List(dialog);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

void Key(const dialogs::T_FCmd& dialog, const char* control, Qt::Key key) {
  QTest::keyClick(Find<QWidget>(dialog, control), key);
}

void TypeInto(const dialogs::T_FCmd& dialog, const char* edit, const QString& text) {
  QTest::keyClicks(Find<QLineEdit>(dialog, edit), text);
}

TEST(CommandDialog, KeysButtonsAndTheirResults) {
  struct Row {
    const char* name;
    CustomCommands before;
    std::function<void(dialogs::T_FCmd&)> act;  // must end the dialog
    std::string picked;
    CustomCommands after;
  };
  const CustomCommands two{{"Help", "Chmod"}, {"SITE HELP", "SITE CHMOD 644 a"}};
  const Row rows[] = {
      {"Enter with an entry selected picks its line", two,
       [](auto& d) {
         SelectRow(d, 1);
         Key(d, "lbCmd", Qt::Key_Return);
       },
       "SITE CHMOD 644 a", two},
      {"Enter with nothing selected closes without a command", two,
       [](auto& d) { Key(d, "lbCmd", Qt::Key_Return); }, "", two},
      {"Escape closes without a command and keeps the edits", two,
       [](auto& d) {
         SelectRow(d, 0);
         TypeInto(d, "eAl", "!");
         Key(d, "eAl", Qt::Key_Escape);
       },
       "", {{"Help!", "Chmod"}, two.CommandLines}},
      {"Delete while typing a command removes the entry, not a character", two,
       [](auto& d) {
         SelectRow(d, 0);
         TypeInto(d, "eCmd", "x");
         Key(d, "eCmd", Qt::Key_Delete);
         Key(d, "lbCmd", Qt::Key_Return);  // nothing is selected any more
       },
       "", {{"Chmod"}, {"SITE CHMOD 644 a"}}},
      {"Insert adds an entry that the edits fill and Enter picks", two,
       [](auto& d) {
         Key(d, "eAl", Qt::Key_Insert);
         TypeInto(d, "eAl", "Noop");
         TypeInto(d, "eCmd", "NOOP");
         Key(d, "eCmd", Qt::Key_Return);
       },
       "NOOP", {{"Help", "Chmod", "Noop"}, {"SITE HELP", "SITE CHMOD 644 a", "NOOP"}}},
      {"Shift+Insert in an edit is the edit's paste, not a new entry", two,
       [](auto& d) {
         SelectRow(d, 0);
         QTest::keyClick(Find<QWidget>(d, "eCmd"), Qt::Key_Insert, Qt::ShiftModifier);
         Key(d, "eCmd", Qt::Key_Escape);
       },
       "", two},
      {"an entry added and closed with Закрыть stays, empty", two,
       [](auto& d) {
         Press(d, "AddButton");
         Press(d, "CloseButton");
       },
       "", {{"Help", "Chmod", ""}, {"SITE HELP", "SITE CHMOD 644 a", ""}}},
      {"Выбрать picks the selected entry", two,
       [](auto& d) {
         SelectRow(d, 0);
         Press(d, "PickButton");
       },
       "SITE HELP", two},
      {"a double click picks the entry", two,
       [](auto& d) {
         QListWidget* list = List(d);
         const QPoint at = list->visualItemRect(list->item(1)).center();
         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
         QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
       },
       "SITE CHMOD 644 a", two},
      {"a name without a line picks an empty line", {{"a", "b"}, {"LIST"}},
       [](auto& d) {
         SelectRow(d, 1);
         Key(d, "lbCmd", Qt::Key_Return);
       },
       "", {{"a", "b"}, {"LIST"}}},
      {"a name without a line gets one when edited", {{"a", "b"}, {"LIST"}},
       [](auto& d) {
         SelectRow(d, 1);
         TypeInto(d, "eCmd", "PWD");
         Key(d, "eCmd", Qt::Key_Return);
       },
       "PWD", {{"a", "b"}, {"LIST", "PWD"}}},
      {"an entry added after names without lines keeps its own line", {{"a", "b"}, {}},
       [](auto& d) {
         Key(d, "lbCmd", Qt::Key_Insert);
         TypeInto(d, "eCmd", "PWD");
         Press(d, "PickButton");
       },
       "PWD", {{"a", "b", ""}, {"", "", "PWD"}}},
  };
  for (const Row& row : rows) {
    CustomCommands commands = row.before;
    AnswerNextModal<dialogs::T_FCmd>(row.act);
    EXPECT_EQ(dialogs::ShowCommandDialog(nullptr, commands), row.picked) << row.name;
    EXPECT_EQ(commands.CommandAliases, row.after.CommandAliases) << row.name;
    EXPECT_EQ(commands.CommandLines, row.after.CommandLines) << row.name;
  }
}

TEST(CommandDialog, EditsAreWritableOnlyWithAnEntrySelected) {
  dialogs::T_FCmd dialog(nullptr, {{"Help"}, {"SITE HELP"}});
  dialog.show();
  auto* name = Find<QLineEdit>(dialog, "eAl");
  auto* line = Find<QLineEdit>(dialog, "eCmd");
  EXPECT_TRUE(name->isReadOnly() && line->isReadOnly());
  SelectRow(dialog, 0);
  EXPECT_FALSE(name->isReadOnly() || line->isReadOnly());
  EXPECT_EQ(line->text(), "SITE HELP");
  Key(dialog, "lbCmd", Qt::Key_Delete);
  EXPECT_TRUE(name->isReadOnly() && line->isReadOnly());
  EXPECT_TRUE(line->text().isEmpty());
}

}  // namespace
