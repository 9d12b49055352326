// MainLogic: uploading the local selection, files and whole trees. Each queued local
// directory is scanned, its remote directory entered (made with MKD when the CWD fails) and
// listed; that listing is what the directory's files are compared with before they are sent.
// The batch ends with a return to the start directory, whose listing is shown.
#include <system_error>

#include "session/RemoteNames.h"
#include "session/RemotePaths.h"
#include "session/TransferRules.h"
#include "session/WalkListing.h"
#include "session/uMain.h"

namespace session {

void MainLogic::StartUploadBatch() {
  if (!BeginBatch()) return;
  for (const listing::PaneItem& item : local_.Model().Items()) {
    if (item.selected)
      QueueUpload(localWorkDir_ + item.caption, item.caption, item.IsDirectory(), item.subItems[listing::kSubSize]);
  }
  uploadTargetListing_.reset();
  StartNextUpload();
}

// Paths from anywhere on the local disk, each sent under its last name. A path without a
// name (the root) is left out.
void MainLogic::StartUploadOf(const std::vector<std::filesystem::path>& paths) {
  if (!BeginBatch()) return;
  for (std::filesystem::path path : paths) {
    if (!path.has_filename()) path = path.parent_path();
    const std::string name = path.filename().string();
    if (name.empty()) continue;
    std::error_code error;
    const bool directory = std::filesystem::is_directory(path, error);
    const std::uintmax_t size = directory ? 0 : std::filesystem::file_size(path, error);
    QueueUpload(path.string(), name, directory, error ? "" : std::to_string(size));
  }
  uploadTargetListing_.reset();
  StartNextUpload();
}

// A name the site's character set cannot hold is logged and left out.
void MainLogic::QueueUpload(const std::string& localPath, const std::string& name, bool directory,
                            const std::string& size) {
  const std::optional<std::string> remoteName = UploadServerName(name);
  if (!remoteName) return;
  if (directory) {
    queues_.DirQueue.push_back(localPath);
    queues_.DirTargetQueue.push_back(remoteBaseDir_ + *remoteName);
  } else {
    // The remote name is relative to the server's current directory, the one on show.
    queues_.FileQueue.push_back(QueueEntry(localPath, size));
    queues_.FileTargetQueue.push_back(*remoteName);
  }
}

void MainLogic::StartNextUpload() {
  if (queues_.FileQueue.empty()) {
    if (queues_.DirQueue.empty()) return AfterUpload();
    return WalkLocalDirectory();
  }
  ResolveConflicts(false);
  if (queues_.FileTargetQueue.empty()) return transferCancelled_ ? EndCancelledBatch() : StartNextUpload();
  ShowProgress();
  const QueuedFile source = SplitQueueEntry(TakeFront(queues_.FileQueue));
  const std::int64_t remoteSize = RemoteFileSize(queues_.FileTargetQueue.front());
  ftp_.SetLocalFileName(source.path);
  ftp_.SetHostFileName(TakeFront(queues_.FileTargetQueue));
  SetTransferType();
  if (progress_.IsOpen()) progress_.Begin(ftp_.LocalFileName(), source.size, true);
  if (!resumeTransfer_) {
    StartDataRequest(&TCustomFtpCli::PutAsync);
    return;
  }
  ftp_.SetResumeAt(remoteSize >= 0 ? remoteSize : source.size);
  StartDataRequest(&TCustomFtpCli::RestPutAsync);
}

// The next queued local directory: its entries are queued (files to send, subdirectories to
// walk later) and its remote directory is entered.
void MainLogic::WalkLocalDirectory() {
  const std::string local = WithTrailingSlash(TakeFront(queues_.DirQueue));
  const std::string remote = TakeFront(queues_.DirTargetQueue);
  queues_.UploadTreeActive = true;
  std::error_code error;
  std::filesystem::directory_iterator entries(local, error);
  for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    const std::filesystem::directory_entry& entry = *entries;
    const std::string name = entry.path().filename().string();
    const std::optional<std::string> remoteName = UploadServerName(name);
    if (!remoteName) continue;
    std::error_code ignored;
    if (entry.is_directory(ignored)) {
      // A link to a directory is not followed: it could lead back into the tree for ever.
      if (entry.is_symlink(ignored)) {
        log_.AddLog("Skipped the link to a directory " + local + name);
        continue;
      }
      queues_.DirQueue.push_back(local + name);
      queues_.DirTargetQueue.push_back(remote + "/" + *remoteName);
    } else {
      queues_.FileQueue.push_back(QueueEntry(local + name, std::to_string(entry.file_size(ignored))));
      queues_.FileTargetQueue.push_back(remote + "/" + *remoteName);
    }
  }
  if (error) return AbandonBatch(local, error);
  ftp_.SetHostDirName(remote);
  ftp_.SetHostFileName("");
  Start(&TCustomFtpCli::CwdAsync);
}

// The listing of the remote directory an upload walk entered, kept to judge the targets of
// the files about to be sent there.
void MainLogic::TakeUploadListing() {
  WalkListing walk = ReadWalkListing(ListingFile(), WalkContext());
  if (!walk.cutShort.empty()) log_.AddLog(walk.cutShort);
  uploadTargetListing_.emplace();
  for (listing::RemoteEntry& entry : walk.entries)
    if (!entry.isDirectory) uploadTargetListing_->push_back(std::move(entry));
}

std::optional<std::string> MainLogic::UploadServerName(const std::string& localName) {
  NameForServer name = EncodeServerName(localName, Names());
  if (name.ok()) return std::move(name.bytes);
  log_.AddLog("Not sent. " + name.refusal);
  return std::nullopt;
}

void MainLogic::AfterUpload() {
  if (!queues_.FileTargetQueue.empty() || !queues_.DirQueue.empty()) return StartNextUpload();
  queues_.UploadTreeActive = false;
  ftp_.SetHostDirName(remoteBaseDir_);
  ftp_.SetLocalFileName(ListingFile().string());
  SwitchToAscii();
  Start(&TCustomFtpCli::CwdAsync);
}

}  // namespace session
