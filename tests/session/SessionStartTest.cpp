// Start-up and closing, the options, and the site commands while no session is open.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/CaseName.h"
#include "support/session/SessionHarness.h"
#include "settings/commands.h"
#include "sites/SiteList.h"

namespace fs = std::filesystem;
using session::Command;
using session::Surface;
using sessiontest::SessionHarness;

namespace {

SiteRecord NamedSite(const std::string& name, const std::string& server = "127.0.0.1") {
  SiteRecord site = NewSiteRecord(ProgramOptions{});
  site.Name = name;
  site.Server = server;
  return site;
}

std::vector<std::string> StoredSiteNames(const fs::path& programDir) {
  SiteList sites;
  LoadSiteList(sites, ProgramOptions{}, programDir.string());
  std::vector<std::string> names;
  for (const SiteRecord& site : sites) names.push_back(site.Name);
  return names;
}

TEST(SessionStart, WithoutStoredFilesShowsAnEmptySiteListReadyToConnect) {
  SessionHarness h;
  std::ofstream(h.LocalDir() / "local.txt") << "x";
  h.Start();
  auto& logic = h.Logic();
  EXPECT_TRUE(logic.ShowingSites());
  EXPECT_TRUE(logic.RemotePane().Empty());
  EXPECT_TRUE(logic.Enabled(Command::Connect, Surface::Control));
  EXPECT_FALSE(logic.Enabled(Command::Disconnect, Surface::Control));
  EXPECT_FALSE(logic.Enabled(Command::UploadSelection, Surface::Control));
  EXPECT_FALSE(logic.Enabled(Command::DownloadSelection, Surface::Control));
  EXPECT_EQ(logic.LocalWorkDir(), h.LocalDir().string() + "/");
  ASSERT_EQ(logic.LocalPane().Model().Count(), 1u);
  EXPECT_EQ(logic.LocalPane().Model().Item(0).caption, "local.txt");
  EXPECT_FALSE(logic.KeepAliveTimer().Enabled());
}

TEST(SessionStart, ListingFileLivesInAPrivateDirectoryRemovedAtExit) {
  fs::path privateDir;
  {
    SessionHarness h;
    h.Start();
    const fs::path file = h.Logic().ListingFile();
    privateDir = file.parent_path();
    EXPECT_EQ(file.filename().string(), "FTPDIR" + std::to_string(::getpid()) + ".TXT");
    struct stat st {};
    ASSERT_EQ(::stat(privateDir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_NE(privateDir, h.LocalDir());
  }
  EXPECT_FALSE(fs::exists(privateDir));
}

TEST(SessionStart, LoadsWhatIsStoredAndSavesTheCommandsAtExit) {
  SessionHarness h;
  h.AddSite(NamedSite("b-site"));
  h.AddSite(NamedSite("A-site"));
  CustomCommands commands{{"List all"}, {"LIST -la"}};
  ASSERT_TRUE(SaveCommands(commands, h.ProgramDir().string()));
  h.options.LogEnabled = true;
  h.options.LogFile = "run.log";
  h.Start();
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"A-site", "b-site"})) << "sorted by name";
  EXPECT_EQ(h.Logic().Sites().front().Name, "b-site") << "the list keeps the file's order";
  EXPECT_EQ(h.Logic().StoredCommands().CommandLines, commands.CommandLines);
  EXPECT_TRUE(h.Logic().Log().FileOpen());
  EXPECT_TRUE(fs::exists(h.ProgramDir() / "run.log"));

  fs::remove(h.ProgramDir() / "commands.txt");
  h.Stop();
  EXPECT_EQ(LoadCommands(h.ProgramDir().string()).CommandAliases, commands.CommandAliases);
}

TEST(SessionStart, OptionsDialogIsAppliedWhateverItsAnswer) {
  SessionHarness h;
  h.Start();
  h.prompts.optionsDialog = [](ProgramOptions& options) {
    options.ConnectionType = ftpSocks5;
    options.SocksServer = "127.0.0.1";
    options.SocksPort = "1080";
    options.TimeOut = 42;
    options.TransferMode = 2;
    return false;
  };
  h.Logic().Run(Command::Options);
  EXPECT_EQ(h.Engine().ConnectionType(), ftpSocks5);
  EXPECT_EQ(h.Engine().SocksServer(), "127.0.0.1");
  EXPECT_EQ(h.Engine().Timeout(), 42);
  EXPECT_TRUE(h.Engine().Binary());
  EXPECT_TRUE(h.Engine().Passive()) << "relayed connections are passive";
}

// ---- Site commands ------------------------------------------------------------------------------

// The site manager's answer: saved under this name.
std::function<bool(SiteRecord&)> Saves(const std::string& name) {
  return [=](SiteRecord& site) {
    site.Name = name;
    return true;
  };
}

struct SiteCommandCase {
  const char* name;
  std::vector<std::string> selected;  // of the stored "alpha", "beta" and "gamma"
  Command command;
  std::vector<std::function<bool(SiteRecord&)>> edits;
  std::vector<std::string> asked;
  std::vector<std::string> stored;  // in the file's order
  std::function<void(SessionHarness&)> check;
};

class SiteCommandTest : public ::testing::TestWithParam<SiteCommandCase> {};

TEST_P(SiteCommandTest, SavesTheSites) {
  const SiteCommandCase& c = GetParam();
  SessionHarness h;
  for (const char* name : {"alpha", "beta", "gamma"}) h.AddSite(NamedSite(name));
  h.Start();
  h.SelectRemote(c.selected);
  h.prompts.siteEdits.assign(c.edits.begin(), c.edits.end());
  h.Logic().Run(c.command);
  EXPECT_EQ(h.prompts.asked, c.asked);
  EXPECT_EQ(StoredSiteNames(h.ProgramDir()), c.stored);
  if (c.check) c.check(h);
}

const std::function<bool(SiteRecord&)> kCancels = [](SiteRecord&) { return false; };

INSTANTIATE_TEST_SUITE_P(
    Table, SiteCommandTest,
    ::testing::Values(
        SiteCommandCase{"NewSiteCancelledStoresNothing", {"alpha"}, Command::NewSite, {kCancels}, {"EditSite: "},
                        {"alpha", "beta", "gamma"}},
        SiteCommandCase{"NewSiteIsAddedSelectedAndSaved", {"alpha"}, Command::NewSite, {Saves("delta")},
                        {"EditSite: "}, {"alpha", "beta", "gamma", "delta"},
                        [](SessionHarness& h) {
                          EXPECT_EQ(SessionHarness::Selected(h.Logic().RemotePane()), std::vector<std::string>{"delta"});
                          EXPECT_EQ(h.Logic().Sites().back().User, "anonymous") << "a new site starts from the defaults";
                        }},
        SiteCommandCase{"PropertiesEditTheSelectedSite", {"beta"}, Command::SiteProperties, {Saves("beta2")},
                        {"EditSite: beta"}, {"alpha", "beta2", "gamma"},
                        [](SessionHarness& h) {
                          EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"alpha", "beta2", "gamma"}));
                        }},
        SiteCommandCase{"PropertiesWithoutASelectionAddASiteFromAnEmptyRecord", {}, Command::SiteProperties,
                        {[](SiteRecord& site) {
                          EXPECT_EQ(site, SiteRecord{});
                          site.Name = "zeta";
                          return true;
                        }},
                        {"EditSite: "}, {"alpha", "beta", "gamma", "zeta"}},
        SiteCommandCase{"DeleteRemovesEverySelectedSiteUnasked", {"alpha", "gamma"}, Command::RemoteDelete, {}, {},
                        {"beta"},
                        [](SessionHarness& h) { EXPECT_EQ(h.RemoteCaptions(), std::vector<std::string>{"beta"}); }},
        SiteCommandCase{"ConnectWithoutASelectionOffersANewSite", {}, Command::Connect, {kCancels}, {"EditSite: "},
                        {"alpha", "beta", "gamma"},
                        [](SessionHarness& h) { EXPECT_FALSE(h.Logged("Connecting to")); }}),
    testsupport::CaseName());

}  // namespace
