#pragma once
// Every command the main window offers, named by what it does: one value per row of the
// window's command map, where a toolbar or pane button and its menu twins run the same
// command. The shell binds each control to its command and runs it with MainLogic::Run;
// tests run commands the same way.
//
// Where one command serves several menu entries, the entry's tag picks the variant:
//   RemoteChangeCase, LocalChangeCase  0 upper case, 1 lower case, 2 sentence case
//   RemoteSort, LocalSort              the column tag (1 name, 2 size, 3 date, 4 time, 5 attributes)
//   RemoteSelect, LocalSelect          1 select all, 2 deselect by mask, 3 select by mask, 4 invert
//                                      (the menus' signed tags may be passed as they are)
//   RemoteViewStyle, LocalViewStyle    0 large icons, 1 small icons, 2 list, 3 report
//   PaneFont                           0 the local pane, 1 the remote pane
//   RemotePath                         the index of the path combo's item the user chose
//
// The window alone acts on SpawnSession, the view styles, PaneFont, About, Help and
// WebPage: MainLogic::Run leaves them alone, but their enabled state is kept like any other.
//
// The menu entries that copy files run what their captions say: "download the selected files
// to the local computer" (main menu, remote pop-up menu) is DownloadSelection, "upload the
// selected files to the FTP server" (main menu, local pop-up menu) is UploadSelection; the
// arrow buttons run UploadSelection (the upload arrow) and DownloadSelection (the download
// arrow).
#include <cstddef>

namespace session {

enum class Command {
  Connect,
  Disconnect,
  StopTransfer,
  SpawnSession,
  Options,
  CloseWindow,  // the menu's exit: the window closes
  AbortAndExit,  // the toolbar's exit: the running request is aborted, then the window closes
  NewSite,
  SiteProperties,
  RemoteMakeDirectory,
  RemoteRename,
  RemoteDelete,  // without a session: deletes the selected sites
  RemoteChangeDirectory,
  ToggleCommandBar,
  PickStoredCommand,
  SendCommandLine,
  RemotePermissions,
  RemoteUpOneLevel,
  RemotePath,
  RemoteOpen,     // what a double click on the remote pane does: connect to the site, open the directory
  RemoteRefresh,  // the shown directory listed again, or the stored sites read again
  LocalOpen,      // what a double click on the local pane does: into the selected directory
  LocalRefresh,   // the local directory listed again
  UploadSelection,
  DownloadSelection,
  CompareDirectories,
  RemoteChangeCase,
  LocalChangeCase,
  RemoteSort,
  RemoteSelect,
  LocalSelect,
  RemoteFilter,
  RemoteViewStyle,
  PaneFont,
  LocalMakeDirectory,
  LocalRename,
  LocalDelete,
  LocalView,
  LocalRun,
  LocalUpOneLevel,
  LocalSort,
  LocalViewStyle,
  LocalFilter,
  About,
  Help,
  WebPage,
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::WebPage) + 1;

// Where a command sits. Enabling differs between a button and its menu twins in places (the
// server properties entries of the menus need a selected site, the local rename button
// stays enabled while its menu entries follow the selection).
enum class Surface {
  Control,  // the toolbar or pane button, or the control itself (the path combo)
  MainMenu,
  RemotePopup,
  LocalPopup,
};

inline constexpr std::size_t kSurfaceCount = static_cast<std::size_t>(Surface::LocalPopup) + 1;

}  // namespace session
