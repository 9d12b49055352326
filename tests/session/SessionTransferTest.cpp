// Transfers and remote operations against the real servers, checked on both disks: a tree
// downloaded and uploaded byte for byte on every server, every answer of the overwrite prompt
// and every default action, resume that never corrupts, tree uploads judged against their own
// directory, ASCII by extension, the remote file commands and the cross-pane tools.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/files/PatternFiles.h"
#include "support/session/SessionHarness.h"
#include "support/EventLoop.h"
#include "support/peers/FtpServers.h"
#include "support/peers/PeerSuite.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using session::Command;
using session::OverwriteAction;
using testsupport::DigestOf;
using sessiontest::SessionHarness;
using testsupport::Sha256Of;
using testsupport::WritePattern;

namespace {

// Three levels, empty directories, blanks and Cyrillic letters in names.
void MakeTree(const fs::path& root) {
  fs::create_directories(root / "empty");
  fs::create_directories(root / "sub one" / "deeper" / "пусто");
  WritePattern(root / "a.txt", 1024, 1);
  WritePattern(root / "space name.bin", 70000, 2);
  WritePattern(root / "Отчёт.txt", 3000, 3);
  WritePattern(root / "sub one" / "b.bin", 300000, 4);
  WritePattern(root / "sub one" / "deeper" / "c.txt", 10, 5);
}

// A session at /pub of the server, in which /pub may be written.
template <class Server>
class ServerSession : public testsupport::PeerSuite<Server> {
 protected:
  static Server& Ftp() { return testsupport::PeerSuite<Server>::Peer(); }
  fs::path Pub() const { return Ftp().Root() / "pub"; }

  void SetUp() override {
    testsupport::PeerSuite<Server>::SetUp();
    if (this->IsSkipped() || this->HasFatalFailure()) return;
    fs::remove_all(Pub());
    fs::create_directories(Pub());
  }

  // Connects once the test has laid out the server's files.
  void Connect(const std::string& initialDir = "/pub") {
    Ftp().GiveToUser(Pub());
    h.AddSite(SessionHarness::SiteFor("box", Ftp().Port(), Ftp().User(), Ftp().Password(), initialDir));
    h.Start();
    h.ConnectTo("box");
    ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  }

  void Run(Command command, int tag = 0) {
    h.Logic().Run(command, tag);
    ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  }

  SessionHarness h;
};

template <class Server>
using TreeTransfer = ServerSession<Server>;
TYPED_TEST_SUITE(TreeTransfer, testsupport::FtpServers, testsupport::PeerName);

TYPED_TEST(TreeTransfer, DownloadsAndUploadsATreeByteForByte) {
  auto& h = this->h;
  MakeTree(this->Pub() / "tree");
  fs::create_directories(this->Pub() / "up");
  this->Connect();

  h.SelectRemote({"tree"});
  this->Run(Command::DownloadSelection);
  EXPECT_EQ(DigestOf(h.LocalDir() / "tree"), DigestOf(this->Pub() / "tree"));
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();

  h.prompts.inputs = {"up"};
  this->Run(Command::RemoteChangeDirectory);
  h.SelectLocal({"tree"});
  this->Run(Command::UploadSelection);
  EXPECT_EQ(DigestOf(this->Pub() / "up" / "tree"), DigestOf(h.LocalDir() / "tree"));
  EXPECT_TRUE(h.LoggedLine("> MKD /pub/up/tree/sub one/deeper")) << h.Transcript();
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"tree"})) << "the batch ends showing its start directory";
}

// ---- The overwrite prompt and the default actions ---------------------------------------------

using VsftpdTransfer = ServerSession<testsupport::VsftpdPeer>;

// The local f.bin before the download of f.bin (4,000 bytes) and g.bin.
enum class Local { Prefix, Equal, Longer, Other };
// What f.bin holds afterwards.
enum class Outcome { ServerCopy, Unchanged };

struct OverwriteCase {
  const char* name;
  bool prompt;
  int defaultAction;
  std::vector<std::pair<OverwriteAction, std::string>> answers;
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
  const std::map<Local, std::function<void(const fs::path&)>> local = {
      {Local::Prefix, [](const fs::path& p) { WritePattern(p, 1500); }},
      {Local::Equal, [](const fs::path& p) { WritePattern(p, 4000); }},
      {Local::Longer, [](const fs::path& p) { WritePattern(p, 5000); }},
      {Local::Other, [](const fs::path& p) { WritePattern(p, 4000, 9); }}};
  local.at(c.local)(h.LocalDir() / "f.bin");
  WritePattern(h.LocalDir() / "f2.bin", 10, 9);
  if (c.gExists) WritePattern(h.LocalDir() / "g.bin", 10, 9);
  const std::string before = Sha256Of(h.LocalDir() / "f.bin");
  h.options.PromptDownload = c.prompt;
  h.options.DefaultPromptAction = c.defaultAction;
  Connect();
  h.prompts.overwrites.assign(c.answers.begin(), c.answers.end());

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
        OverwriteCase{"Skip", true, 0, {{OverwriteAction::Skip, ""}}, Local::Other, Outcome::Unchanged},
        OverwriteCase{"CancelEndsTheBatch", true, 0, {{OverwriteAction::Cancel, ""}}, Local::Other, Outcome::Unchanged,
                      false, false},
        OverwriteCase{"DefaultSkip", false, 0, {}, Local::Other, Outcome::Unchanged},
        OverwriteCase{"DefaultOverwrite", false, 1, {}, Local::Other, Outcome::ServerCopy},
        OverwriteCase{"DefaultResume", false, 2, {}, Local::Prefix, Outcome::ServerCopy},
        OverwriteCase{"DefaultResumeOfALongerFileOverwrites", false, 2, {}, Local::Longer, Outcome::ServerCopy}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VsftpdTransfer, SaveAsAsksAgainForATargetThatExists) {
  WritePattern(Pub() / "f.bin", 4000);
  WritePattern(h.LocalDir() / "f.bin", 10, 9);
  WritePattern(h.LocalDir() / "f2.bin", 10, 9);
  const std::string before = Sha256Of(h.LocalDir() / "f.bin");
  Connect();
  h.prompts.overwrites = {{OverwriteAction::SaveAs, (h.LocalDir() / "f2.bin").string()}, {kOverwrite, ""}};
  h.SelectRemote({"f.bin"});
  Run(Command::DownloadSelection);
  EXPECT_EQ(h.prompts.asked.size(), 2u);
  EXPECT_EQ(Sha256Of(h.LocalDir() / "f2.bin"), Sha256Of(Pub() / "f.bin"));
  EXPECT_EQ(Sha256Of(h.LocalDir() / "f.bin"), before);
}

// ---- Uploads judged against the directory the file goes to ------------------------------------

struct UploadCase {
  const char* name;
  int defaultAction;
  bool remotePrefix;  // /pub/t/x.bin holds the first 1,500 bytes of the local file
};

class TreeUploadTable : public VsftpdTransfer, public ::testing::WithParamInterface<UploadCase> {};

TEST_P(TreeUploadTable, ComparesWithTheTargetDirectory) {
  // The start directory holds an x.bin of another size; the tree's x.bin goes to /pub/t.
  WritePattern(Pub() / "x.bin", 3000, 5);
  if (GetParam().remotePrefix) {
    fs::create_directories(Pub() / "t");
    WritePattern(Pub() / "t" / "x.bin", 1500);
  }
  fs::create_directories(h.LocalDir() / "t");
  WritePattern(h.LocalDir() / "t" / "x.bin", 4000);
  h.options.PromptUpload = false;
  h.options.DefaultPromptAction = GetParam().defaultAction;
  Connect();
  h.SelectLocal({"t"});
  Run(Command::UploadSelection);
  EXPECT_EQ(Sha256Of(Pub() / "t" / "x.bin"), Sha256Of(h.LocalDir() / "t" / "x.bin")) << h.Transcript();
}

INSTANTIATE_TEST_SUITE_P(Faults, TreeUploadTable,
                         ::testing::Values(UploadCase{"NamesakeInTheStartDirectoryIsNoReasonToSkip", 0, false},
                                           UploadCase{"ResumeStartsFromTheTargetsOwnSize", 2, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VsftpdTransfer, UploadResumesAndLeavesACompleteFile) {
  WritePattern(Pub() / "r.bin", 1500);
  WritePattern(Pub() / "c.bin", 2000, 3);
  WritePattern(h.LocalDir() / "r.bin", 4000);
  WritePattern(h.LocalDir() / "c.bin", 2000, 3);
  Connect();
  h.prompts.overwrites = {{kResume, ""}, {kResume, ""}};
  h.SelectLocal({"r.bin", "c.bin"});
  Run(Command::UploadSelection);
  EXPECT_EQ(Sha256Of(Pub() / "r.bin"), Sha256Of(h.LocalDir() / "r.bin"));
  EXPECT_TRUE(h.LoggedLine("Skipping c.bin: it is complete")) << h.Transcript();
  EXPECT_FALSE(h.Logged("STOR c.bin")) << h.Transcript();
  EXPECT_EQ(h.progress.files, (std::vector<std::string>{(h.LocalDir() / "r.bin").string() + " 4000 sent"}));
  EXPECT_FALSE(h.progress.open) << "the final listing closes the progress window";
}

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
  auto selected = [](listing::PaneModel& pane) {
    std::vector<std::string> names;
    for (const auto& item : pane.Items())
      if (item.selected) names.push_back(item.caption);
    return names;
  };
  EXPECT_EQ(selected(h.Logic().LocalPane().Model()), (std::vector<std::string>{"Local.TXT"}));
  EXPECT_EQ(selected(h.Logic().RemotePane()), (std::vector<std::string>{"remote.txt"}));

  h.Logic().Run(Command::LocalChangeCase, 1);
  EXPECT_TRUE(fs::exists(h.LocalDir() / "local.txt"));
  Run(Command::RemoteChangeCase, 0);
  EXPECT_TRUE(fs::exists(Pub() / "REMOTE.TXT"));
}

}  // namespace

// ---- ASCII by extension -------------------------------------------------------------------------

using ProftpdTransfer = ServerSession<testsupport::ProftpdPeer>;

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

  auto read = [](const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(read(h.LocalDir() / "down.htm"), "x\r\ny\r\n") << "an extension inside the list's text is ASCII";
  EXPECT_EQ(read(h.LocalDir() / "down.bin"), "x\ny\n");
  EXPECT_EQ(read(Pub() / "up.htm"), "a\nb\n");
  EXPECT_EQ(read(Pub() / "up"), "a\r\nb\r\n") << "no extension is binary";
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
}
