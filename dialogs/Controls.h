#pragma once
// Small factories for the dialogs' controls. Each control gets an object name, by which the
// tests find it. Buttons never act as the dialog's default: Enter belongs to its main button.
#include <QString>
#include <functional>

class QCheckBox;
class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace dialogs {

// `maxChars` 0 keeps the edit's own limit.
QLineEdit* NewEdit(QWidget* parent, const char* name, int maxChars = 0);
QCheckBox* NewCheck(QWidget* parent, const char* name, const QString& caption);
QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption);

// The dialog's closing buttons: `ok`, its default button (Enter), runs `onOk` (by default
// it accepts the dialog), and `cancel` rejects it (also Escape).
QDialogButtonBox* NewOkCancel(QDialog* dialog, const QString& ok, const char* okName, const QString& cancel,
                              const char* cancelName, const std::function<void()>& onOk = {});

// Shows an edit or a list as in use (white) or not (silver); it stays usable either way.
void MarkInUse(QWidget* control, bool inUse);

}  // namespace dialogs
