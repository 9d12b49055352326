#pragma once
// Shared by the local pane's tests: prompts that answer from a script and write down every
// call, and directory trees described in one line per entry, both to build them and to read
// back what is on disk:
//   "dir/"            a directory
//   "dir/a.txt=abc"   a file and its content
//   "link->target"    a symbolic link and what it points to
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "listing/PaneModel.h"
#include "local/LocalPrompts.h"
#include "support/peers/TempDir.h"
#include "support/listing/ListingTestSupport.h"

namespace local {
namespace {

namespace fs = std::filesystem;
using listing::Names;

using testsupport::PrintTo;

// Selects exactly the items with these captions.
inline void SelectCaptions(listing::PaneModel& pane, const Names& captions) {
  pane.ChangeSelection([&](const listing::PaneItem& item) {
    return std::find(captions.begin(), captions.end(), item.caption) != captions.end();
  });
}

struct ScriptedPrompts : LocalPrompts {
  bool InputDialog(const std::string& title, const std::string& prompt, std::string& value, bool,
                   int maxLength) override {
    calls.push_back("input " + title + "|" + prompt + "|" + value + "|" + std::to_string(maxLength));
    if (answer) value = *answer;
    return answer.has_value();
  }
  bool Confirm(const std::string& title, const std::string& text) override {
    calls.push_back("confirm " + title + "|" + text);
    if (whileConfirming) whileConfirming();
    return confirm;
  }
  void ReportError(const std::string& text) override { calls.push_back("error " + text); }
  void ViewTextFile(const fs::path& file) override { calls.push_back("view " + file.native()); }
  void RunFile(const fs::path& file, const fs::path& workingDirectory) override {
    calls.push_back("run " + file.native() + " in " + workingDirectory.native());
  }

  std::optional<std::string> answer;  // of the input dialog; nothing: cancelled
  bool confirm = false;
  std::function<void()> whileConfirming;
  Names calls;
};

inline void MakeTree(const fs::path& root, const Names& entries) {
  for (const std::string& entry : entries) {
    const std::size_t arrow = entry.find("->");
    const std::size_t equals = entry.find('=');
    const fs::path path = root / entry.substr(0, std::min(arrow, equals));
    fs::create_directories(path.parent_path());
    if (arrow != std::string::npos) {
      fs::create_symlink(entry.substr(arrow + 2), path);
    } else if (equals != std::string::npos) {
      std::ofstream(path) << entry.substr(equals + 1);
    } else {
      fs::create_directories(path);
    }
  }
}

// Everything below `root`, links not followed, in the notation above, sorted.
inline Names TreeOf(const fs::path& root) {
  std::set<std::string> entries;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string name = it->path().lexically_relative(root).native();
    if (it->is_symlink()) {
      entries.insert(name + "->" + fs::read_symlink(it->path()).native());
    } else if (it->is_directory()) {
      entries.insert(name + "/");
    } else {
      std::ifstream file(it->path());
      entries.insert(name + "=" + std::string(std::istreambuf_iterator<char>(file), {}));
    }
  }
  return Names(entries.begin(), entries.end());
}

// A temporary directory with a tree in it.
struct Tree {
  explicit Tree(const Names& entries) { MakeTree(Root(), entries); }
  const fs::path& Root() const { return dir.Path(); }
  // A path relative to the root ("" is the root itself), or an absolute one.
  fs::path Under(const std::string& path) const {
    return path.empty() ? Root() : path.starts_with('/') ? fs::path(path) : Root() / path;
  }
  testsupport::TempDir dir;
};

}  // namespace
}  // namespace local
