// Start-up and closing, the options, and the site commands while no session is open.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

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

// Gives the site manager's answer: saved with these edits.
std::function<bool(SiteRecord&)> Saves(const std::string& name, const std::string& server) {
  return [=](SiteRecord& site) {
    site.Name = name;
    site.Server = server;
    return true;
  };
}

std::function<bool(SiteRecord&)> Cancels() {
  return [](SiteRecord&) { return false; };
}

class SiteCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    h.AddSite(NamedSite("alpha"));
    h.AddSite(NamedSite("beta"));
    h.AddSite(NamedSite("gamma"));
    h.Start();
  }

  std::vector<std::string> Selected() {
    std::vector<std::string> names;
    for (const auto& item : h.Logic().RemotePane().Items())
      if (item.selected) names.push_back(item.caption);
    return names;
  }

  SessionHarness h;
};

TEST_F(SiteCommands, NewSiteIsAddedSelectedAndSaved) {
  h.SelectRemote({"alpha"});
  h.prompts.siteEdits = {Cancels(), Saves("delta", "192.0.2.1")};
  h.Logic().Run(Command::NewSite);
  EXPECT_EQ(StoredSiteNames(h.ProgramDir()), (std::vector<std::string>{"alpha", "beta", "gamma"}));
  h.Logic().Run(Command::NewSite);
  EXPECT_EQ(StoredSiteNames(h.ProgramDir()), (std::vector<std::string>{"alpha", "beta", "gamma", "delta"}));
  EXPECT_EQ(Selected(), (std::vector<std::string>{"delta"}));
  EXPECT_EQ(h.Logic().Sites().back().User, "anonymous") << "a new site starts from the defaults";
}

TEST_F(SiteCommands, PropertiesEditTheSelectedSiteOrAddOne) {
  h.SelectRemote({"beta"});
  h.prompts.siteEdits = {Saves("beta2", "192.0.2.2")};
  h.Logic().Run(Command::SiteProperties);
  EXPECT_EQ(StoredSiteNames(h.ProgramDir()), (std::vector<std::string>{"alpha", "beta2", "gamma"}));
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"alpha", "beta2", "gamma"}));

  h.SelectRemote({});
  h.prompts.siteEdits = {[](SiteRecord& site) {
    EXPECT_EQ(site, SiteRecord{}) << "without a selection the dialog starts from an empty record";
    site.Name = "zeta";
    return true;
  }};
  h.Logic().Run(Command::SiteProperties);
  EXPECT_EQ(StoredSiteNames(h.ProgramDir()), (std::vector<std::string>{"alpha", "beta2", "gamma", "zeta"}));
}

TEST_F(SiteCommands, DeleteRemovesEverySelectedSite) {
  h.SelectRemote({"alpha", "gamma"});
  h.Logic().Run(Command::RemoteDelete);
  EXPECT_EQ(StoredSiteNames(h.ProgramDir()), (std::vector<std::string>{"beta"}));
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"beta"}));
  EXPECT_TRUE(h.prompts.asked.empty()) << "no confirmation is asked";
}

TEST_F(SiteCommands, ConnectWithoutASelectionOffersANewSite) {
  h.prompts.siteEdits = {Cancels()};
  h.Logic().Run(Command::Connect);
  EXPECT_EQ(h.prompts.asked, (std::vector<std::string>{"EditSite: "}));
  EXPECT_FALSE(h.Logged("Connecting to"));
}

}  // namespace
