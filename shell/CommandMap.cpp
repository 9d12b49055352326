#include "shell/CommandMap.h"

#include <QAction>

#include "shell/MainWindow.h"

namespace shell {

using session::Command;
using session::Surface;

namespace {

class MapBuilder {
 public:
  explicit MapBuilder(Surface surface) : surface_(surface) {}

  MapBuilder& Add(QAction* action, Command command) {
    entries_.push_back({action, command, surface_, action->data().toInt()});
    return *this;
  }

  template <std::size_t N>
  MapBuilder& Add(const std::array<QAction*, N>& family, Command command) {
    for (QAction* action : family) Add(action, command);
    return *this;
  }

  void MoveInto(std::vector<CommandEntry>& map) { map.insert(map.end(), entries_.begin(), entries_.end()); }

 private:
  Surface surface_;
  std::vector<CommandEntry> entries_;
};

void AddButtons(const ButtonEntries& b, std::vector<CommandEntry>& map) {
  MapBuilder(Surface::Control)
      .Add(b.sbConnect, Command::Connect)
      .Add(b.sbDisConnect, Command::Disconnect)
      .Add(b.sbStop, Command::StopTransfer)
      .Add(b.ExplorerButton1, Command::AbortAndExit)
      .Add(b.sbMkd1, Command::LocalMakeDirectory)
      .Add(b.sbRen1, Command::LocalRename)
      .Add(b.sbDel1, Command::LocalDelete)
      .Add(b.sbView, Command::LocalView)
      .Add(b.sbRun, Command::LocalRun)
      .Add(b.SpeedButton4, Command::LocalUpOneLevel)
      .Add(b.SpeedButton1, Command::UploadSelection)
      .Add(b.SpeedButton2, Command::DownloadSelection)
      .Add(b.sbNewServer, Command::NewSite)
      .Add(b.sbProperties, Command::SiteProperties)
      .Add(b.sbMkd2, Command::RemoteMakeDirectory)
      .Add(b.sbRen2, Command::RemoteRename)
      .Add(b.sbDel2, Command::RemoteDelete)
      .Add(b.FTPOneLevelUp, Command::RemoteUpOneLevel)
      .Add(b.SpeedButton6, Command::PickStoredCommand)
      .Add(b.SpeedButton5, Command::SendCommandLine)
      .MoveInto(map);
}

void AddMainMenu(const MainMenuEntries& m, std::vector<CommandEntry>& map) {
  MapBuilder(Surface::MainMenu)
      .Add(m.Connect1, Command::Connect)
      .Add(m.Disconnect1, Command::Disconnect)
      .Add(m.StopTransfer1, Command::StopTransfer)
      .Add(m.Spawnnewsession1, Command::SpawnSession)
      .Add(m.FtpOptions1, Command::Options)
      .Add(m.Exit1, Command::CloseWindow)
      .Add(m.NewServer1, Command::NewSite)
      .Add(m.ServerProperties1, Command::SiteProperties)
      .Add(m.DownloadSelectedFiles1, Command::DownloadSelection)
      .Add(m.Makedirectory2, Command::RemoteMakeDirectory)
      .Add(m.RenameFile3, Command::RemoteRename)
      .Add(m.DeleteServerFile1, Command::RemoteDelete)
      .Add(m.ChandDirect1, Command::RemoteChangeDirectory)
      .Add(m.FileAttributes2, Command::RemotePermissions)
      .Add(m.CustomCommand1, Command::ToggleCommandBar)
      .Add(m.CompareDirectories1, Command::CompareDirectories)
      .Add(m.ChangeCase3, Command::RemoteChangeCase)
      .Add(m.Sorting3, Command::RemoteSort)
      .Add(m.Select2, Command::RemoteSelect)
      .Add(m.Filter4, Command::RemoteFilter)
      .Add(m.View3, Command::RemoteViewStyle)
      .Add(m.Font4, Command::PaneFont)
      .Add(m.UploadSelectedFiles1, Command::UploadSelection)
      .Add(m.MakeDirectory1, Command::LocalMakeDirectory)
      .Add(m.RenameFile2, Command::LocalRename)
      .Add(m.DeleteFile1, Command::LocalDelete)
      .Add(m.Viewfile2, Command::LocalView)
      .Add(m.RunFile1, Command::LocalRun)
      .Add(m.ChangeCase1, Command::LocalChangeCase)
      .Add(m.Sorting4, Command::LocalSort)
      .Add(m.SelectAll2, Command::LocalSelect)
      .Add(m.Filter1, Command::LocalFilter)
      .Add(m.View4, Command::LocalViewStyle)
      .Add(m.Font3, Command::PaneFont)
      .Add(m.Help1, Command::Help)
      .Add(m.About2, Command::About)
      .MoveInto(map);
}

void AddRemotePopup(const RemotePopupEntries& p, std::vector<CommandEntry>& map) {
  MapBuilder(Surface::RemotePopup)
      .Add(p.Open, Command::RemoteOpen)
      .Add(p.Refresh, Command::RemoteRefresh)
      .Add(p.DownloadSelectedFiles2, Command::DownloadSelection)
      .Add(p.New1, Command::NewSite)
      .Add(p.Properties1, Command::SiteProperties)
      .Add(p.MakeDirectory3, Command::RemoteMakeDirectory)
      .Add(p.RenameFile4, Command::RemoteRename)
      .Add(p.Delete1, Command::RemoteDelete)
      .Add(p.ChangeDirectory1, Command::RemoteChangeDirectory)
      .Add(p.FileAttributes1, Command::RemotePermissions)
      .Add(p.CustomCommand2, Command::ToggleCommandBar)
      .Add(p.CompareDirectories2, Command::CompareDirectories)
      .Add(p.ChangeCase4, Command::RemoteChangeCase)
      .Add(p.Sorting2, Command::RemoteSort)
      .Add(p.Select3, Command::RemoteSelect)
      .Add(p.Filter3, Command::RemoteFilter)
      .Add(p.View1, Command::RemoteViewStyle)
      .Add(p.Font1, Command::PaneFont)
      .MoveInto(map);
}

void AddLocalPopup(const LocalPopupEntries& p, std::vector<CommandEntry>& map) {
  MapBuilder(Surface::LocalPopup)
      .Add(p.Open, Command::LocalOpen)
      .Add(p.Refresh, Command::LocalRefresh)
      .Add(p.UploadSelectedFiles2, Command::UploadSelection)
      .Add(p.MenuItem4, Command::LocalMakeDirectory)
      .Add(p.MenuItem7, Command::LocalRename)
      .Add(p.MenuItem8, Command::LocalDelete)
      .Add(p.ViewFile3, Command::LocalView)
      .Add(p.RunApplication1, Command::LocalRun)
      .Add(p.ChangeCase2, Command::LocalChangeCase)
      .Add(p.Sorting1, Command::LocalSort)
      .Add(p.Select1, Command::LocalSelect)
      .Add(p.Filter2, Command::LocalFilter)
      .Add(p.MenuItem10, Command::LocalViewStyle)
      .Add(p.Font2, Command::PaneFont)
      .MoveInto(map);
}

}  // namespace

std::vector<CommandEntry> CommandMap(const MainWindow& window) {
  std::vector<CommandEntry> map;
  AddButtons(window.Buttons, map);
  AddMainMenu(window.MainMenu, map);
  AddRemotePopup(window.RemotePopup, map);
  AddLocalPopup(window.LocalPopup, map);
  return map;
}

}  // namespace shell
