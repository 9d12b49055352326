// MainLogic: what happens to a file whose target exists, before it is transferred: the
// overwrite prompt, or the default action without asking.
//
// Resume never corrupts a file. A resume makes sense only while the target is shorter than
// the source. When the target is as long as the source the file is complete: it is skipped
// with a log line. When the target is longer, appending cannot be right: the prompt asks
// again, and without a prompt the file is overwritten. (A download whose size the listing
// does not give as a number resumes as asked.)
#include <system_error>

#include "platform/TextCodec.h"
#include "session/TransferRules.h"
#include "session/uMain.h"

namespace session {

void MainLogic::ResolveConflicts(bool download) {
  if (overwriteAll_) return;
  resumeTransfer_ = false;
  transferCancelled_ = false;
  if (download ? options_.PromptDownload : options_.PromptUpload)
    AskAboutConflicts(download);
  else
    ApplyDefaultAction(download);
}

void MainLogic::AskAboutConflicts(bool download) {
  std::deque<std::string>& targets = queues_.FileTargetQueue;
  while (!targets.empty() && TargetExists(download)) {
    // An upload's target is the server's bytes: the prompt shows it decoded, and a path
    // typed there is encoded again.
    std::string path = download ? targets.front() : platform::DecodeText(targets.front(), Names());
    switch (prompts_.OverwritePrompt(path)) {
      case OverwriteAction::Resume:
        switch (ResumeFits(download)) {
          case ResumeCase::Fits: resumeTransfer_ = true; return;
          case ResumeCase::Complete: SkipCompleteFile(); break;
          case ResumeCase::TargetLonger: break;  // asked again
        }
        break;
      case OverwriteAction::Overwrite: return;
      case OverwriteAction::All: overwriteAll_ = true; return;
      case OverwriteAction::Skip: SkipFile(); break;
      case OverwriteAction::SaveAs:
        if (download) {
          targets.front() = path;
        } else if (const std::optional<std::string> serverPath = TypedServerName(path)) {
          targets.front() = *serverPath;
        }
        break;
      case OverwriteAction::Cancel:
        transferCancelled_ = true;
        queues_.ClearQueues();
        return;
    }
  }
}

// Without a prompt: 0 skips every existing target, 1 overwrites, 2 resumes.
void MainLogic::ApplyDefaultAction(bool download) {
  std::deque<std::string>& targets = queues_.FileTargetQueue;
  switch (options_.DefaultPromptAction) {
    case 0:
      while (!targets.empty() && TargetExists(download)) SkipFile();
      return;
    case 2:
      while (!targets.empty() && TargetExists(download)) {
        const ResumeCase resume = ResumeFits(download);
        if (resume != ResumeCase::Complete) {
          resumeTransfer_ = resume == ResumeCase::Fits;
          return;
        }
        SkipCompleteFile();
      }
      return;
    default: return;
  }
}

bool MainLogic::TargetExists(bool download) const {
  const std::string& target = queues_.FileTargetQueue.front();
  if (!download) return RemoteFileListed(target);
  std::error_code error;
  return std::filesystem::exists(target, error) && !std::filesystem::is_directory(target, error);
}

MainLogic::ResumeCase MainLogic::ResumeFits(bool download) const {
  const QueuedFile source = SplitQueueEntry(queues_.FileQueue.front());
  const std::string& target = queues_.FileTargetQueue.front();
  std::int64_t targetSize = -1;
  if (download) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(target, error);
    if (!error) targetSize = static_cast<std::int64_t>(size);
  } else {
    targetSize = RemoteFileSize(target);
  }
  if (!source.sizeKnown || targetSize < 0 || targetSize < source.size) return ResumeCase::Fits;
  return targetSize == source.size ? ResumeCase::Complete : ResumeCase::TargetLonger;
}

void MainLogic::SkipFile() {
  queues_.FileQueue.pop_front();
  queues_.FileTargetQueue.pop_front();
}

void MainLogic::SkipCompleteFile() {
  log_.AddLog("Skipping " + std::string(FileNamePart(queues_.FileTargetQueue.front())) + ": it is complete");
  SkipFile();
}

// The size text of the remote file a target names, when it is listed. A target is judged
// against the directory it goes to: a file of the batch's own selection goes to the directory
// on show; a file of a walked directory goes to the directory the walk just listed.
std::optional<std::string_view> MainLogic::RemoteTargetSize(std::string_view target) const {
  const std::string_view name = FileNamePart(target);
  if (uploadTargetListing_) {
    for (const listing::RemoteEntry& entry : *uploadTargetListing_)
      if (entry.name == name) return entry.size;
    return std::nullopt;
  }
  for (std::size_t i = 0; i < cache_.Size(); ++i) {
    const listing::CachedEntry entry = cache_.At(i);
    if (!entry.isDirectory && entry.name == name) return entry.size;
  }
  return std::nullopt;
}

bool MainLogic::RemoteFileListed(std::string_view target) const { return RemoteTargetSize(target).has_value(); }

std::int64_t MainLogic::RemoteFileSize(std::string_view target) const {
  const std::optional<std::string_view> size = RemoteTargetSize(target);
  if (!size) return -1;
  const QueuedFile file = SplitQueueEntry(QueueEntry("", *size));
  return file.sizeKnown ? file.size : -1;
}

}  // namespace session
