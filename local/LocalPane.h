#pragma once
// The left pane of the main window apart from its widgets: the current local directory, the
// filter mask and the items that list the directory, and the commands on them.
//
// Directory. The pane's directory is its own state, never the process's: the session takes
// it as the local working directory (WorkDirectory) and resolves relative local names in it.
// It is always an absolute, lexically normal path without a trailing "/", except the root
// "/", which is the top of the directory tree (up one level stays there, and the delete
// command without a selection does not offer it). A path through a symbolic link stays as
// the user walked it: up one level goes back the way the user came.
//
// Listing. ListLocalDirectory fills the model inside one update: one item per entry whose
// name matches the filter mask by listing::MatchesMask (directories too, dot files too;
// never "." and ".."), then sorts once with the model's sort key. An item is a directory
// (image 0, no size) when the entry is one or links to one, so it opens like one; every
// other entry is a file (image 1) with its size in bytes. Date and time are those of the last
// modification in local time, as "dd.mm.yyyy" and "hh:mm" (24 hours), the forms of a Russian
// desktop; the date keeps the day in characters 1-2, the month in 4-5 and the year in 7-10,
// which the date sort relies on. An entry that cannot be examined (a link to nowhere) shows
// as what it is itself. A directory that cannot be read lists as empty; listing never
// reports an error. Names are bytes as the file system gives them, valid UTF-8 or not.
//
// Commands. Every question goes through LocalPrompts. A failing file operation is reported
// with LocalPrompts::ReportError as "<path>: <the system's message>", and nothing after the
// failing step is done, but for one thing: a delete that failed half way still relists, as
// what it removed before the failure stays removed.
#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "listing/PaneModel.h"
#include "local/CaseConversion.h"
#include "local/LocalCommands.h"
#include "local/LocalPrompts.h"

namespace local {

class LocalPane {
 public:
  // Lists `directory` (a relative one taken from the process's current directory) at once;
  // when it is not a directory the pane starts at "/".
  LocalPane(LocalPrompts& prompts, const std::filesystem::path& directory);

  const std::filesystem::path& Directory() const { return directory_; }
  // The directory with a trailing "/", the form the session joins local names to.
  std::string WorkDirectory() const;

  listing::PaneModel& Model() { return model_; }
  const listing::PaneModel& Model() const { return model_; }

  // The mask of the listing (default "*.*"); the selection commands store theirs here too.
  // Setting it does not relist.
  const std::string& FilterMask() const { return filterMask_; }
  void SetFilterMask(std::string mask) { filterMask_ = std::move(mask); }

  // Moves the pane to `directory` (relative to the pane's directory when not absolute) and
  // relists. False, and nothing changes, when it is not an existing directory.
  bool ChangeDirectory(const std::filesystem::path& directory);
  void ListLocalDirectory();

  // A double click on the item at `index`: into it when it is a directory; a file: nothing.
  void Open(std::size_t index);
  // To the parent directory; at "/" nothing changes.
  void UpOneLevel();

  // The local filter: asks for the mask ("Local Filter", "Mask"); confirmed, stores it and
  // relists.
  void Filter();
  // Asks for a name ("Create Directory"), creates the directory and moves into it.
  void CreateDirectory();
  // Asks for a new name for the first selected item ("Rename"); only the last component of
  // the answer counts, so the entry stays in this directory. An existing entry of the new
  // name is never replaced: the rename fails with the system's "File exists".
  void Rename();
  // Deletes the selected items, or with nothing selected the pane's directory itself (the
  // pane moves to its parent first), recursively after the confirmation "Do you wish to
  // remove %d file(s)" (+ " and %d folder(es)"). Symbolic links are removed as links and
  // counted as files: what they point to is never touched or descended into.
  void Delete();
  // The first selected item, when it is a file: shown in the text viewer (ViewAsText), or
  // opened as the desktop does, with the pane's directory as working directory (Run).
  void ViewAsText();
  void Run();

  // Renames every selected item, in pane order, to its name in `mode`, and gives the item
  // its new caption. The pane is neither relisted nor resorted, and keeps its selection.
  void ChangeLocalCase(CaseMode mode);

  // Which local commands are enabled now; see LocalCommands.h.
  LocalCommands UpdateLocalCommands(bool serverDirectoryShown) const;

 private:
  // The pane's directory joined with a name as text, so that an absolute name typed by the
  // user stays below the directory rather than replacing it.
  std::filesystem::path PathOf(const std::string& name) const { return WorkDirectory() + name; }
  void ReportFailure(const std::filesystem::path& path, std::error_code error);
  // The first selected item, or nothing.
  const listing::PaneItem* FirstSelected() const;
  const listing::PaneItem* FirstSelectedFile() const;

  LocalPrompts& prompts_;
  std::filesystem::path directory_;
  std::string filterMask_{"*.*"};
  listing::PaneModel model_;
};

}  // namespace local
