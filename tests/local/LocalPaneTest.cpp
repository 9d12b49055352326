#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <functional>

#include "local/LocalPane.h"
#include "support/local/LocalTestSupport.h"

namespace local {
namespace {

// "name/" for a directory, "name size" for a file; "*" in front when selected.
Names Shown(const listing::PaneModel& pane) {
  Names shown;
  for (const listing::PaneItem& item : pane.Items()) {
    shown.push_back((item.selected ? "*" : "") + item.caption +
                    (item.IsDirectory() ? "/" : " " + item.subItems[listing::kSubSize]));
  }
  return shown;
}

// Every "$" in the texts stands for the tree's root.
Names Expanded(Names texts, const fs::path& root) {
  for (std::string& text : texts) {
    for (auto at = text.find('$'); at != std::string::npos; at = text.find('$', at + root.native().size())) {
      text.replace(at, 1, root.native());
    }
  }
  return texts;
}

struct PaneCase {
  const char* what;
  Names tree = {};
  const char* start = "";  // relative to the root, or absolute
  Names selected = {};     // captions
  std::optional<std::string> answer = std::nullopt;
  bool confirm = false;
  std::function<void(LocalPane&)> command = nullptr;
  Names calls = {};                           // what the prompts were asked
  std::optional<Names> after = std::nullopt;  // the tree afterwards; nothing: as it was
  const char* directory = "";                 // the pane's directory afterwards
  std::optional<Names> shown = std::nullopt;  // the pane's items afterwards
};

class LocalPaneTest : public testing::TestWithParam<PaneCase> {};

TEST_P(LocalPaneTest, DoesWhatTheUserAsked) {
  const PaneCase& c = GetParam();
  const Tree tree(c.tree);
  const Names before = TreeOf(tree.Root());
  ScriptedPrompts prompts;
  prompts.answer = c.answer;
  prompts.confirm = c.confirm;
  LocalPane pane(prompts, tree.Under(c.start));
  ASSERT_EQ(pane.Directory(), tree.Under(c.start));
  SelectCaptions(pane.Model(), c.selected);
  c.command(pane);
  EXPECT_EQ(prompts.calls, Expanded(c.calls, tree.Root()));
  EXPECT_EQ(TreeOf(tree.Root()), c.after.value_or(before));
  EXPECT_EQ(pane.Directory(), tree.Under(c.directory));
  if (c.shown) {
    EXPECT_EQ(Shown(pane.Model()), *c.shown);
  }
}

void OpenItem(LocalPane& pane, const std::string& caption) {
  SelectCaptions(pane.Model(), {caption});
  pane.Open(pane.Model().SelectedIndexes().at(0));
}

const auto kList = std::mem_fn(&LocalPane::ListLocalDirectory);
const auto kCreateDirectory = std::mem_fn(&LocalPane::CreateDirectory);
const auto kRename = std::mem_fn(&LocalPane::Rename);
const auto kDelete = std::mem_fn(&LocalPane::Delete);
const auto kUpperCase = [](LocalPane& p) { p.ChangeLocalCase(CaseMode::Upper); };
const char* const kCreate = "input Create Directory|Enter new directory name:||255";
const char* const kRenameA = "input Rename|Enter new name:|a.txt|255";
const Names kDirectoryOfThree = {"d/", "d/a=1", "d/b=2", "d/e/"};
const char* const kTwoAndTwo = "confirm Attention|Do you wish to remove 2 file(s) and 2 folder(es)";
const char* const kOneAndOne = "confirm Attention|Do you wish to remove 1 file(s) and 1 folder(es)";

const PaneCase kPaneCases[] = {
    // Listing and moving about.
    {.what = "list dot files too, directories first, names ignoring case",
     .tree = {"b.txt=12", "A.txt=1", "sub/", ".hidden=", "Zed/"}, .command = kList,
     .shown = Names{"sub/", "Zed/", ".hidden 0", "A.txt 1", "b.txt 2"}},
    {.what = "list links as what they point to, a dangling one as itself",
     .tree = {"real/", "f=abc", "todir->real", "tofile->f", "dangling->nowhere"}, .command = kList,
     .shown = Names{"real/", "todir/", "dangling 7", "f 3", "tofile 3"}},
    {.what = "list a directory that vanished as empty without an error", .tree = {"d/", "d/a="}, .start = "d",
     .command = [](LocalPane& p) { fs::remove_all(p.Directory()), p.ListLocalDirectory(); }, .after = Names{},
     .directory = "d", .shown = Names{}},
    {.what = "the filter stores the mask, which hides directories too",
     .tree = {"a.txt=", "b.log=", "docs/", "notes.txt/"}, .answer = "*.txt",
     .command = std::mem_fn(&LocalPane::Filter), .calls = {"input Local Filter|Mask|*.*|255"},
     .shown = Names{"notes.txt/", "a.txt 0"}},
    {.what = "open a link to a directory and go back the same way", .tree = {"real/x=", "link->real"},
     .command =
         [](LocalPane& p) {
           OpenItem(p, "link");
           EXPECT_EQ(Shown(p.Model()), Names{"x 0"});
           p.UpOneLevel();
         }},
    {.what = "up one level at the root stays", .start = "/", .command = std::mem_fn(&LocalPane::UpOneLevel),
     .directory = "/"},
    {.what = "change directory normalises a relative path", .tree = {"sub/deeper/"},
     .command = [](LocalPane& p) { EXPECT_TRUE(p.ChangeDirectory("sub/deeper/..")); }, .directory = "sub"},
    {.what = "change directory refuses a file", .tree = {"sub/", "f="}, .start = "sub",
     .command = [](LocalPane& p) { EXPECT_FALSE(p.ChangeDirectory("../f")); }, .directory = "sub"},
    // Create, rename and run.
    {.what = "create makes the directory and moves into it", .answer = "new", .command = kCreateDirectory,
     .calls = {kCreate}, .after = Names{"new/"}, .directory = "new"},
    {.what = "create an existing name reports and stays", .tree = {"new/"}, .answer = "new",
     .command = kCreateDirectory, .calls = {kCreate, "error $/new: File exists"}},
    {.what = "create an absolute name stays below the directory", .answer = "/x", .command = kCreateDirectory,
     .calls = {kCreate}, .after = Names{"x/"}, .directory = "x"},
    {.what = "rename keeps only the last component of the answer", .tree = {"a.txt=1"}, .selected = {"a.txt"},
     .answer = "/other/b.txt", .command = kRename, .calls = {kRenameA}, .after = Names{"b.txt=1"},
     .shown = Names{"b.txt 1"}},
    {.what = "rename never replaces an existing entry", .tree = {"a.txt=1", "b.txt=2"}, .selected = {"a.txt"},
     .answer = "b.txt", .command = kRename, .calls = {kRenameA, "error $/a.txt: File exists"}},
    {.what = "rename reports a name too long", .tree = {"a.txt=1"}, .selected = {"a.txt"},
     .answer = std::string(300, 'n'), .command = kRename, .calls = {kRenameA, "error $/a.txt: File name too long"}},
    {.what = "rename a name that is not UTF-8", .tree = {"\xff.txt=1"}, .selected = {"\xff.txt"}, .answer = "ok",
     .command = kRename, .calls = {"input Rename|Enter new name:|\xff.txt|255"}, .after = Names{"ok=1"}},
    {.what = "run the selected file in the pane's directory", .tree = {"d/a.sh="}, .start = "d", .selected = {"a.sh"},
     .command = std::mem_fn(&LocalPane::Run), .calls = {"run $/d/a.sh in $/d"}, .directory = "d"},
    // Delete.
    {.what = "delete a directory of two files and an empty one", .tree = kDirectoryOfThree, .selected = {"d"},
     .confirm = true, .command = kDelete, .calls = {kTwoAndTwo}, .after = Names{}, .shown = Names{}},
    {.what = "delete answered No deletes nothing", .tree = kDirectoryOfThree, .selected = {"d"},
     .command = kDelete, .calls = {kTwoAndTwo}},
    {.what = "delete without a selection takes the directory and leaves it even on No", .tree = {"d/a=1"},
     .start = "d", .command = kDelete, .calls = {kOneAndOne}, .shown = Names{"d/"}},
    {.what = "delete without a selection at the root asks nothing", .start = "/", .command = kDelete,
     .directory = "/"},
    {.what = "delete removes a link inside, never what it points to",
     .tree = {"outside/keep=1", "d/", "d/link->../outside"}, .selected = {"d"}, .confirm = true,
     .command = kDelete, .calls = {kOneAndOne}, .after = Names{"outside/", "outside/keep=1"}},
    {.what = "delete counts a selected link to a directory as a file", .tree = {"outside/keep=1", "link->outside"},
     .selected = {"link"}, .confirm = true, .command = kDelete,
     .calls = {"confirm Attention|Do you wish to remove 1 file(s)"}, .after = Names{"outside/", "outside/keep=1"}},
    // Case change.
    {.what = "case change renames the selection and keeps the pane as it stands",
     .tree = {"Readme.TXT=1", "Отчёт.txt=2", "b.TXT=3", "keep=4"}, .selected = {"Readme.TXT", "Отчёт.txt", "b.TXT"},
     .command = kUpperCase, .after = Names{"B.TXT=3", "README.TXT=1", "keep=4", "Отчёт.TXT=2"},
     .shown = Names{"*B.TXT 1", "keep 1", "*README.TXT 1", "*Отчёт.TXT 1"}},
    {.what = "case change never replaces another file and stops there", .tree = {"A.TXT=1", "a.txt=2", "b.txt=3"},
     .selected = {"a.txt", "b.txt"}, .command = kUpperCase, .calls = {"error $/a.txt: File exists"}},
};
INSTANTIATE_TEST_SUITE_P(Commands, LocalPaneTest, testing::ValuesIn(kPaneCases), listing::CaseName());

// Root can remove nearly anything, but not a directory that is no longer empty.
TEST(LocalDeleteTest, FailureStopsTheDeletionAndIsReported) {
  const Tree tree({"d/a=1", "d/sub/b=2"});
  ScriptedPrompts prompts;
  prompts.confirm = true;
  prompts.whileConfirming = [&] { MakeTree(tree.Root(), {"d/sub/late=3"}); };
  LocalPane pane(prompts, tree.Root());
  SelectCaptions(pane.Model(), {"d"});
  pane.Delete();
  EXPECT_EQ(prompts.calls, Expanded({kTwoAndTwo, "error $/d/sub: Directory not empty"}, tree.Root()));
  EXPECT_EQ(TreeOf(tree.Root()), (Names{"d/", "d/sub/", "d/sub/late=3"}));
  EXPECT_EQ(Shown(pane.Model()), (Names{"d/"}));
}

TEST(LocalListingTest, DateAndTimeAreLocalTime) {
  const Tree tree({"f="});
  std::tm tm{};
  ASSERT_NE(::strptime("2024-03-05 07:09:00", "%Y-%m-%d %H:%M:%S", &tm), nullptr);
  tm.tm_isdst = -1;
  const timespec times[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (tree.Root() / "f").c_str(), times, 0), 0);
  ScriptedPrompts prompts;
  const LocalPane pane(prompts, tree.Root());
  EXPECT_EQ(pane.Model().Item(0).subItems, (std::array<std::string, 4>{"0", "05.03.2024", "07:09", ""}));
}

struct EnablingCase {
  const char* what;
  listing::PaneItem item;  // the pane's one item
  bool atTreeTop;
  bool serverDirectoryShown;
  LocalCommands expected;
};

class LocalCommandsTest : public testing::TestWithParam<EnablingCase> {};

TEST_P(LocalCommandsTest, FollowTheSelection) {
  const EnablingCase& c = GetParam();
  EXPECT_EQ(LocalCommandsFor(listing::PaneOf({c.item}), c.atTreeTop, c.serverDirectoryShown), c.expected);
}

const EnablingCase kEnablingCases[] = {
    {"a selected file, no server directory", {"a", listing::kImageFile, {}, true}, true, false, {true, true, true, false}},
    {"a selected directory: no view, run or menu delete", {"d", listing::kImageDirectory, {}, true}, true, true,
     {false, true, true, true}},
    {"nothing selected below the top", listing::File("a"), false, true, {false, true, true, false}},
    {"nothing selected at the top", listing::File("a"), true, true, {false, true, false, false}},
};
INSTANTIATE_TEST_SUITE_P(States, LocalCommandsTest, testing::ValuesIn(kEnablingCases), listing::CaseName());

}  // namespace
}  // namespace local
