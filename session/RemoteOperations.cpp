// MainLogic: the commands of the remote pane that act on the server other than transfers.
// Each starts one request; the dispatcher carries on from its completion, which ends with
// the current directory listed again.
#include <algorithm>

#include "listing/PaneSelection.h"
#include "listing/PaneSorting.h"
#include "platform/StringUtils.h"
#include "platform/TextCodec.h"
#include "session/RemoteNames.h"
#include "session/RemotePaths.h"
#include "session/WalkListing.h"
#include "session/uMain.h"

namespace session {

namespace {
// The longest name or mask the input dialogs take, in characters.
constexpr int kMaxNameLength = 255;
}  // namespace

std::optional<std::string> MainLogic::TypedServerName(const std::string& typed) {
  NameForServer name = EncodeServerName(typed, Names());
  if (name.ok()) return std::move(name.bytes);
  prompts_.ReportError(name.refusal);
  return std::nullopt;
}

void MainLogic::RemoteMakeDirectory() {
  if (!ftp_.Connected() || busy_) return;
  std::string name;
  if (!prompts_.InputDialog("Create Directory", "Enter new directory name", name, false, kMaxNameLength)) return;
  const std::optional<std::string> serverName = TypedServerName(name);
  if (!serverName) return;
  ftp_.SetHostFileName(*serverName);
  Start(&TCustomFtpCli::MkdAsync);
}

void MainLogic::RemoteRename() {
  const listing::PaneItem* item = FirstSelectedRemote();
  if (!ftp_.Connected() || busy_ || !item) return;
  const std::string kind = item->image == listing::kImageFile ? "File" : "Directory";
  std::string name = item->caption;
  if (!prompts_.InputDialog("Rename " + kind, "Enter new " + kind + " name:", name, false, kMaxNameLength)) return;
  // The name left as it was offered is the server's own bytes, whatever the set.
  const std::optional<std::string> serverName = name == item->caption ? item->ServerName() : TypedServerName(name);
  if (!serverName) return;
  // A rename whose completion finds names queued would take them for more renames.
  queues_.FileQueue.clear();
  queues_.FileTargetQueue.clear();
  ftp_.SetHostFileName(item->ServerName());
  ftp_.SetLocalFileName(*serverName);
  Start(&TCustomFtpCli::RenAsync);
}

// The answer may be relative to the directory on show; the path kept is whole, so that the
// path combo, one level up and the next double click know where the session is.
void MainLogic::RemoteChangeDirectory() {
  if (showingSites_) return;
  const bool inDirectory = pathIndex_ >= 2;
  const auto shown = static_cast<std::size_t>(pathIndex_);
  std::string directory = inDirectory ? pathItems_[shown] : "";
  if (!prompts_.InputQuery("Change Directory", "", directory)) return;
  // The directory on show, confirmed as it was offered, is named by the server's own bytes.
  const bool unchanged = inDirectory && directory == pathItems_[shown];
  const std::optional<std::string> serverPath = unchanged ? pathServerItems_[shown] : TypedServerName(directory);
  if (!serverPath) return;
  ftp_.SetHostDirName(ResolveRemotePath(ftp_.HostDirName(), *serverPath));
  Start(&TCustomFtpCli::CwdAsync);
}

// An item of the path combo: the server list ends the session; the host is the root; a
// directory item is the path up to it.
void MainLogic::RemotePathChosen(int index) {
  if (busy_) return;
  if (index <= 0) {
    Disconnect();
  } else {
    pathIndex_ = std::min(index, static_cast<int>(pathItems_.size()) - 1);
    std::string path;
    for (int i = 2; i <= pathIndex_; ++i) (path += '/') += pathServerItems_[static_cast<std::size_t>(i)];
    BeginBusy();
    ftp_.SetHostDirName(path.empty() ? "/" : path);
    Start(&TCustomFtpCli::CwdAsync);
  }
  UpdateRemoteCommands(!showingSites_);
}

void MainLogic::RemotePermissions() {
  const listing::PaneItem* item = FirstSelectedRemote();
  if (showingSites_ || !item) return;
  const std::string attributes(platform::CutToChars(item->subItems[listing::kSubAttributes], kMaxNameLength));
  int mode = 0;
  if (!prompts_.ShowChModDialog(attributes, mode)) return;
  ftp_.SetLocalFileName(platform::Format("SITE CHMOD %d ", mode) + item->ServerName());
  Start(&TCustomFtpCli::QuoteAsync);
}

// Renames every selected entry (the parent ".." aside) to its name in `mode`, one request
// after the other; the dispatcher sends the queued ones. Only the Latin letters change, and
// every character set holds them where the server's own bytes do: the new name is the
// server's bytes with those letters changed.
void MainLogic::ChangeRemoteCase(int mode) {
  if (showingSites_ || busy_) return;
  queues_.FileQueue.clear();
  queues_.FileTargetQueue.clear();
  for (const listing::PaneItem& item : remotePane_.Items()) {
    if (!item.selected || item.caption == "..") continue;
    queues_.FileQueue.push_back(item.ServerName());
    queues_.FileTargetQueue.push_back(local::ConvertCase(item.ServerName(), static_cast<local::CaseMode>(mode)));
  }
  if (queues_.FileQueue.empty()) return;
  ftp_.SetHostFileName(TakeFront(queues_.FileQueue));
  ftp_.SetLocalFileName(TakeFront(queues_.FileTargetQueue));
  Start(&TCustomFtpCli::RenAsync);
}

// A selection command on `pane`; the masks asked for are kept as the local pane's filter.
void MainLogic::SelectInPane(listing::PaneModel& pane, int tag) {
  const std::optional<listing::SelectionCommand> command = listing::SelectionCommandOfTag(tag < 0 ? -tag : tag);
  if (!command) return;
  switch (command->action) {
    case listing::SelectionAction::SelectAll: return listing::SelectAll(pane);
    case listing::SelectionAction::Invert: return listing::InvertSelection(pane);
    case listing::SelectionAction::DeselectByMask:
    case listing::SelectionAction::SelectByMask: break;
  }
  std::string mask = local_.FilterMask();
  if (!prompts_.InputDialog("Local Filter", "Mask", mask, false, kMaxNameLength)) return;
  local_.SetFilterMask(mask);
  if (command->action == listing::SelectionAction::SelectByMask)
    listing::SelectByMask(pane, mask);
  else
    listing::DeselectByMask(pane, mask);
}

void MainLogic::RemoteFilter() {
  if (showingSites_) return;
  std::string mask = remoteFilterMask_;
  if (!prompts_.InputDialog("FTP Filter", "Mask", mask, false, kMaxNameLength)) return;
  remoteFilterMask_ = mask;
  remoteFirstColumnWidth_ =
      listing::FillRemoteView(cache_, currentSite_.Answer, remoteFilterMask_, remotePane_, captionMetrics_, Names());
  listing::ResortPane(remotePane_);
}

// Files first, then each directory is walked and emptied breadth-first, and the walked
// directories are removed deepest first; the parent ".." is never touched.
void MainLogic::DeleteRemoteSelection() {
  if (busy_ || !FirstSelectedRemote()) return;
  queues_.ClearQueues();
  remoteBaseDir_ = WithTrailingSlash(ftp_.HostDirName());
  for (const listing::PaneItem& item : remotePane_.Items()) {
    if (!item.selected || item.caption == "..") continue;
    if (item.IsDirectory())
      queues_.DirQueue.push_back(remoteBaseDir_ + item.ServerName());
    else
      queues_.FileQueue.push_back(item.ServerName());
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
  const WalkListing walk = ReadWalkListing(ListingFile(), WalkContext());
  if (!walk.cutShort.empty()) log_.AddLog(walk.cutShort);
  for (const std::string& name : walk.unsafeNames) LogUnsafeName(name);
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

// The shown directory is entered again, and so listed anew; without a session the stored
// sites are read again. Nothing while another request or operation runs.
void MainLogic::RefreshRemotePane() {
  if (showingSites_) return ShowStoredSites();
  if (!ftp_.Connected() || busy_ || RequestRunning()) return;
  Start(&TCustomFtpCli::CwdAsync);
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
