#include "dialogs/Controls.h"

#include <QCheckBox>
#include <QColor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace dialogs {

QLineEdit* NewEdit(QWidget* parent, const char* name, int maxChars) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  if (maxChars > 0) edit->setMaxLength(maxChars);
  return edit;
}

QCheckBox* NewCheck(QWidget* parent, const char* name, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  return box;
}

QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

QDialogButtonBox* NewOkCancel(QDialog* dialog, const QString& ok, const char* okName, const QString& cancel,
                              const char* cancelName, const std::function<void()>& onOk) {
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* okButton = buttons->addButton(ok, QDialogButtonBox::AcceptRole);
  okButton->setObjectName(okName);
  okButton->setDefault(true);
  buttons->addButton(cancel, QDialogButtonBox::RejectRole)->setObjectName(cancelName);
  if (onOk) {
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, onOk);
  } else {
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  }
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

void MarkInUse(QWidget* control, bool inUse) {
  QPalette palette = control->palette();
  palette.setColor(QPalette::Base, inUse ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xC0, 0xC0, 0xC0));
  control->setPalette(palette);
}

}  // namespace dialogs
