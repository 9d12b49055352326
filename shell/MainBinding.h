#pragma once
// Binds the main window's widgets to the session's logic (session::MainLogic), both ways.
//
// Widgets to logic: every entry of the command map (shell/CommandMap.h) runs its command with
// its tag; so do a double click on either pane (it opens, as Enter does), a click on a column
// header (it sorts by that column) and the choice of an item of the path combo. The Delete
// key in the remote pane deletes the selection after a confirmation. The command
// line's text and chosen item go into the logic's command bar as the user edits them. Drops
// are taken as the logic's acceptance rules say: on the remote pane the local pane's
// selection and the desktop's files (an upload of the dropped paths), on the local pane the
// remote pane's selection. The local directory chosen in the directory list box or the places
// box, and the focus entering or leaving the local pane, are passed on.
//
// Logic to widgets, on each change the logic reports: the enabled state of every entry (and
// the path combo), the remote pane's mode (sites as a list, a server directory as a report
// with its first column as wide as the listing asks, its title, with a lock while the session
// is encrypted), the path combo's items, the
// command bar, the busy cursor over the remote controls, the hourglass over the program, the
// window's font from the options, the directory list box. A close request closes the window
// from the event loop, after the handler that asked for it has returned.
//
// The window runs the commands that touch only its widgets itself (MainWindow.h); the
// logic's Run leaves them alone.
#include <QObject>
#include <functional>
#include <vector>

#include "session/uMain.h"
#include "shell/CommandMap.h"

namespace shell {

class MainWindow;
struct PaneDrop;

class MainBinding : public QObject, private session::MainLogicListener {
  Q_OBJECT

 public:
  // How a command is run; by default the logic's Run. Tests record instead.
  using Runner = std::function<void(session::Command command, int tag)>;

  MainBinding(MainWindow& window, session::MainLogic& logic, Runner runner = {});
  ~MainBinding() override;

  const std::vector<CommandEntry>& Map() const { return map_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Changed(session::Change what) override;
  void BindCommands();
  void BindPanes();
  void BindCommandLine();
  void ShowCommandStates();
  void ShowRemoteMode();
  void ShowPathItems();
  void ShowCommandBar();
  void ShowOptions();
  void ShowLocalDirectory();
  void MeasureRemoteCaptions();
  void RemoteDropped(const PaneDrop& drop);
  void DeleteKeyOnRemotePane();

  MainWindow& window_;
  session::MainLogic& logic_;
  Runner run_;
  std::vector<CommandEntry> map_;
};

}  // namespace shell
