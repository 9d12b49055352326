#pragma once
// The main window's command map: every button, main menu entry and popup entry with the
// command it runs, the surface it sits on (whose enabled state it shows), and the tag that
// picks the command's variant (the entry's own tag, MainWindow.h).
//
// The entries captioned as downloads ("Загрузить выделенные  файлы на локальный компьютер",
// the remote popup's "Загрузить выбранные файлы") download the remote selection, and those
// captioned as uploads (the main menu's "Загрузить выбранные файлы на FTP сервер", the local
// popup's "Загрузить выбранные файлы") upload the local selection, as the upload arrow does.
#include <vector>

#include "session/Commands.h"

class QAction;

namespace shell {

class MainWindow;

struct CommandEntry {
  QAction* action;
  session::Command command;
  session::Surface surface;
  int tag;
};

std::vector<CommandEntry> CommandMap(const MainWindow& window);

}  // namespace shell
