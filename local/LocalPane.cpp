#include "local/LocalPane.h"

#include <utility>
#include <vector>

#include "local/FileOperations.h"
#include "local/LocalDeletion.h"
#include "local/LocalListing.h"

namespace local {

namespace {

namespace fs = std::filesystem;

// The input dialog's limit for names and masks.
constexpr int kMaxInputLength = 255;

fs::path Normalized(const fs::path& path) {
  fs::path normal = path.lexically_normal();
  if (normal.has_relative_path() && !normal.has_filename()) normal = normal.parent_path();
  return normal;
}

// The part of a typed name after its last "/": what stays of an answer with a path in it.
std::string LastComponent(const std::string& answer) {
  const std::size_t slash = answer.rfind('/');
  return slash == std::string::npos ? answer : answer.substr(slash + 1);
}

}  // namespace

LocalPane::LocalPane(LocalPrompts& prompts, const fs::path& directory)
    : prompts_(prompts), directory_("/") {
  std::error_code error;
  const fs::path absolute = fs::absolute(directory, error);
  if (error || !ChangeDirectory(absolute)) ListLocalDirectory();
}

std::string LocalPane::WorkDirectory() const {
  const std::string& directory = directory_.native();
  return directory.ends_with('/') ? directory : directory + "/";
}

bool LocalPane::ChangeDirectory(const fs::path& directory) {
  fs::path target = Normalized(directory.is_absolute() ? directory : directory_ / directory);
  std::error_code error;
  if (!fs::is_directory(target, error)) return false;
  directory_ = std::move(target);
  ListLocalDirectory();
  return true;
}

void LocalPane::ListLocalDirectory() {
  const listing::PaneUpdate update(model_);
  model_.SetSorting(false);
  model_.Assign(ReadLocalDirectory(directory_, filterMask_));
  model_.SetSorting(true);
}

void LocalPane::Open(std::size_t index) {
  if (index >= model_.Count() || !model_.Item(index).IsDirectory()) return;
  ChangeDirectory(PathOf(model_.Item(index).caption));
}

void LocalPane::UpOneLevel() {
  if (directory_ != directory_.root_path()) ChangeDirectory(directory_.parent_path());
}

void LocalPane::Filter() {
  std::string mask = filterMask_;
  if (!prompts_.InputDialog("Local Filter", "Mask", mask, false, kMaxInputLength)) return;
  filterMask_ = std::move(mask);
  ListLocalDirectory();
}

void LocalPane::CreateDirectory() {
  std::string name;
  if (!prompts_.InputDialog("Create Directory", "Enter new directory name:", name, false,
                            kMaxInputLength) ||
      name.empty()) {
    return;
  }
  const fs::path path = PathOf(name);
  if (const std::error_code error = MakeDirectory(path)) return ReportFailure(path, error);
  ChangeDirectory(path);
}

void LocalPane::Rename() {
  const listing::PaneItem* item = FirstSelected();
  if (item == nullptr) return;
  const std::string oldName = item->caption;
  std::string answer = oldName;
  if (!prompts_.InputDialog("Rename", "Enter new name:", answer, false, kMaxInputLength)) return;
  const std::string newName = LastComponent(answer);
  if (newName.empty()) return;
  if (const std::error_code error = RenameEntry(PathOf(oldName), PathOf(newName))) {
    return ReportFailure(PathOf(oldName), error);
  }
  ListLocalDirectory();
}

void LocalPane::Delete() {
  std::vector<fs::path> start;
  for (const std::size_t index : model_.SelectedIndexes()) {
    start.push_back(PathOf(model_.Item(index).caption));
  }
  if (start.empty()) {
    if (directory_ == directory_.root_path()) return;
    // The pane leaves the directory it is about to delete, whatever the answer will be.
    start.push_back(directory_);
    ChangeDirectory(directory_.parent_path());
  }
  DeletionPlan plan;
  std::optional<FileFailure> failure = PlanDeletion(start, plan);
  if (!failure && prompts_.Confirm("Attention", DeleteConfirmationText(plan))) {
    failure = CarryOut(plan);
  }
  ListLocalDirectory();
  if (failure) ReportFailure(failure->path, failure->error);
}

void LocalPane::ViewAsText() {
  if (const listing::PaneItem* file = FirstSelectedFile()) {
    prompts_.ViewTextFile(PathOf(file->caption));
  }
}

void LocalPane::Run() {
  if (const listing::PaneItem* file = FirstSelectedFile()) {
    prompts_.RunFile(PathOf(file->caption), directory_);
  }
}

void LocalPane::ChangeLocalCase(CaseMode mode) {
  std::optional<FileFailure> failure;
  {
    const listing::PaneUpdate update(model_);
    std::vector<listing::PaneItem> items = model_.TakeItems();
    for (listing::PaneItem& item : items) {
      if (!item.selected || failure) continue;
      std::string newName = ConvertCase(item.caption, mode);
      if (const std::error_code error = RenameEntry(PathOf(item.caption), PathOf(newName))) {
        failure = FileFailure{PathOf(item.caption), error};
      } else {
        item.caption = std::move(newName);
      }
    }
    // Names that differ in the case of a..z only compare equal in the pane's sort, so the
    // stable sort the model applies keeps every item where it stands.
    model_.Assign(std::move(items));
  }
  if (failure) ReportFailure(failure->path, failure->error);
}

LocalCommands LocalPane::UpdateLocalCommands(bool serverDirectoryShown) const {
  return LocalCommandsFor(model_, directory_ == directory_.root_path(), serverDirectoryShown);
}

const listing::PaneItem* LocalPane::FirstSelected() const {
  const std::vector<std::size_t> selected = model_.SelectedIndexes();
  return selected.empty() ? nullptr : &model_.Item(selected.front());
}

const listing::PaneItem* LocalPane::FirstSelectedFile() const {
  const listing::PaneItem* item = FirstSelected();
  return item != nullptr && item->image == listing::kImageFile ? item : nullptr;
}

void LocalPane::ReportFailure(const fs::path& path, std::error_code error) {
  prompts_.ReportError(FileErrorText(path, error));
}

}  // namespace local
