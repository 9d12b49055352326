#pragma once
// The custom command dialog "Дополнительные команды": the stored command names in a list,
// the selected entry's name ("Название") and command line ("FTP Команда") in two edits that
// are writable only while an entry is selected, and the buttons "Добавить", "Удалить",
// "Выбрать" and "Закрыть".
//
// The dialog takes the keys Enter, Escape, Insert and Delete before any of its controls,
// also while an edit has the focus: Insert adds an empty entry, Delete removes the selected
// one (not a character), Enter picks the selected entry or, with none selected, closes like
// Escape. A double click on an entry picks it too. With Shift or Ctrl held, the keys keep
// their usual meaning in an edit (Shift+Insert pastes, Shift+Delete cuts).
//
// A hand-edited command file may hold fewer command lines than names: a name without a line
// shows and picks an empty line, and gets one as soon as it is edited.
#include <QDialog>
#include <string>
#include <vector>

#include "settings/commands.h"

class QKeyEvent;
class QLineEdit;
class QListWidget;

namespace dialogs {

class T_FCmd : public QDialog {
  Q_OBJECT

 public:
  T_FCmd(QWidget* parent, const CustomCommands& commands);

  // The lists as edited so far.
  CustomCommands Commands() const;

  // The command line of the selected entry when the dialog ended by picking one, else "".
  std::string PickedCommand() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The form's own keys; false for any other key.
  bool HandleKey(const QKeyEvent& event);
  int Selected() const;
  std::string& LineOf(int entry);
  void ShowSelected();
  void AddEntry();
  void DeleteEntry();
  void Pick();

  QListWidget* names_;
  QLineEdit* name_;
  QLineEdit* line_;
  std::vector<std::string> lines_;  // the dialog's copy of the command lines
};

// Shows the dialog on the stored commands. Edits stay in `commands` however it ends;
// gives the picked command line, or "".
std::string ShowCommandDialog(QWidget* parent, CustomCommands& commands);

}  // namespace dialogs
