#include "shell/TextQuery.h"

#include <QInputDialog>

#include "dialogs/QtText.h"

namespace shell {

bool TextQuery(QWidget* parent, const std::string& title, const std::string& prompt, std::string& value,
               bool masked) {
  QInputDialog query(parent);
  query.setObjectName("TextQuery");
  query.setInputMode(QInputDialog::TextInput);
  query.setWindowTitle(dialogs::ToQString(title));
  query.setLabelText(dialogs::ToQString(prompt));
  query.setTextEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
  // A masked field starts empty: a value handed in is never shown.
  query.setTextValue(masked ? QString() : dialogs::ToQString(value));
  if (query.exec() != QDialog::Accepted) return false;
  value = dialogs::ToBytes(query.textValue());
  return true;
}

}  // namespace shell
