// MainLogic: downloading the remote selection, files and whole trees. A batch is a chain of
// requests: each file's RETR, and for each queued directory a CWD, its listing and the walk
// of that listing, which queues the directory's files and subdirectories (breadth first).
// The batch ends with a return to the start directory, whose listing is shown.
//
// A server's names become local paths here, so a name that could lead out of the download's
// target (see WalkListing.h) is skipped with a log line, never written.
#include <system_error>

#include "listing/ListingFormat.h"
#include "platform/StringUtils.h"
#include "session/RemoteNames.h"
#include "session/TransferRules.h"
#include "session/WalkListing.h"
#include "session/uMain.h"

namespace session {

namespace {

// The name of a plain-text listing line: its last blank-separated word.
std::string LastWord(std::string_view caption) {
  const std::string trimmed = platform::TrimRight(caption);
  const std::size_t blank = trimmed.rfind(' ');
  return blank == std::string::npos ? trimmed : trimmed.substr(blank + 1);
}

}  // namespace

void MainLogic::StartDownloadBatch() {
  if (!BeginBatch()) return;
  const bool rawLines = listing::ListingFormatOf(currentSite_.Answer) == listing::ListingFormat::Text;
  for (const listing::PaneItem& item : remotePane_.Items()) {
    if (!item.selected || item.caption == "..") continue;
    const std::string name = rawLines ? LastWord(item.ServerName()) : item.ServerName();
    if (name.empty()) continue;
    const std::string localName = LocalNameOf(name, Names());
    if (!IsSafeEntryName(name) || !IsSafeEntryName(localName)) {
      LogUnsafeName(name);
      continue;
    }
    if (item.IsDirectory()) {
      queues_.DirQueue.push_back(remoteBaseDir_ + name);
      queues_.DirTargetQueue.push_back(localWorkDir_ + localName);
    } else {
      queues_.FileQueue.push_back(QueueEntry(remoteBaseDir_ + name, item.subItems[listing::kSubSize]));
      queues_.FileTargetQueue.push_back(localWorkDir_ + localName);
    }
  }
  StartNextDownload();
}

void MainLogic::StartNextDownload() {
  if (!queues_.FileQueue.empty()) {
    ResolveConflicts(true);
    if (queues_.FileTargetQueue.empty()) return transferCancelled_ ? EndCancelledBatch() : StartNextDownload();
    ShowProgress();
    const QueuedFile source = SplitQueueEntry(TakeFront(queues_.FileQueue));
    ftp_.SetHostFileName(source.path);
    ftp_.SetLocalFileName(TakeFront(queues_.FileTargetQueue));
    log_.AddLog("Starting transfer of " + std::string(FileNamePart(ftp_.LocalFileName())));
    SetTransferType();
    if (progress_.IsOpen()) progress_.Begin(ftp_.HostFileName(), source.size, false);
    StartDataRequest(resumeTransfer_ ? &TCustomFtpCli::RestGetAsync : &TCustomFtpCli::GetAsync);
  } else if (!queues_.DirQueue.empty()) {
    queues_.DownloadTreeActive = true;
    ftp_.SetHostDirName(TakeFront(queues_.DirQueue));
    ftp_.SetHostFileName("");
    queues_.DirTargetQueue.pop_front();
    SwitchToAscii();
    Start(&TCustomFtpCli::CwdAsync);
  } else {
    AfterDownload();
  }
}

// The listing of a directory a tree download entered: its files are queued to be fetched
// by name, its subdirectories to be walked; the local directories are made at once. False
// when a local directory could not be made: the batch is then over.
bool MainLogic::DownloadWalk() {
  const WalkListing walk = ReadWalkListing(ListingFile(), WalkContext());
  if (!walk.cutShort.empty()) log_.AddLog(walk.cutShort);
  for (const std::string& name : walk.unsafeNames) LogUnsafeName(name);
  const std::string localDir = localWorkDir_ + LocalNameOf(RelativeWalkPath(ftp_.HostDirName(), remoteBaseDir_), Names());
  if (!MakeLocalDirectory(localDir)) return false;
  for (const listing::RemoteEntry& entry : walk.entries) {
    const std::string localName = LocalNameOf(entry.name, Names());
    if (!IsSafeEntryName(localName)) {
      LogUnsafeName(entry.name);
      continue;
    }
    if (entry.isDirectory) {
      queues_.DirQueue.push_back(ftp_.HostDirName() + "/" + entry.name);
      queues_.DirTargetQueue.push_back(localDir + localName);
      if (!MakeLocalDirectory(localDir + localName)) return false;
    } else {
      queues_.FileQueue.push_back(QueueEntry(entry.name, entry.size));
      queues_.FileTargetQueue.push_back(localDir + localName);
    }
  }
  return true;
}

// A local directory of the download, with its missing parents.
bool MainLogic::MakeLocalDirectory(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (!error) return true;
  AbandonBatch(path, error);
  return false;
}

void MainLogic::AfterDownload() {
  if (!queues_.FileQueue.empty()) return StartNextDownload();
  queues_.DownloadTreeActive = !queues_.DirQueue.empty();
  if (queues_.DownloadTreeActive) {
    ftp_.SetHostDirName(TakeFront(queues_.DirQueue));
    queues_.DirTargetQueue.pop_front();
  } else {
    ftp_.SetHostDirName(remoteBaseDir_);
  }
  ftp_.SetLocalFileName(ListingFile().string());
  SwitchToAscii();
  Start(&TCustomFtpCli::CwdAsync);
  LocalCommand([this] { local_.ListLocalDirectory(); });
}

void MainLogic::LogUnsafeName(const std::string& name) {
  log_.AddLog("Skipped the name \"" + name + "\": it leads out of its directory");
}

}  // namespace session
