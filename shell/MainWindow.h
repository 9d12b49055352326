#pragma once
// The main window's widgets: the toolbar, the local pane (buttons, places, directory list
// box, file view, arrow strip) and the remote pane (buttons, path combo, view, the hidden
// command bar) side by side under a splitter, and the protocol log memo under another.
//
// Every button, main menu entry and popup entry is a QAction, reachable by the name of its
// control (the same text is its object name), so that each can be bound to the command it
// runs. A button is a tool button showing its own action; a button and its menu twins are
// separate actions, since their enabling differs. Entries of a family that share one
// handler (case change, sorting, selection, view style, font) keep their tag in the
// action's data(): case 0 upper, 1 lower, 2 sentence; sorting the column tag 1 name,
// 2 size, 3 date; selection 1 all, 2 none by mask, 3 by mask, 4 invert, positive for the
// local pane and negative for the remote one; view style 0 to 3 (ViewStyle); font 0 local,
// 1 remote. A family's array is indexed by the absolute tag less its first tag.
//
// The window handles by itself what touches only its widgets: view styles, fonts, a second
// copy of the program, the help window and the About box, and Tab between the panes
// (Shift+Tab back). Everything else, closing included, is left to the session's logic
// (shell/MainBinding.h), which also decides whether the command bar shows
// (ShowCommandBar) and which drops each view takes.
//
// Keys: in each pane's views, Enter opens (the pane's Open action), Backspace goes up one
// level (the pane's up button), F2 renames, Delete deletes, Ctrl+A selects all and F5
// refreshes (the pane's Refresh action); these shortcuts sit on the pane's popup actions
// and act only while that pane has the focus. Delete in the remote pane is the action
// RemoteDeleteKey of its own, which the binding runs only after asking: there a key
// press would delete on the server, whole trees included, at once.
#include <QMainWindow>
#include <array>
#include <filesystem>
#include <functional>

#include "shell/PaneView.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;

namespace listing {
class PaneModel;
}

namespace shell {

class DirectoryListBox;
class LogMemo;
class TProgress;

struct MainMenuEntries {
  // "Файл"
  QAction* Connect1;
  QAction* Disconnect1;
  QAction* StopTransfer1;
  QAction* Spawnnewsession1;
  QAction* FtpOptions1;
  QAction* Exit1;
  // "Сервер"
  QAction* NewServer1;
  QAction* ServerProperties1;
  QAction* DownloadSelectedFiles1;  // download of the remote selection
  QAction* Makedirectory2;
  QAction* RenameFile3;
  QAction* DeleteServerFile1;
  QAction* ChandDirect1;
  QAction* FileAttributes2;
  QAction* CustomCommand1;  // checkable: the command bar is shown while checked
  QAction* CompareDirectories1;
  std::array<QAction*, 3> ChangeCase3;
  std::array<QAction*, 3> Sorting3;
  std::array<QAction*, 4> Select2;
  QAction* Filter4;
  std::array<QAction*, 4> View3;
  QAction* Font4;
  // "Локальный компьютер"
  QAction* UploadSelectedFiles1;  // upload of the local selection
  QAction* MakeDirectory1;
  QAction* RenameFile2;
  QAction* DeleteFile1;
  QAction* Viewfile2;
  QAction* RunFile1;
  std::array<QAction*, 3> ChangeCase1;
  std::array<QAction*, 3> Sorting4;
  std::array<QAction*, 4> SelectAll2;
  QAction* Filter1;
  std::array<QAction*, 4> View4;
  QAction* Font3;
  // "Помощь"
  QAction* Help1;
  QAction* About2;
};

struct RemotePopupEntries {
  QAction* Open;  // what a double click does (Enter)
  QAction* Refresh;  // list the shown directory again (F5)
  QAction* DownloadSelectedFiles2;
  QAction* New1;
  QAction* Properties1;
  QAction* MakeDirectory3;
  QAction* RenameFile4;
  QAction* Delete1;
  QAction* ChangeDirectory1;
  QAction* FileAttributes1;
  QAction* CustomCommand2;  // checkable twin of CustomCommand1
  QAction* CompareDirectories2;
  std::array<QAction*, 3> ChangeCase4;
  std::array<QAction*, 3> Sorting2;
  std::array<QAction*, 4> Select3;
  QAction* Filter3;
  std::array<QAction*, 4> View1;
  QAction* Font1;
};

struct LocalPopupEntries {
  QAction* Open;  // what a double click does (Enter)
  QAction* Refresh;  // list the local directory again (F5)
  QAction* UploadSelectedFiles2;
  QAction* MenuItem4;  // make directory
  QAction* MenuItem7;  // rename
  QAction* MenuItem8;  // delete
  QAction* ViewFile3;
  QAction* RunApplication1;
  std::array<QAction*, 3> ChangeCase2;
  std::array<QAction*, 3> Sorting1;
  std::array<QAction*, 4> Select1;
  QAction* Filter2;
  std::array<QAction*, 4> MenuItem10;  // view styles
  QAction* Font2;
};

struct ButtonEntries {
  // Toolbar.
  QAction* sbConnect;
  QAction* sbDisConnect;
  QAction* sbStop;
  QAction* ExplorerButton1;
  // Local pane.
  QAction* sbMkd1;
  QAction* sbRen1;
  QAction* sbDel1;
  QAction* sbView;
  QAction* sbRun;
  QAction* SpeedButton4;  // one level up
  QAction* SpeedButton1;  // upload arrow
  QAction* SpeedButton2;  // download arrow
  // Remote pane.
  QAction* sbNewServer;
  QAction* sbProperties;
  QAction* sbMkd2;
  QAction* sbRen2;
  QAction* sbDel2;
  QAction* FTPOneLevelUp;
  QAction* SpeedButton6;  // "Команды"
  QAction* SpeedButton5;  // "Выполнить"
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `configDirectory` is where the program's files live; a second copy is started on it.
  MainWindow(listing::PaneModel& remotePane, listing::PaneModel& localPane, std::filesystem::path configDirectory,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  MainMenuEntries MainMenu{};
  RemotePopupEntries RemotePopup{};
  LocalPopupEntries LocalPopup{};
  ButtonEntries Buttons{};

  PaneView* FTPView;
  PaneView* lvLoc;
  QAction* RemoteDeleteKey;  // Delete in the remote pane
  QComboBox* FTPPath;
  QComboBox* cbCmd;
  QWidget* CommandBar;
  QLabel* RemoteTitle;
  QComboBox* DriveComboBox1;
  DirectoryListBox* dlbx;
  LogMemo* Log;
  TProgress* Progress;

  // Shows the local directory in the directory list box and the places box.
  void ShowLocalDirectory(const std::filesystem::path& directory);

  // The busy state of the remote operations: the controls that take part in them (the
  // remote view, the path combo and both one-level-up buttons) show the busy cursor, and
  // the path combo is disabled.
  void SetRemoteBusy(bool busy);
  // The busy cursor over the whole program, as while a session is being closed.
  void SetScreenBusy(bool busy);
  bool ScreenBusy() const { return screenBusy_; }

  // Shows or hides the command bar; the menu entry and its popup twin carry the check mark.
  void ShowCommandBar(bool shown);

  // The font and text colour of the whole window, from the options.
  void ApplyWindowFont(const QFont& font, const QColor& color);

 signals:
  // The user picked a local directory: in the directory list box or in the places box.
  void localDirectoryChosen(const std::filesystem::path& directory);
  void remoteDropped(const shell::PaneDrop& drop);
  void localDropped(const shell::PaneDrop& drop);

 protected:
  bool focusNextPrevChild(bool next) override;

 private:
  QWidget* BuildLocalPane(listing::PaneModel& pane);
  QWidget* BuildRemotePane(listing::PaneModel& pane);
  void BuildToolBar();
  void BuildMainMenu();
  QMenu* BuildRemotePopup();
  QMenu* BuildLocalPopup();
  void BindWindowCommands();
  void ChooseFont(PaneView* view);
  void StartSecondCopy();

  std::filesystem::path configDirectory_;
  QSplitter* panes_ = nullptr;
  QWidget* localUpButton_ = nullptr;
  QWidget* remoteUpButton_ = nullptr;
  bool screenBusy_ = false;
};

}  // namespace shell
