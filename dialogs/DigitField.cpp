#include "dialogs/DigitField.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace dialogs {

void DigitField::Attach(QLineEdit* edit, const QString& allowed) {
  edit->installEventFilter(new DigitField(edit, allowed));
}

DigitField::DigitField(QLineEdit* edit, const QString& allowed)
    : QObject(edit), edit_(edit), allowed_(allowed) {
  const QString pattern = "[" + QRegularExpression::escape(allowed) + "]*";
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
}

bool DigitField::eventFilter(QObject* watched, QEvent* event) {
  if (watched != edit_ || event->type() != QEvent::KeyPress) return false;
  const QString typed = static_cast<QKeyEvent*>(event)->text();
  if (typed.size() != 1 || typed[0].unicode() < 32 || typed[0].unicode() == 127 ||
      allowed_.contains(typed[0])) {
    return false;
  }
  if (!edit_->isReadOnly()) edit_->backspace();
  return true;
}

}  // namespace dialogs
