// Transfers and remote operations against the real servers, checked on both disks: a tree
// listed, downloaded and uploaded byte for byte on every server, every answer of the overwrite
// prompt and every default action, resume that never corrupts, tree uploads judged against
// their own directory, ASCII by extension, the remote file commands and the cross-pane tools.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <type_traits>

#include "support/EventLoop.h"
#include "support/files/PatternFiles.h"
#include "support/peers/FtpServers.h"
#include "support/session/ServerSession.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using session::Command;
using session::OverwriteAction;
using sessiontest::SessionHarness;
using testsupport::DigestOf;
using testsupport::Sha256Of;
using testsupport::WritePattern;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

// Three levels, empty directories, blanks, Cyrillic letters and emoji in names.
const std::vector<std::string> kTopNames = {"Отчёт за март.txt", "😀 smile.bin", "empty", "Папка с пробелом"};
// 2021-03-04 05:06:00 UTC, when the top files were last written.
constexpr std::time_t kWritten = 1614834360;

void MakeTree(const fs::path& root) {
  fs::create_directories(root / "empty");
  fs::create_directories(root / "Папка с пробелом" / "deeper" / "пусто");
  WritePattern(root / "Отчёт за март.txt", 3000, 1);
  WritePattern(root / "😀 smile.bin", 70000, 2);
  WritePattern(root / "Папка с пробелом" / "émoji 🎉.txt", 10, 3);
  WritePattern(root / "Папка с пробелом" / "a b.txt", 0, 4);
  WritePattern(root / "Папка с пробелом" / "deeper" / "c.bin", 300000, 5);
  for (const char* file : {"Отчёт за март.txt", "😀 smile.bin"}) {
    const timespec times[2] = {{kWritten, 0}, {kWritten, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (root / file).c_str(), times, 0), 0);
  }
}

template <class Server>
class TreeTransfer : public sessiontest::ServerSession<Server> {
 protected:
  // Lists /pub/tree, downloads all of it and uploads it into /pub/back; `automatic`: a site of
  // automatic listings (MLSD where the server offers it), else one of the standard format.
  void RoundTrip(bool automatic) {
    auto& h = this->h;
    const fs::path pub = this->Pub();
    MakeTree(pub / "tree");
    fs::create_directories(pub / "back");
    SiteRecord site = this->Site("/pub/tree");
    site.AutoListing = automatic;
    this->Connect(site);
    if (this->HasFatalFailure()) return;
    const bool mlsd = automatic && !std::is_same_v<Server, testsupport::VsftpdPeer>;
    EXPECT_EQ(h.Logged("> MLSD"), mlsd) << h.Transcript();
    EXPECT_EQ(Sorted(h.RemoteCaptions()), Sorted(kTopNames)) << h.Transcript();
    EXPECT_EQ(h.Logic().PathItems(), (std::vector<std::string>{"SERVER LIST ...", "127.0.0.1", "pub", "tree"}));
    EXPECT_EQ(h.Logic().RemoteBaseDir(), "/pub/tree/");
    EXPECT_FALSE(fs::exists(h.Logic().ListingFile())) << "the listing file is read and deleted";
    // A machine listing's dates are shown in local time.
    std::tm local{};
    localtime_r(&kWritten, &local);
    char date[16], time[16];
    std::strftime(date, sizeof date, "%d.%m.%y", &local);
    std::strftime(time, sizeof time, "%H:%M", &local);
    for (const listing::PaneItem& item : h.Logic().RemotePane().Items()) {
      if (!mlsd || item.IsDirectory()) continue;
      EXPECT_EQ(item.subItems[listing::kSubDate], date) << item.caption;
      EXPECT_EQ(item.subItems[listing::kSubTime], time) << item.caption;
    }

    h.SelectAllRemote();
    this->Run(Command::DownloadSelection);
    EXPECT_EQ(DigestOf(h.LocalDir()), DigestOf(pub / "tree"));

    h.prompts.inputs = {"/pub/back"};
    this->Run(Command::RemoteChangeDirectory);
    h.SelectLocal(kTopNames);
    this->Run(Command::UploadSelection);
    EXPECT_EQ(DigestOf(pub / "back"), DigestOf(pub / "tree"));
    EXPECT_TRUE(h.LoggedLine("> MKD /pub/back/Папка с пробелом/deeper")) << h.Transcript();
    EXPECT_EQ(Sorted(h.RemoteCaptions()), Sorted(kTopNames)) << "the batch ends showing its start directory";
    EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
  }
};
TYPED_TEST_SUITE(TreeTransfer, testsupport::FtpServers, testsupport::PeerName);

TYPED_TEST(TreeTransfer, ByMachineListingWhereOffered) { this->RoundTrip(true); }

TYPED_TEST(TreeTransfer, ByListLines) { this->RoundTrip(false); }

// ---- The overwrite prompt and the default actions ---------------------------------------------

using VsftpdTransfer = sessiontest::ServerSession<testsupport::VsftpdPeer>;

// The local f.bin before the download of f.bin (4,000 bytes) and g.bin.
enum class Local { Prefix, Equal, Longer, Other };
// What f.bin holds afterwards; SavedAs: f.bin is unchanged, f2.bin holds the server's f.bin.
enum class Outcome { ServerCopy, Unchanged, SavedAs };

struct OverwriteCase {
  const char* name;
  bool prompt;
  int defaultAction;
  std::vector<std::pair<OverwriteAction, std::string>> answers;  // a SaveAs names a local file
  Local local;
  Outcome outcome;
  bool gExists = false;  // g.bin exists locally too (as other content)
  bool gFetched = true;
};

class OverwriteTable : public VsftpdTransfer, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTable, Download) {
  const OverwriteCase& c = GetParam();
  WritePattern(Pub() / "f.bin", 4000);
  WritePattern(Pub() / "g.bin", 2000, 7);
  const std::pair<std::size_t, int> kLocal[] = {{1500, 0}, {4000, 0}, {5000, 0}, {4000, 9}};  // size, seed
  const auto [size, seed] = kLocal[static_cast<int>(c.local)];
  WritePattern(h.LocalDir() / "f.bin", size, seed);
  WritePattern(h.LocalDir() / "f2.bin", 10, 9);
  if (c.gExists) WritePattern(h.LocalDir() / "g.bin", 10, 9);
  const std::string before = Sha256Of(h.LocalDir() / "f.bin");
  h.options.PromptDownload = c.prompt;
  h.options.DefaultPromptAction = c.defaultAction;
  Connect();
  for (const auto& [action, name] : c.answers)
    h.prompts.overwrites.emplace_back(action, name.empty() ? "" : (h.LocalDir() / name).string());

  h.SelectRemote({"f.bin", "g.bin"});
  h.Logic().Run(Command::DownloadSelection);
  if (c.gFetched) {
    ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  } else {
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !h.Logic().Busy() && !h.Logic().RequestRunning(); }, 10s));
  }
  EXPECT_TRUE(h.prompts.unanswered.empty()) << h.Transcript();
  EXPECT_TRUE(h.prompts.overwrites.empty()) << "every answer was asked for";
  EXPECT_EQ(Sha256Of(h.LocalDir() / "f.bin"), c.outcome == Outcome::ServerCopy ? Sha256Of(Pub() / "f.bin") : before);
  EXPECT_EQ(Sha256Of(h.LocalDir() / "f2.bin") == Sha256Of(Pub() / "f.bin"), c.outcome == Outcome::SavedAs);
  EXPECT_EQ(Sha256Of(h.LocalDir() / "g.bin") == Sha256Of(Pub() / "g.bin"), c.gFetched);
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
  EXPECT_FALSE(h.Logic().Busy());
}

const OverwriteAction kResume = OverwriteAction::Resume;
const OverwriteAction kOverwrite = OverwriteAction::Overwrite;

INSTANTIATE_TEST_SUITE_P(
    Answers, OverwriteTable,
    ::testing::Values(
        OverwriteCase{"Resume", true, 0, {{kResume, ""}}, Local::Prefix, Outcome::ServerCopy},
        OverwriteCase{"ResumeOfACompleteFileSkipsIt", true, 0, {{kResume, ""}}, Local::Equal, Outcome::Unchanged},
        OverwriteCase{"ResumeOfALongerFileAsksAgain", true, 0, {{kResume, ""}, {kOverwrite, ""}}, Local::Longer,
                      Outcome::ServerCopy},
        OverwriteCase{"Overwrite", true, 0, {{kOverwrite, ""}}, Local::Other, Outcome::ServerCopy},
        OverwriteCase{"AllAsksOnce", true, 0, {{OverwriteAction::All, ""}}, Local::Other, Outcome::ServerCopy, true},
        OverwriteCase{"SaveAsAsksAgainForATargetThatExists", true, 0,
                      {{OverwriteAction::SaveAs, "f2.bin"}, {kOverwrite, ""}}, Local::Other, Outcome::SavedAs},
        OverwriteCase{"Skip", true, 0, {{OverwriteAction::Skip, ""}}, Local::Other, Outcome::Unchanged},
        OverwriteCase{"CancelEndsTheBatch", true, 0, {{OverwriteAction::Cancel, ""}}, Local::Other, Outcome::Unchanged,
                      false, false},
        OverwriteCase{"DefaultSkip", false, 0, {}, Local::Other, Outcome::Unchanged},
        OverwriteCase{"DefaultOverwrite", false, 1, {}, Local::Other, Outcome::ServerCopy},
        OverwriteCase{"DefaultResume", false, 2, {}, Local::Prefix, Outcome::ServerCopy},
        OverwriteCase{"DefaultResumeOfALongerFileOverwrites", false, 2, {}, Local::Longer, Outcome::ServerCopy}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Uploads judged against the directory the file goes to ------------------------------------

struct UploadCase {
  const char* name;
  std::optional<OverwriteAction> answer;  // none: the default action, without prompting
  int defaultAction;
  std::size_t remoteSize;  // /pub/t/x.bin holds this prefix of the local file (0: none)
  bool stored;             // x.bin is sent
};

class TreeUploadTable : public VsftpdTransfer, public ::testing::WithParamInterface<UploadCase> {};

TEST_P(TreeUploadTable, ComparesWithTheTargetDirectory) {
  const UploadCase& c = GetParam();
  // The start directory holds an x.bin of another size; the tree's x.bin goes to /pub/t.
  WritePattern(Pub() / "x.bin", 3000, 5);
  fs::create_directories(Pub() / "t");
  if (c.remoteSize > 0) WritePattern(Pub() / "t" / "x.bin", c.remoteSize);
  const fs::path local = h.LocalDir() / "t" / "x.bin";
  fs::create_directories(local.parent_path());
  WritePattern(local, 4000);
  h.options.PromptUpload = c.answer.has_value();
  h.options.DefaultPromptAction = c.defaultAction;
  if (c.answer) h.prompts.overwrites = {{*c.answer, ""}};
  Connect();
  h.SelectLocal({"t"});
  Run(Command::UploadSelection);
  EXPECT_EQ(Sha256Of(Pub() / "t" / "x.bin"), Sha256Of(local)) << h.Transcript();
  EXPECT_TRUE(h.prompts.overwrites.empty() && h.prompts.unanswered.empty()) << h.Transcript();
  const std::vector<std::string> sent = {local.string() + " 4000 sent"};
  EXPECT_EQ(h.progress.files, c.stored ? sent : std::vector<std::string>{});
  EXPECT_EQ(h.Logged("it is complete"), !c.stored) << h.Transcript();
  EXPECT_FALSE(h.progress.open) << "the final listing closes the progress window";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TreeUploadTable,
    ::testing::Values(UploadCase{"NamesakeInTheStartDirectoryIsNoReasonToSkip", std::nullopt, 0, 0, true},
                      UploadCase{"ResumeStartsFromTheTargetsOwnSize", std::nullopt, 2, 1500, true},
                      UploadCase{"PromptedResumeStartsFromTheTargetsOwnSize", kResume, 0, 1500, true},
                      UploadCase{"PromptedResumeOfACompleteFileSkipsIt", kResume, 0, 4000, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VsftpdTransfer, DesktopDropUploadsFilesAndTreesFromAnywhere) {
  testsupport::TempDir elsewhere;
  WritePattern(elsewhere.Path() / "loose.bin", 5000, 6);
  MakeTree(elsewhere.Path() / "tree");
  Connect();
  h.Logic().DropFilesOnRemotePane({elsewhere.Path() / "loose.bin", elsewhere.Path() / "tree/"});
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  EXPECT_EQ(Sha256Of(Pub() / "loose.bin"), Sha256Of(elsewhere.Path() / "loose.bin"));
  EXPECT_EQ(DigestOf(Pub() / "tree"), DigestOf(elsewhere.Path() / "tree")) << h.Transcript();
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"tree", "loose.bin"}));
  EXPECT_TRUE(fs::is_empty(h.LocalDir())) << "the local pane's directory takes no part";
}

TEST_F(VsftpdTransfer, LocalFailureIsReportedAndEndsTheBatch) {
  fs::create_directories(Pub() / "tree");
  WritePattern(Pub() / "tree" / "a.bin", 10);
  std::ofstream(h.LocalDir() / "tree") << "a file where the directory goes";
  Connect();
  h.SelectRemote({"tree"});
  h.Logic().Run(Command::DownloadSelection);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !h.Logic().Busy() && !h.Logic().RequestRunning(); }, 10s));
  ASSERT_EQ(h.prompts.errors.size(), 1u) << h.Transcript();
  EXPECT_EQ(h.prompts.errors[0], (h.LocalDir() / "tree").string() + "/: File exists");
  EXPECT_FALSE(h.Logged("RETR")) << h.Transcript();
}

TEST_F(VsftpdTransfer, FilterAndSelectionMasks) {
  WritePattern(Pub() / "a.txt", 10);
  WritePattern(Pub() / "b.bin", 10);
  fs::create_directories(Pub() / "dir.bin");
  Connect();
  h.prompts.inputs = {"*.txt", "*.txt"};
  h.Logic().Run(Command::RemoteFilter);
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"dir.bin", "a.txt"})) << "directories are never filtered";
  h.Logic().Run(Command::RemoteSelect, -3);
  EXPECT_EQ(h.Logic().LocalPane().FilterMask(), "*.txt") << "the mask asked for is the local pane's";
  EXPECT_TRUE(h.Logic().RemotePane().Item(1).selected);
  EXPECT_FALSE(h.Logic().RemotePane().Item(0).selected);
}

// ---- Remote file commands ---------------------------------------------------------------------

TEST_F(VsftpdTransfer, RemoteCommandsShowOnTheServersDisk) {
  fs::create_directories(Pub() / "sub" / "deep");
  WritePattern(Pub() / "old.txt", 100);
  Connect();

  h.prompts.inputs = {"made"};
  Run(Command::RemoteMakeDirectory);
  EXPECT_TRUE(fs::is_directory(Pub() / "made"));

  h.SelectRemote({"old.txt"});
  h.prompts.inputs = {"new.txt"};
  Run(Command::RemoteRename);
  EXPECT_TRUE(fs::exists(Pub() / "new.txt"));
  EXPECT_EQ(h.prompts.asked.back(), "InputDialog: Rename File|Enter new File name:|old.txt");

  h.SelectRemote({"new.txt"});
  h.prompts.modes = {600};
  Run(Command::RemotePermissions);
  EXPECT_TRUE(h.LoggedLine("> SITE CHMOD 600 new.txt")) << h.Transcript();
  EXPECT_EQ(fs::status(Pub() / "new.txt").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

  h.Logic().Bar().text = "MKD raw";
  Run(Command::SendCommandLine);
  EXPECT_TRUE(fs::is_directory(Pub() / "raw"));

  h.prompts.inputs = {"sub/deep"};
  Run(Command::RemoteChangeDirectory);
  EXPECT_EQ(h.Logic().PathItems(), (std::vector<std::string>{"SERVER LIST ...", "127.0.0.1", "pub", "sub", "deep"}));
  Run(Command::RemoteUpOneLevel);
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"deep"}));
  Run(Command::RemotePath, 1);
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"pub"}));
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
}

TEST_F(VsftpdTransfer, RecursiveDeleteEmptiesThenRemovesDeepestFirst) {
  fs::create_directories(Pub() / "del" / "sub" / "subsub");
  fs::create_directories(Pub() / "del" / "empty");
  WritePattern(Pub() / "del" / "f1", 10);
  WritePattern(Pub() / "del" / "sub" / "f2", 10);
  WritePattern(Pub() / "keep.txt", 10);
  WritePattern(Pub() / "gone.txt", 10);
  Connect();
  h.SelectRemote({"del", "gone.txt"});
  Run(Command::RemoteDelete);
  EXPECT_EQ(DigestOf(Pub()), (testsupport::TreeDigest{{"keep.txt", Sha256Of(Pub() / "keep.txt")}}));
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"keep.txt"}));
  std::vector<std::string> removals;
  for (const std::string& line : h.memo.lines)
    if (line.starts_with("> RMD ")) removals.push_back(line);
  ASSERT_EQ(removals.size(), 4u) << h.Transcript();
  EXPECT_EQ(removals.front(), "> RMD /pub/del/sub/subsub");
  EXPECT_EQ(removals.back(), "> RMD /pub/del");
}

TEST_F(VsftpdTransfer, FailureInATreeEndsTheBatchAndTheNextListingIsShown) {
  fs::create_directories(Pub() / "tree" / "later");
  WritePattern(Pub() / "tree" / "a.bin", 10);
  WritePattern(Pub() / "tree" / "b.bin", 10);
  WritePattern(Pub() / "tree" / "later" / "c.bin", 10);
  Connect();
  fs::permissions(Pub() / "tree" / "a.bin", fs::perms::none);  // the server cannot read it
  h.SelectRemote({"tree"});
  h.Logic().Run(Command::DownloadSelection);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return h.Logged("Error ") && !h.Logic().RequestRunning(); }, 10s))
      << h.Transcript();
  EXPECT_EQ(h.LogCount("Error "), 1) << h.Transcript();
  EXPECT_FALSE(fs::exists(h.LocalDir() / "tree" / "b.bin")) << "nothing after the failure";
  EXPECT_TRUE(h.Logic().Queues().DirQueue.empty());

  h.SelectRemote({"tree"});
  h.Logic().OpenRemoteEntry();
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"later", "a.bin", "b.bin"}));
  EXPECT_FALSE(fs::exists(h.LocalDir() / "tree" / "b.bin")) << "the listing was shown, not walked";
  EXPECT_EQ(h.LogCount("Error "), 1) << h.Transcript();
}

TEST_F(VsftpdTransfer, CompareAndChangeCaseOnBothPanes) {
  WritePattern(Pub() / "same.txt", 10);
  WritePattern(Pub() / "remote.txt", 10);
  WritePattern(h.LocalDir() / "same.txt", 10);
  WritePattern(h.LocalDir() / "Local.TXT", 11);
  Connect();
  h.Logic().Run(Command::CompareDirectories);
  EXPECT_EQ(SessionHarness::Selected(h.Logic().LocalPane().Model()), (std::vector<std::string>{"Local.TXT"}));
  EXPECT_EQ(SessionHarness::Selected(h.Logic().RemotePane()), (std::vector<std::string>{"remote.txt"}));

  h.Logic().Run(Command::LocalChangeCase, 1);
  EXPECT_TRUE(fs::exists(h.LocalDir() / "local.txt"));
  Run(Command::RemoteChangeCase, 0);
  EXPECT_TRUE(fs::exists(Pub() / "REMOTE.TXT"));
}

}  // namespace

// ---- ASCII by extension -------------------------------------------------------------------------

using ProftpdTransfer = sessiontest::ServerSession<testsupport::ProftpdPeer>;

TEST_F(ProftpdTransfer, AsciiModeFollowsTheExtensionsText) {
  h.options.TransferMode = 1;
  h.options.AsciiExtensions = "html,txt";
  std::ofstream(Pub() / "down.htm", std::ios::binary) << "x\ny\n";
  std::ofstream(Pub() / "down.bin", std::ios::binary) << "x\ny\n";
  std::ofstream(h.LocalDir() / "up.htm", std::ios::binary) << "a\r\nb\r\n";
  std::ofstream(h.LocalDir() / "up", std::ios::binary) << "a\r\nb\r\n";
  Connect();
  h.SelectRemote({"down.htm", "down.bin"});
  Run(Command::DownloadSelection);
  h.SelectLocal({"up.htm", "up"});
  Run(Command::UploadSelection);

  const auto read = testsupport::ReadAll;
  EXPECT_EQ(read(h.LocalDir() / "down.htm"), "x\r\ny\r\n") << "an extension inside the list's text is ASCII";
  EXPECT_EQ(read(h.LocalDir() / "down.bin"), "x\ny\n");
  EXPECT_EQ(read(Pub() / "up.htm"), "a\nb\n");
  EXPECT_EQ(read(Pub() / "up"), "a\r\nb\r\n") << "no extension is binary";
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
}
