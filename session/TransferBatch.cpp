// MainLogic: what downloads and uploads share: the transfer type, the drops on the panes,
// and the ends of a batch other than its final listing.
#include "listing/DragAcceptance.h"
#include "session/RemotePaths.h"
#include "session/TransferRules.h"
#include "session/uMain.h"

namespace session {

// A batch starts from the directories on show, only during a session and while no other
// operation runs.
bool MainLogic::BeginBatch() {
  if (showingSites_ || busy_) return false;
  BeginBusy();
  queues_.ClearQueues();
  remoteBaseDir_ = WithTrailingSlash(ftp_.HostDirName());
  localWorkDir_ = local_.WorkDirectory();
  overwriteAll_ = false;
  return true;
}

void MainLogic::SetTransferType() {
  switch (ChooseTransferType(options_.TransferMode, options_.AsciiExtensions, ftp_.LocalFileName(), ftp_.Binary())) {
    case TypeSwitch::Binary: return SwitchToBinary();
    case TypeSwitch::Ascii: return SwitchToAscii();
    case TypeSwitch::None: return;
  }
}

// Cancel in the overwrite prompt: the queues are empty, the batch ends where it is.
void MainLogic::EndCancelledBatch() {
  queues_.DownloadTreeActive = false;
  queues_.UploadTreeActive = false;
  EndBusy();
  CloseProgress();
}

// A local file operation of the batch failed: the user hears why, and nothing else runs.
void MainLogic::AbandonBatch(const std::string& path, std::error_code error) {
  prompts_.ReportError(path + ": " + error.message());
  EndChain();
  CloseProgress();
  EndBusy();
}

// A listing is read as what the server sent: a machine listing when the engine listed with
// MLSD, lines told apart by themselves for a site of automatic listings, else the site's
// format.
listing::ListingContext MainLogic::WalkContext() const {
  listing::ListingContext context{currentSite_.Answer, startupDate_};
  if (ftp_.ListedWithMlsd())
    context.format = listing::ListingFormat::Mlsd;
  else if (currentSite_.AutoListing)
    context.format = listing::ListingFormat::Automatic;
  return context;
}

bool MainLogic::LocalPaneAcceptsDrag(std::optional<int> sourceTag) const {
  return sourceTag == listing::kRemotePaneTag && !showingSites_ && !busy_;
}

bool MainLogic::RemotePaneAcceptsDrag(std::optional<int> sourceTag) const {
  return listing::RemotePaneAcceptsDrag(sourceTag, showingSites_, busy_);
}

void MainLogic::DropOnLocalPane(std::optional<int> sourceTag) {
  if (LocalPaneAcceptsDrag(sourceTag)) Run(Command::DownloadSelection);
}

void MainLogic::DropOnRemotePane(std::optional<int> sourceTag) {
  if (RemotePaneAcceptsDrag(sourceTag)) Run(Command::UploadSelection);
}

bool MainLogic::RemotePaneAcceptsFiles() const { return RemotePaneAcceptsDrag(listing::kLocalPaneTag); }

void MainLogic::DropFilesOnRemotePane(const std::vector<std::filesystem::path>& paths) {
  if (RemotePaneAcceptsFiles()) RunUserHandler([this, paths] { StartUploadOf(paths); });
}

}  // namespace session
