// MainLogic: the commands of the remote pane that act on the server other than transfers.
// Each starts one request; the dispatcher carries on from its completion, which ends with
// the current directory listed again.
#include "platform/StringUtils.h"
#include "session/RemotePaths.h"
#include "session/WalkListing.h"
#include "session/uMain.h"

namespace session {

// Files first, then each directory is walked and emptied breadth-first, and the walked
// directories are removed deepest first; the parent ".." is never touched.
void MainLogic::DeleteRemoteSelection() {
  if (busy_ || !FirstSelectedRemote()) return;
  queues_.ClearQueues();
  remoteBaseDir_ = WithTrailingSlash(ftp_.HostDirName());
  for (const listing::PaneItem& item : remotePane_.Items()) {
    if (!item.selected || item.caption == "..") continue;
    if (item.IsDirectory())
      queues_.DirQueue.push_back(remoteBaseDir_ + item.caption);
    else
      queues_.FileQueue.push_back(item.caption);
  }
  if (!queues_.FileQueue.empty()) {
    ftp_.SetHostFileName(TakeFront(queues_.FileQueue));
    Start(&TCustomFtpCli::DeleAsync);
  } else if (!queues_.DirQueue.empty()) {
    queues_.DeleteTreeActive = true;
    ftp_.SetHostDirName(queues_.DirQueue.front());
    queues_.DirTargetQueue.push_back(TakeFront(queues_.DirQueue));
    Start(&TCustomFtpCli::CwdAsync);
  }
}

// The listing of a directory a recursive delete entered: its subdirectories are queued to
// be walked, its files to be deleted (by name, in the directory entered).
void MainLogic::DeleteWalk() {
  const WalkListing walk = ReadWalkListing(ListingFile(), {currentSite_.Answer, startupDate_});
  for (const std::string& name : walk.unsafeNames) log_.AddLog("Skipped the unsafe name \"" + name + "\"");
  for (const listing::RemoteEntry& entry : walk.entries) {
    if (entry.isDirectory)
      queues_.DirQueue.push_back(ftp_.HostDirName() + "/" + entry.name);
    else
      queues_.FileQueue.push_back(entry.name);
  }
}

void MainLogic::RemoteUpOneLevel() {
  if (pathIndex_ <= 0) return;
  ftp_.SetHostDirName(ParentDirectory(ftp_.HostDirName()));
  Start(&TCustomFtpCli::CDupAsync);
}

// ---- The command bar ------------------------------------------------------------------------

void MainLogic::ToggleCommandBar() {
  bar_.visible = !bar_.visible;
  Notify(Change::CommandBar);
}

void MainLogic::PickStoredCommand() {
  const std::string command = prompts_.ShowCommandDialog(commands_);
  if (platform::Trim(command).empty()) return;
  bar_.items.push_back(command);
  bar_.selected = static_cast<int>(bar_.items.size()) - 1;
  bar_.text = command;
  Notify(Change::CommandBar);
}

// Sends the combo's text as a raw command; a text typed anew becomes an item of the combo,
// the selected item's own text does not come twice.
void MainLogic::SendCommandLine() {
  if (bar_.text.empty()) return;
  const bool isSelectedItem = bar_.selected >= 0 && bar_.items[static_cast<std::size_t>(bar_.selected)] == bar_.text;
  if (!isSelectedItem) {
    bar_.items.push_back(bar_.text);
    bar_.selected = static_cast<int>(bar_.items.size()) - 1;
    Notify(Change::CommandBar);
  }
  ftp_.SetLocalFileName(bar_.items[static_cast<std::size_t>(bar_.selected)]);
  Start(&TCustomFtpCli::QuoteAsync);
}

}  // namespace session
