#pragma once
// The program's one-line input dialog: a caption, a prompt above one edit field, the buttons
// "&Да" (confirm, also Enter) and "&Отмена" (cancel, also Escape), and on request the box
// "Маска для пароля". Checking that box masks the field for good: unchecking it does not show
// the text again, so a password once hidden stays hidden while the dialog is open.
#include <QDialog>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace dialogs {

class TInputForm : public QDialog {
  Q_OBJECT

 public:
  TInputForm(QWidget* parent, const std::string& title, const std::string& prompt,
             const std::string& value, bool showMask);

  // The field's text, cut to `maxLength` characters (no cut for 0 or less).
  std::string Value(int maxLength) const;

 private:
  QLabel* prompt_;
  QLineEdit* edit_;
  QCheckBox* mask_;
};

// Shows the dialog modally. True when confirmed, with `value` holding the text cut to
// `maxLength` characters (0 or less: no limit); cancelled, `value` is left alone.
bool InputDialog(QWidget* parent, const std::string& title, const std::string& prompt,
                 std::string& value, bool showMask, int maxLength);

}  // namespace dialogs
