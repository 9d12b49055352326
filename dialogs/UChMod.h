#pragma once
// The permissions dialog "Изменить атрибуты файла": the nine permission bits of a remote
// entry as check boxes (rows Owner, Group, Public; columns Read, Write, Execute) and the same
// mode as three octal digits in the edit "В ручную", kept in step both ways
// (dialogs/PermissionRules.h has the rules):
// - editing the mode sets the boxes; an emptied edit clears them all;
// - clicking a box rewrites the mode, always as three digits;
// - a column or row button sets its three boxes, and its next click clears them, and so on;
// - a typed character other than 0 to 7 erases the one before the caret.
#include <QDialog>
#include <array>
#include <string>

#include "dialogs/PermissionRules.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace dialogs {

class T_ChMod : public QDialog {
  Q_OBJECT

 public:
  T_ChMod(QWidget* parent, const std::string& permissions);

  // The mode text of the edit, e.g. "755".
  std::string ModeText() const;

 private:
  QPushButton* AddLineButton(const QString& caption, bool isColumn, int index);
  void OnModeEdited(const QString& text);
  void OnBoxToggled();
  void ToggleLine(bool isColumn, int index);

  std::array<QCheckBox*, 9> boxes_{};
  QLineEdit* mode_;
  std::array<bool, 3> columnSets_ = {true, true, true};  // what a column button's next click does
  std::array<bool, 3> rowSets_ = {true, true, true};
  bool permissionSync_ = false;  // while set, a box rewrites the mode
};

// Shows the dialog on a permission text such as "-rwxr-xr-x". True when the user confirmed
// with a valid mode; `mode` is then its digits read as a decimal number (755).
bool ShowChModDialog(QWidget* parent, const std::string& permissions, int& mode);

}  // namespace dialogs
