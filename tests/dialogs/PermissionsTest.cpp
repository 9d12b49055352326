// The permissions dialog: its rules alone, then the dialog driven by clicks and keys.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "dialogs/PermissionRules.h"
#include "dialogs/UChMod.h"
#include "support/widgets/DialogTesting.h"

namespace {

using dialogtest::AnswerNextModal;
using dialogtest::Find;
using dialogtest::Press;

TEST(PermissionRules, ModeFromPermissionText) {
  struct Row {
    const char* name;
    const char* permissions;
    const char* mode;
  };
  const Row rows[] = {
      {"a file, 755", "-rwxr-xr-x", "755"},
      {"a directory, owner only", "drw-------", "600"},
      {"upper case counts", "-RWXr--r--", "744"},
      {"a letter counts only in its own position", "-xwr------", "200"},
      {"only public bits give one digit", "-------r-x", "5"},
      {"no bit gives an empty mode", "----------", ""},
      {"one character gives an empty mode", "d", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(dialogs::ModeTextFromPermissions(row.permissions), row.mode) << row.name;
}

// Text the edit cannot take from the keyboard may still come from elsewhere (a paste).
TEST(PermissionRules, ModeTextThatIsNoModeChangesNothing) {
  for (const char* text : {"758", "rwx", "7777", "-1", " 7"}) {
    EXPECT_EQ(dialogs::BoxesFromModeText(text), std::nullopt) << text;
    EXPECT_EQ(dialogs::ModeFromText(text), std::nullopt) << text;
  }
}

std::string ShownBits(const dialogs::T_ChMod& dialog) {
  std::string bits;
  for (int i = 1; i <= 9; ++i) {
    QCheckBox* box = Find<QCheckBox>(dialog, QString("cb%1").arg(i).toLatin1().constData());
    bits += box && box->isChecked() ? '1' : '0';
  }
  return bits;
}

void Type(const dialogs::T_ChMod& dialog, const QString& keys) {
  if (auto* edit = Find<QLineEdit>(dialog, "Edit1")) {
    edit->deselect();
    edit->end(false);
    QTest::keyClicks(edit, keys);
  }
}

TEST(PermissionsDialog, BoxesAndModeStayInStep) {
  struct Row {
    const char* name;
    const char* permissions;
    std::function<void(const dialogs::T_ChMod&)> act;
    const char* mode;
    const char* bits;
  };
  const auto nothing = [](const dialogs::T_ChMod&) {};
  const Row rows[] = {
      {"filled from -rwxr-xr-x", "-rwxr-xr-x", nothing, "755", "111101101"},
      {"an empty mode clears every box", "d", nothing, "", "000000000"},
      {"a typed 8 erases the digit before the caret", "-rwxr-xr-x", [](auto& d) { Type(d, "8"); }, "75",
       "000111101"},
      {"typing a mode sets the boxes", "d", [](auto& d) { Type(d, "640"); }, "640", "110100000"},
      {"erasing the whole mode clears the boxes", "-rwxr-xr-x",
       [](auto& d) {
         auto* edit = Find<QLineEdit>(d, "Edit1");
         edit->selectAll();
         QTest::keyClick(edit, Qt::Key_Backspace);
       },
       "", "000000000"},
      {"Read on an empty mode checks the column", "----------", [](auto& d) { Press(d, "ReadButton"); }, "444",
       "100100100"},
      {"Read a second time clears the column", "----------",
       [](auto& d) {
         Press(d, "ReadButton");
         Press(d, "ReadButton");
       },
       "000", "000000000"},
      {"a row button sets the row", "----------", [](auto& d) { Press(d, "OwnerButton"); }, "700", "111000000"},
      {"row and column buttons keep their own turns", "----------",
       [](auto& d) {
         Press(d, "OwnerButton");
         Press(d, "ExecuteButton");
         Press(d, "OwnerButton");
       },
       "011", "000001001"},
      {"a box click shows three digits", "-------r-x", [](auto& d) { Press(d, "cb1"); }, "405", "100000101"},
  };
  for (const Row& row : rows) {
    dialogs::T_ChMod dialog(nullptr, row.permissions);
    dialog.show();
    row.act(dialog);
    EXPECT_EQ(dialog.ModeText(), row.mode) << row.name;
    EXPECT_EQ(ShownBits(dialog), row.bits) << row.name;
  }
}

TEST(PermissionsDialog, ResultOfTheButtons) {
  struct Row {
    const char* name;
    const char* permissions;
    const char* button;
    bool confirmed;
    int mode;  // what `mode` holds afterwards; -1 stays untouched
  };
  const Row rows[] = {
      {"Да gives the mode as a decimal number", "-rwxr-xr-x", "OkButton", true, 755},
      {"Да on an empty mode gives nothing", "----------", "OkButton", false, -1},
      {"Отмена gives nothing", "-rwxr-xr-x", "CancelButton", false, -1},
  };
  for (const Row& row : rows) {
    const char* button = row.button;
    AnswerNextModal<dialogs::T_ChMod>([button](dialogs::T_ChMod& dialog) { Press(dialog, button); });
    int mode = -1;
    EXPECT_EQ(dialogs::ShowChModDialog(nullptr, row.permissions, mode), row.confirmed) << row.name;
    EXPECT_EQ(mode, row.mode) << row.name;
  }
}

}  // namespace
