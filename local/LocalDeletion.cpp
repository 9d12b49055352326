#include "local/LocalDeletion.h"


#include "local/FileOperations.h"

namespace local {

namespace {

namespace fs = std::filesystem;

// Sorts one entry into the plan by what it is itself, links not followed. An entry that
// cannot be examined goes with the files: removing it reports why.
void AddEntry(const fs::path& path, fs::file_status status, DeletionPlan& plan) {
  (fs::is_directory(status) ? plan.directories : plan.files).push_back(path);
}

}  // namespace

std::optional<FileFailure> PlanDeletion(const std::vector<fs::path>& start, DeletionPlan& plan) {
  for (const fs::path& path : start) {
    std::error_code ignored;
    AddEntry(path, fs::symlink_status(path, ignored), plan);
  }
  // Indexes, not iterators: the list grows while it is walked.
  for (std::size_t i = 0; i < plan.directories.size(); ++i) {
    const fs::path directory = plan.directories[i];
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
      std::error_code ignored;
      AddEntry(it->path(), it->symlink_status(ignored), plan);
    }
    if (error) return FileFailure{directory, error};
  }
  return std::nullopt;
}

std::string DeleteConfirmationText(const DeletionPlan& plan) {
  std::string text = "Do you wish to remove " + std::to_string(plan.files.size()) + " file(s)";
  if (!plan.directories.empty()) {
    text += " and " + std::to_string(plan.directories.size()) + " folder(es)";
  }
  return text;
}

std::optional<FileFailure> CarryOut(const DeletionPlan& plan) {
  for (const fs::path& file : plan.files) {
    if (const std::error_code error = RemoveFile(file)) return FileFailure{file, error};
  }
  for (auto it = plan.directories.rbegin(); it != plan.directories.rend(); ++it) {
    if (const std::error_code error = RemoveDirectory(*it)) return FileFailure{*it, error};
  }
  return std::nullopt;
}

}  // namespace local
