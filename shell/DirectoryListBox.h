#pragma once
// The local directory list box: the chain of directories from the root down to the current
// local directory, each one level further in, followed by the current directory's
// subdirectories in name order. The first entry is the root.
//
// The entry the user clicks becomes the box's current item; a double click or Enter on an
// entry asks for it to become the current directory (directoryChosen). The box itself
// changes its directory only through SetDirectory, which the local pane's logic calls (and
// which raises no signal), so the logic stays the one owner of the current directory.
#include <QListWidget>
#include <filesystem>
#include <vector>

namespace shell {

class DirectoryListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit DirectoryListBox(QWidget* parent = nullptr);

  // Shows `directory` (an absolute path) with the current item on it; an unreadable
  // directory shows without subdirectories.
  void SetDirectory(const std::filesystem::path& directory);
  const std::filesystem::path& Directory() const { return directory_; }

  // The path of the current item, and whether it is the first entry (the root).
  std::filesystem::path CurrentItemPath() const;
  bool CurrentIsFirst() const { return currentRow() <= 0; }

 signals:
  void directoryChosen(const std::filesystem::path& path);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Scrolls the current item into the middle of the box, whenever the box changes its size
  // too (it gets its height only after it is shown).
  void ShowCurrent();
  void Choose(int row);

  std::filesystem::path directory_;
  std::vector<std::filesystem::path> paths_;  // one per row
};

}  // namespace shell
