#pragma once
// An edit field that holds only certain digits, as the permissions dialog's mode and the site
// manager's column fields do. A typed printable character that is not allowed is taken as a
// backspace: it erases the character before the caret (or the selection) instead of being
// inserted. Control keys (arrows, Backspace, Ctrl+C) work as usual, and pasted text that
// holds anything but the allowed digits is refused.
#include <QObject>
#include <QString>

class QLineEdit;

namespace dialogs {

class DigitField : public QObject {
  Q_OBJECT

 public:
  // Filters `edit`, which owns the filter; `allowed` lists the digits, e.g. "01234567".
  static void Attach(QLineEdit* edit, const QString& allowed);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  DigitField(QLineEdit* edit, const QString& allowed);

  QLineEdit* edit_;
  QString allowed_;
};

}  // namespace dialogs
