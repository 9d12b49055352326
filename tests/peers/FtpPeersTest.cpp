// Each real FTP server starts as the harness promises: it greets, logs in the user and
// anonymous users in Root(), serves the files the test put there, takes the user's uploads,
// and makes data connections both ways. Plain socket commands play the client.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

#include "support/loopback/FtpProbe.h"
#include "support/peers/FtpServers.h"
#include "support/peers/PeerSuite.h"

namespace {

using namespace std::chrono_literals;
using testsupport::FtpProbe;
using testsupport::LoopbackSocket;

// Bytes that show truncation, reordering and CR LF translation alike.
std::string SampleBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

std::string FileContents(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

template <class Server>
class FtpPeerTest : public testsupport::PeerSuite<Server> {
 protected:
  static Server& Ftp() { return testsupport::PeerSuite<Server>::Peer(); }

  // A control connection past its greeting.
  static FtpProbe Greeted() {
    FtpProbe probe(Ftp().Port());
    EXPECT_EQ(probe.ReadReply().code, 220);
    return probe;
  }

  // A control connection with the user logged in and binary transfers set.
  static FtpProbe LoggedIn() {
    FtpProbe probe = Greeted();
    EXPECT_EQ(probe.Command("USER " + Ftp().User()).code, 331);
    EXPECT_EQ(probe.Command("PASS " + Ftp().Password()).code, 230);
    EXPECT_EQ(probe.Command("TYPE I").code, 200);
    return probe;
  }

  // Writes a file into the served folder, as the test's own user.
  static std::string Serve(const std::string& name, size_t size) {
    const std::string bytes = SampleBytes(size);
    std::ofstream(Ftp().Root() / name, std::ios::binary) << bytes;
    return bytes;
  }
};

TYPED_TEST_SUITE(FtpPeerTest, testsupport::FtpServers, testsupport::PeerName);

TYPED_TEST(FtpPeerTest, LogsTheUserInWithTheServedFolderAsRoot) {
  FtpProbe probe = TestFixture::LoggedIn();
  const testsupport::FtpReply pwd = probe.Command("PWD");
  EXPECT_EQ(pwd.code, 257);
  EXPECT_EQ(pwd.text.substr(0, 8), "257 \"/\" ") << pwd.text;
}

TYPED_TEST(FtpPeerTest, RefusesAWrongPassword) {
  FtpProbe probe = TestFixture::Greeted();
  EXPECT_EQ(probe.Command("USER " + TestFixture::Ftp().User()).code, 331);
  // pure-ftpd answers a wrong password after about 5 s, vsftpd (PAM) after about 2 s.
  EXPECT_EQ(probe.Command("PASS not-" + TestFixture::Ftp().Password(), 10s).code, 530);
}

TYPED_TEST(FtpPeerTest, LogsInAnonymousUsersThatSeeTheServedFiles) {
  const std::string bytes = TestFixture::Serve("public.bin", 1000);
  FtpProbe probe = TestFixture::Greeted();
  const int user = probe.Command("USER anonymous").code;
  if (user == 331) {
    EXPECT_EQ(probe.Command("PASS guest@example.com").code, 230);
  } else {
    EXPECT_EQ(user, 230);  // pure-ftpd asks for no password
  }
  EXPECT_EQ(probe.Command("TYPE I").code, 200);
  LoopbackSocket data = probe.OpenPassive();
  ASSERT_TRUE(data.Valid());
  EXPECT_EQ(probe.Command("RETR public.bin").code / 100, 1);
  EXPECT_EQ(data.ReceiveToEnd(5s), bytes);
  data.Close();  // proftpd waits for it before its 226
  EXPECT_EQ(probe.ReadReply().code, 226);
}

TYPED_TEST(FtpPeerTest, TakesUploadsOfTheUserIntoTheServedFolderAndWhatWasGivenToIt) {
  const auto incoming = TestFixture::Ftp().Root() / "incoming";
  std::filesystem::create_directory(incoming);
  TestFixture::Ftp().GiveToUser(incoming);
  FtpProbe probe = TestFixture::LoggedIn();
  for (const std::string name : {"upload.bin", "incoming/upload.bin"}) {
    const std::string bytes = SampleBytes(300000 + name.size());
    LoopbackSocket data = probe.OpenPassive();
    ASSERT_TRUE(data.Valid());
    EXPECT_EQ(probe.Command("STOR " + name).code / 100, 1) << name;
    ASSERT_TRUE(data.SendAll(bytes));
    data.Close();
    EXPECT_EQ(probe.ReadReply().code, 226) << name;
    EXPECT_EQ(FileContents(TestFixture::Ftp().Root() / name), bytes) << name;
  }
}

TYPED_TEST(FtpPeerTest, ConnectsBackToTheClientInActiveMode) {
  const std::string bytes = TestFixture::Serve("active.bin", 70000);
  FtpProbe probe = TestFixture::LoggedIn();
  LoopbackSocket listener = LoopbackSocket::Listen();
  EXPECT_EQ(probe.Command("PORT " + testsupport::LoopbackHostPort(listener.LocalPort())).code, 200);
  EXPECT_EQ(probe.Command("RETR active.bin").code / 100, 1);
  LoopbackSocket data = listener.Accept(5s);
  ASSERT_TRUE(data.Valid());
  EXPECT_EQ(data.ReceiveToEnd(5s), bytes);
  data.Close();  // proftpd waits for it before its 226
  EXPECT_EQ(probe.ReadReply().code, 226);
}

}  // namespace
