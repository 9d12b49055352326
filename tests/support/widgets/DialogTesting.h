#pragma once
// Helpers for driving the dialogs in widget tests: finding a control by its object name,
// clicking and typing, and answering a modal dialog that the code under test is about to open.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>
#include <QDialog>
#include <QLineEdit>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "dialogs/Ftpinput.h"

namespace dialogtest {

// The child of `root` with this object name; fails the test (and throws no further) when
// there is none, returning nullptr.
template <class T>
T* Find(const QObject& root, const char* name) {
  T* child = root.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << "no control named " << name;
  return child;
}

// Clicks the button named `name` in `root` with the mouse: a check box or radio button on
// its indicator (its caption may end well before the middle of a wide row), any other button
// in its middle.
inline void Press(const QObject& root, const char* name) {
  QAbstractButton* button = Find<QAbstractButton>(root, name);
  if (!button) return;
  const bool indicator = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
  const int middle = button->height() / 2;
  QTest::mouseClick(button, Qt::LeftButton, {}, indicator ? QPoint(middle, middle) : button->rect().center());
}

// Types `text` into `widget` one key at a time, as a keyboard would; unlike QTest::keyClicks
// it takes any characters, Cyrillic included.
inline void TypeText(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
  }
}

// Schedules `answer` for the next modal dialog of type T: the call runs from that dialog's
// own event loop and must close it. While another modal dialog is up (the one whose button
// opens T), it looks again on the next turn of the loop, a bounded number of times. A
// modal dialog of another kind that stays, or none at all, fails the test, as does a T that
// `answer` left open; such a dialog is rejected, so that no test can hang on it.
template <class T>
void AnswerNextModal(std::function<void(T&)> answer, int turnsLeft = 100) {
  QTimer::singleShot(0, [answer, turnsLeft] {
    QWidget* modal = QApplication::activeModalWidget();
    if (T* dialog = qobject_cast<T*>(modal)) {
      answer(*dialog);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "the answer left the " << T::staticMetaObject.className() << " open";
        dialog->reject();
      }
      return;
    }
    if (turnsLeft > 0) {
      AnswerNextModal<T>(answer, turnsLeft - 1);
      return;
    }
    ADD_FAILURE() << "expected a modal " << T::staticMetaObject.className() << ", found "
                  << (modal ? modal->metaObject()->className() : "none");
    if (auto* other = qobject_cast<QDialog*>(modal)) other->reject();
  });
}

// Replaces the text of `edit` as a user would: select all, erase, type.
inline void ReplaceText(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  TypeText(edit, text);
}

// Confirms the next input dialog with `text`, checking its caption when one is given.
inline void AnswerInput(const QString& text, const std::string& expectedTitle = {}) {
  AnswerNextModal<dialogs::TInputForm>([text, expectedTitle](dialogs::TInputForm& form) {
    if (!expectedTitle.empty()) EXPECT_EQ(form.windowTitle().toStdString(), expectedTitle);
    ReplaceText(Find<QLineEdit>(form, "ValueEdit"), text);
    Press(form, "OkButton");
  });
}

}  // namespace dialogtest
