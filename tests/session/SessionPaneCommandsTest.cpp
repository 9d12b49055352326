// The commands of the panes' keys and drops: Enter opens, F5 lists again, drops are taken only
// where they can work, the upload entries follow the focus of the local pane, and in a session the
// site properties only beep.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/session/SessionHarness.h"
#include "listing/DragAcceptance.h"
#include "sites/SiteList.h"
#include "support/scripted/ScriptedFtpServer.h"

namespace fs = std::filesystem;
using session::Command;
using session::Surface;
using sessiontest::SessionHarness;

namespace {

struct PaneCommandCase {
  const char* name;
  std::function<void(SessionHarness&)> act;  // after the start, on a local pane holding "sub/" and "a.txt"
  std::function<void(SessionHarness&)> check;
};

void PrintTo(const PaneCommandCase& c, std::ostream* os) { *os << c.name; }

class PaneCommandTest : public ::testing::TestWithParam<PaneCommandCase> {};

TEST_P(PaneCommandTest, WithoutASession) {
  SessionHarness h;
  fs::create_directories(h.LocalDir() / "sub");
  std::ofstream(h.LocalDir() / "a.txt") << "a";
  h.Start();
  GetParam().act(h);
  GetParam().check(h);
}

std::vector<std::string> LocalCaptions(SessionHarness& h) {
  std::vector<std::string> captions;
  for (const listing::PaneItem& item : h.Logic().LocalPane().Model().Items()) captions.push_back(item.caption);
  return captions;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PaneCommandTest,
    ::testing::Values(
        PaneCommandCase{"EnterOpensTheSelectedLocalDirectory",
                        [](SessionHarness& h) {
                          h.SelectLocal({"sub"});
                          h.Logic().Run(Command::LocalOpen);
                        },
                        [](SessionHarness& h) { EXPECT_EQ(h.Logic().LocalPane().Directory(), h.LocalDir() / "sub"); }},
        PaneCommandCase{"EnterOnALocalFileStays",
                        [](SessionHarness& h) {
                          h.SelectLocal({"a.txt"});
                          h.Logic().Run(Command::LocalOpen);
                        },
                        [](SessionHarness& h) { EXPECT_EQ(h.Logic().LocalPane().Directory(), h.LocalDir()); }},
        PaneCommandCase{"RefreshListsLocalFilesMadeMeanwhile",
                        [](SessionHarness& h) {
                          std::ofstream(h.LocalDir() / "b.txt") << "b";
                          h.Logic().Run(Command::LocalRefresh);
                        },
                        [](SessionHarness& h) {
                          EXPECT_EQ(LocalCaptions(h), (std::vector<std::string>{"sub", "a.txt", "b.txt"}));
                        }},
        PaneCommandCase{"RefreshWithoutASessionReadsTheStoredSitesAgain",
                        [](SessionHarness& h) {
                          ASSERT_TRUE(SaveSiteList({SessionHarness::SiteFor("later", 21, "u", "p", "")},
                                                   h.ProgramDir().string()));
                          h.Logic().Run(Command::RemoteRefresh);
                        },
                        [](SessionHarness& h) { EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"later"})); }},
        PaneCommandCase{"NoDropIsTakenWhileTheSitesShow",
                        [](SessionHarness& h) {
                          h.SelectLocal({"a.txt"});
                          h.Logic().DropFilesOnRemotePane({h.LocalDir() / "a.txt"});
                          h.Logic().DropOnRemotePane(listing::kLocalPaneTag);
                        },
                        [](SessionHarness& h) {
                          EXPECT_FALSE(h.Logic().RemotePaneAcceptsFiles());
                          EXPECT_FALSE(h.Logic().RemotePaneAcceptsDrag(listing::kLocalPaneTag));
                          EXPECT_FALSE(h.Logic().LocalPaneAcceptsDrag(listing::kRemotePaneTag));
                          EXPECT_FALSE(h.Logic().Busy());
                          EXPECT_FALSE(h.Logic().RequestRunning());
                        }},
        PaneCommandCase{"EnteringTheLocalPaneOffersNoUploadWithoutASession",
                        [](SessionHarness& h) { h.Logic().LocalPaneFocusChanged(true); },
                        [](SessionHarness& h) {
                          EXPECT_FALSE(h.Logic().Enabled(Command::UploadSelection, Surface::MainMenu));
                          EXPECT_FALSE(h.Logic().Enabled(Command::UploadSelection, Surface::LocalPopup));
                        }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- In a session (scripted server) -----------------------------------------------------------

using testsupport::DataPort;
using testsupport::Script;

Script ListingOf(DataPort& data) {
  return Script()
      .Reply(data.PasvReply())
      .Reply("150 Here\r\n")
      .SendData(data, "-rw-r--r--    1 1001     1001           10 Jan 01  2020 r.txt\r\n")
      .Send("226 Done\r\n");
}

TEST(SessionPaneCommands, InASessionDropsFocusRefreshAndSitePropertiesFollowTheSession) {
  SessionHarness h;
  std::ofstream(h.LocalDir() / "a.txt") << "a";
  DataPort data;
  testsupport::ScriptedFtpServer server(sessiontest::ScriptedLogin()
                                            .Then(ListingOf(data))
                                            .Reply("250 CWD ok\r\n")
                                            .Then(ListingOf(data)));
  h.AddSite(SessionHarness::SiteFor("box", server.Port(), "user", "secret", "/d"));
  h.Start();
  h.ConnectTo("box");
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();

  auto& logic = h.Logic();
  logic.Run(Command::SiteProperties);
  EXPECT_EQ(h.prompts.beeps, 1) << "no site is edited while a session is open";
  EXPECT_TRUE(h.prompts.asked.empty());
  EXPECT_TRUE(logic.RemotePaneAcceptsDrag(listing::kLocalPaneTag));
  EXPECT_TRUE(logic.RemotePaneAcceptsFiles());
  EXPECT_TRUE(logic.LocalPaneAcceptsDrag(listing::kRemotePaneTag));
  for (std::optional<int> other : {std::optional<int>(), std::optional<int>(7)}) {
    EXPECT_FALSE(logic.RemotePaneAcceptsDrag(other));
    EXPECT_FALSE(logic.LocalPaneAcceptsDrag(other));
  }
  EXPECT_FALSE(logic.RemotePaneAcceptsDrag(listing::kRemotePaneTag)) << "a pane takes nothing from itself";
  EXPECT_FALSE(logic.LocalPaneAcceptsDrag(listing::kLocalPaneTag));

  // Nothing is selected: the focus alone decides the upload entries.
  logic.LocalPaneFocusChanged(true);
  EXPECT_TRUE(logic.Enabled(Command::UploadSelection, Surface::MainMenu));
  EXPECT_TRUE(logic.Enabled(Command::UploadSelection, Surface::LocalPopup));
  logic.LocalPaneFocusChanged(false);
  EXPECT_FALSE(logic.Enabled(Command::UploadSelection, Surface::MainMenu));
  EXPECT_TRUE(logic.Enabled(Command::UploadSelection, Surface::Control)) << "the arrow stays";

  logic.Run(Command::RemoteRefresh);
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  const std::vector<std::string> commands = server.Commands();
  ASSERT_GE(commands.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(commands.end() - 3, commands.end()),
            (std::vector<std::string>{"CWD /d/", "PASV", "LIST"}));
  EXPECT_EQ(h.RemoteCaptions(), (std::vector<std::string>{"r.txt"}));
  EXPECT_FALSE(h.Logged("Error")) << h.Transcript();
}

}  // namespace
