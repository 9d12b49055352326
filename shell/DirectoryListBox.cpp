#include "shell/DirectoryListBox.h"

#include <QKeyEvent>
#include <algorithm>

#include "dialogs/QtText.h"
#include "listing/PaneItem.h"
#include "shell/Icons.h"

namespace shell {

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Subdirectories(const fs::path& directory) {
  std::vector<fs::path> found;
  std::error_code error;
  for (fs::directory_iterator it(directory, fs::directory_options::skip_permission_denied, error), end;
       !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (it->is_directory(kind)) found.push_back(it->path());
  }
  std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
    return QString::localeAwareCompare(dialogs::ToQString(a.filename().native()), dialogs::ToQString(b.filename().native())) < 0;
  });
  return found;
}

}  // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setIconSize({kSmallIconSize, kSmallIconSize});
  connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { Choose(row(item)); });
}

void DirectoryListBox::SetDirectory(const fs::path& directory) {
  directory_ = directory.lexically_normal();
  if (!directory_.has_filename() && directory_ != directory_.root_path()) directory_ = directory_.parent_path();
  clear();
  paths_.clear();

  const QIcon open = QIcon::fromTheme("folder-open", PaneItemIcon(listing::kImageDirectory));
  const QIcon closed = PaneItemIcon(listing::kImageDirectory);
  const auto add = [this](const fs::path& path, const QString& name, int depth, const QIcon& icon) {
    addItem(new QListWidgetItem(icon, QString(depth * 2, ' ') + name));
    paths_.push_back(path);
  };

  int depth = 0;
  fs::path chain = directory_.root_path();
  add(chain, dialogs::ToQString(chain.native()), depth, open);
  for (const fs::path& part : directory_.relative_path()) {
    if (part.empty()) continue;
    chain /= part;
    add(chain, dialogs::ToQString(part.native()), ++depth, open);
  }
  const int current = count() - 1;
  for (const fs::path& sub : Subdirectories(directory_)) add(sub, dialogs::ToQString(sub.filename().native()), depth + 1, closed);
  setCurrentRow(current);
  if (isVisible()) ShowCurrent();
}

void DirectoryListBox::ShowCurrent() {
  if (QListWidgetItem* current = currentItem()) scrollToItem(current, QAbstractItemView::PositionAtCenter);
}

void DirectoryListBox::resizeEvent(QResizeEvent* event) {
  QListWidget::resizeEvent(event);
  ShowCurrent();
}

fs::path DirectoryListBox::CurrentItemPath() const {
  const int row = currentRow();
  return row >= 0 && static_cast<std::size_t>(row) < paths_.size() ? paths_[static_cast<std::size_t>(row)] : directory_;
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
    Choose(currentRow());
    return;
  }
  QListWidget::keyPressEvent(event);
}

void DirectoryListBox::Choose(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= paths_.size()) return;
  emit directoryChosen(paths_[static_cast<std::size_t>(row)]);
}

}  // namespace shell
