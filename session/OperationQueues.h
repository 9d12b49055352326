#pragma once
// What carries a multi-step operation of the remote pane from one completed request to the
// next: four queues of names and the flags that tell what the next listing or directory
// change belongs to. The queues are used in pairs, entry i of a target queue belonging to
// entry i of its source queue:
//
//   queue            download              upload                remote delete        renames
//   FileQueue        remote path TAB size  local path TAB size   remote file name     old name
//   FileTargetQueue  local target path     remote target path    -                    new name
//   DirQueue         remote dir to walk    local dir to walk     remote dir to walk   -
//   DirTargetQueue   its local dir         its remote dir        dirs walked (removed last-in first-out)
#include <deque>
#include <string>

namespace session {

struct OperationQueues {
  std::deque<std::string> FileQueue;
  std::deque<std::string> FileTargetQueue;
  std::deque<std::string> DirQueue;
  std::deque<std::string> DirTargetQueue;

  bool DownloadTreeActive = false;  // listings are walks of a tree download
  bool UploadTreeActive = false;    // listings and failed directory changes belong to an upload
  bool DeleteTreeActive = false;    // listings are walks of a recursive delete
  bool RemoveDirsActive = false;    // directory changes continue the removal of walked dirs

  void ClearQueues() {
    FileQueue.clear();
    FileTargetQueue.clear();
    DirQueue.clear();
    DirTargetQueue.clear();
  }

  void ClearTreeFlags() {
    DownloadTreeActive = UploadTreeActive = DeleteTreeActive = RemoveDirsActive = false;
  }

  // The chain is over: no later listing or completion is taken as one of its steps.
  void EndChain() {
    ClearTreeFlags();
    ClearQueues();
  }
};

// Removes and returns the first entry; empty when there is none.
inline std::string TakeFront(std::deque<std::string>& queue) {
  if (queue.empty()) return {};
  std::string front = std::move(queue.front());
  queue.pop_front();
  return front;
}

}  // namespace session
