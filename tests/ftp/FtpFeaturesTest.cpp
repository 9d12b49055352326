// What the engine asks of today's servers and makes of their answers: the FEAT reply and the
// OPTS that follow it, and against a scripted server the login with features, EPSV, and a
// refused EPSV followed by PASV replies that name a wrong address.
#include <gtest/gtest.h>

#include "ftp/FtpFeatures.h"
#include "support/files/PatternFiles.h"
#include "support/ftp/EngineProbe.h"
#include "support/peers/TempDir.h"
#include "support/scripted/ScriptedFtpServer.h"

using ftptest::Completion;
using ftptest::EngineProbe;
using testsupport::DataPort;
using testsupport::Script;
using testsupport::ScriptedFtpServer;

namespace {

// ---- The texts ---------------------------------------------------------------------------------

struct FeaturesCase {
  const char* name;
  std::vector<std::string> lines;
  FtpFeatures features;
  std::string mlstOpts;
};

TEST(FtpFeatures, ReadsTheFeatReplyAndWhatToAskOfMlst) {
  const std::string wanted = "OPTS MLST type;size;modify;perm;unix.mode;";
  const FeaturesCase cases[] = {
      {"nothing", {}, {}, ""},
      {"names ignore case and blanks; unknown ones pass",
       {" utf8", " Epsv ", " EPRT", " MDTM", " REST STREAM"}, {true, false, true, true, ""}, ""},
      {"unix.mode not given unless asked (pyftpdlib)",
       {" MLST type*;perm*;size*;modify*;unique*;unix.mode;unix.uid;"},
       {false, true, false, false, "type*;perm*;size*;modify*;unique*;unix.mode;unix.uid;"}, wanted},
      {"every fact given by default: nothing to ask (pure-ftpd)",
       {" MLST type*;size*;sizd*;modify*;UNIX.mode*;UNIX.uid*;"},
       {false, true, false, false, "type*;size*;sizd*;modify*;UNIX.mode*;UNIX.uid*;"}, ""},
      {"only the facts offered are asked for, in their own spelling",
       {" MLST Type*;Size;"}, {false, true, false, false, "Type*;Size;"}, "OPTS MLST Type;Size;"},
  };
  for (const FeaturesCase& c : cases) {
    SCOPED_TRACE(c.name);
    const FtpFeatures features = ParseFeatures(c.lines);
    EXPECT_EQ(features, c.features);
    EXPECT_EQ(MlstOptsCommand(features), c.mlstOpts);
  }
}

// ---- The login --------------------------------------------------------------------------------

const std::string kFullFeatures =
    "211-Features:\r\n"
    " EPSV\r\n"
    " MLST type*;size*;modify*;perm*;unix.mode;\r\n"
    " UTF8\r\n"
    "211 End\r\n";

struct LoginCase {
  const char* name;
  Script afterPass;  // the replies from FEAT on
  bool utf8Names;
  bool listWithMlsd;
  std::vector<std::string> commands;  // after USER and PASS
  bool mlsd;                          // the server offers machine listings
};

TEST(FtpFeatures, AskedAfterTheLoginWhichSucceedsWhateverTheServerRefuses) {
  const std::string optsMlst = "OPTS MLST type;size;modify;perm;unix.mode;";
  const LoginCase cases[] = {
      {"every feature, all of them used", Script().Reply(kFullFeatures).Reply("200 UTF8 on\r\n").Reply("200 MLST\r\n"),
       true, true, {"FEAT", "OPTS UTF8 ON", optsMlst}, true},
      {"FEAT refused, as by an FTP proxy", Script().Reply("500 FEAT not allowed\r\n"), true, true, {"FEAT"}, false},
      {"both OPTS refused", Script().Reply(kFullFeatures).Reply("501 No\r\n").Reply("501 No\r\n"), true, true,
       {"FEAT", "OPTS UTF8 ON", optsMlst}, true},
      {"names in a single-byte set, LIST wanted: nothing asked", Script().Reply(kFullFeatures), false, false, {"FEAT"},
       true},
  };
  for (const LoginCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFtpServer server(
        Script().Send("220 Ready\r\n").Reply("331 Password\r\n").Reply("230 In\r\n").Then(c.afterPass));
    EngineProbe probe;
    probe.Target(server.Port());
    probe.ftp.SetOptions({ftpAcceptLF, ftpUseFeatures});
    probe.ftp.SetUtf8Names(c.utf8Names);
    probe.ftp.SetListWithMlsd(c.listWithMlsd);
    EXPECT_EQ(probe.Run([&] { probe.ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0})) << probe.Transcript();
    std::vector<std::string> expected = {"USER user", "PASS secret"};
    expected.insert(expected.end(), c.commands.begin(), c.commands.end());
    EXPECT_EQ(server.Commands(), expected);
    EXPECT_EQ(probe.ftp.Features().mlsd, c.mlsd);
    EXPECT_EQ(probe.ftp.ErrorMessage(), "") << "a refused feature is no failure";
  }
}

// ---- Data connections -------------------------------------------------------------------------

const std::string kListing = "type=file;size=10;modify=20200101000000; a.txt\r\n";

std::string EpsvReply(const DataPort& data) {
  return "229 Entering Extended Passive Mode (|||" + std::to_string(data.Port()) + "|)\r\n";
}

// A 227 reply that names an address no data connection could reach.
std::string WrongPasvReply(const DataPort& data) {
  return "227 Entering Passive Mode (10,0,0,1," + std::to_string(data.Port() >> 8) + "," +
         std::to_string(data.Port() & 0xFF) + ")\r\n";
}

Script Listed(DataPort& data, std::string passiveReply) {
  return Script()
      .Reply(std::move(passiveReply))
      .Reply("150 Here\r\n")
      .SendData(data, kListing)
      .Send("226 Done\r\n");
}

struct PassiveCase {
  const char* name;
  std::function<Script(DataPort&)> afterLogin;  // from FEAT on, two listings included
  std::vector<std::string> commands;             // after the login
};

TEST(FtpFeatures, PassiveListingsGoToTheControlConnectionsPeer) {
  const PassiveCase cases[] = {
      {"EPSV offered: used, its reply names no address",
       [](DataPort& d) {
         return Script().Reply(kFullFeatures).Reply("200 UTF8 on\r\n").Then(Listed(d, EpsvReply(d))).Then(
             Listed(d, EpsvReply(d)));
       },
       {"FEAT", "OPTS UTF8 ON", "EPSV", "LIST", "EPSV", "LIST"}},
      {"EPSV refused: PASV with a wrong address, then PASV for the session",
       [](DataPort& d) {
         return Script()
             .Reply("211-Features:\r\n EPSV\r\n211 End\r\n")
             .Reply("500 No EPSV here\r\n")
             .Then(Listed(d, WrongPasvReply(d)))
             .Then(Listed(d, WrongPasvReply(d)));
       },
       {"FEAT", "EPSV", "PASV", "LIST", "PASV", "LIST"}},
  };
  for (const PassiveCase& c : cases) {
    SCOPED_TRACE(c.name);
    DataPort data;
    ScriptedFtpServer server(Script().Send("220 Ready\r\n").Reply("230 In\r\n").Then(c.afterLogin(data)));
    EngineProbe probe;
    probe.Target(server.Port());
    probe.ftp.SetOptions({ftpAcceptLF, ftpUseFeatures});
    probe.ftp.SetPassive(true);
    ASSERT_EQ(probe.Run([&] { probe.ftp.ConnectAsync(); }), (Completion{ftpConnectAsync, 0})) << probe.Transcript();
    testsupport::TempDir dir;
    for (int listing = 0; listing < 2; ++listing) {
      EXPECT_EQ(probe.List((dir.Path() / "FTPDIR.TXT").string()), (Completion{ftpDirAsync, 0})) << probe.Transcript();
      EXPECT_EQ(testsupport::ReadAll(dir.Path() / "FTPDIR.TXT"), kListing);
    }
    std::vector<std::string> commands = server.Commands();
    commands.erase(commands.begin());  // USER
    EXPECT_EQ(commands, c.commands) << probe.Transcript();
    EXPECT_TRUE(server.Problems().empty());
  }
}

}  // namespace
