// A line break inside a command would end it early and send the rest as a command of its own.
// Each way a name or a command reaches the server is tried with "…<LF>DELE keep.txt" against
// vsftpd, which takes a bare line feed as the end of a command: keep.txt must survive, and the
// user must learn why nothing was sent.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "support/CaseName.h"
#include "support/peers/PeerSuite.h"
#include "support/peers/VsftpdPeer.h"
#include "support/session/SessionHarness.h"

namespace fs = std::filesystem;
using session::Command;
using sessiontest::SessionHarness;

namespace {

using testsupport::PrintTo;

constexpr const char* kSmuggled = "x\nDELE keep.txt";

struct LineBreakCase {
  const char* what;
  std::function<void(SessionHarness&)> arrange;  // before the command runs
  Command command;
  const char* refusal;  // in the log or the error box
};

class LineBreaks : public testsupport::PeerSuite<testsupport::VsftpdPeer>,
                   public ::testing::WithParamInterface<LineBreakCase> {
 protected:
  static fs::path Pub() { return Peer().Root() / "pub"; }
};

TEST_P(LineBreaks, NothingIsSentAndTheUserIsTold) {
  fs::remove_all(Pub());
  fs::create_directories(Pub());
  std::ofstream(Pub() / "keep.txt") << "keep\n";
  Peer().GiveToUser(Pub());
  SessionHarness h;
  std::ofstream(h.LocalDir() / kSmuggled) << "x\n";
  h.AddSite(SessionHarness::SiteFor("box", Peer().Port(), Peer().User(), Peer().Password(), "/pub"));
  h.Start();
  h.ConnectTo("box");
  ASSERT_TRUE(h.WaitForListing()) << h.Transcript();

  GetParam().arrange(h);
  h.Logic().Run(GetParam().command, 0);
  ASSERT_TRUE(h.WaitIdle()) << h.Transcript();

  EXPECT_TRUE(fs::exists(Pub() / "keep.txt")) << h.Transcript();
  const bool told = h.Logged(GetParam().refusal) ||
                    (!h.prompts.errors.empty() && h.prompts.errors.front().find(GetParam().refusal) != std::string::npos);
  EXPECT_TRUE(told) << h.Transcript();
}

INSTANTIATE_TEST_SUITE_P(
    Smuggled, LineBreaks,
    ::testing::Values(
        LineBreakCase{"UploadedLocalName",
                      [](SessionHarness& h) { h.SelectLocal({kSmuggled}); },
                      Command::UploadSelection, "cannot be sent: it holds a line break"},
        LineBreakCase{"TypedDirectoryName", [](SessionHarness& h) { h.prompts.inputs = {kSmuggled}; },
                      Command::RemoteMakeDirectory, "cannot be sent: it holds a line break"},
        LineBreakCase{"CommandBar", [](SessionHarness& h) { h.Logic().Bar().text = "NOOP\nDELE keep.txt"; },
                      Command::SendCommandLine, "The command holds a line break"}),
    testsupport::CaseName());

}  // namespace
