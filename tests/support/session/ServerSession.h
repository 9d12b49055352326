#pragma once
// A session of the harness against one real server, the server started once per suite. Each
// test starts with an empty /pub that the user may write, lays out the server's files, then
// connects:
//
//   using VsftpdFlow = sessiontest::ServerSession<testsupport::VsftpdPeer>;
//   TEST_F(VsftpdFlow, Renames) {
//     testsupport::WritePattern(Pub() / "old.txt", 100);
//     Connect();
//     Run(session::Command::RemoteRename);
//   }
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/peers/PeerSuite.h"
#include "support/session/SessionHarness.h"

namespace sessiontest {

template <class Server>
class ServerSession : public testsupport::PeerSuite<Server> {
 protected:
  static Server& Ftp() { return testsupport::PeerSuite<Server>::Peer(); }
  static std::filesystem::path Pub() { return Ftp().Root() / "pub"; }

  void SetUp() override {
    testsupport::PeerSuite<Server>::SetUp();
    if (this->IsSkipped() || this->HasFatalFailure()) return;
    std::filesystem::remove_all(Pub());
    std::filesystem::create_directories(Pub());
  }

  // The stored site "box" for the test account, at `initialDir`, by the server's own address.
  static SiteRecord Site(const std::string& initialDir = "/pub") {
    SiteRecord site = SessionHarness::SiteFor("box", Ftp().Port(), Ftp().User(), Ftp().Password(), initialDir);
    if (Ftp().OnIpv6()) site.Server = "[::1]";
    return site;
  }

  // Starts the logic with `site` stored and connects to it, once the files are laid out.
  void Begin(const SiteRecord& site) {
    Ftp().GiveToUser(Pub());
    h.AddSite(site);
    h.Start();
    h.ConnectTo(site.Name);
  }

  // Begins and waits for the first listing.
  void Connect(const SiteRecord& site) {
    Begin(site);
    ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  }
  void Connect(const std::string& initialDir = "/pub") { Connect(Site(initialDir)); }

  // Runs a command whose completion lists a directory.
  void Run(session::Command command, int tag = 0) {
    h.Logic().Run(command, tag);
    ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
  }

  SessionHarness h;
};

}  // namespace sessiontest
