// The engine's commands against real servers, checked by what they did on the server's disk.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/ftp/EngineProbe.h"
#include "support/files/PatternFiles.h"
#include "support/peers/FtpServers.h"
#include "support/peers/PeerSuite.h"

namespace fs = std::filesystem;
using ftptest::Completion;
using ftptest::EngineProbe;
using namespace std::chrono_literals;

namespace {

template <class Server>
class FtpCommands : public testsupport::PeerSuite<Server> {
 protected:
  static Server& Ftp() { return testsupport::PeerSuite<Server>::Peer(); }

  Completion Login(const std::string& user, const std::string& password) {
    probe.Target(Ftp().Port());
    probe.ftp.SetUserName(user);
    probe.ftp.SetPassWord(password);
    // Some servers hold a wrong password back for seconds.
    return probe.Run([&] { probe.ftp.ConnectAsync(); }, 15s);
  }

  Completion Run(const std::function<void()>& start) { return probe.Run(start); }

  EngineProbe probe;
};

TYPED_TEST_SUITE(FtpCommands, testsupport::FtpServers, testsupport::PeerName);

TYPED_TEST(FtpCommands, EveryCommandDoesItsWorkOnTheServer) {
  auto& ftp = this->probe.ftp;
  const fs::path work = this->Ftp().Root() / "work";
  fs::create_directories(work);
  testsupport::WritePattern(work / "old.txt", 1234);
  fs::permissions(work / "old.txt", fs::perms::owner_read | fs::perms::owner_write);
  this->Ftp().GiveToUser(work);
  ASSERT_EQ(this->Login(this->Ftp().User(), this->Ftp().Password()), (Completion{ftpConnectAsync, 0}));

  ftp.SetHostDirName("/work");
  EXPECT_EQ(this->Run([&] { ftp.CwdAsync(); }), (Completion{ftpCwdAsync, 0}));
  EXPECT_EQ(this->Run([&] { ftp.PwdAsync(); }), (Completion{ftpPwdAsync, 0}));
  EXPECT_EQ(ftp.DirResult(), "/work");

  ftp.SetHostFileName("made");
  EXPECT_EQ(this->Run([&] { ftp.MkdAsync(); }), (Completion{ftpMkdAsync, 0})) << ftp.LastResponse();
  EXPECT_TRUE(fs::is_directory(work / "made"));

  ftp.SetHostFileName("old.txt");
  ftp.SetLocalFileName("new.txt");
  EXPECT_EQ(this->Run([&] { ftp.RenAsync(); }), (Completion{ftpRenAsync, 0})) << ftp.LastResponse();
  EXPECT_TRUE(fs::exists(work / "new.txt"));
  EXPECT_FALSE(fs::exists(work / "old.txt"));

  ftp.SetLocalFileName("SITE CHMOD 644 new.txt");
  const Completion chmod = this->Run([&] { ftp.QuoteAsync(); });
  if (chmod.error == 0) {
    struct stat info {};
    ASSERT_EQ(::stat((work / "new.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
  } else {
    EXPECT_GE(chmod.error, 500) << "a refused SITE command is a failure";
  }

  EXPECT_TRUE(this->probe.Sync([&] { return ftp.TypeBinarySync(); }));
  ftp.SetHostFileName("new.txt");
  EXPECT_EQ(this->Run([&] { ftp.SizeAsync(); }), (Completion{ftpSizeAsync, 0})) << ftp.LastResponse();
  EXPECT_EQ(ftp.SizeResult(), 1234);

  EXPECT_EQ(this->Run([&] { ftp.DeleAsync(); }), (Completion{ftpDeleAsync, 0})) << ftp.LastResponse();
  EXPECT_FALSE(fs::exists(work / "new.txt"));

  ftp.SetHostFileName("made");
  EXPECT_EQ(this->Run([&] { ftp.RmdAsync(); }), (Completion{ftpRmdAsync, 0})) << ftp.LastResponse();
  EXPECT_FALSE(fs::exists(work / "made"));

  EXPECT_EQ(this->Run([&] { ftp.SystAsync(); }), (Completion{ftpSystAsync, 0}));
  EXPECT_EQ(ftp.LastResponse().substr(0, 4), "215 ");

  EXPECT_EQ(this->Run([&] { ftp.QuitAsync(); }), (Completion{ftpQuitAsync, 0}));
  EXPECT_FALSE(ftp.Connected());
  EXPECT_EQ(ftp.State(), ftpReady);
}

TYPED_TEST(FtpCommands, WrongPasswordFailsAndLeavesTheConnectionOpen) {
  EXPECT_EQ(this->Login(this->Ftp().User(), "wrong-password"), (Completion{ftpConnectAsync, 530}));
  EXPECT_TRUE(this->probe.ftp.Connected());
  EXPECT_EQ(this->probe.ftp.ErrorMessage().substr(0, 4), "530 ");
}

TYPED_TEST(FtpCommands, AnonymousLogin) {
  EXPECT_EQ(this->Login("anonymous", "guest@example.org"), (Completion{ftpConnectAsync, 0}))
      << this->probe.Transcript();
}

}  // namespace
