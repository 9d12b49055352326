#pragma once
// The recursive delete of local entries, in two halves with the user's confirmation between
// them: PlanDeletion walks what is to go, DeleteConfirmationText asks about it, CarryOut
// deletes it.
//
// Links are never followed: an entry is walked only when it is itself a directory; a
// symbolic link (to a directory or anything else) is an entry to remove like a file, and is
// counted as one.
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace local {

struct DeletionPlan {
  std::vector<std::filesystem::path> files;        // removed first, in this order
  std::vector<std::filesystem::path> directories;  // breadth first; removed last to first
};

struct FileFailure {
  std::filesystem::path path;
  std::error_code error;
};

// Walks `start` (full paths) breadth first, appending every directory found behind the
// ones already known. A directory that cannot be read fails the walk: deleting around it
// would only end in a directory that cannot be removed.
std::optional<FileFailure> PlanDeletion(const std::vector<std::filesystem::path>& start,
                                        DeletionPlan& plan);

// "Do you wish to remove 2 file(s) and 2 folder(es)"; without directories only the files.
std::string DeleteConfirmationText(const DeletionPlan& plan);

// Removes the files, then the directories deepest first, and stops at the first failure
// (what was removed before it stays removed).
std::optional<FileFailure> CarryOut(const DeletionPlan& plan);

}  // namespace local
