#pragma once
// A user's actions on a dialog written as data, so that a row of a table holds its short
// script: {Edit, "NameEdt", "Mirror"}, {Press, "SaveButton"}. Each step acts on the control
// of that object name, found anywhere in the dialog.
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <string_view>
#include <vector>

#include "support/widgets/DialogTesting.h"

namespace dialogtest {

enum class Do {
  Edit,         // replaces the line edit's text as a user does (a memo's at once)
  Append,       // types the text's keys at the end of the line edit
  Press,        // clicks the button
  Choose,       // picks the combo box's entry of this caption
  Key,          // the key sequence ("Return", "Shift+Ins") on the control
  Click,        // clicks the list's row
  DoubleClick,  // clicks the list's row, then double-clicks it
  Current,      // makes the list's row the current one, as the arrow keys do
  Answer,       // the next input dialog, captioned as `control`, is confirmed with the text
  Check,        // clicks the check box unless it is checked already
  Shows,        // the line edit or combo box shows the text
  Is,           // the control is in the state the text names (see IsInState)
};

struct Step {
  Do what;
  const char* control;
  const char* text = "";
  int row = 0;
};
using Steps = std::vector<Step>;

// Closes the next message box, leaving "title: text" in `message`.
inline void AnswerMessage(QString& message) {
  AnswerNextModal<QMessageBox>([&message](QMessageBox& box) {
    message = box.windowTitle() + ": " + box.text();
    box.accept();
  });
}

// "enabled", "disabled", "visible", "hidden"; for a line edit "masked" or "plain", "readonly"
// or "writable"; for a button "checked" or "unchecked"; for the field's background "white" or
// "silver" (how the dialogs mark a field that does not apply).
inline bool IsInState(const QWidget& control, std::string_view state) {
  const auto* edit = qobject_cast<const QLineEdit*>(&control);
  const QColor base = control.palette().color(QPalette::Base);
  if (state == "enabled" || state == "disabled") return control.isEnabled() == (state == "enabled");
  if (state == "visible" || state == "hidden") return control.isVisible() == (state == "visible");
  if (state == "masked" || state == "plain") return edit && (edit->echoMode() == QLineEdit::Password) == (state == "masked");
  if (state == "readonly" || state == "writable") return edit && edit->isReadOnly() == (state == "readonly");
  if (state == "checked" || state == "unchecked") {
    const auto* button = qobject_cast<const QAbstractButton*>(&control);
    return button && button->isChecked() == (state == "checked");
  }
  if (state == "white") return base == QColor(Qt::white);
  if (state == "silver") return base == QColor(0xC0, 0xC0, 0xC0);
  ADD_FAILURE() << "no state named " << state;
  return false;
}

inline void ClickRow(QListWidget* list, int row, bool twice) {
  const QPoint at = list->visualItemRect(list->item(row)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

inline QString ShownText(const QWidget& dialog, const char* control) {
  if (auto* combo = dialog.findChild<QComboBox*>(control)) return combo->currentText();
  return Find<QLineEdit>(dialog, control)->text();
}

inline void Perform(QWidget& dialog, const Steps& steps) {
  for (const Step& step : steps) {
    const QString text = QString::fromUtf8(step.text);
    switch (step.what) {
      case Do::Edit:
        if (auto* memo = dialog.findChild<QPlainTextEdit*>(step.control)) memo->setPlainText(text);
        else ReplaceText(Find<QLineEdit>(dialog, step.control), text);
        break;
      case Do::Append: {
        auto* edit = Find<QLineEdit>(dialog, step.control);
        edit->end(false);
        QTest::keyClicks(edit, text);
        break;
      }
      case Do::Press: Press(dialog, step.control); break;
      case Do::Choose: {
        auto* combo = Find<QComboBox>(dialog, step.control);
        ASSERT_GE(combo->findText(text), 0) << step.text;
        combo->setCurrentIndex(combo->findText(text));
        break;
      }
      case Do::Key: QTest::keySequence(Find<QWidget>(dialog, step.control), QKeySequence(text)); break;
      case Do::Click:
      case Do::DoubleClick:
        ClickRow(Find<QListWidget>(dialog, step.control), step.row, step.what == Do::DoubleClick);
        break;
      case Do::Current: Find<QListWidget>(dialog, step.control)->setCurrentRow(step.row); break;
      case Do::Answer: AnswerInput(text, step.control); break;
      case Do::Check:
        if (!Find<QCheckBox>(dialog, step.control)->isChecked()) Press(dialog, step.control);
        break;
      case Do::Is: EXPECT_TRUE(IsInState(*Find<QWidget>(dialog, step.control), step.text)) << step.control << " " << step.text; break;
      case Do::Shows: EXPECT_EQ(ShownText(dialog, step.control), text) << step.control; break;
    }
  }
}

}  // namespace dialogtest
