#pragma once
// Which of the local pane's commands are enabled, recomputed after every selection change in
// the pane and every change of its directory. The rules are the program's own, quirks
// included: the "Переименовать" button is always enabled (the command then does nothing
// without a selection, and renames directories too), the main menu's "Удалить" wants a
// selected file although the pane's other delete commands also take directories and the
// pane's own directory.
//
// The shell adds one rule of its own: on entering the pane the upload entries are enabled
// when the pane has any item, and on leaving it they are disabled.
#include "listing/PaneModel.h"

namespace local {

struct LocalCommands {
  // The first selected item is a file: the pop-up's "Просмотр в виде текста" and
  // "Переименовать", the main menu's "посмотреть в виде текста", "Удалить" and
  // "Переименовать", and the buttons "Просмотр" and "Запустить".
  bool fileSelected = false;
  // The "Переименовать" button.
  bool renameButton = true;
  // The pop-up's "Удалить" and the "Удалить" button: something is selected, or else the
  // pane is not at the top of the tree (its directory itself is then deleted).
  bool deleteEntries = false;
  // "Загрузить выбранные файлы на FTP сервер" and "Загрузить выбранные файлы": something is
  // selected and the remote pane shows a server directory, not the stored sites.
  bool uploadEntries = false;

  bool operator==(const LocalCommands&) const = default;
};

LocalCommands LocalCommandsFor(const listing::PaneModel& pane, bool atTreeTop,
                               bool serverDirectoryShown);

}  // namespace local
