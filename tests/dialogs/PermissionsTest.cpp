// The permissions dialog: its rules alone, then the dialog driven by clicks and keys.
#include <QCheckBox>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "dialogs/PermissionRules.h"
#include "dialogs/UChMod.h"
#include "support/shell/DialogSteps.h"

namespace {

using dialogtest::AnswerNextModal;
using dialogtest::Find;
using dialogtest::Do;
using dialogtest::Press;
using dialogtest::Step;
using dialogtest::Steps;

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

TEST(PermissionsDialog, BoxesAndModeStayInStep) {
  struct Row {
    const char* name;
    const char* permissions;
    Steps steps;
    const char* mode;
    const char* bits;
  };
  const Step read{Do::Press, "ReadButton"}, owner{Do::Press, "OwnerButton"};
  const Row rows[] = {
      {"filled from -rwxr-xr-x", "-rwxr-xr-x", {}, "755", "111101101"},
      {"an empty mode clears every box", "d", {}, "", "000000000"},
      {"a typed 8 erases the digit before the caret", "-rwxr-xr-x", {{Do::Append, "Edit1", "8"}}, "75", "000111101"},
      {"typing a mode sets the boxes", "d", {{Do::Append, "Edit1", "640"}}, "640", "110100000"},
      {"erasing the whole mode clears the boxes", "-rwxr-xr-x", {{Do::Edit, "Edit1", ""}}, "", "000000000"},
      {"Read on an empty mode checks the column", "----------", {read}, "444", "100100100"},
      {"Read a second time clears the column", "----------", {read, read}, "000", "000000000"},
      {"a row button sets the row", "----------", {owner}, "700", "111000000"},
      {"row and column buttons keep their own turns", "----------", {owner, {Do::Press, "ExecuteButton"}, owner}, "011",
       "000001001"},
      {"a box click shows three digits", "-------r-x", {{Do::Press, "cb1"}}, "405", "100000101"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    dialogs::T_ChMod dialog(nullptr, row.permissions);
    dialog.show();
    dialogtest::Perform(dialog, row.steps);
    EXPECT_EQ(dialog.ModeText(), row.mode);
    EXPECT_EQ(ShownBits(dialog), row.bits);
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
